// FString: the engine's mutable string of UTF-16 code units. Equality (== and !=) ignores case, as the engine's.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringFwd.h"
#include "Containers/StringView.h"
#include "CoreTypes.h"
#include "Misc/Char.h"
#include "Templates/TypeHash.h"
#include "Templates/UnrealTemplate.h"
#include <string>
#include <string_view>
#include <type_traits>

namespace UE::Core::Private
{
	/** What a printf-style conversion may be given, as far as the format checker is concerned. */
	enum class EPrintfArgKind : uint8
	{
		End,
		Integer,
		Float,
		TCharString,
		NarrowString,
		Pointer,
		Null,
		Other,
	};

	struct FPrintfArgType
	{
		EPrintfArgKind Kind = EPrintfArgKind::End;
		int32 Size = 0;
	};

	template <typename T>
	constexpr FPrintfArgType PrintfArgTypeOf()
	{
		using Decayed = std::remove_cv_t<std::decay_t<T>>;
		if constexpr (std::is_enum_v<Decayed> || std::is_integral_v<Decayed>)
		{
			return {EPrintfArgKind::Integer, static_cast<int32>(sizeof(Decayed))};
		}
		else if constexpr (std::is_floating_point_v<Decayed>)
		{
			return {EPrintfArgKind::Float, static_cast<int32>(sizeof(Decayed))};
		}
		else if constexpr (std::is_same_v<Decayed, TYPE_OF_NULLPTR>)
		{
			return {EPrintfArgKind::Null, 0};
		}
		else if constexpr (std::is_pointer_v<Decayed> && std::is_same_v<std::remove_cv_t<std::remove_pointer_t<Decayed>>, TCHAR>)
		{
			return {EPrintfArgKind::TCharString, 0};
		}
		else if constexpr (std::is_pointer_v<Decayed> && (std::is_same_v<std::remove_cv_t<std::remove_pointer_t<Decayed>>, ANSICHAR> ||
		                                                  std::is_same_v<std::remove_cv_t<std::remove_pointer_t<Decayed>>, UTF8CHAR>))
		{
			return {EPrintfArgKind::NarrowString, 0};
		}
		else if constexpr (std::is_pointer_v<Decayed>)
		{
			return {EPrintfArgKind::Pointer, 0};
		}
		else
		{
			return {EPrintfArgKind::Other, 0};
		}
	}

	/** The first way in which a printf-style format and its arguments disagree. */
	enum class EPrintfFormatError : uint8
	{
		None,
		TooFewArguments,
		StarExpectsInt,
		FormatEndsInsideConversion,
		UnknownConversion,
		PercentSExpectsTcharPointer,
		IntegerGivenToFloatOrPointerConversion,
		WideIntegerNeedsLlConversion,
		FloatGivenToNonFloatConversion,
		StringGivenToNonStringConversion,
		NarrowStringNeedsTEXT,
		NullGivenToNonPointerConversion,
		PointerGivenToNonPointerConversion,
		ClassTypeArgumentNeedsStarForPercentS,
		TooManyArguments,
	};

