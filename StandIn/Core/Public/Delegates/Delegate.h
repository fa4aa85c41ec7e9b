// Delegates: TDelegate holds one binding to a function, lambda or method and calls it; TMulticastDelegate
// holds any number and calls them all. Declared by name with the DECLARE_*DELEGATE* macros.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Delegates/DelegateInstancesImpl.h"
#include "Delegates/IDelegateInstance.h"
#include "Misc/AssertionMacros.h"
#include "Templates/SharedPointer.h"
#include "Templates/UnrealTemplate.h"
#include <memory>
#include <tuple>
#include <type_traits>

template <typename FuncType>
class TDelegate;

template <typename FuncType>
class TMulticastDelegate;

/**
 * A single-cast delegate. Payload values given when binding are copied in and passed after the call's own
 * arguments. Bindings to shared or object-system objects hold them weakly: once the object is gone the
 * delegate reports itself unbound. Copies share the binding (and its handle).
 */
template <typename Ret, typename... Params>
class TDelegate<Ret(Params...)>
{
	using FInstance = UE::Delegates::Private::IBaseDelegateInstance<Ret(Params...)>;

	template <typename ObjectPolicy, bool bPassObject, typename PayloadType, typename CallableType, typename... VarTypes>
	static TDelegate MakeBinding(ObjectPolicy&& Object, CallableType&& Callable, VarTypes&&... Vars)
	{
		static_assert(std::tuple_size_v<PayloadType> == sizeof...(VarTypes), "The number of payload values does not match the function's extra parameters.");
		using FImpl =
		    UE::Delegates::Private::TDelegateInstance<Ret(Params...), std::decay_t<ObjectPolicy>, bPassObject, std::decay_t<CallableType>, PayloadType>;
		TDelegate Result;
		Result.Instance = std::make_shared<const FImpl>(Forward<ObjectPolicy>(Object), Forward<CallableType>(Callable), Forward<VarTypes>(Vars)...);
		return Result;
	}

	// The payload a member function expects after the delegate's own parameters (declared only: used in decltype).
	template <typename UserClass, typename... FuncVarTypes>
	static std::tuple<std::decay_t<FuncVarTypes>...> MethodPayload(Ret (UserClass::*)(Params..., FuncVarTypes...));
	template <typename UserClass, typename... FuncVarTypes>
	static std::tuple<std::decay_t<FuncVarTypes>...> MethodPayload(Ret (UserClass::*)(Params..., FuncVarTypes...) const);
	template <typename MethodType>
	using TMethodPayload = decltype(MethodPayload(std::declval<MethodType>()));

	template <typename UserClass, ESPMode Mode>
	static UE::Delegates::Private::TSharedObject<UserClass, Mode> WeakShared(const TSharedRef<UserClass, Mode>& Object)
	{
		return {TWeakPtr<UserClass, Mode>(Object), &Object.Get()};
	}

public:
	using RetValType = Ret;
	using TFuncType = Ret(Params...);

	/** An unbound delegate. */
	TDelegate() = default;
	TDelegate(TYPE_OF_NULLPTR) {}

	/** Binds a free or static function; Vars are passed after the call's arguments. */
	template <typename... FuncVarTypes, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateStatic(Ret (*InFunc)(Params..., FuncVarTypes...), VarTypes&&... Vars)
	{
		check(InFunc != nullptr);
		return MakeBinding<UE::Delegates::Private::FNoObject, false, std::tuple<std::decay_t<FuncVarTypes>...>>(UE::Delegates::Private::FNoObject(), InFunc,
		                                                                                                        Forward<VarTypes>(Vars)...);
	}

	/** Binds a lambda or other functor, copied or moved into the delegate. */
	template <typename FunctorType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateLambda(FunctorType&& InFunctor, VarTypes&&... Vars)
	{
		return MakeBinding<UE::Delegates::Private::FNoObject, false, std::tuple<std::decay_t<VarTypes>...>>(
		    UE::Delegates::Private::FNoObject(), Forward<FunctorType>(InFunctor), Forward<VarTypes>(Vars)...);
	}

