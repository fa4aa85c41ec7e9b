// The declarative syntax that builds widget trees: SNew, SAssignNew, and the argument macros widgets declare.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Misc/Attribute.h"
#include "Templates/SharedPointer.h"
#include "Templates/UnrealTemplate.h"
#include "Widgets/SNullWidget.h"
#include "Widgets/SWidget.h"
#include <tuple>
#include <utility>

/** A slot argument that always holds a widget: the null widget until one is given. */
struct TAlwaysValidWidget
{
	TAlwaysValidWidget()
	    : Widget(UE::Slate::Private::GetNullWidget())
	{
	}
	TSharedRef<SWidget> Widget;
};

/** The arguments that every widget takes, whatever its type. */
struct FSlateBaseNamedArgs
{
	TAttribute<bool> _IsEnabled;
};

/** Gives every widget's FArguments the common setters, returning the widget's own argument type. */
template <typename WidgetType>
struct TSlateBaseNamedArgs : public FSlateBaseNamedArgs
{
	using WidgetArgsType = typename WidgetType::FArguments;

	WidgetArgsType& Me() { return *static_cast<WidgetArgsType*>(this); }

	WidgetArgsType& IsEnabled(TAttribute<bool> InIsEnabled)
	{
		_IsEnabled = MoveTemp(InIsEnabled);
		return Me();
	}
};

/** `.SlotName()[ Widget ]`: fills a named slot of a widget's arguments. */
template <class DeclarationType>
struct NamedSlotProperty
{
	NamedSlotProperty(DeclarationType& InOwnerDeclaration, TAlwaysValidWidget& InSlotContent)
	    : OwnerDeclaration(InOwnerDeclaration)
	    , SlotContent(InSlotContent)
	{
	}
	DeclarationType& operator[](const TSharedRef<SWidget>& InChild)
	{
		SlotContent.Widget = InChild;
		return OwnerDeclaration;
	}
	DeclarationType& OwnerDeclaration;
	TAlwaysValidWidget& SlotContent;
};

#define SLATE_BEGIN_ARGS(WidgetType)                                                                                                                           \
public:                                                                                                                                                        \
	struct FArguments : public TSlateBaseNamedArgs<WidgetType>                                                                                                 \
	{                                                                                                                                                          \
		typedef FArguments WidgetArgsType;                                                                                                                     \
		FArguments()

#define SLATE_END_ARGS()                                                                                                                                       \
	}                                                                                                                                                          \
	;

#define SLATE_ARGUMENT(ArgType, ArgName)                                                                                                                       \
	ArgType _##ArgName{};                                                                                                                                      \
	WidgetArgsType& ArgName(ArgType InArg)                                                                                                                     \
	{                                                                                                                                                          \
		_##ArgName = InArg;                                                                                                                                    \
		return *this;                                                                                                                                          \
	}

