#include "Containers/UnrealString.h"

#include <cinttypes>
#include <cstdio>
#include <string>

namespace UE::Core::Private
{
	namespace
	{
		struct FConversionSpec
		{
			std::string Flags;
			int32 Width = -1;
			int32 Precision = -1;
			bool bLeftAlign = false;
			// 0 = none, 1 = h, 2 = hh, 3 = wide (l, ll, j, z, t, L)
			int32 Length = 0;
			TCHAR Conversion = 0;
		};

		bool IsFloatConversion(TCHAR Conversion)
		{
			switch (Conversion)
			{
				case TEXT('f'):
				case TEXT('F'):
				case TEXT('e'):
				case TEXT('E'):
				case TEXT('g'):
				case TEXT('G'):
				case TEXT('a'):
				case TEXT('A'):
					return true;
				default:
					return false;
			}
		}

		// Hands out the arguments in order; a missing one reads as zero so that a malformed call cannot read past the end.
		class FArgumentCursor
		{
		public:
			FArgumentCursor(const FPrintfArg* InArgs, int32 InNum)
			    : Args(InArgs)
			    , Num(InNum)
			{
			}
			FPrintfArg Next()
			{
				if (Index < Num)
				{
					return Args[Index++];
				}
				FPrintfArg Missing;
				Missing.Unsigned = 0;
				return Missing;
			}

		private:
			const FPrintfArg* Args;
			int32 Num;
			int32 Index = 0;
		};

		int64 AsSigned(const FPrintfArg& Arg)
		{
			if (Arg.Kind == EPrintfArgKind::Float)
			{
				return static_cast<int64>(Arg.Float);
			}
			return Arg.Signed;
		}

		void AppendNarrow(std::u16string& Out, const char* Text, int Count)
		{
			for (int Index = 0; Index < Count; ++Index)
			{
				Out.push_back(static_cast<TCHAR>(static_cast<unsigned char>(Text[Index])));
			}
		}

		template <typename ValueType>
		void AppendWithCLibrary(std::u16string& Out, const std::string& Spec, ValueType Value)
		{
			char Buffer[128];
			const int Needed = std::snprintf(Buffer, sizeof(Buffer), Spec.c_str(), Value);
			if (Needed < 0)
			{
				return;
			}
			if (static_cast<size_t>(Needed) < sizeof(Buffer))
			{
				AppendNarrow(Out, Buffer, Needed);
				return;
			}
			std::string Large(static_cast<size_t>(Needed) + 1, '\0');
			std::snprintf(Large.data(), Large.size(), Spec.c_str(), Value);
			AppendNarrow(Out, Large.data(), Needed);
		}

		void AppendPadded(std::u16string& Out, std::u16string_view Text, const FConversionSpec& Spec)
		{
			const size_t Width = Spec.Width > 0 ? static_cast<size_t>(Spec.Width) : 0;
			const size_t Padding = Width > Text.size() ? Width - Text.size() : 0;
			if (!Spec.bLeftAlign)
			{
				Out.append(Padding, TEXT(' '));
			}
			Out.append(Text);
			if (Spec.bLeftAlign)
			{
				Out.append(Padding, TEXT(' '));
			}
		}

		std::string NarrowSpec(const FConversionSpec& Spec, const char* LengthModifier, char Conversion)
		{
			std::string Result = "%" + Spec.Flags;
			if (Spec.Width >= 0)
			{
				Result += std::to_string(Spec.Width);
			}
			if (Spec.Precision >= 0)
			{
				Result += "." + std::to_string(Spec.Precision);
			}
			return Result + LengthModifier + Conversion;
		}

