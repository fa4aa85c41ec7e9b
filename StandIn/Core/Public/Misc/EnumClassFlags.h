// Bitwise operators for flag enumerations (scoped or not), and the tests that read them.
#pragma once

#include <type_traits>

#define ENUM_CLASS_FLAGS(Enum)                                                                                                                                 \
	inline constexpr Enum& operator|=(Enum& Lhs, Enum Rhs)                                                                                                     \
	{                                                                                                                                                          \
		return Lhs = (Enum)((std::underlying_type_t<Enum>)Lhs | (std::underlying_type_t<Enum>)Rhs);                                                            \
	}                                                                                                                                                          \
	inline constexpr Enum& operator&=(Enum& Lhs, Enum Rhs)                                                                                                     \
	{                                                                                                                                                          \
		return Lhs = (Enum)((std::underlying_type_t<Enum>)Lhs & (std::underlying_type_t<Enum>)Rhs);                                                            \
	}                                                                                                                                                          \
	inline constexpr Enum& operator^=(Enum& Lhs, Enum Rhs)                                                                                                     \
	{                                                                                                                                                          \
		return Lhs = (Enum)((std::underlying_type_t<Enum>)Lhs ^ (std::underlying_type_t<Enum>)Rhs);                                                            \
	}                                                                                                                                                          \
	inline constexpr Enum operator|(Enum Lhs, Enum Rhs)                                                                                                        \
	{                                                                                                                                                          \
		return (Enum)((std::underlying_type_t<Enum>)Lhs | (std::underlying_type_t<Enum>)Rhs);                                                                  \
	}                                                                                                                                                          \
	inline constexpr Enum operator&(Enum Lhs, Enum Rhs)                                                                                                        \
	{                                                                                                                                                          \
		return (Enum)((std::underlying_type_t<Enum>)Lhs & (std::underlying_type_t<Enum>)Rhs);                                                                  \
	}                                                                                                                                                          \
	inline constexpr Enum operator^(Enum Lhs, Enum Rhs)                                                                                                        \
	{                                                                                                                                                          \
		return (Enum)((std::underlying_type_t<Enum>)Lhs ^ (std::underlying_type_t<Enum>)Rhs);                                                                  \
	}                                                                                                                                                          \
	inline constexpr bool operator!(Enum E)                                                                                                                    \
	{                                                                                                                                                          \
		return !(std::underlying_type_t<Enum>)E;                                                                                                               \
	}                                                                                                                                                          \
	inline constexpr Enum operator~(Enum E)                                                                                                                    \
	{                                                                                                                                                          \
		return (Enum) ~(std::underlying_type_t<Enum>)E;                                                                                                        \
	}

template <typename Enum>
constexpr bool EnumHasAllFlags(Enum Flags, Enum Contains)
{
	using FUnderlying = std::underlying_type_t<Enum>;
	return ((FUnderlying)Flags & (FUnderlying)Contains) == (FUnderlying)Contains;
}

template <typename Enum>
constexpr bool EnumHasAnyFlags(Enum Flags, Enum Contains)
{
	using FUnderlying = std::underlying_type_t<Enum>;
	return ((FUnderlying)Flags & (FUnderlying)Contains) != 0;
}

template <typename Enum>
void EnumAddFlags(Enum& Flags, Enum FlagsToAdd)
{
	using FUnderlying = std::underlying_type_t<Enum>;
	Flags = (Enum)((FUnderlying)Flags | (FUnderlying)FlagsToAdd);
}

template <typename Enum>
void EnumRemoveFlags(Enum& Flags, Enum FlagsToRemove)
{
	using FUnderlying = std::underlying_type_t<Enum>;
	Flags = (Enum)((FUnderlying)Flags & ~(FUnderlying)FlagsToRemove);
}
