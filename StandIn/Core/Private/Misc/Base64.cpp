#include "Misc/Base64.h"

namespace
{
	const char* GetAlphabet(EBase64Mode Mode)
	{
		return Mode == EBase64Mode::UrlSafe ? "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"
		                                    : "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
	}

	/** @return the six bits a character stands for, or -1 when it is not in the alphabet. */
	int32 DecodeCharacter(TCHAR Character, const char* Alphabet)
	{
		for (int32 Index = 0; Index < 64; ++Index)
		{
			if (Character == static_cast<TCHAR>(Alphabet[Index]))
			{
				return Index;
			}
		}
		return -1;
	}
} // namespace

FString FBase64::Encode(const TArray<uint8>& Source, EBase64Mode Mode)
{
	const char* Alphabet = GetAlphabet(Mode);
	FString Text;
	Text.Reserve((Source.Num() + 2) / 3 * 4);
	for (int32 Index = 0; Index < Source.Num(); Index += 3)
	{
		const int32 Count = Source.Num() - Index < 3 ? Source.Num() - Index : 3;
		uint32 Group = uint32(Source[Index]) << 16;
		Group |= Count > 1 ? uint32(Source[Index + 1]) << 8 : 0;
		Group |= Count > 2 ? uint32(Source[Index + 2]) : 0;
		for (int32 Sextet = 0; Sextet < 4; ++Sextet)
		{
			Text.AppendChar(Sextet <= Count ? static_cast<TCHAR>(Alphabet[(Group >> (18 - Sextet * 6)) & 0x3F]) : TEXT('='));
		}
	}
	return Text;
}

bool FBase64::Decode(const FString& Source, TArray<uint8>& OutDest, EBase64Mode Mode)
{
	OutDest.Empty();
	if (Source.Len() % 4 != 0)
	{
		return false;
	}
	const char* Alphabet = GetAlphabet(Mode);
	OutDest.Reserve(Source.Len() / 4 * 3);
	for (int32 Index = 0; Index < Source.Len(); Index += 4)
	{
		const bool bLastGroup = Index + 4 == Source.Len();
		int32 Padding = 0;
		uint32 Group = 0;
		for (int32 Sextet = 0; Sextet < 4; ++Sextet)
		{
			const TCHAR Character = Source[Index + Sextet];
			// Padding stands only in the last two places of the last group, and nothing but padding follows it.
			if (Character == TEXT('=') && bLastGroup && Sextet >= 2)
			{
				++Padding;
				Group <<= 6;
				continue;
			}
			const int32 Bits = DecodeCharacter(Character, Alphabet);
			if (Bits < 0 || Padding > 0)
			{
				OutDest.Empty();
				return false;
			}
			Group = (Group << 6) | uint32(Bits);
		}
		OutDest.Add(static_cast<uint8>(Group >> 16));
		if (Padding < 2)
		{
			OutDest.Add(static_cast<uint8>(Group >> 8));
		}
		if (Padding < 1)
		{
			OutDest.Add(static_cast<uint8>(Group));
		}
	}
	return true;
}
