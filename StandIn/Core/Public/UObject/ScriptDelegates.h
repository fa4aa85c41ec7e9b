// Dynamic delegates: bindings to reflected functions, held as an object and a function name and called
// through reflection. Binding takes the member function only to check its signature at compile time;
// the name must be a reflected function of the object's class. The object system supplies the weak
// pointer and the call, so every use needs its headers (UObject/Object.h).
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"
#include "UObject/NameTypes.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include <type_traits>

class UObject;
class UFunction;

namespace UE::Delegates::Private
{
	/** The function name in "&UMyClass::HandleDone": "HandleDone". */
	FName GetTrimmedMemberFunctionName(const TCHAR* InMacroFunctionName);

	/** Says at Error on the log that ObjectName has no reflected function FunctionName to bind to. */
	void ReportUnknownDynamicFunction(const FString& ObjectName, const FName& FunctionName);
} // namespace UE::Delegates::Private

/** One binding: an object, held weakly, and the name of one of its reflected functions. */
template <typename TWeakPtr = FWeakObjectPtr>
class TScriptDelegate
{
public:
	TScriptDelegate() = default;

	/** Binds to the function of that name; does not check that it exists (see IsBound). */
	void BindUFunction(UObject* InObject, const FName& InFunctionName)
	{
		Object = InObject;
		FunctionName = InFunctionName;
	}

	/** @return true while the object is alive and its class has the function. */
	bool IsBound() const
	{
		const auto* BoundObject = Object.Get();
		return BoundObject && BoundObject->FindFunction(FunctionName);
	}

	bool IsBoundToObject(void const* InUserObject) const { return InUserObject && InUserObject == static_cast<const void*>(GetUObject()); }

	/** @return the bound object, or null once it is gone. */
	UObject* GetUObject() const { return Object.Get(); }

	FName GetFunctionName() const { return FunctionName; }

	void Unbind()
	{
		Object.Reset();
		FunctionName = FName();
	}
	void Clear() { Unbind(); }

	bool operator==(const TScriptDelegate& Other) const { return Object == Other.Object && FunctionName == Other.FunctionName; }
	bool operator!=(const TScriptDelegate& Other) const { return !(*this == Other); }

protected:
	TWeakPtr Object;
	FName FunctionName;
};

/** Any number of bindings, called in the order they were added. */
template <typename TWeakPtr = FWeakObjectPtr>
class TMulticastScriptDelegate
{
public:
	using FBinding = TScriptDelegate<TWeakPtr>;

	/** @return true when something is bound, even an object that has been destroyed since. */
	bool IsBound() const { return InvocationList.Num() > 0; }

	bool Contains(const FBinding& InDelegate) const { return InvocationList.Contains(InDelegate); }

	bool Contains(const UObject* InObject, FName InFunctionName) const
	{
		return InvocationList.ContainsByPredicate([InObject, &InFunctionName](const FBinding& Binding) {
			return Binding.GetFunctionName() == InFunctionName && Binding.GetUObject() == InObject;
		});
	}

	/** Adds a binding, even one that is already there. */
	void Add(const FBinding& InDelegate)
	{
		CompactInvocationList();
		InvocationList.Add(InDelegate);
	}

	/** Adds a binding unless it is already there. */
	void AddUnique(const FBinding& InDelegate)
	{
		CompactInvocationList();
		InvocationList.AddUnique(InDelegate);
	}

	void Remove(const FBinding& InDelegate) { InvocationList.Remove(InDelegate); }

	void Remove(const UObject* InObject, FName InFunctionName)
	{
		InvocationList.RemoveAll([InObject, &InFunctionName](const FBinding& Binding) {
			return Binding.GetFunctionName() == InFunctionName && Binding.GetUObject() == InObject;
		});
	}

	/** Removes every binding to InObject. */
	void RemoveAll(const UObject* InObject)
	{
		InvocationList.RemoveAll([InObject](const FBinding& Binding) {
			return Binding.GetUObject() == InObject;
		});
	}

	void Clear() { InvocationList.Empty(); }

	/**
	 * Calls every binding whose object is still alive, in binding order, with the same parameter block.
	 * Bindings added or removed by a called function take effect at the next broadcast.
	 */
	template <class UObjectTemplate>
	void ProcessMulticastDelegate(void* Parameters) const
	{
		const TArray<FBinding> Snapshot = InvocationList;
		for (const FBinding& Binding : Snapshot)
		{
			UObjectTemplate* BoundObject = static_cast<UObjectTemplate*>(Binding.GetUObject());
			if (!BoundObject)
			{
				continue;
			}
			if (UFunction* Function = BoundObject->FindFunction(Binding.GetFunctionName()))
			{
				BoundObject->ProcessEvent(Function, Parameters);
			}
		}
	}

	/** @return the objects still bound, in binding order. */
	TArray<UObject*> GetAllObjects() const
	{
		TArray<UObject*> Objects;
		for (const FBinding& Binding : InvocationList)
		{
			if (UObject* BoundObject = Binding.GetUObject())
			{
				Objects.Add(BoundObject);
			}
		}
		return Objects;
	}

protected:
	// Bindings to destroyed objects go when the list next grows, so it does not fill up with them.
	void CompactInvocationList()
	{
		InvocationList.RemoveAll([](const FBinding& Binding) {
			return Binding.GetUObject() == nullptr;
		});
	}

	TArray<FBinding> InvocationList;
};

