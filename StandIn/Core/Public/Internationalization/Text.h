// FText: text shown to the user, with the namespace and key that localisation would look it up by.
// The stand-in has one culture, en-US, and no translations: a text displays its source string.
#pragma once

#include <memory>

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/Optional.h"
#include "Templates/SharedPointer.h"
#include "UObject/NameTypes.h"
#include <type_traits>

class FCulture;
class FFormatArgumentValue;
class FTextFormat;
using FFormatOrderedArguments = TArray<FFormatArgumentValue>;
using FCulturePtr = TSharedPtr<FCulture, ESPMode::ThreadSafe>;

namespace ETextComparisonLevel
{
	enum Type
	{
		Default,
		Primary,
		Secondary,
		Tertiary,
		Quaternary,
		Quinary,
	};
} // namespace ETextComparisonLevel

enum ERoundingMode : int32
{
	HalfToEven,
	HalfFromZero,
	HalfToZero,
	FromZero,
	ToZero,
	ToNegativeInfinity,
	ToPositiveInfinity,
};

/** How AsNumber writes a number; the defaults are the engine's (grouping on, at most three fractional digits). */
struct FNumberFormattingOptions
{
	bool AlwaysSign = false;
	bool UseGrouping = true;
	ERoundingMode RoundingMode = ERoundingMode::HalfToEven;
	int32 MinimumIntegralDigits = 1;
	int32 MaximumIntegralDigits = 324;
	int32 MinimumFractionalDigits = 0;
	int32 MaximumFractionalDigits = 3;

	FNumberFormattingOptions& SetAlwaysSign(bool bInValue)
	{
		AlwaysSign = bInValue;
		return *this;
	}
	FNumberFormattingOptions& SetUseGrouping(bool bInValue)
	{
		UseGrouping = bInValue;
		return *this;
	}
	FNumberFormattingOptions& SetRoundingMode(ERoundingMode InValue)
	{
		RoundingMode = InValue;
		return *this;
	}
	FNumberFormattingOptions& SetMinimumIntegralDigits(int32 InValue)
	{
		MinimumIntegralDigits = InValue;
		return *this;
	}
	FNumberFormattingOptions& SetMaximumIntegralDigits(int32 InValue)
	{
		MaximumIntegralDigits = InValue;
		return *this;
	}
	FNumberFormattingOptions& SetMinimumFractionalDigits(int32 InValue)
	{
		MinimumFractionalDigits = InValue;
		return *this;
	}
	FNumberFormattingOptions& SetMaximumFractionalDigits(int32 InValue)
	{
		MaximumFractionalDigits = InValue;
		return *this;
	}

	static const FNumberFormattingOptions& DefaultWithGrouping();
	static const FNumberFormattingOptions& DefaultNoGrouping();
};

enum class ETextFormatFlags : uint8
{
	None = 0,
	EvaluateArgumentModifiers = 1 << 0,
	Default = EvaluateArgumentModifiers,
};

class FText
{
public:
	/** An empty text with no namespace or key. */
	FText();

	static const FText& GetEmpty();

	/** A text of a plain string: it has no namespace or key, so it is never translated. */
	static FText FromString(const FString& String);
	static FText FromString(FString&& String);
	static FText FromString(const TCHAR* String);
	static FText FromString(const ANSICHAR* String);
	static FText FromStringView(FStringView String);
	static FText FromName(const FName& Val);
	static FText AsCultureInvariant(const FString& String);
	static FText AsCultureInvariant(FString&& String);
	static FText AsCultureInvariant(const TCHAR* String);
	static FText AsCultureInvariant(FText Text);

	/**
	 * A number written in the current culture (en-US): "1,234,567", "-0.5", at most three fractional digits by
	 * default, rounded half to even.
	 */
	template <typename NumberType, std::enable_if_t<std::is_arithmetic_v<NumberType> && !std::is_same_v<NumberType, bool>, int> = 0>
	static FText AsNumber(NumberType Val, const FNumberFormattingOptions* const Options = nullptr, const FCulturePtr& TargetCulture = nullptr)
	{
		if constexpr (std::is_floating_point_v<NumberType>)
		{
			return AsNumberFromDouble(static_cast<double>(Val), Options, TargetCulture);
		}
		else if constexpr (std::is_signed_v<NumberType>)
		{
			return AsNumberFromInteger(Val < 0, Val < 0 ? 0 - static_cast<uint64>(Val) : static_cast<uint64>(Val), Options, TargetCulture);
		}
		else
		{
			return AsNumberFromInteger(false, static_cast<uint64>(Val), Options, TargetCulture);
		}
	}