		void AppendInteger(std::u16string& Out, const FConversionSpec& Spec, const FPrintfArg& Arg)
		{
			const char Conversion = static_cast<char>(Spec.Conversion);
			const bool bSignedConversion = Conversion == 'd' || Conversion == 'i';
			const uint64 Bits = Arg.Kind == EPrintfArgKind::Float ? static_cast<uint64>(AsSigned(Arg)) : Arg.Unsigned;
			// The value is narrowed to the width the conversion names, as the C library reads its argument.
			if (Spec.Length == 3)
			{
				if (bSignedConversion)
				{
					AppendWithCLibrary(Out, NarrowSpec(Spec, "ll", Conversion), static_cast<long long>(Bits));
				}
				else
				{
					AppendWithCLibrary(Out, NarrowSpec(Spec, "ll", Conversion), static_cast<unsigned long long>(Bits));
				}
			}
			else if (Spec.Length == 2)
			{
				if (bSignedConversion)
				{
					AppendWithCLibrary(Out, NarrowSpec(Spec, "", Conversion), static_cast<int>(static_cast<signed char>(Bits)));
				}
				else
				{
					AppendWithCLibrary(Out, NarrowSpec(Spec, "", Conversion), static_cast<unsigned>(static_cast<unsigned char>(Bits)));
				}
			}
			else if (Spec.Length == 1)
			{
				if (bSignedConversion)
				{
					AppendWithCLibrary(Out, NarrowSpec(Spec, "", Conversion), static_cast<int>(static_cast<int16>(Bits)));
				}
				else
				{
					AppendWithCLibrary(Out, NarrowSpec(Spec, "", Conversion), static_cast<unsigned>(static_cast<uint16>(Bits)));
				}
			}
			else if (bSignedConversion)
			{
				AppendWithCLibrary(Out, NarrowSpec(Spec, "", Conversion), static_cast<int>(static_cast<int32>(Bits)));
			}
			else
			{
				AppendWithCLibrary(Out, NarrowSpec(Spec, "", Conversion), static_cast<unsigned>(static_cast<uint32>(Bits)));
			}
		}

		void AppendFloat(std::u16string& Out, const FConversionSpec& Spec, const FPrintfArg& Arg)
		{
			const double Value =
			    Arg.Kind == EPrintfArgKind::Float ? Arg.Float : (Arg.bSigned ? static_cast<double>(Arg.Signed) : static_cast<double>(Arg.Unsigned));
			AppendWithCLibrary(Out, NarrowSpec(Spec, "", static_cast<char>(Spec.Conversion)), Value);
		}

		void AppendString(std::u16string& Out, const FConversionSpec& Spec, const FPrintfArg& Arg)
		{
			std::u16string_view Text =
			    (Arg.Kind == EPrintfArgKind::TCharString && Arg.String) ? std::u16string_view(Arg.String) : std::u16string_view(u"(null)");
			if (Spec.Precision >= 0 && static_cast<size_t>(Spec.Precision) < Text.size())
			{
				Text = Text.substr(0, static_cast<size_t>(Spec.Precision));
			}
			AppendPadded(Out, Text, Spec);
		}

		void AppendCharacter(std::u16string& Out, const FConversionSpec& Spec, const FPrintfArg& Arg)
		{
			const TCHAR Unit = static_cast<TCHAR>(Arg.Unsigned);
			AppendPadded(Out, std::u16string_view(&Unit, 1), Spec);
		}

		// Reads a run of decimal digits, or a '*' that takes its value from the next argument.
		int32 ParseCount(const TCHAR*& Char, FArgumentCursor& Arguments, bool& bOutFromArgument)
		{
			bOutFromArgument = false;
			if (*Char == TEXT('*'))
			{
				++Char;
				bOutFromArgument = true;
				return static_cast<int32>(AsSigned(Arguments.Next()));
			}
			int32 Value = 0;
			while (*Char >= TEXT('0') && *Char <= TEXT('9'))
			{
				Value = Value * 10 + (*Char - TEXT('0'));
				++Char;
			}
			return Value;
		}
	} // namespace

