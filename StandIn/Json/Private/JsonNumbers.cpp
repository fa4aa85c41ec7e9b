#include "JsonNumbers.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace UE::Json::Private
{
	namespace
	{
		locale_t GetCLocale()
		{
			static const locale_t CLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
			return CLocale;
		}
	} // namespace

	bool ParseDouble(FStringView Text, double& OutNumber)
	{
		std::string Ascii;
		Ascii.reserve(static_cast<size_t>(Text.Len()));
		for (const TCHAR Char : Text)
		{
			// Only decimal notation: strtod would also take blanks, "inf", "nan" and hexadecimal.
			const bool bDecimal = (Char >= TEXT('0') && Char <= TEXT('9')) || Char == TEXT('.') || Char == TEXT('-') || Char == TEXT('+') ||
			                      Char == TEXT('e') || Char == TEXT('E');
			if (!bDecimal)
			{
				return false;
			}
			Ascii.push_back(static_cast<char>(Char));
		}
		if (Ascii.empty())
		{
			return false;
		}
		char* End = nullptr;
		errno = 0;
		const double Number = strtod_l(Ascii.c_str(), &End, GetCLocale());
		if (End != Ascii.c_str() + Ascii.size())
		{
			return false;
		}
		// Underflow gives zero or a subnormal, which is the nearest double; overflow has none.
		if (errno == ERANGE && std::isinf(Number))
		{
			return false;
		}
		OutNumber = Number;
		return true;
	}

	void AppendDouble(FString& Out, double Number)
	{
		// std::to_chars with a precision is specified as printf in the C locale.
		char Buffer[64];
		const std::to_chars_result Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), Number, std::chars_format::general, 17);
		for (const char* Char = Buffer; Char != Result.ptr; ++Char)
		{
			Out.AppendChar(static_cast<TCHAR>(*Char));
		}
	}
} // namespace UE::Json::Private
