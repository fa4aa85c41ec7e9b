// Character classification and case mapping, as the engine's TChar. On UTF-16 code units the wide-character tests go
// to the C runtime (iswalnum, iswdigit), as the engine's do, so letters and digits of every script count as the
// platform's runtime says; each half of a surrogate pair is neither.
#pragma once

#include "CoreTypes.h"
#include <cwctype>

template <typename CharType>
struct TChar
{
	static bool IsWhitespace(CharType Char)
	{
		return Char == ' ' || Char == '\t' || Char == '\n' || Char == '\r' || Char == '\v' || Char == '\f' || Char == 0x85 || Char == 0xA0 || Char == 0x1680 ||
		       (Char >= 0x2000 && Char <= 0x200A) || Char == 0x2028 || Char == 0x2029 || Char == 0x202F || Char == 0x205F || Char == 0x3000;
	}
	static bool IsDigit(CharType Char) { return std::iswdigit(static_cast<wint_t>(Char)) != 0; }
	static bool IsAlpha(CharType Char) { return std::iswalpha(static_cast<wint_t>(Char)) != 0; }
	static bool IsAlnum(CharType Char) { return std::iswalnum(static_cast<wint_t>(Char)) != 0; }
	static bool IsHighSurrogate(CharType Char) { return Char >= 0xD800 && Char <= 0xDBFF; }
	static bool IsLowSurrogate(CharType Char) { return Char >= 0xDC00 && Char <= 0xDFFF; }
	static CharType ToUpper(CharType Char)
	{
		if (Char < 0x80)
		{
			return (Char >= 'a' && Char <= 'z') ? static_cast<CharType>(Char - 32) : Char;
		}
		return IsHighSurrogate(Char) || IsLowSurrogate(Char) ? Char : static_cast<CharType>(std::towupper(static_cast<wint_t>(Char)));
	}
	static CharType ToLower(CharType Char)
	{
		if (Char < 0x80)
		{
			return (Char >= 'A' && Char <= 'Z') ? static_cast<CharType>(Char + 32) : Char;
		}
		return IsHighSurrogate(Char) || IsLowSurrogate(Char) ? Char : static_cast<CharType>(std::towlower(static_cast<wint_t>(Char)));
	}
};

using FChar = TChar<TCHAR>;
