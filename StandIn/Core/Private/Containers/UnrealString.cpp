#include "Containers/UnrealString.h"

#include <algorithm>

namespace
{
	std::u16string_view ViewOf(const TCHAR* Str)
	{
		return Str ? std::u16string_view(Str) : std::u16string_view();
	}

	bool CharsEqual(TCHAR A, TCHAR B, ESearchCase::Type SearchCase)
	{
		return SearchCase == ESearchCase::CaseSensitive ? A == B : FChar::ToLower(A) == FChar::ToLower(B);
	}

	bool RangeEquals(std::u16string_view A, std::u16string_view B, ESearchCase::Type SearchCase)
	{
		if (A.size() != B.size())
		{
			return false;
		}
		for (size_t Index = 0; Index < A.size(); ++Index)
		{
			if (!CharsEqual(A[Index], B[Index], SearchCase))
			{
				return false;
			}
		}
		return true;
	}

	// Appends one code point as UTF-8. Lone surrogates are kept as three-byte sequences so that they survive a round trip.
	void AppendUtf8(std::string& Out, char32_t CodePoint)
	{
		if (CodePoint < 0x80)
		{
			Out.push_back(static_cast<char>(CodePoint));
		}
		else if (CodePoint < 0x800)
		{
			Out.push_back(static_cast<char>(0xC0 | (CodePoint >> 6)));
			Out.push_back(static_cast<char>(0x80 | (CodePoint & 0x3F)));
		}
		else if (CodePoint < 0x10000)
		{
			Out.push_back(static_cast<char>(0xE0 | (CodePoint >> 12)));
			Out.push_back(static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F)));
			Out.push_back(static_cast<char>(0x80 | (CodePoint & 0x3F)));
		}
		else
		{
			Out.push_back(static_cast<char>(0xF0 | (CodePoint >> 18)));
			Out.push_back(static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F)));
			Out.push_back(static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F)));
			Out.push_back(static_cast<char>(0x80 | (CodePoint & 0x3F)));
		}
	}

	std::string Utf16ToUtf8(std::u16string_view Source)
	{
		// Paths and names are mostly ASCII: that part is copied unit for byte, without growing the string one byte at a time.
		size_t Ascii = 0;
		while (Ascii < Source.size() && Source[Ascii] < 0x80)
		{
			++Ascii;
		}
		std::string Out(Ascii, '\0');
		std::transform(Source.begin(), Source.begin() + static_cast<std::ptrdiff_t>(Ascii), Out.begin(), [](char16_t Unit) {
			return static_cast<char>(Unit);
		});
		if (Ascii == Source.size())
		{
			return Out;
		}
		Out.reserve(Source.size() + (Source.size() - Ascii) * 2);
		for (size_t Index = Ascii; Index < Source.size(); ++Index)
		{
			const char16_t Unit = Source[Index];
			if (FChar::IsHighSurrogate(Unit) && Index + 1 < Source.size() && FChar::IsLowSurrogate(Source[Index + 1]))
			{
				const char32_t CodePoint = 0x10000 + ((static_cast<char32_t>(Unit) - 0xD800) << 10) + (static_cast<char32_t>(Source[Index + 1]) - 0xDC00);
				AppendUtf8(Out, CodePoint);
				++Index;
			}
			else
			{
				AppendUtf8(Out, Unit);
			}
		}
		return Out;
	}

	// Decodes UTF-8 onto the end of Out; a byte that starts no valid sequence becomes U+FFFD.
	void AppendUtf8(std::u16string& Out, std::string_view Source)
	{
		Out.reserve(Out.size() + Source.size());
		size_t Index = 0;
		while (Index < Source.size())
		{
			const unsigned char Lead = static_cast<unsigned char>(Source[Index]);
			int Extra = 0;
			char32_t CodePoint = 0;
			if (Lead < 0x80)
			{
				CodePoint = Lead;
			}
			else if ((Lead & 0xE0) == 0xC0)
			{
				Extra = 1;
				CodePoint = Lead & 0x1F;
			}
			else if ((Lead & 0xF0) == 0xE0)
			{
				Extra = 2;
				CodePoint = Lead & 0x0F;
			}
			else if ((Lead & 0xF8) == 0xF0)
			{
				Extra = 3;
				CodePoint = Lead & 0x07;
			}
			else
			{
				Out.push_back(0xFFFD);
				++Index;
				continue;
			}
			bool bValid = true;
			for (int Step = 1; bValid && Step <= Extra; ++Step)
			{
				if (Index + static_cast<size_t>(Step) >= Source.size())
				{
					bValid = false;
					break;
				}
				const unsigned char Next = static_cast<unsigned char>(Source[Index + static_cast<size_t>(Step)]);
				if ((Next & 0xC0) != 0x80)
				{
					bValid = false;
					break;
				}
				CodePoint = (CodePoint << 6) | (Next & 0x3F);
			}
			static constexpr char32_t MinimumForLength[] = {0, 0x80, 0x800, 0x10000};
			if (!bValid || CodePoint < MinimumForLength[Extra] || CodePoint > 0x10FFFF)
			{
				Out.push_back(0xFFFD);
				++Index;
				continue;
			}
			if (CodePoint >= 0x10000)
			{
				CodePoint -= 0x10000;
				Out.push_back(static_cast<char16_t>(0xD800 + (CodePoint >> 10)));
				Out.push_back(static_cast<char16_t>(0xDC00 + (CodePoint & 0x3FF)));
			}
			else
			{
				Out.push_back(static_cast<char16_t>(CodePoint));
			}
			Index += static_cast<size_t>(Extra) + 1;
		}
	}

	std::u16string Utf8ToUtf16(std::string_view Source)
	{
		std::u16string Out;
		AppendUtf8(Out, Source);
		return Out;
	}

	int32 Clamp(int32 Value, int32 Low, int32 High)
	{
		return std::min(std::max(Value, Low), High);
	}
} // namespace