#define SLATE_ATTRIBUTE(AttrType, AttrName)                                                                                                                    \
	TAttribute<AttrType> _##AttrName;                                                                                                                          \
	WidgetArgsType& AttrName(TAttribute<AttrType> InAttribute)                                                                                                 \
	{                                                                                                                                                          \
		_##AttrName = MoveTemp(InAttribute);                                                                                                                   \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename FuncType, typename... VarTypes>                                                                                                         \
	WidgetArgsType& AttrName##_Static(FuncType InFunc, VarTypes... Vars)                                                                                       \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::Create(TAttribute<AttrType>::FGetter::CreateStatic(InFunc, Vars...));                                              \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename FunctorType, typename... VarTypes>                                                                                                      \
	WidgetArgsType& AttrName##_Lambda(FunctorType&& InFunctor, VarTypes... Vars)                                                                               \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::Create(TAttribute<AttrType>::FGetter::CreateLambda(Forward<FunctorType>(InFunctor), Vars...));                     \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename UserClass, typename FuncType, typename... VarTypes>                                                                                     \
	WidgetArgsType& AttrName##_Raw(UserClass* InUserObject, FuncType InFunc, VarTypes... Vars)                                                                 \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::Create(TAttribute<AttrType>::FGetter::CreateRaw(InUserObject, InFunc, Vars...));                                   \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename UserPointerType, typename FuncType, typename... VarTypes>                                                                               \
	WidgetArgsType& AttrName##_SP(const UserPointerType& InUserObject, FuncType InFunc, VarTypes... Vars)                                                      \
	{                                                                                                                                                          \
		_##AttrName = TAttribute<AttrType>::Create(TAttribute<AttrType>::FGetter::CreateSP(InUserObject, InFunc, Vars...));                                    \
		return *this;                                                                                                                                          \
	}

#define SLATE_EVENT(DelegateName, EventName)                                                                                                                   \
	DelegateName _##EventName;                                                                                                                                 \
	WidgetArgsType& EventName(const DelegateName& InDelegate)                                                                                                  \
	{                                                                                                                                                          \
		_##EventName = InDelegate;                                                                                                                             \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename FuncType, typename... VarTypes>                                                                                                         \
	WidgetArgsType& EventName##_Static(FuncType InFunc, VarTypes... Vars)                                                                                      \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateStatic(InFunc, Vars...);                                                                                            \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename FunctorType, typename... VarTypes>                                                                                                      \
	WidgetArgsType& EventName##_Lambda(FunctorType&& InFunctor, VarTypes... Vars)                                                                              \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateLambda(Forward<FunctorType>(InFunctor), Vars...);                                                                   \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename UserClass, typename FuncType, typename... VarTypes>                                                                                     \
	WidgetArgsType& EventName##_Raw(UserClass* InUserObject, FuncType InFunc, VarTypes... Vars)                                                                \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateRaw(InUserObject, InFunc, Vars...);                                                                                 \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename UserPointerType, typename FuncType, typename... VarTypes>                                                                               \
	WidgetArgsType& EventName##_SP(const UserPointerType& InUserObject, FuncType InFunc, VarTypes... Vars)                                                     \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateSP(InUserObject, InFunc, Vars...);                                                                                  \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	template <typename UserClass, typename FuncType, typename... VarTypes>                                                                                     \
	WidgetArgsType& EventName##_UObject(UserClass* InUserObject, FuncType InFunc, VarTypes... Vars)                                                            \
	{                                                                                                                                                          \
		_##EventName = DelegateName::CreateUObject(InUserObject, InFunc, Vars...);                                                                             \
		return *this;                                                                                                                                          \
	}

#define SLATE_NAMED_SLOT(DeclarationType, SlotName)                                                                                                            \
	NamedSlotProperty<DeclarationType> SlotName()                                                                                                              \
	{                                                                                                                                                          \
		return NamedSlotProperty<DeclarationType>(*this, _##SlotName);                                                                                         \
	}                                                                                                                                                          \
	TAlwaysValidWidget _##SlotName;

#define SLATE_DEFAULT_SLOT(DeclarationType, SlotName)                                                                                                          \
	SLATE_NAMED_SLOT(DeclarationType, SlotName)                                                                                                                \
	DeclarationType& operator[](const TSharedRef<SWidget>& InChild)                                                                                            \
	{                                                                                                                                                          \
		_##SlotName.Widget = InChild;                                                                                                                          \
		return *this;                                                                                                                                          \
	}

#define SLATE_SLOT_ARGUMENT(SlotType, SlotName)                                                                                                                \
	TArray<typename SlotType::FSlotArguments> _##SlotName;                                                                                                     \
	WidgetArgsType& operator+(typename SlotType::FSlotArguments& SlotToAdd)                                                                                    \
	{                                                                                                                                                          \
		_##SlotName.Add(SlotToAdd);                                                                                                                            \
		return *this;                                                                                                                                          \
	}                                                                                                                                                          \
	WidgetArgsType& operator+(typename SlotType::FSlotArguments&& SlotToAdd)                                                                                   \
	{                                                                                                                                                          \
		_##SlotName.Add(MoveTemp(SlotToAdd));                                                                                                                  \
		return *this;                                                                                                                                          \
	}

namespace RequiredArgs
{
	/** The arguments written in SNew(Widget, Args...) after the type, passed to Construct after FArguments. */
	template <typename... ArgTypes>
	std::tuple<std::decay_t<ArgTypes>...> MakeRequiredArgs(ArgTypes&&... Args)
	{
		return std::tuple<std::decay_t<ArgTypes>...>(Forward<ArgTypes>(Args)...);
	}
} // namespace RequiredArgs

/** One widget declaration in flight: the widget is made at once, constructed when its arguments arrive. */
template <class WidgetType, typename RequiredArgsTupleType>
class TSlateDecl
{
public:
	TSlateDecl(const ANSICHAR* InType, const ANSICHAR* InFile, int32 OnLine, RequiredArgsTupleType&& InRequiredArgs)
	    : Widget(MakeShared<WidgetType>())
	    , RequiredArgs(MoveTemp(InRequiredArgs))
	{
		Widget->SetDebugInfo(InType, InFile, OnLine);
	}

	/** Hands the widget to a variable of the caller (SAssignNew). */
	template <class ExposeAsWidgetType>
	TSlateDecl& Expose(TSharedPtr<ExposeAsWidgetType>& OutVarToInit)
	{
		OutVarToInit = Widget;
		return *this;
	}
	template <class ExposeAsWidgetType>
	TSlateDecl& Expose(TSharedRef<ExposeAsWidgetType>& OutVarToInit)
	{
		OutVarToInit = Widget;
		return *this;
	}
	template <class ExposeAsWidgetType>
	TSlateDecl& Expose(TWeakPtr<ExposeAsWidgetType>& OutVarToInit)
	{
		OutVarToInit = Widget;
		return *this;
	}

	/** Constructs the widget from its arguments and returns it. */
	TSharedRef<WidgetType> operator<<=(const typename WidgetType::FArguments& InArgs)
	{
		Widget->SWidgetConstruct(InArgs);
		std::apply(
		    [this, &InArgs](auto&... Required) {
			    Widget->Construct(InArgs, Required...);
		    },
		    RequiredArgs);
		return Widget;
	}

private:
	TSharedRef<WidgetType> Widget;
	RequiredArgsTupleType RequiredArgs;
};

template <class WidgetType, typename RequiredArgsTupleType>
TSlateDecl<WidgetType, RequiredArgsTupleType> MakeTDecl(const ANSICHAR* InType, const ANSICHAR* InFile, int32 OnLine, RequiredArgsTupleType&& InRequiredArgs)
{
	return TSlateDecl<WidgetType, RequiredArgsTupleType>(InType, InFile, OnLine, MoveTemp(InRequiredArgs));
}

/** Makes a widget: SNew(SButton).Text(...) is a TSharedRef<SButton>. */
#define SNew(WidgetType, ...) MakeTDecl<WidgetType>(#WidgetType, __FILE__, __LINE__, RequiredArgs::MakeRequiredArgs(__VA_ARGS__)) <<= WidgetType::FArguments()

/** Makes a widget as SNew does and also stores it in ExposeAs (a TSharedPtr, TSharedRef or TWeakPtr). */
#define SAssignNew(ExposeAs, WidgetType, ...)                                                                                                                  \
	MakeTDecl<WidgetType>(#WidgetType, __FILE__, __LINE__, RequiredArgs::MakeRequiredArgs(__VA_ARGS__)).Expose(ExposeAs) <<= WidgetType::FArguments()