	/** Binds a method of an object that the caller keeps alive for as long as the delegate may run. */
	template <typename UserClass, typename MethodType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateRaw(UserClass* InUserObject, MethodType InFunc, VarTypes&&... Vars)
	{
		check(InUserObject != nullptr);
		return MakeBinding<UE::Delegates::Private::TRawObject<UserClass>, true, TMethodPayload<MethodType>>(
		    UE::Delegates::Private::TRawObject<UserClass>{InUserObject}, InFunc, Forward<VarTypes>(Vars)...);
	}

	/** Binds a method of a shared object, held weakly. */
	template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateSP(const TSharedRef<UserClass, Mode>& InUserObjectRef, MethodType InFunc, VarTypes&&... Vars)
	{
		return MakeBinding<UE::Delegates::Private::TSharedObject<UserClass, Mode>, true, TMethodPayload<MethodType>>(WeakShared(InUserObjectRef), InFunc,
		                                                                                                             Forward<VarTypes>(Vars)...);
	}
	template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateSP(const TSharedPtr<UserClass, Mode>& InUserObject, MethodType InFunc, VarTypes&&... Vars)
	{
		return CreateSP(InUserObject.ToSharedRef(), InFunc, Forward<VarTypes>(Vars)...);
	}
	/** Binds a method of an object that derives from TSharedFromThis and is already owned by a shared reference. */
	template <typename UserClass, typename MethodType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateSP(UserClass* InUserObject, MethodType InFunc, VarTypes&&... Vars)
	{
		check(InUserObject != nullptr);
		return CreateSP(StaticCastSharedRef<UserClass>(InUserObject->AsShared()), InFunc, Forward<VarTypes>(Vars)...);
	}

	/** Binds a lambda that runs only while a shared object is alive. */
	template <typename UserClass, ESPMode Mode, typename FunctorType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateSPLambda(const TSharedRef<UserClass, Mode>& InUserObjectRef, FunctorType&& InFunctor, VarTypes&&... Vars)
	{
		return MakeBinding<UE::Delegates::Private::TSharedObject<UserClass, Mode>, false, std::tuple<std::decay_t<VarTypes>...>>(
		    WeakShared(InUserObjectRef), Forward<FunctorType>(InFunctor), Forward<VarTypes>(Vars)...);
	}
	template <typename UserClass, typename FunctorType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateSPLambda(UserClass* InUserObject, FunctorType&& InFunctor, VarTypes&&... Vars)
	{
		check(InUserObject != nullptr);
		return CreateSPLambda(StaticCastSharedRef<UserClass>(InUserObject->AsShared()), Forward<FunctorType>(InFunctor), Forward<VarTypes>(Vars)...);
	}

	/** Binds a method of an object-system object, held weakly: the delegate is unbound once the object is collected. */
	template <typename UserClass, typename MethodType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateUObject(UserClass* InUserObject, MethodType InFunc, VarTypes&&... Vars)
	{
		check(InUserObject != nullptr);
		return MakeBinding<UE::Delegates::Private::TUObjectObject<UserClass>, true, TMethodPayload<MethodType>>(
		    UE::Delegates::Private::TUObjectObject<UserClass>(InUserObject), InFunc, Forward<VarTypes>(Vars)...);
	}

	/** Binds a lambda that runs only while an object-system object is alive. */
	template <typename UserClass, typename FunctorType, typename... VarTypes>
	[[nodiscard]] static TDelegate CreateWeakLambda(UserClass* InUserObject, FunctorType&& InFunctor, VarTypes&&... Vars)
	{
		check(InUserObject != nullptr);
		return MakeBinding<UE::Delegates::Private::TUObjectObject<UserClass>, false, std::tuple<std::decay_t<VarTypes>...>>(
		    UE::Delegates::Private::TUObjectObject<UserClass>(InUserObject), Forward<FunctorType>(InFunctor), Forward<VarTypes>(Vars)...);
	}