FString::FString(const TCHAR* Str)
    : Data(ViewOf(Str))
{
}

// The engine widens narrow text one byte per character.
FString::FString(const ANSICHAR* Str)
{
	if (Str)
	{
		for (const ANSICHAR* Char = Str; *Char; ++Char)
		{
			Data.push_back(static_cast<TCHAR>(static_cast<unsigned char>(*Char)));
		}
	}
}

FString::FString(const UTF8CHAR* Str)
    : Data(Str ? Utf8ToUtf16(reinterpret_cast<const char*>(Str)) : std::u16string())
{
}

FString::FString(int32 InCount, const TCHAR* InSrc)
    : Data(InSrc && InCount > 0 ? std::u16string(InSrc, static_cast<size_t>(InCount)) : std::u16string())
{
}

FString::FString(FStringView View)
    : Data(View.GetData() ? std::u16string(View.GetData(), static_cast<size_t>(View.Len())) : std::u16string())
{
}

FString& FString::Append(const TCHAR* Str, int32 Count)
{
	if (Str && Count > 0)
	{
		Data.append(Str, static_cast<size_t>(Count));
	}
	return *this;
}

FString& FString::AppendChar(TCHAR InChar)
{
	Data.push_back(InChar);
	return *this;
}

void FString::PathAppend(const TCHAR* Str, int32 StrLength)
{
	const int32 DataLen = Len();
	if (StrLength == 0)
	{
		if (DataLen > 0 && Data.back() != TEXT('/') && Data.back() != TEXT('\\'))
		{
			Data.push_back(TEXT('/'));
		}
		return;
	}
	if (DataLen > 0 && Data.back() != TEXT('/') && Data.back() != TEXT('\\') && Str[0] != TEXT('/'))
	{
		Data.push_back(TEXT('/'));
	}
	Data.append(Str, static_cast<size_t>(StrLength));
}

FString& FString::operator/=(const TCHAR* Str)
{
	PathAppend(Str, static_cast<int32>(ViewOf(Str).size()));
	return *this;
}

FString& FString::operator/=(const FString& Str)
{
	PathAppend(*Str, Str.Len());
	return *this;
}

FString operator/(const FString& Lhs, const TCHAR* Rhs)
{
	FString Result(Lhs);
	Result /= Rhs;
	return Result;
}

FString operator/(const FString& Lhs, const FString& Rhs)
{
	FString Result(Lhs);
	Result /= Rhs;
	return Result;
}

FString operator/(const TCHAR* Lhs, const FString& Rhs)
{
	FString Result(Lhs);
	Result /= Rhs;
	return Result;
}

FString operator+(const FString& Lhs, const FString& Rhs)
{
	FString Result(Lhs);
	Result += Rhs;
	return Result;
}