	/** Checks a printf-style format against the types of its arguments. */
	constexpr EPrintfFormatError FindPrintfFormatError(const TCHAR* Format, const FPrintfArgType* ArgTypes)
	{
		int32 ArgIndex = 0;
		const auto TakeArgument = [&ArgTypes, &ArgIndex]() -> FPrintfArgType {
			const FPrintfArgType Type = ArgTypes[ArgIndex];
			if (Type.Kind != EPrintfArgKind::End)
			{
				++ArgIndex;
			}
			return Type;
		};
		for (const TCHAR* Char = Format; *Char; ++Char)
		{
			if (*Char != TEXT('%'))
			{
				continue;
			}
			++Char;
			if (*Char == TEXT('%'))
			{
				continue;
			}
			while (*Char == TEXT('-') || *Char == TEXT('+') || *Char == TEXT(' ') || *Char == TEXT('#') || *Char == TEXT('0'))
			{
				++Char;
			}
			for (int32 Part = 0; Part < 2; ++Part)
			{
				if (Part == 1)
				{
					if (*Char != TEXT('.'))
					{
						break;
					}
					++Char;
				}
				if (*Char == TEXT('*'))
				{
					const FPrintfArgType Star = TakeArgument();
					if (Star.Kind == EPrintfArgKind::End)
					{
						return EPrintfFormatError::TooFewArguments;
					}
					if (Star.Kind != EPrintfArgKind::Integer || Star.Size > 4)
					{
						return EPrintfFormatError::StarExpectsInt;
					}
					++Char;
				}
				while (*Char >= TEXT('0') && *Char <= TEXT('9'))
				{
					++Char;
				}
			}
			bool bWide = false;
			if (*Char == TEXT('h'))
			{
				Char += Char[1] == TEXT('h') ? 2 : 1;
			}
			else if (*Char == TEXT('l') || *Char == TEXT('j') || *Char == TEXT('z') || *Char == TEXT('t') || *Char == TEXT('L'))
			{
				bWide = true;
				Char += (Char[0] == TEXT('l') && Char[1] == TEXT('l')) ? 2 : 1;
			}
			if (*Char == 0)
			{
				return EPrintfFormatError::FormatEndsInsideConversion;
			}
			const TCHAR Conversion = *Char;
			const bool bKnown = Conversion == TEXT('d') || Conversion == TEXT('i') || Conversion == TEXT('u') || Conversion == TEXT('o') ||
			                    Conversion == TEXT('x') || Conversion == TEXT('X') || Conversion == TEXT('c') || Conversion == TEXT('s') ||
			                    Conversion == TEXT('p') || Conversion == TEXT('f') || Conversion == TEXT('F') || Conversion == TEXT('e') ||
			                    Conversion == TEXT('E') || Conversion == TEXT('g') || Conversion == TEXT('G') || Conversion == TEXT('a') ||
			                    Conversion == TEXT('A');
			if (!bKnown)
			{
				return EPrintfFormatError::UnknownConversion;
			}
			const FPrintfArgType Arg = TakeArgument();
			switch (Arg.Kind)
			{
				case EPrintfArgKind::End:
					return EPrintfFormatError::TooFewArguments;
				case EPrintfArgKind::Integer:
					if (Conversion == TEXT('s'))
					{
						return EPrintfFormatError::PercentSExpectsTcharPointer;
					}
					if (Conversion == TEXT('p') || Conversion == TEXT('f') || Conversion == TEXT('F') || Conversion == TEXT('e') || Conversion == TEXT('E') ||
					    Conversion == TEXT('g') || Conversion == TEXT('G') || Conversion == TEXT('a') || Conversion == TEXT('A'))
					{
						return EPrintfFormatError::IntegerGivenToFloatOrPointerConversion;
					}
					if (!bWide && Arg.Size > 4)
					{
						return EPrintfFormatError::WideIntegerNeedsLlConversion;
					}
					break;
				case EPrintfArgKind::Float:
					if (!(Conversion == TEXT('f') || Conversion == TEXT('F') || Conversion == TEXT('e') || Conversion == TEXT('E') || Conversion == TEXT('g') ||
					      Conversion == TEXT('G') || Conversion == TEXT('a') || Conversion == TEXT('A')))
					{
						return EPrintfFormatError::FloatGivenToNonFloatConversion;
					}
					break;
				case EPrintfArgKind::TCharString:
					if (Conversion != TEXT('s') && Conversion != TEXT('p'))
					{
						return EPrintfFormatError::StringGivenToNonStringConversion;
					}
					break;
				case EPrintfArgKind::NarrowString:
					return EPrintfFormatError::NarrowStringNeedsTEXT;
				case EPrintfArgKind::Null:
					if (Conversion != TEXT('s') && Conversion != TEXT('p'))
					{
						return EPrintfFormatError::NullGivenToNonPointerConversion;
					}
					break;
				case EPrintfArgKind::Pointer:
					if (Conversion != TEXT('p'))
					{
						return EPrintfFormatError::PointerGivenToNonPointerConversion;
					}
					break;
				case EPrintfArgKind::Other:
					return EPrintfFormatError::ClassTypeArgumentNeedsStarForPercentS;
			}
		}
		if (ArgTypes[ArgIndex].Kind != EPrintfArgKind::End)
		{
			return EPrintfFormatError::TooManyArguments;
		}
		return EPrintfFormatError::None;
	}

	// Never defined: each is called only while a mismatched format is checked during compilation, so the
	// compiler's error names the mismatch.
	void PrintfFormatError_TooFewArguments();
	void PrintfFormatError_StarExpectsInt();
	void PrintfFormatError_FormatEndsInsideConversion();
	void PrintfFormatError_UnknownConversion();
	void PrintfFormatError_PercentSExpectsTcharPointer();
	void PrintfFormatError_IntegerGivenToFloatOrPointerConversion();
	void PrintfFormatError_WideIntegerNeedsLlConversion();
	void PrintfFormatError_FloatGivenToNonFloatConversion();
	void PrintfFormatError_StringGivenToNonStringConversion();
	void PrintfFormatError_NarrowStringNeedsTEXT();
	void PrintfFormatError_NullGivenToNonPointerConversion();
	void PrintfFormatError_PointerGivenToNonPointerConversion();
	void PrintfFormatError_ClassTypeArgumentNeedsStarForPercentS();
	void PrintfFormatError_TooManyArguments();