	/**
	 * Fills the pattern's ordered arguments "{0}", "{1}", ... A brace pair that names no argument stays as written.
	 * The result has no namespace or key of its own; the pattern and the arguments are kept as its history.
	 */
	static FText Format(FTextFormat Fmt, const FFormatOrderedArguments& InArguments);
	static FText Format(FTextFormat Fmt, FFormatOrderedArguments&& InArguments);
	template <typename... ArgTypes>
	static FText Format(FTextFormat Fmt, ArgTypes... Args);

	/** Joins the texts with the delimiter between them. */
	static FText Join(const FText& Delimiter, const TArray<FText>& Args);

	static FText TrimPreceding(const FText& InText);
	static FText TrimTrailing(const FText& InText);
	static FText TrimPrecedingAndTrailing(const FText& InText);

	/** The string the user sees. */
	const FString& ToString() const { return Data->DisplayString; }
	bool IsEmpty() const { return Data->DisplayString.IsEmpty(); }
	bool IsEmptyOrWhitespace() const;
	bool IsCultureInvariant() const { return Data->bCultureInvariant; }
	bool IsTransient() const { return false; }
	bool IsFromStringTable() const { return false; }
	bool ShouldGatherForLocalization() const { return Data->Identity != nullptr; }
	FText ToLower() const;
	FText ToUpper() const;

	/** Compares what the user sees; Primary and Secondary ignore case, the finer levels do not. */
	bool EqualTo(const FText& Other, const ETextComparisonLevel::Type ComparisonLevel = ETextComparisonLevel::Default) const;
	bool EqualToCaseIgnored(const FText& Other) const { return EqualTo(Other, ETextComparisonLevel::Secondary); }
	/**
	 * Whether the two are the same text, not merely the same string: a copy of this text, or a localisable text with
	 * the same namespace, key and string. Two texts formatted or made from strings apart are never identical.
	 */
	bool IdenticalTo(const FText& Other) const;

	/** Used by LOCTEXT and NSLOCTEXT: a localisable text with its namespace and key. */
	static FText MakeLocalized(const TCHAR* InTextLiteral, const TCHAR* InNamespace, const TCHAR* InKey);

private:
	friend class FTextInspector;

	/** Where a localisable text is found in the translations. */
	struct FTextIdentity
	{
		FString Namespace;
		FString Key;
	};

	/** What a formatted text was made from: its pattern and its arguments. */
	struct FFormatHistory;

	/** What a text holds. Copies of a text share it, as the engine's texts share theirs; it is never changed once shared. */
	struct FTextData
	{
		FString DisplayString;
		// Null for a text that is not localisable.
		std::shared_ptr<const FTextIdentity> Identity;
		// Set for a text that FText::Format made.
		std::shared_ptr<const FFormatHistory> FormatHistory;
		// Set for texts that can be translated: what a translator sees.
		TOptional<FString> SourceString;
		bool bCultureInvariant = false;
	};

	explicit FText(FString&& InDisplayString);
	static FText AsNumberFromInteger(bool bNegative, uint64 Magnitude, const FNumberFormattingOptions* Options, const FCulturePtr& TargetCulture);
	static FText AsNumberFromDouble(double Val, const FNumberFormattingOptions* Options, const FCulturePtr& TargetCulture);

	/** @return the data of this text alone, copied first when other texts share it. */
	FTextData& MutableData();

	std::shared_ptr<FTextData> Data;
};

/** A pattern for FText::Format: "{0}" and "{1}" name ordered arguments; "`" escapes a brace. */
class FTextFormat
{
public:
	FTextFormat();
	FTextFormat(const FText& InText, ETextFormatFlags InFormatFlags = ETextFormatFlags::Default);
	static FTextFormat FromString(const FString& InString, ETextFormatFlags InFormatFlags = ETextFormatFlags::Default);

	const FText& GetSourceText() const;
	const FString& GetSourceString() const;
	ETextFormatFlags GetFormatFlags() const { return FormatFlags; }
	bool IsValid() const { return true; }

private:
	FText SourceText;
	ETextFormatFlags FormatFlags = ETextFormatFlags::Default;
};