FString operator+(const FString& Lhs, const TCHAR* Rhs)
{
	FString Result(Lhs);
	Result += Rhs;
	return Result;
}

FString operator+(const TCHAR* Lhs, const FString& Rhs)
{
	FString Result(Lhs);
	Result += Rhs;
	return Result;
}

FString operator+(FString&& Lhs, const FString& Rhs)
{
	Lhs += Rhs;
	return MoveTemp(Lhs);
}

FString operator+(FString&& Lhs, const TCHAR* Rhs)
{
	Lhs += Rhs;
	return MoveTemp(Lhs);
}

bool FString::Equals(const FString& Other, ESearchCase::Type SearchCase) const
{
	return RangeEquals(Data, Other.Data, SearchCase);
}

int32 FString::Compare(const FString& Other, ESearchCase::Type SearchCase) const
{
	const size_t Common = std::min(Data.size(), Other.Data.size());
	for (size_t Index = 0; Index < Common; ++Index)
	{
		const TCHAR A = SearchCase == ESearchCase::IgnoreCase ? FChar::ToLower(Data[Index]) : Data[Index];
		const TCHAR B = SearchCase == ESearchCase::IgnoreCase ? FChar::ToLower(Other.Data[Index]) : Other.Data[Index];
		if (A != B)
		{
			return A < B ? -1 : 1;
		}
	}
	return Data.size() == Other.Data.size() ? 0 : (Data.size() < Other.Data.size() ? -1 : 1);
}

int32 FString::Find(const TCHAR* SubStr, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir, int32 StartPosition) const
{
	const std::u16string_view Needle = ViewOf(SubStr);
	if (Needle.empty())
	{
		return INDEX_NONE;
	}
	const int32 NeedleLen = static_cast<int32>(Needle.size());
	const int32 LastStart = Len() - NeedleLen;
	if (SearchDir == ESearchDir::FromStart)
	{
		// A start past the end is pulled back to the last character, as the engine does.
		const int32 First = (StartPosition == INDEX_NONE || Len() == 0) ? 0 : Clamp(StartPosition, 0, Len() - 1);
		for (int32 Start = First; Start <= LastStart; ++Start)
		{
			if (RangeEquals(std::u16string_view(Data).substr(static_cast<size_t>(Start), Needle.size()), Needle, SearchCase))
			{
				return Start;
			}
		}
	}
	else
	{
		// From the end, StartPosition is the index one past the last character that may be part of a match.
		const int32 FirstCandidate = StartPosition == INDEX_NONE ? LastStart : std::min(LastStart, StartPosition - NeedleLen);
		for (int32 Start = FirstCandidate; Start >= 0; --Start)
		{
			if (RangeEquals(std::u16string_view(Data).substr(static_cast<size_t>(Start), Needle.size()), Needle, SearchCase))
			{
				return Start;
			}
		}
	}
	return INDEX_NONE;
}

int32 FString::Find(const FString& SubStr, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir, int32 StartPosition) const
{
	return Find(*SubStr, SearchCase, SearchDir, StartPosition);
}

bool FString::FindChar(TCHAR InChar, int32& OutIndex) const
{
	const size_t Found = Data.find(InChar);
	OutIndex = Found == std::u16string::npos ? INDEX_NONE : static_cast<int32>(Found);
	return OutIndex != INDEX_NONE;
}

bool FString::FindLastChar(TCHAR InChar, int32& OutIndex) const
{
	const size_t Found = Data.rfind(InChar);
	OutIndex = Found == std::u16string::npos ? INDEX_NONE : static_cast<int32>(Found);
	return OutIndex != INDEX_NONE;
}

bool FString::StartsWith(const TCHAR* InPrefix, ESearchCase::Type SearchCase) const
{
	const std::u16string_view Prefix = ViewOf(InPrefix);
	return !Prefix.empty() && Prefix.size() <= Data.size() && RangeEquals(std::u16string_view(Data).substr(0, Prefix.size()), Prefix, SearchCase);
}

bool FString::StartsWith(const FString& InPrefix, ESearchCase::Type SearchCase) const
{
	return StartsWith(*InPrefix, SearchCase);
}

