// GetTypeHash: the hash that TMap and TSet use for their keys.
#pragma once

#include "CoreTypes.h"
#include <functional>
#include <type_traits>

template <typename T>
inline std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T> || std::is_pointer_v<T>, uint32> GetTypeHash(T Value)
{
	return static_cast<uint32>(std::hash<T>{}(Value));
}

inline uint32 HashCombine(uint32 A, uint32 B)
{
	return A ^ (B + 0x9e3779b9u + (A << 6) + (A >> 2));
}
