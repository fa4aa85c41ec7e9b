// TAttribute: a widget or menu property that holds either a fixed value or a getter asked on every read.
#pragma once

#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Templates/Function.h"
#include "Templates/UnrealTemplate.h"
#include <type_traits>
#include <utility>

template <typename ObjectType>
class TAttribute
{
public:
	/** The getter a bound attribute calls each time it is read. */
	using FGetter = TDelegate<ObjectType()>;

	/** An unset attribute: Get() returns a default-constructed value. */
	TAttribute() = default;

	/** A fixed value; anything the value type can be built from is accepted, as a widget argument allows. */
	template <typename OtherType,
	          typename = std::enable_if_t<std::is_constructible_v<ObjectType, const OtherType&> && !std::is_same_v<std::decay_t<OtherType>, TAttribute>>>
	TAttribute(const OtherType& InInitialValue)
	    : Value(InInitialValue)
	    , bIsSet(true)
	{
	}

	/** An attribute bound to a getter. */
	static TAttribute Create(const FGetter& InGetter)
	{
		TAttribute Attribute;
		Attribute.Bind(InGetter);
		return Attribute;
	}

	/** An attribute bound to any callable returning the value. */
	static TAttribute Create(TFunction<ObjectType()>&& InGetterFunc) { return Create(FGetter::CreateLambda(MoveTemp(InGetterFunc))); }

	/** @return the value; a bound attribute asks its getter again on every call. */
	const ObjectType& Get() const
	{
		if (Getter.IsBound())
		{
			Value = Getter.Execute();
		}
		return Value;
	}

	/** @return the value, or DefaultValue when the attribute is neither set nor bound. */
	const ObjectType& Get(const ObjectType& DefaultValue) const { return bIsSet ? Get() : DefaultValue; }

	/** Sets a fixed value, dropping any getter. */
	void Set(const ObjectType& InNewValue)
	{
		Getter.Unbind();
		Value = InNewValue;
		bIsSet = true;
	}

	/** Binds a getter in place of the value. */
	void Bind(const FGetter& InGetter)
	{
		bIsSet = true;
		Getter = InGetter;
	}

	/** Binds a callable in place of the value. */
	void Bind(TFunction<ObjectType()>&& InGetterFunc) { Bind(FGetter::CreateLambda(MoveTemp(InGetterFunc))); }

	template <typename... VarTypes>
	void BindStatic(ObjectType (*InFunc)(VarTypes...), VarTypes... Vars)
	{
		Bind(FGetter::CreateStatic(InFunc, Vars...));
	}

	template <typename FunctorType>
	void BindLambda(FunctorType&& InFunctor)
	{
		Bind(FGetter::CreateLambda(std::forward<FunctorType>(InFunctor)));
	}

	/** @return true if a value was given or a getter bound. */
	bool IsSet() const { return bIsSet; }

	/** @return true if the attribute reads through a getter. */
	bool IsBound() const { return Getter.IsBound(); }

	const FGetter& GetBinding() const { return Getter; }

	bool IdenticalTo(const TAttribute& Other) const { return !IsBound() && !Other.IsBound() && bIsSet == Other.bIsSet && Value == Other.Value; }

private:
	mutable ObjectType Value = ObjectType();
	FGetter Getter;
	bool bIsSet = false;
};