	template <typename... ArgTypes>
	void BindStatic(ArgTypes&&... Args)
	{
		*this = CreateStatic(Forward<ArgTypes>(Args)...);
	}
	template <typename... ArgTypes>
	void BindLambda(ArgTypes&&... Args)
	{
		*this = CreateLambda(Forward<ArgTypes>(Args)...);
	}
	template <typename... ArgTypes>
	void BindRaw(ArgTypes&&... Args)
	{
		*this = CreateRaw(Forward<ArgTypes>(Args)...);
	}
	template <typename... ArgTypes>
	void BindSP(ArgTypes&&... Args)
	{
		*this = CreateSP(Forward<ArgTypes>(Args)...);
	}
	template <typename... ArgTypes>
	void BindSPLambda(ArgTypes&&... Args)
	{
		*this = CreateSPLambda(Forward<ArgTypes>(Args)...);
	}
	template <typename... ArgTypes>
	void BindUObject(ArgTypes&&... Args)
	{
		*this = CreateUObject(Forward<ArgTypes>(Args)...);
	}
	template <typename... ArgTypes>
	void BindWeakLambda(ArgTypes&&... Args)
	{
		*this = CreateWeakLambda(Forward<ArgTypes>(Args)...);
	}

	/** @return true if a binding is set and any object it holds weakly is still alive. */
	bool IsBound() const { return Instance != nullptr && Instance->IsSafeToExecute(); }

	/** @return true if the binding calls into InUserObject. */
	bool IsBoundToObject(FDelegateUserObjectConst InUserObject) const { return Instance != nullptr && Instance->HasSameObject(InUserObject); }

	/** Calls the binding; the delegate must be bound (a programming error otherwise). */
	Ret Execute(Params... Args) const
	{
		checkf(Instance != nullptr, TEXT("Execute called on an unbound delegate"));
		return Instance->Execute(Forward<Params>(Args)...);
	}

	/** Calls the binding if it is bound. @return true if it ran. */
	bool ExecuteIfBound(Params... Args) const requires std::is_void_v<Ret> { return Instance != nullptr && Instance->ExecuteIfSafe(Forward<Params>(Args)...); }

	/** Drops the binding. */
	void Unbind() { Instance.reset(); }

	/** @return the handle of the current binding, or an empty handle. */
	FDelegateHandle GetHandle() const { return Instance != nullptr ? Instance->GetHandle() : FDelegateHandle(); }

private:
	// Bindings never change once made, so copies of a delegate can share one.
	std::shared_ptr<const FInstance> Instance;
};

/**
 * A multicast delegate: calls every binding in the order they were added. A binding removed while a
 * broadcast runs (by itself or another) is not called afterwards; one added during a broadcast waits for the next.
 */
template <typename... Params>
class TMulticastDelegate<void(Params...)>
{
public:
	using FDelegate = TDelegate<void(Params...)>;

	TMulticastDelegate() = default;
	// A copy takes the bindings only, not the state of a broadcast that may be running on the original.
	TMulticastDelegate(const TMulticastDelegate& Other)
	    : InvocationList(Other.InvocationList)
	{
	}
	TMulticastDelegate& operator=(const TMulticastDelegate& Other)
	{
		if (this != &Other)
		{
			InvocationList = Other.InvocationList;
			CompactIfIdle();
		}
		return *this;
	}

	/** Adds a binding. @return its handle, or an empty handle if InNewDelegate was unbound. */
	FDelegateHandle Add(const FDelegate& InNewDelegate)
	{
		if (!InNewDelegate.IsBound())
		{
			return FDelegateHandle();
		}
		CompactIfIdle();
		InvocationList.Add(InNewDelegate);
		return InNewDelegate.GetHandle();
	}