bool FString::EndsWith(const TCHAR* InSuffix, ESearchCase::Type SearchCase) const
{
	const std::u16string_view Suffix = ViewOf(InSuffix);
	return !Suffix.empty() && Suffix.size() <= Data.size() && RangeEquals(std::u16string_view(Data).substr(Data.size() - Suffix.size()), Suffix, SearchCase);
}

bool FString::EndsWith(const FString& InSuffix, ESearchCase::Type SearchCase) const
{
	return EndsWith(*InSuffix, SearchCase);
}

bool FString::RemoveFromStart(const FString& InPrefix, ESearchCase::Type SearchCase)
{
	if (!StartsWith(InPrefix, SearchCase))
	{
		return false;
	}
	Data.erase(0, static_cast<size_t>(InPrefix.Len()));
	return true;
}

bool FString::RemoveFromEnd(const FString& InSuffix, ESearchCase::Type SearchCase)
{
	if (!EndsWith(InSuffix, SearchCase))
	{
		return false;
	}
	Data.resize(Data.size() - static_cast<size_t>(InSuffix.Len()));
	return true;
}

FString FString::Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase) const
{
	FString Result(*this);
	Result.ReplaceInline(From, To, SearchCase);
	return Result;
}

int32 FString::ReplaceInline(const TCHAR* SearchText, const TCHAR* ReplacementText, ESearchCase::Type SearchCase)
{
	const std::u16string_view Needle = ViewOf(SearchText);
	const std::u16string_view Replacement = ViewOf(ReplacementText);
	if (Needle.empty() || Data.empty())
	{
		return 0;
	}
	std::u16string Result;
	int32 Count = 0;
	size_t Index = 0;
	while (Index < Data.size())
	{
		if (Index + Needle.size() <= Data.size() && RangeEquals(std::u16string_view(Data).substr(Index, Needle.size()), Needle, SearchCase))
		{
			Result.append(Replacement);
			Index += Needle.size();
			++Count;
		}
		else
		{
			Result.push_back(Data[Index]);
			++Index;
		}
	}
	Data = std::move(Result);
	return Count;
}

void FString::ReplaceCharInline(TCHAR SearchChar, TCHAR ReplacementChar)
{
	std::replace(Data.begin(), Data.end(), SearchChar, ReplacementChar);
}

FString FString::TrimStartAndEnd() const
{
	return TrimStart().TrimEnd();
}

FString FString::TrimStart() const
{
	size_t First = 0;
	while (First < Data.size() && FChar::IsWhitespace(Data[First]))
	{
		++First;
	}
	return FString(Data.substr(First));
}

FString FString::TrimEnd() const
{
	size_t End = Data.size();
	while (End > 0 && FChar::IsWhitespace(Data[End - 1]))
	{
		--End;
	}
	return FString(Data.substr(0, End));
}

void FString::TrimStartAndEndInline()
{
	*this = TrimStartAndEnd();
}

void FString::TrimStartInline()
{
	*this = TrimStart();
}

void FString::TrimEndInline()
{
	*this = TrimEnd();
}

FString FString::ToLower() const
{
	FString Result(*this);
	Result.ToLowerInline();
	return Result;
}

FString FString::ToUpper() const
{
	FString Result(*this);
	Result.ToUpperInline();
	return Result;
}

void FString::ToLowerInline()
{
	for (TCHAR& Char : Data)
	{
		Char = FChar::ToLower(Char);
	}
}

void FString::ToUpperInline()
{
	for (TCHAR& Char : Data)
	{
		Char = FChar::ToUpper(Char);
	}
}

FString FString::Left(int32 Count) const
{
	return FString(Data.substr(0, static_cast<size_t>(Clamp(Count, 0, Len()))));
}

FString FString::LeftChop(int32 Count) const
{
	return Left(Len() - Clamp(Count, 0, Len()));
}

void FString::LeftInline(int32 Count)
{
	Data.resize(static_cast<size_t>(Clamp(Count, 0, Len())));
}

void FString::LeftChopInline(int32 Count)
{
	LeftInline(Len() - Clamp(Count, 0, Len()));
}

FString FString::Right(int32 Count) const
{
	const int32 Kept = Clamp(Count, 0, Len());
	return FString(Data.substr(static_cast<size_t>(Len() - Kept)));
}

FString FString::RightChop(int32 Count) const
{
	return FString(Data.substr(static_cast<size_t>(Clamp(Count, 0, Len()))));
}