using FScriptDelegate = TScriptDelegate<>;
using FMulticastScriptDelegate = TMulticastScriptDelegate<>;

/** The base of a multicast dynamic delegate type declared with DECLARE_DYNAMIC_MULTICAST_DELEGATE*. */
template <typename TWeakPtr, typename RetValType, typename... ParamTypes>
class TBaseDynamicMulticastDelegate : public TMulticastScriptDelegate<TWeakPtr>
{
public:
	template <typename UserClass>
	using TMethodPtr = RetValType (UserClass::*)(ParamTypes...);

	/** Use the AddDynamic macro. An unknown function name is reported at Error and nothing is bound. */
	template <typename UserClass>
	void Internal_AddDynamic(UserClass* InUserObject, std::type_identity_t<TMethodPtr<UserClass>> InMethodPtr, FName InFunctionName)
	{
		TScriptDelegate<TWeakPtr> Binding;
		if (MakeBinding(Binding, InUserObject, InMethodPtr, InFunctionName))
		{
			this->Add(Binding);
		}
	}

	/** Use the AddUniqueDynamic macro. */
	template <typename UserClass>
	void Internal_AddUniqueDynamic(UserClass* InUserObject, std::type_identity_t<TMethodPtr<UserClass>> InMethodPtr, FName InFunctionName)
	{
		TScriptDelegate<TWeakPtr> Binding;
		if (MakeBinding(Binding, InUserObject, InMethodPtr, InFunctionName))
		{
			this->AddUnique(Binding);
		}
	}

	/** Use the RemoveDynamic macro. */
	template <typename UserClass>
	void Internal_RemoveDynamic(UserClass* InUserObject, std::type_identity_t<TMethodPtr<UserClass>> InMethodPtr, FName InFunctionName)
	{
		check(InUserObject && InMethodPtr);
		this->Remove(InUserObject, InFunctionName);
	}

	/** Use the IsAlreadyBound macro. */
	template <typename UserClass>
	bool Internal_IsAlreadyBound(UserClass* InUserObject, std::type_identity_t<TMethodPtr<UserClass>> InMethodPtr, FName InFunctionName) const
	{
		check(InUserObject && InMethodPtr);
		return this->Contains(InUserObject, InFunctionName);
	}

private:
	template <typename UserClass>
	static bool MakeBinding(TScriptDelegate<TWeakPtr>& OutBinding, UserClass* InUserObject, TMethodPtr<UserClass> InMethodPtr, FName InFunctionName)
	{
		check(InUserObject && InMethodPtr);
		if (!InUserObject->FindFunction(InFunctionName))
		{
			UE::Delegates::Private::ReportUnknownDynamicFunction(InUserObject->GetName(), InFunctionName);
			return false;
		}
		OutBinding.BindUFunction(InUserObject, InFunctionName);
		return true;
	}
};

/** Adds a binding to a reflected member function: OnDone.AddDynamic(this, &UMyClass::HandleDone). */
#define AddDynamic(UserObject, FuncName) Internal_AddDynamic(UserObject, FuncName, ::UE::Delegates::Private::GetTrimmedMemberFunctionName(TEXT(#FuncName)))
/** Adds a binding unless that object and function are bound already. */
#define AddUniqueDynamic(UserObject, FuncName)                                                                                                                 \
	Internal_AddUniqueDynamic(UserObject, FuncName, ::UE::Delegates::Private::GetTrimmedMemberFunctionName(TEXT(#FuncName)))
/** Removes the binding of that object and function. */
#define RemoveDynamic(UserObject, FuncName)                                                                                                                    \
	Internal_RemoveDynamic(UserObject, FuncName, ::UE::Delegates::Private::GetTrimmedMemberFunctionName(TEXT(#FuncName)))
/** True when that object and function are bound. */
#define IsAlreadyBound(UserObject, FuncName)                                                                                                                   \
	Internal_IsAlreadyBound(UserObject, FuncName, ::UE::Delegates::Private::GetTrimmedMemberFunctionName(TEXT(#FuncName)))

// The declaration macro of the one shape declared here (the engine has one for each count of parameters) defines the
// delegate type; the header tool reads it and reflects the signature.
#define DECLARE_DYNAMIC_MULTICAST_DELEGATE_ThreeParams(DelegateName, Param1Type, Param1Name, Param2Type, Param2Name, Param3Type, Param3Name)                   \
	class DelegateName : public TBaseDynamicMulticastDelegate<FWeakObjectPtr, void, Param1Type, Param2Type, Param3Type>                                        \
	{                                                                                                                                                          \
	public:                                                                                                                                                    \
		struct FParms                                                                                                                                          \
		{                                                                                                                                                      \
			std::remove_cvref_t<Param1Type> Param1Name;                                                                                                        \
			std::remove_cvref_t<Param2Type> Param2Name;                                                                                                        \
			std::remove_cvref_t<Param3Type> Param3Name;                                                                                                        \
		};                                                                                                                                                     \
		static UFunction* GetSignatureFunction();                                                                                                              \
		template <typename UObjectTemplate = UObject>                                                                                                          \
		void Broadcast(Param1Type In##Param1Name, Param2Type In##Param2Name, Param3Type In##Param3Name) const                                                  \
		{                                                                                                                                                      \
			FParms Parms{In##Param1Name, In##Param2Name, In##Param3Name};                                                                                      \
			this->template ProcessMulticastDelegate<UObjectTemplate>(&Parms);                                                                                  \
		}                                                                                                                                                      \
	}