	template <typename... ArgTypes>
	FDelegateHandle AddStatic(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateStatic(Forward<ArgTypes>(Args)...));
	}
	template <typename... ArgTypes>
	FDelegateHandle AddLambda(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateLambda(Forward<ArgTypes>(Args)...));
	}
	template <typename... ArgTypes>
	FDelegateHandle AddRaw(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateRaw(Forward<ArgTypes>(Args)...));
	}
	template <typename... ArgTypes>
	FDelegateHandle AddSP(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateSP(Forward<ArgTypes>(Args)...));
	}
	template <typename... ArgTypes>
	FDelegateHandle AddSPLambda(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateSPLambda(Forward<ArgTypes>(Args)...));
	}
	template <typename... ArgTypes>
	FDelegateHandle AddUObject(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateUObject(Forward<ArgTypes>(Args)...));
	}
	template <typename... ArgTypes>
	FDelegateHandle AddWeakLambda(ArgTypes&&... Args)
	{
		return Add(FDelegate::CreateWeakLambda(Forward<ArgTypes>(Args)...));
	}

	/** Removes the binding with this handle. @return true if one was found. */
	bool Remove(FDelegateHandle Handle)
	{
		if (!Handle.IsValid())
		{
			return false;
		}
		for (FDelegate& Delegate : InvocationList)
		{
			if (Delegate.GetHandle() == Handle)
			{
				Delegate.Unbind();
				CompactIfIdle();
				return true;
			}
		}
		return false;
	}

	/** Removes every binding that calls into InUserObject. @return how many were removed. */
	int32 RemoveAll(FDelegateUserObjectConst InUserObject)
	{
		int32 NumRemoved = 0;
		for (FDelegate& Delegate : InvocationList)
		{
			if (Delegate.IsBoundToObject(InUserObject))
			{
				Delegate.Unbind();
				++NumRemoved;
			}
		}
		CompactIfIdle();
		return NumRemoved;
	}

	/** Removes every binding. */
	void Clear()
	{
		for (FDelegate& Delegate : InvocationList)
		{
			Delegate.Unbind();
		}
		CompactIfIdle();
	}

	/** @return true if any binding would run on Broadcast. */
	bool IsBound() const
	{
		for (const FDelegate& Delegate : InvocationList)
		{
			if (Delegate.IsBound())
			{
				return true;
			}
		}
		return false;
	}

	/** @return true if any binding calls into InUserObject. */
	bool IsBoundToObject(FDelegateUserObjectConst InUserObject) const
	{
		for (const FDelegate& Delegate : InvocationList)
		{
			if (Delegate.IsBoundToObject(InUserObject))
			{
				return true;
			}
		}
		return false;
	}

	/** Calls every binding whose object is still alive. */
	void Broadcast(Params... Args) const
	{
		++BroadcastDepth;
		// Bindings added by a handler go to the end and wait for the next broadcast.
		const int32 NumToCall = InvocationList.Num();
		for (int32 Index = 0; Index < NumToCall; ++Index)
		{
			// A copy, so that a handler that removes its own binding finishes running with it.
			const FDelegate Delegate = InvocationList[Index];
			Delegate.ExecuteIfBound(Args...);
		}
		--BroadcastDepth;
		CompactIfIdle();
	}

private:
	// Removal only unbinds in place while a broadcast runs, so that its indices stay valid; entries go afterwards.
	void CompactIfIdle() const
	{
		if (BroadcastDepth == 0)
		{
			InvocationList.RemoveAll([](const FDelegate& Delegate) {
				return !Delegate.IsBound();
			});
		}
	}

	mutable TArray<FDelegate> InvocationList;
	mutable int32 BroadcastDepth = 0;
};

#include "Delegates/DelegateCombinations.h"

DECLARE_DELEGATE(FSimpleDelegate);
DECLARE_MULTICAST_DELEGATE(FSimpleMulticastDelegate);

#include "UObject/ScriptDelegates.h"
