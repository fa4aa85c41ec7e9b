// TFunction and TUniqueFunction: type-erased callables (the unique one accepts move-only callables); TFunctionRef: a
// callable borrowed for the length of a call, never copied or owned.
#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

template <typename FuncType>
class TFunction;

template <typename Ret, typename... ParamTypes>
class TFunction<Ret(ParamTypes...)> : public std::function<Ret(ParamTypes...)>
{
public:
	using std::function<Ret(ParamTypes...)>::function;
	TFunction() = default;
	bool IsSet() const { return static_cast<bool>(*this); }
	void Reset() { *this = nullptr; }
};

template <typename FuncType>
class TUniqueFunction;

template <typename Ret, typename... ParamTypes>
class TUniqueFunction<Ret(ParamTypes...)>
{
public:
	TUniqueFunction() = default;
	TUniqueFunction(std::nullptr_t) {}
	template <typename FunctorType, typename = std::enable_if_t<std::is_invocable_r_v<Ret, std::decay_t<FunctorType>&, ParamTypes...> &&
	                                                            !std::is_same_v<std::decay_t<FunctorType>, TUniqueFunction>>>
	TUniqueFunction(FunctorType&& Functor)
	{
		auto Holder = std::make_shared<std::decay_t<FunctorType>>(std::forward<FunctorType>(Functor));
		Callable = [Holder](ParamTypes... Args) -> Ret {
			return (*Holder)(std::forward<ParamTypes>(Args)...);
		};
	}
	TUniqueFunction(TUniqueFunction&&) = default;
	TUniqueFunction& operator=(TUniqueFunction&&) = default;
	TUniqueFunction(const TUniqueFunction&) = delete;
	TUniqueFunction& operator=(const TUniqueFunction&) = delete;

	Ret operator()(ParamTypes... Args) const { return Callable(std::forward<ParamTypes>(Args)...); }
	explicit operator bool() const { return static_cast<bool>(Callable); }
	bool IsSet() const { return static_cast<bool>(Callable); }
	void Reset() { Callable = nullptr; }

private:
	std::function<Ret(ParamTypes...)> Callable;
};

template <typename FuncType>
class TFunctionRef;

template <typename Ret, typename... ParamTypes>
class TFunctionRef<Ret(ParamTypes...)>
{
public:
	/** Refers to Functor, which must outlive this reference: pass it straight to the function that calls it. */
	template <typename FunctorType, typename = std::enable_if_t<std::is_invocable_r_v<Ret, std::remove_reference_t<FunctorType>&, ParamTypes...> &&
	                                                            !std::is_same_v<std::decay_t<FunctorType>, TFunctionRef>>>
	TFunctionRef(FunctorType&& Functor)
	    : Callable(const_cast<void*>(static_cast<const void*>(std::addressof(Functor))))
	    , Invoke([](void* Target, ParamTypes... Args) -> Ret {
		    return (*static_cast<std::remove_reference_t<FunctorType>*>(Target))(std::forward<ParamTypes>(Args)...);
	    })
	{
	}
	TFunctionRef(const TFunctionRef&) = default;
	TFunctionRef& operator=(const TFunctionRef&) = delete;

	Ret operator()(ParamTypes... Args) const { return Invoke(Callable, std::forward<ParamTypes>(Args)...); }

private:
	void* Callable;
	Ret (*Invoke)(void*, ParamTypes...);
};
