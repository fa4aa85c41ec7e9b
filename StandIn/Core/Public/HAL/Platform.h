// Fundamental types of the engine on a 64-bit Linux host: fixed-width integers and UTF-16 characters.
#pragma once

#include <cstddef>
#include <cstdint>

using int8 = std::int8_t;
using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = signed long long;
using uint8 = std::uint8_t;
using uint16 = std::uint16_t;
using uint32 = std::uint32_t;
using uint64 = unsigned long long;
using SIZE_T = std::size_t;
using SSIZE_T = std::ptrdiff_t;
using UPTRINT = std::uintptr_t;
using PTRINT = std::intptr_t;

using ANSICHAR = char;
using WIDECHAR = wchar_t;
using UTF8CHAR = char8_t;
using UTF16CHAR = char16_t;
using UTF32CHAR = char32_t;
// One UTF-16 code unit, as the engine's TCHAR on every platform but Windows.
using TCHAR = char16_t;
using TYPE_OF_NULLPTR = decltype(nullptr);

#define PLATFORM_TCHAR_IS_CHAR16 1
#define TEXT_PASTE(x) u##x
#define TEXT(x) TEXT_PASTE(x)

// The plug-in's home platform writes CR LF; files written here must be the files a studio gets there.
#define LINE_TERMINATOR TEXT("\r\n")
#define LINE_TERMINATOR_ANSI "\r\n"

#define FORCEINLINE inline
#define FORCENOINLINE __attribute__((noinline))
#define UE_NODISCARD [[nodiscard]]
#define UE_DEPRECATED(Version, Message) [[deprecated(Message)]]

#ifndef UNLIKELY
#define LIKELY(x) __builtin_expect(!!(x), 1)
#define UNLIKELY(x) __builtin_expect(!!(x), 0)
#endif

// Around a third-party library's headers: their warnings are theirs, not the including module's.
#define THIRD_PARTY_INCLUDES_START                                                                                                                             \
	_Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wshadow\"") _Pragma("GCC diagnostic ignored \"-Wunused-parameter\"")                     \
	    _Pragma("GCC diagnostic ignored \"-Wmissing-field-initializers\"") _Pragma("GCC diagnostic ignored \"-Wdeprecated-declarations\"")
#define THIRD_PARTY_INCLUDES_END _Pragma("GCC diagnostic pop")