	/** A format string whose agreement with the argument types is proven when the program is compiled. */
	template <typename CharType, typename... Types>
	class TCheckedFormatStringImpl
	{
	public:
		template <size_t N>
		consteval TCheckedFormatStringImpl(const CharType (&InFormat)[N])
		    : Format(InFormat)
		{
			const FPrintfArgType ArgTypes[] = {PrintfArgTypeOf<Types>()..., FPrintfArgType{}};
			switch (FindPrintfFormatError(InFormat, ArgTypes))
			{
				case EPrintfFormatError::None:
					break;
				case EPrintfFormatError::TooFewArguments:
					PrintfFormatError_TooFewArguments();
					break;
				case EPrintfFormatError::StarExpectsInt:
					PrintfFormatError_StarExpectsInt();
					break;
				case EPrintfFormatError::FormatEndsInsideConversion:
					PrintfFormatError_FormatEndsInsideConversion();
					break;
				case EPrintfFormatError::UnknownConversion:
					PrintfFormatError_UnknownConversion();
					break;
				case EPrintfFormatError::PercentSExpectsTcharPointer:
					PrintfFormatError_PercentSExpectsTcharPointer();
					break;
				case EPrintfFormatError::IntegerGivenToFloatOrPointerConversion:
					PrintfFormatError_IntegerGivenToFloatOrPointerConversion();
					break;
				case EPrintfFormatError::WideIntegerNeedsLlConversion:
					PrintfFormatError_WideIntegerNeedsLlConversion();
					break;
				case EPrintfFormatError::FloatGivenToNonFloatConversion:
					PrintfFormatError_FloatGivenToNonFloatConversion();
					break;
				case EPrintfFormatError::StringGivenToNonStringConversion:
					PrintfFormatError_StringGivenToNonStringConversion();
					break;
				case EPrintfFormatError::NarrowStringNeedsTEXT:
					PrintfFormatError_NarrowStringNeedsTEXT();
					break;
				case EPrintfFormatError::NullGivenToNonPointerConversion:
					PrintfFormatError_NullGivenToNonPointerConversion();
					break;
				case EPrintfFormatError::PointerGivenToNonPointerConversion:
					PrintfFormatError_PointerGivenToNonPointerConversion();
					break;
				case EPrintfFormatError::ClassTypeArgumentNeedsStarForPercentS:
					PrintfFormatError_ClassTypeArgumentNeedsStarForPercentS();
					break;
				case EPrintfFormatError::TooManyArguments:
					PrintfFormatError_TooManyArguments();
					break;
			}
		}

		const CharType* Format;
	};

	/** One argument of Printf, widened to what the formatter needs. */
	struct FPrintfArg
	{
		EPrintfArgKind Kind = EPrintfArgKind::End;
		bool bSigned = false;
		union
		{
			int64 Signed;
			uint64 Unsigned;
			double Float;
			const TCHAR* String;
			const void* Pointer;
		};
	};

	template <typename T>
	FPrintfArg MakePrintfArg(const T& Value)
	{
		using Decayed = std::remove_cv_t<std::decay_t<T>>;
		FPrintfArg Arg;
		Arg.Kind = PrintfArgTypeOf<T>().Kind;
		Arg.Unsigned = 0;
		if constexpr (std::is_enum_v<Decayed>)
		{
			using Underlying = std::underlying_type_t<Decayed>;
			Arg.bSigned = std::is_signed_v<Underlying>;
			Arg.Signed = static_cast<int64>(static_cast<Underlying>(Value));
		}
		else if constexpr (std::is_integral_v<Decayed>)
		{
			Arg.bSigned = std::is_signed_v<Decayed>;
			if constexpr (std::is_signed_v<Decayed>)
			{
				Arg.Signed = static_cast<int64>(Value);
			}
			else
			{
				Arg.Unsigned = static_cast<uint64>(Value);
			}
		}
		else if constexpr (std::is_floating_point_v<Decayed>)
		{
			Arg.Float = static_cast<double>(Value);
		}
		else if constexpr (std::is_pointer_v<Decayed> && std::is_same_v<std::remove_cv_t<std::remove_pointer_t<Decayed>>, TCHAR>)
		{
			Arg.String = Value;
		}
		else if constexpr (std::is_pointer_v<Decayed>)
		{
			Arg.Pointer = static_cast<const void*>(Value);
		}
		return Arg;
	}

	/** Formats with arguments already checked against the format. */
	FString FormatPrintf(const TCHAR* Format, const FPrintfArg* Args, int32 NumArgs);
} // namespace UE::Core::Private