	FString FormatPrintf(const TCHAR* Format, const FPrintfArg* Args, int32 NumArgs)
	{
		std::u16string Out;
		FArgumentCursor Arguments(Args, NumArgs);
		for (const TCHAR* Char = Format; Char && *Char; ++Char)
		{
			if (*Char != TEXT('%'))
			{
				Out.push_back(*Char);
				continue;
			}
			const TCHAR* const ConversionStart = Char;
			++Char;
			if (*Char == TEXT('%'))
			{
				Out.push_back(TEXT('%'));
				continue;
			}
			FConversionSpec Spec;
			while (*Char == TEXT('-') || *Char == TEXT('+') || *Char == TEXT(' ') || *Char == TEXT('#') || *Char == TEXT('0'))
			{
				Spec.bLeftAlign = Spec.bLeftAlign || *Char == TEXT('-');
				Spec.Flags.push_back(static_cast<char>(*Char));
				++Char;
			}
			bool bFromArgument = false;
			if ((*Char >= TEXT('0') && *Char <= TEXT('9')) || *Char == TEXT('*'))
			{
				Spec.Width = ParseCount(Char, Arguments, bFromArgument);
				if (bFromArgument && Spec.Width < 0)
				{
					// A negative '*' width means left alignment, as in C.
					Spec.bLeftAlign = true;
					Spec.Flags.push_back('-');
					Spec.Width = -Spec.Width;
				}
			}
			if (*Char == TEXT('.'))
			{
				++Char;
				Spec.Precision = ParseCount(Char, Arguments, bFromArgument);
				if (Spec.Precision < 0)
				{
					Spec.Precision = -1;
				}
			}
			if (*Char == TEXT('h'))
			{
				Spec.Length = Char[1] == TEXT('h') ? 2 : 1;
				Char += Spec.Length;
			}
			else if (*Char == TEXT('l') || *Char == TEXT('j') || *Char == TEXT('z') || *Char == TEXT('t') || *Char == TEXT('L'))
			{
				Spec.Length = 3;
				Char += (Char[0] == TEXT('l') && Char[1] == TEXT('l')) ? 2 : 1;
			}
			Spec.Conversion = *Char;
			switch (Spec.Conversion)
			{
				case TEXT('d'):
				case TEXT('i'):
				case TEXT('u'):
				case TEXT('o'):
				case TEXT('x'):
				case TEXT('X'):
					AppendInteger(Out, Spec, Arguments.Next());
					break;
				case TEXT('c'):
					AppendCharacter(Out, Spec, Arguments.Next());
					break;
				case TEXT('s'):
					AppendString(Out, Spec, Arguments.Next());
					break;
				case TEXT('p'):
					AppendWithCLibrary(Out, NarrowSpec(Spec, "", 'p'), Arguments.Next().Pointer);
					break;
				default:
					if (IsFloatConversion(Spec.Conversion))
					{
						AppendFloat(Out, Spec, Arguments.Next());
						break;
					}
					// Not a conversion: keep the text as written and carry on after it.
					Out.append(ConversionStart, static_cast<size_t>(Char - ConversionStart));
					if (*Char == 0)
					{
						return FString(std::move(Out));
					}
					Out.push_back(*Char);
					break;
			}
		}
		return FString(std::move(Out));
	}
} // namespace UE::Core::Private

FString FString::SanitizeFloat(double InFloat, const int32 InMinFractionalDigits)
{
	FString Result = Printf(TEXT("%f"), InFloat);
	int32 DotIndex = INDEX_NONE;
	if (!Result.FindChar(TEXT('.'), DotIndex))
	{
		// "inf" and "nan" have no fractional part to trim.
		return Result;
	}
	const int32 MinFractional = InMinFractionalDigits < 0 ? 0 : InMinFractionalDigits;
	int32 End = Result.Len();
	while (End > DotIndex + 1 + MinFractional && Result[End - 1] == TEXT('0'))
	{
		--End;
	}
	if (End == DotIndex + 1)
	{
		--End;
	}
	Result.LeftInline(End);
	if (End - DotIndex - 1 < MinFractional && End > DotIndex)
	{
		Result += ChrN(MinFractional - (End - DotIndex - 1), TEXT('0'));
	}
	return Result;
}

FString LexToString(int8 Value)
{
	return FString::Printf(TEXT("%d"), Value);
}

FString LexToString(int16 Value)
{
	return FString::Printf(TEXT("%d"), Value);
}

FString LexToString(int32 Value)
{
	return FString::Printf(TEXT("%d"), Value);
}

FString LexToString(int64 Value)
{
	return FString::Printf(TEXT("%lld"), Value);
}

FString LexToString(uint8 Value)
{
	return FString::Printf(TEXT("%u"), Value);
}

FString LexToString(uint16 Value)
{
	return FString::Printf(TEXT("%u"), Value);
}

FString LexToString(uint32 Value)
{
	return FString::Printf(TEXT("%u"), Value);
}

FString LexToString(uint64 Value)
{
	return FString::Printf(TEXT("%llu"), Value);
}

FString LexToString(float Value)
{
	return FString::Printf(TEXT("%f"), Value);
}

FString LexToString(double Value)
{
	return FString::Printf(TEXT("%f"), Value);
}

FString LexToSanitizedString(float Value)
{
	return FString::SanitizeFloat(Value);
}

FString LexToSanitizedString(double Value)
{
	return FString::SanitizeFloat(Value);
}