enum class EFormatArgumentType : uint8
{
	Int,
	UInt,
	Float,
	Double,
	Text,
	Gender,
};

/** One argument of FText::Format: a number (written as AsNumber would) or a text (inserted as it displays). */
class FFormatArgumentValue
{
public:
	FFormatArgumentValue();
	FFormatArgumentValue(const int32 Value);
	FFormatArgumentValue(const uint32 Value);
	FFormatArgumentValue(const int64 Value);
	FFormatArgumentValue(const uint64 Value);
	FFormatArgumentValue(const float Value);
	FFormatArgumentValue(const double Value);
	FFormatArgumentValue(const FText& Value);
	FFormatArgumentValue(FText&& Value);
	// Any other integer type, so that int16 or long long are not ambiguous.
	template <typename IntegerType, std::enable_if_t<std::is_integral_v<IntegerType> && !std::is_same_v<IntegerType, bool>, int> = 0>
	FFormatArgumentValue(IntegerType Value)
	    : FFormatArgumentValue(std::is_signed_v<IntegerType> ? FFormatArgumentValue(static_cast<int64>(Value))
	                                                         : FFormatArgumentValue(static_cast<uint64>(Value)))
	{
	}

	EFormatArgumentType GetType() const { return Type; }
	int64 GetIntValue() const { return IntValue; }
	uint64 GetUIntValue() const { return UIntValue; }
	float GetFloatValue() const { return FloatValue; }
	double GetDoubleValue() const { return DoubleValue; }
	const FText& GetTextValue() const { return TextValue; }

	/** The argument as Format inserts it. */
	FString ToFormattedString(const bool bInRebuildText, const bool bInRebuildAsSource) const;

private:
	EFormatArgumentType Type = EFormatArgumentType::Int;
	union
	{
		int64 IntValue;
		uint64 UIntValue;
		float FloatValue;
		double DoubleValue;
	};
	FText TextValue;
};

template <typename... ArgTypes>
FText FText::Format(FTextFormat Fmt, ArgTypes... Args)
{
	static_assert(sizeof...(Args) > 0, "FText::Format expects at least one argument");
	FFormatOrderedArguments Arguments;
	Arguments.Reserve(static_cast<int32>(sizeof...(Args)));
	(Arguments.Add(FFormatArgumentValue(MoveTemp(Args))), ...);
	return Format(MoveTemp(Fmt), MoveTemp(Arguments));
}

/** One formatting step that a text came from: the text it made and the pattern it was made from. */
class FHistoricTextFormatData
{
public:
	FHistoricTextFormatData() = default;
	FHistoricTextFormatData(FText InFormattedText, FTextFormat&& InSourceFmt)
	    : FormattedText(MoveTemp(InFormattedText))
	    , SourceFmt(MoveTemp(InSourceFmt))
	{
	}

	/** The text this step made. */
	FText FormattedText;
	/** The pattern it was made from. */
	FTextFormat SourceFmt;
};

/** Reads what a text is made of, as localisation tools and tests do. */
class FTextInspector
{
public:
	/** The namespace of a localisable text, unset for a text of a plain string or a number. */
	static TOptional<FString> GetNamespace(const FText& Text)
	{
		return Text.Data->Identity ? TOptional<FString>(Text.Data->Identity->Namespace) : TOptional<FString>();
	}
	/** The key of a localisable text, unset for a text of a plain string or a number. */
	static TOptional<FString> GetKey(const FText& Text) { return Text.Data->Identity ? TOptional<FString>(Text.Data->Identity->Key) : TOptional<FString>(); }
	/** The untranslated string, or the displayed one when the text has none. */
	static const FString* GetSourceString(const FText& Text)
	{
		return Text.Data->SourceString.IsSet() ? &Text.Data->SourceString.GetValue() : &Text.Data->DisplayString;
	}
	static const FString& GetDisplayString(const FText& Text) { return Text.Data->DisplayString; }
	static bool ShouldGatherForLocalization(const FText& Text) { return Text.ShouldGatherForLocalization(); }
	/**
	 * Adds to OutHistoricFormatData each formatting step that Text came from: the step that made Text, then those
	 * that made its text arguments, and theirs in turn. Adds nothing for a text that was not formatted.
	 */
	static void GetHistoricFormatData(const FText& Text, TArray<FHistoricTextFormatData>& OutHistoricFormatData);
};
