// FString: the engine's mutable string of UTF-16 code units. Equality (== and !=) ignores case, as the engine's.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringFwd.h"
#include "Containers/StringView.h"
#include "CoreTypes.h"
#include "Misc/Char.h"
#include "Templates/TypeHash.h"
#include <string>
#include <string_view>

class FString
{
public:
	using ElementType = TCHAR;

	FString() = default;
	FString(const TCHAR* Str);
	FString(const ANSICHAR* Str);
	FString(const UTF8CHAR* Str);
	FString(int32 InCount, const TCHAR* InSrc);
	explicit FString(FStringView View);
	explicit FString(std::u16string InData)
	    : Data(std::move(InData))
	{
	}
	FString(TYPE_OF_NULLPTR) = delete;

	// Never null: "" when empty.
	const TCHAR* operator*() const { return Data.c_str(); }
	const TCHAR* GetCharData() const { return Data.c_str(); }
	int32 Len() const { return static_cast<int32>(Data.size()); }
	bool IsEmpty() const { return Data.empty(); }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Len(); }
	TCHAR& operator[](int32 Index)
	{
		check(IsValidIndex(Index));
		return Data[static_cast<size_t>(Index)];
	}
	const TCHAR& operator[](int32 Index) const
	{
		check(IsValidIndex(Index));
		return Data[static_cast<size_t>(Index)];
	}
	void Empty() { Data.clear(); }
	void Reset(int32 NewReservedSize = 0)
	{
		Data.clear();
		Data.reserve(static_cast<size_t>(NewReservedSize));
	}
	void Reserve(int32 Size) { Data.reserve(static_cast<size_t>(Size)); }

	FString& Append(const TCHAR* Str, int32 Count);
	FString& Append(const FString& Str) { return Append(*Str, Str.Len()); }
	FString& Append(const TCHAR* Str) { return Append(FString(Str)); }
	FString& Append(FStringView Str) { return Append(Str.GetData(), Str.Len()); }
	FString& AppendChar(TCHAR InChar);
	FString& operator+=(const FString& Str) { return Append(Str); }
	FString& operator+=(const TCHAR* Str) { return Append(FString(Str)); }
	FString& operator+=(const ANSICHAR* Str) { return Append(FString(Str)); }
	FString& operator+=(TCHAR Char) { return AppendChar(Char); }
	FString& operator+=(FStringView Str) { return Append(Str); }

	// Joins with one "/" unless this already ends in a separator or Str starts with one.
	void PathAppend(const TCHAR* Str, int32 StrLength);
	FString& operator/=(const TCHAR* Str);
	FString& operator/=(const FString& Str);
	friend FString operator/(const FString& Lhs, const TCHAR* Rhs);
	friend FString operator/(const FString& Lhs, const FString& Rhs);
	friend FString operator/(const TCHAR* Lhs, const FString& Rhs);

	friend FString operator+(const FString& Lhs, const FString& Rhs);
	friend FString operator+(const FString& Lhs, const TCHAR* Rhs);
	friend FString operator+(const TCHAR* Lhs, const FString& Rhs);
	friend FString operator+(FString&& Lhs, const FString& Rhs);
	friend FString operator+(FString&& Lhs, const TCHAR* Rhs);

	bool Equals(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
	int32 Compare(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
	friend bool operator==(const FString& Lhs, const FString& Rhs) { return Lhs.Equals(Rhs, ESearchCase::IgnoreCase); }
	friend bool operator!=(const FString& Lhs, const FString& Rhs) { return !Lhs.Equals(Rhs, ESearchCase::IgnoreCase); }
	friend bool operator==(const FString& Lhs, const TCHAR* Rhs) { return Lhs.Equals(FString(Rhs), ESearchCase::IgnoreCase); }
	friend bool operator!=(const FString& Lhs, const TCHAR* Rhs) { return !(Lhs == Rhs); }
	friend bool operator==(const TCHAR* Lhs, const FString& Rhs) { return Rhs == Lhs; }
	friend bool operator!=(const TCHAR* Lhs, const FString& Rhs) { return !(Rhs == Lhs); }
	friend bool operator<(const FString& Lhs, const FString& Rhs) { return Lhs.Compare(Rhs, ESearchCase::IgnoreCase) < 0; }

	bool Contains(const TCHAR* SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart) const
	{
		return Find(SubStr, SearchCase, SearchDir) != INDEX_NONE;
	}
	bool Contains(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart) const
	{
		return Find(SubStr, SearchCase, SearchDir) != INDEX_NONE;
	}
	int32 Find(const TCHAR* SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart, int32 StartPosition = INDEX_NONE) const;
	int32 Find(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart, int32 StartPosition = INDEX_NONE) const;
	bool FindChar(TCHAR InChar, int32& OutIndex) const;
	bool FindLastChar(TCHAR InChar, int32& OutIndex) const;
	bool StartsWith(const TCHAR* InPrefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool StartsWith(const FString& InPrefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const TCHAR* InSuffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const FString& InSuffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;

	FString Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	int32 ReplaceInline(const TCHAR* SearchText, const TCHAR* ReplacementText, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase);
	void ReplaceCharInline(TCHAR SearchChar, TCHAR ReplacementChar);

	FString TrimStartAndEnd() const;
	FString TrimStart() const;
	FString TrimEnd() const;
	void TrimStartAndEndInline();
	void TrimStartInline();
	void TrimEndInline();
	FString ToLower() const;
	FString ToUpper() const;
	void ToLowerInline();
	void ToUpperInline();

	FString Left(int32 Count) const;
	FString LeftChop(int32 Count) const;
	FString Right(int32 Count) const;
	FString RightChop(int32 Count) const;
	FString Mid(int32 Start, int32 Count = INT32_MAX) const;
	void LeftInline(int32 Count) { *this = Left(Count); }
	void LeftChopInline(int32 Count) { *this = LeftChop(Count); }
	void RightChopInline(int32 Count) { *this = RightChop(Count); }
	void MidInline(int32 Start, int32 Count = INT32_MAX) { *this = Mid(Start, Count); }

	bool Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart) const;
	int32 ParseIntoArray(TArray<FString>& OutArray, const TCHAR* pchDelim, bool bInCullEmpty = true) const;
	bool IsNumeric() const;

	static FString Chr(TCHAR Ch) { return FString(std::u16string(1, Ch)); }
	static FString ChrN(int32 NumCharacters, TCHAR Char) { return FString(std::u16string(static_cast<size_t>(NumCharacters), Char)); }
	static FString FromInt(int32 Num);
	static FString Join(const TArray<FString>& Items, const TCHAR* Separator);

	// Conversions at the edges of the stand-in: UTF-8 for the C library and the file system.
	std::string ToUtf8() const;
	static FString FromUtf8(std::string_view Utf8);
	const std::u16string& ToStdString() const { return Data; }

	friend uint32 GetTypeHash(const FString& String);

	auto begin() { return Data.begin(); }
	auto end() { return Data.end(); }
	auto begin() const { return Data.begin(); }
	auto end() const { return Data.end(); }

private:
	std::u16string Data;
};

// Character-set conversion helpers with the engine's names.
class FTCHARToUTF8
{
public:
	explicit FTCHARToUTF8(const TCHAR* Source);
	explicit FTCHARToUTF8(FStringView Source);
	const ANSICHAR* Get() const { return Converted.c_str(); }
	int32 Length() const { return static_cast<int32>(Converted.size()); }

private:
	std::string Converted;
};

class FUTF8ToTCHAR
{
public:
	explicit FUTF8ToTCHAR(const ANSICHAR* Source);
	FUTF8ToTCHAR(const ANSICHAR* Source, int32 SourceLength);
	const TCHAR* Get() const { return *Converted; }
	int32 Length() const { return Converted.Len(); }

private:
	FString Converted;
};

#define TCHAR_TO_UTF8(Str) (FTCHARToUTF8(Str).Get())
#define UTF8_TO_TCHAR(Str) (FUTF8ToTCHAR(Str).Get())
#define TCHAR_TO_ANSI(Str) (FTCHARToUTF8(Str).Get())
#define ANSI_TO_TCHAR(Str) (FUTF8ToTCHAR(Str).Get())

inline FString LexToString(const FString& Value)
{
	return Value;
}
