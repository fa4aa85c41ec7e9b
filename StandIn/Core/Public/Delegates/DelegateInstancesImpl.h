// The bindings a delegate holds: a callable, an optional object it calls into (raw, shared or object-system
// weak), and the payload values copied in when the binding was made.
#pragma once

#include "Delegates/IDelegateInstance.h"
#include "Misc/AssertionMacros.h"
#include "Templates/SharedPointer.h"
#include "Templates/UnrealTemplate.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace UE::Delegates::Private
{
	template <typename FuncType>
	class IBaseDelegateInstance;

	/** A binding as the delegate that owns it sees it: callable with the delegate's own parameters. */
	template <typename Ret, typename... Params>
	class IBaseDelegateInstance<Ret(Params...)> : public IDelegateInstance
	{
	public:
		/** Calls the target; the caller has made sure the binding is safe to execute. */
		virtual Ret Execute(Params... Args) const = 0;

		/** Calls the target unless its object is gone; any result is dropped. @return whether it ran. */
		virtual bool ExecuteIfSafe(Params... Args) const = 0;
	};

	/** A pointer to an object that is alive for as long as the pointer is used. */
	template <typename UserClass>
	struct TPinnedRaw
	{
		UserClass* Object = nullptr;

		explicit operator bool() const { return Object != nullptr; }
		UserClass* Get() const { return Object; }
	};

	/** Bindings that call no object: static functions and lambdas. */
	struct FNoObject
	{
		struct FPinned
		{
			explicit operator bool() const { return true; }
		};

		bool IsAlive() const { return true; }
		FPinned Pin() const { return {}; }
		FDelegateUserObjectConst GetRaw() const { return nullptr; }
	};

	/** An object the caller promises outlives the binding. */
	template <typename UserClass>
	struct TRawObject
	{
		UserClass* Object = nullptr;

		bool IsAlive() const { return Object != nullptr; }
		TPinnedRaw<UserClass> Pin() const { return {Object}; }
		FDelegateUserObjectConst GetRaw() const { return Object; }
	};

	/** An object owned by shared references; held weakly and kept alive while a call runs. */
	template <typename UserClass, ESPMode Mode>
	struct TSharedObject
	{
		TWeakPtr<UserClass, Mode> Object;
		FDelegateUserObjectConst Raw = nullptr;

		bool IsAlive() const { return Object.IsValid(); }
		TSharedPtr<UserClass, Mode> Pin() const { return Object.Pin(); }
		FDelegateUserObjectConst GetRaw() const { return Raw; }
	};

	/** An object of the object system; held weakly, so a collected object leaves the binding unbound. */
	template <typename UserClass>
	struct TUObjectObject
	{
		using FMutableClass = std::remove_const_t<UserClass>;

		TWeakObjectPtr<FMutableClass> Object;
		FDelegateUserObjectConst Raw = nullptr;

		explicit TUObjectObject(UserClass* InObject)
		    : Object(const_cast<FMutableClass*>(InObject))
		    , Raw(InObject)
		{
		}

		bool IsAlive() const { return Object.IsValid(); }
		TPinnedRaw<UserClass> Pin() const { return {Object.Get()}; }
		FDelegateUserObjectConst GetRaw() const { return Raw; }
	};

	/** The first argument a binding's callable takes: the object for methods, nothing otherwise. */
	template <typename ObjectPolicy, bool bPassObject>
	struct TObjectArgument
	{
		using Type = decltype(std::declval<ObjectPolicy>().Pin().Get());
	};

	template <typename FuncType, typename ObjectPolicy, bool bPassObject, typename CallableType, typename PayloadType>
	class TDelegateInstance;

	/**
	 * One binding. The callable is called with the delegate's parameters followed by the payload; with
	 * bPassObject, a member function is called on the object first. Payload and callable are mutable because
	 * a bound function may take its payload by non-const reference, as the engine allows.
	 */
	template <typename Ret, typename... Params, typename ObjectPolicy, bool bPassObject, typename CallableType, typename... VarTypes>
	class TDelegateInstance<Ret(Params...), ObjectPolicy, bPassObject, CallableType, std::tuple<VarTypes...>> final
	    : public IBaseDelegateInstance<Ret(Params...)>
	{
	public:
		template <typename InCallableType, typename... InVarTypes>
		TDelegateInstance(ObjectPolicy InObject, InCallableType&& InCallable, InVarTypes&&... Vars)
		    : Object(MoveTemp(InObject))
		    , Callable(Forward<InCallableType>(InCallable))
		    , Payload(Forward<InVarTypes>(Vars)...)
		    , Handle(FDelegateHandle::GenerateNewHandle)
		{
			if constexpr (bPassObject)
			{
				static_assert(std::is_invocable_r_v<Ret, CallableType&, typename TObjectArgument<ObjectPolicy, true>::Type, Params..., VarTypes&...>,
				              "The function cannot be called on this object with the delegate's parameters followed by the payload.");
			}
			else
			{
				static_assert(std::is_invocable_r_v<Ret, CallableType&, Params..., VarTypes&...>,
				              "The function cannot be called with the delegate's parameters followed by the payload.");
			}
		}

		bool IsSafeToExecute() const override { return Object.IsAlive(); }
		bool HasSameObject(FDelegateUserObjectConst UserObject) const override { return UserObject != nullptr && Object.GetRaw() == UserObject; }
		FDelegateHandle GetHandle() const override { return Handle; }

		Ret Execute(Params... Args) const override
		{
			// Pinning keeps a shared object alive until the call returns, even if the call drops the last reference.
			const auto Pinned = Object.Pin();
			check(Pinned);
			return Invoke(Pinned, std::index_sequence_for<VarTypes...>(), Forward<Params>(Args)...);
		}

		bool ExecuteIfSafe(Params... Args) const override
		{
			const auto Pinned = Object.Pin();
			if (!Pinned)
			{
				return false;
			}
			Invoke(Pinned, std::index_sequence_for<VarTypes...>(), Forward<Params>(Args)...);
			return true;
		}

	private:
		template <typename PinnedType, std::size_t... Indices, typename... ArgTypes>
		Ret Invoke([[maybe_unused]] const PinnedType& Pinned, std::index_sequence<Indices...>, ArgTypes&&... Args) const
		{
			if constexpr (bPassObject)
			{
				return static_cast<Ret>(std::invoke(Callable, Pinned.Get(), Forward<ArgTypes>(Args)..., std::get<Indices>(Payload)...));
			}
			else
			{
				return static_cast<Ret>(std::invoke(Callable, Forward<ArgTypes>(Args)..., std::get<Indices>(Payload)...));
			}
		}

		ObjectPolicy Object;
		mutable CallableType Callable;
		mutable std::tuple<VarTypes...> Payload;
		FDelegateHandle Handle;
	};
} // namespace UE::Delegates::Private