FString FString::Mid(int32 Start, int32 Count) const
{
	if (Count < 0)
	{
		return FString();
	}
	const int64 End = std::min<int64>(static_cast<int64>(Clamp(Start, 0, Len())) + (Start < 0 ? Count + Start : Count), Len());
	const int32 From = Clamp(Start, 0, Len());
	return End <= From ? FString() : FString(Data.substr(static_cast<size_t>(From), static_cast<size_t>(End - From)));
}

bool FString::Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase, ESearchDir::Type SearchDir) const
{
	const int32 Index = Find(InS, SearchCase, SearchDir);
	if (Index == INDEX_NONE)
	{
		return false;
	}
	if (LeftS)
	{
		*LeftS = Left(Index);
	}
	if (RightS)
	{
		*RightS = RightChop(Index + InS.Len());
	}
	return true;
}

int32 FString::ParseIntoArray(TArray<FString>& OutArray, const TCHAR* pchDelim, bool bInCullEmpty) const
{
	OutArray.Reset();
	const std::u16string_view Delimiter = ViewOf(pchDelim);
	// An empty string or delimiter yields no parts at all, even when empty parts are kept.
	if (Delimiter.empty() || Data.empty())
	{
		return 0;
	}
	size_t Start = 0;
	while (true)
	{
		const size_t Found = Data.find(Delimiter, Start);
		const size_t End = Found == std::u16string::npos ? Data.size() : Found;
		if (!bInCullEmpty || End > Start)
		{
			OutArray.Add(FString(Data.substr(Start, End - Start)));
		}
		if (Found == std::u16string::npos)
		{
			break;
		}
		Start = Found + Delimiter.size();
	}
	return OutArray.Num();
}

bool FString::IsNumeric() const
{
	if (Data.empty())
	{
		return false;
	}
	// As the engine's: an optional sign, digits and at most one dot; a lone sign or dot passes.
	size_t Index = (Data[0] == TEXT('-') || Data[0] == TEXT('+')) ? 1 : 0;
	bool bSeenDot = false;
	for (; Index < Data.size(); ++Index)
	{
		if (Data[Index] == TEXT('.'))
		{
			if (bSeenDot)
			{
				return false;
			}
			bSeenDot = true;
		}
		else if (!FChar::IsDigit(Data[Index]))
		{
			return false;
		}
	}
	return true;
}

FString FString::FromInt(int32 Num)
{
	return FromUtf8(std::to_string(Num));
}

FString FString::Join(const TArray<FString>& Items, const TCHAR* Separator)
{
	FString Result;
	for (int32 Index = 0; Index < Items.Num(); ++Index)
	{
		if (Index > 0)
		{
			Result += Separator;
		}
		Result += Items[Index];
	}
	return Result;
}

std::string FString::ToUtf8() const
{
	return Utf16ToUtf8(Data);
}

FString& FString::AppendChars(const UTF8CHAR* Str, int32 Count)
{
	AppendUtf8(Data, std::string_view(reinterpret_cast<const char*>(Str), static_cast<size_t>(Count > 0 ? Count : 0)));
	return *this;
}

FString FString::FromUtf8(std::string_view Utf8)
{
	return FString(Utf8ToUtf16(Utf8));
}

uint32 GetTypeHash(const FString& String)
{
	// Case-insensitive, to agree with operator==.
	uint32 Hash = 2166136261u;
	for (const TCHAR Char : String.Data)
	{
		Hash = (Hash ^ FChar::ToLower(Char)) * 16777619u;
	}
	return Hash;
}

FTCHARToUTF8::FTCHARToUTF8(const TCHAR* Source)
    : Converted(Utf16ToUtf8(ViewOf(Source)))
{
}

FTCHARToUTF8::FTCHARToUTF8(FStringView Source)
    : Converted(Utf16ToUtf8(Source.ToStdView()))
{
}

FUTF8ToTCHAR::FUTF8ToTCHAR(const ANSICHAR* Source)
    : Converted(FString::FromUtf8(Source ? std::string_view(Source) : std::string_view()))
{
}

FUTF8ToTCHAR::FUTF8ToTCHAR(const ANSICHAR* Source, int32 SourceLength)
    : Converted(FString::FromUtf8(std::string_view(Source, static_cast<size_t>(SourceLength))))
{
}
