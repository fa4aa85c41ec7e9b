// Character classification and case mapping on UTF-16 code units, as the engine's FChar.
#pragma once

#include "CoreTypes.h"
#include <cwctype>

struct FChar
{
	static bool IsWhitespace(TCHAR Char)
	{
		return Char == TEXT(' ') || Char == TEXT('\t') || Char == TEXT('\n') || Char == TEXT('\r') || Char == TEXT('\v') || Char == TEXT('\f') ||
		       Char == 0x85 || Char == 0xA0 || Char == 0x1680 || (Char >= 0x2000 && Char <= 0x200A) || Char == 0x2028 || Char == 0x2029 || Char == 0x202F ||
		       Char == 0x205F || Char == 0x3000;
	}
	static bool IsDigit(TCHAR Char) { return Char >= TEXT('0') && Char <= TEXT('9'); }
	static bool IsAlpha(TCHAR Char) { return std::iswalpha(static_cast<wint_t>(Char)) != 0; }
	static bool IsAlnum(TCHAR Char) { return std::iswalnum(static_cast<wint_t>(Char)) != 0; }
	static bool IsUpper(TCHAR Char) { return std::iswupper(static_cast<wint_t>(Char)) != 0; }
	static bool IsLower(TCHAR Char) { return std::iswlower(static_cast<wint_t>(Char)) != 0; }
	static bool IsHexDigit(TCHAR Char) { return IsDigit(Char) || (Char >= TEXT('a') && Char <= TEXT('f')) || (Char >= TEXT('A') && Char <= TEXT('F')); }
	static bool IsHighSurrogate(TCHAR Char) { return Char >= 0xD800 && Char <= 0xDBFF; }
	static bool IsLowSurrogate(TCHAR Char) { return Char >= 0xDC00 && Char <= 0xDFFF; }
	static TCHAR ToUpper(TCHAR Char)
	{
		if (Char < 0x80)
		{
			return (Char >= TEXT('a') && Char <= TEXT('z')) ? static_cast<TCHAR>(Char - 32) : Char;
		}
		return IsHighSurrogate(Char) || IsLowSurrogate(Char) ? Char : static_cast<TCHAR>(std::towupper(static_cast<wint_t>(Char)));
	}
	static TCHAR ToLower(TCHAR Char)
	{
		if (Char < 0x80)
		{
			return (Char >= TEXT('A') && Char <= TEXT('Z')) ? static_cast<TCHAR>(Char + 32) : Char;
		}
		return IsHighSurrogate(Char) || IsLowSurrogate(Char) ? Char : static_cast<TCHAR>(std::towlower(static_cast<wint_t>(Char)));
	}
};
