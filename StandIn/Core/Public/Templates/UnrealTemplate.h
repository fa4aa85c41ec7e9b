// Move and forward helpers under the engine's names.
#pragma once

#include <type_traits>
#include <utility>

/** Casts to an rvalue reference; refuses an rvalue or a const object, where the move would do nothing. */
template <typename T>
constexpr std::remove_reference_t<T>&& MoveTemp(T&& Object) noexcept
{
	using CastType = std::remove_reference_t<T>;
	static_assert(std::is_lvalue_reference_v<T>, "MoveTemp called on an rvalue");
	static_assert(!std::is_const_v<CastType>, "MoveTemp called on a const object");
	return static_cast<CastType&&>(Object);
}

template <typename T>
constexpr T&& Forward(std::remove_reference_t<T>& Object) noexcept
{
	return static_cast<T&&>(Object);
}

template <typename T>
constexpr T&& Forward(std::remove_reference_t<T>&& Object) noexcept
{
	return static_cast<T&&>(Object);
}

template <typename T>
inline void Swap(T& A, T& B)
{
	std::swap(A, B);
}

template <typename T, typename U = T>
inline T Exchange(T& Value, U&& NewValue)
{
	return std::exchange(Value, std::forward<U>(NewValue));
}

#define UE_ARRAY_COUNT(Array) (sizeof(Array) / sizeof((Array)[0]))