namespace UE::Core
{
	/** A printf-style format literal, checked against the argument types at compile time. */
	template <typename CharType, typename... Types>
	using TCheckedFormatString = Private::TCheckedFormatStringImpl<CharType, std::type_identity_t<Types>...>;
} // namespace UE::Core

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
	void Empty(int32 Slack = 0)
	{
		Data.clear();
		Data.reserve(static_cast<size_t>(Slack > 0 ? Slack : 0));
	}
	void Reset(int32 NewReservedSize = 0)
	{
		Data.clear();
		Data.reserve(static_cast<size_t>(NewReservedSize));
	}
	void Reserve(int32 Size) { Data.reserve(static_cast<size_t>(Size)); }

	FString& Append(const TCHAR* Str, int32 Count);
	/** Appends Count bytes of UTF-8, decoded. */
	FString& AppendChars(const UTF8CHAR* Str, int32 Count);
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
	int32 Find(const TCHAR* SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart,
	           int32 StartPosition = INDEX_NONE) const;
	int32 Find(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase, ESearchDir::Type SearchDir = ESearchDir::FromStart,
	           int32 StartPosition = INDEX_NONE) const;
	bool FindChar(TCHAR InChar, int32& OutIndex) const;
	bool FindLastChar(TCHAR InChar, int32& OutIndex) const;
	bool StartsWith(const TCHAR* InPrefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool StartsWith(const FString& InPrefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const TCHAR* InSuffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const FString& InSuffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	/** Removes the prefix when the string starts with it; false when it does not (or the prefix is empty). */
	bool RemoveFromStart(const FString& InPrefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase);
	/** Removes the suffix when the string ends with it; false when it does not (or the suffix is empty). */
	bool RemoveFromEnd(const FString& InSuffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase);

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
	// In place, keeping the buffer: a path that is cut back and extended in a loop allocates once.
	void LeftInline(int32 Count);
	void LeftChopInline(int32 Count);
	void RightChopInline(int32 Count) { *this = RightChop(Count); }
	void MidInline(int32 Start, int32 Count = INT32_MAX) { *this = Mid(Start, Count); }

	bool Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
	           ESearchDir::Type SearchDir = ESearchDir::FromStart) const;
	int32 ParseIntoArray(TArray<FString>& OutArray, const TCHAR* pchDelim, bool bInCullEmpty = true) const;
	bool IsNumeric() const;

	static FString Chr(TCHAR Ch) { return FString(std::u16string(1, Ch)); }
	static FString ChrN(int32 NumCharacters, TCHAR Char) { return FString(std::u16string(static_cast<size_t>(NumCharacters), Char)); }
	static FString FromInt(int32 Num);

	/**
	 * Formats printf-style: %s takes const TCHAR* (pass *MyString), %d/%i/%u/%x/%X/%c take integers up to 32 bits,
	 * %lld/%llu/%ld/%llx any integer, %f/%e/%g floating point; flags, width and precision as in C.
	 * The format must be a TEXT() literal; a mismatch between it and the arguments does not compile.
	 */
	template <typename... Types>
	[[nodiscard]] static FString Printf(UE::Core::TCheckedFormatString<TCHAR, Types...> Fmt, Types... Args)
	{
		const UE::Core::Private::FPrintfArg Packed[] = {UE::Core::Private::MakePrintfArg(Args)..., UE::Core::Private::FPrintfArg{}};
		return UE::Core::Private::FormatPrintf(Fmt.Format, Packed, static_cast<int32>(sizeof...(Args)));
	}

	/** The shortest "%f" form that keeps at least InMinFractionalDigits digits after the point ("1.0", "0.25"). */
	static FString SanitizeFloat(double InFloat, const int32 InMinFractionalDigits = 1);
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
inline FString LexToString(FString&& Value)
{
	return MoveTemp(Value);
}
inline FString LexToString(const TCHAR* Value)
{
	return FString(Value);
}
inline FString LexToString(bool Value)
{
	return Value ? FString(TEXT("true")) : FString(TEXT("false"));
}
FString LexToString(int8 Value);
FString LexToString(int16 Value);
FString LexToString(int32 Value);
FString LexToString(int64 Value);
FString LexToString(uint8 Value);
FString LexToString(uint16 Value);
FString LexToString(uint32 Value);
FString LexToString(uint64 Value);
/** "%f", as the engine: six digits after the point. */
FString LexToString(float Value);
FString LexToString(double Value);
/** The sanitized form of FString::SanitizeFloat ("1.0", "0.25"). */
FString LexToSanitizedString(float Value);
FString LexToSanitizedString(double Value);
