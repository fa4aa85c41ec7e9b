#include "Internationalization/Text.h"
#include "Internationalization/Internationalization.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace
{
	// Where a number's discarded digits lie relative to half a unit of the last kept digit.
	enum class ERemainder
	{
		Zero,
		BelowHalf,
		Half,
		AboveHalf,
	};

	ERemainder ClassifyRemainder(std::string_view Discarded)
	{
		const size_t FirstNonZero = Discarded.find_first_not_of('0');
		if (FirstNonZero == std::string_view::npos)
		{
			return ERemainder::Zero;
		}
		if (Discarded[0] < '5')
		{
			return ERemainder::BelowHalf;
		}
		if (Discarded[0] > '5')
		{
			return ERemainder::AboveHalf;
		}
		return Discarded.find_first_not_of('0', 1) == std::string_view::npos ? ERemainder::Half : ERemainder::AboveHalf;
	}

	bool ShouldRoundAway(ERoundingMode Mode, ERemainder Remainder, bool bLastKeptDigitOdd, bool bNegative)
	{
		if (Remainder == ERemainder::Zero)
		{
			return false;
		}
		switch (Mode)
		{
			case ERoundingMode::HalfToEven:
				return Remainder == ERemainder::AboveHalf || (Remainder == ERemainder::Half && bLastKeptDigitOdd);
			case ERoundingMode::HalfFromZero:
				return Remainder != ERemainder::BelowHalf;
			case ERoundingMode::HalfToZero:
				return Remainder == ERemainder::AboveHalf;
			case ERoundingMode::FromZero:
				return true;
			case ERoundingMode::ToZero:
				return false;
			case ERoundingMode::ToNegativeInfinity:
				return bNegative;
			case ERoundingMode::ToPositiveInfinity:
				return !bNegative;
		}
		return false;
	}

	// Adds one to a string of decimal digits, growing it when the carry runs off the front.
	void IncrementDigits(std::string& Digits)
	{
		for (size_t Index = Digits.size(); Index > 0; --Index)
		{
			if (Digits[Index - 1] != '9')
			{
				++Digits[Index - 1];
				return;
			}
			Digits[Index - 1] = '0';
		}
		Digits.insert(Digits.begin(), '1');
	}

	void AppendGrouped(FString& Out, std::string_view Digits, bool bUseGrouping)
	{
		for (size_t Index = 0; Index < Digits.size(); ++Index)
		{
			if (bUseGrouping && Index > 0 && (Digits.size() - Index) % 3 == 0)
			{
				Out.AppendChar(TEXT(','));
			}
			Out.AppendChar(static_cast<TCHAR>(Digits[Index]));
		}
	}

	// Writes an exact decimal number (integral and fractional digits, no sign) in en-US form.
	FString FormatDecimal(bool bNegative, std::string Integral, std::string Fractional, const FNumberFormattingOptions& Options)
	{
		const int32 MinFractional = std::clamp(Options.MinimumFractionalDigits, 0, 340);
		const int32 MaxFractional = std::max(MinFractional, std::clamp(Options.MaximumFractionalDigits, 0, 340));
		if (Fractional.size() < static_cast<size_t>(MaxFractional))
		{
			Fractional.append(static_cast<size_t>(MaxFractional) - Fractional.size(), '0');
		}
		const ERemainder Remainder = ClassifyRemainder(std::string_view(Fractional).substr(static_cast<size_t>(MaxFractional)));
		Fractional.resize(static_cast<size_t>(MaxFractional));
		std::string Kept = Integral + Fractional;
		const bool bLastOdd = !Kept.empty() && (Kept.back() - '0') % 2 == 1;
		if (ShouldRoundAway(Options.RoundingMode, Remainder, bLastOdd, bNegative))
		{
			IncrementDigits(Kept);
		}
		Integral = Kept.substr(0, Kept.size() - Fractional.size());
		Fractional = Kept.substr(Kept.size() - Fractional.size());

		while (Fractional.size() > static_cast<size_t>(MinFractional) && Fractional.back() == '0')
		{
			Fractional.pop_back();
		}
		Integral.erase(0, std::min(Integral.find_first_not_of('0'), Integral.size()));
		const size_t MinIntegral = static_cast<size_t>(std::max(0, Options.MinimumIntegralDigits));
		const size_t MaxIntegral = static_cast<size_t>(std::max(Options.MinimumIntegralDigits, Options.MaximumIntegralDigits));
		if (Integral.size() < MinIntegral)
		{
			Integral.insert(0, MinIntegral - Integral.size(), '0');
		}
		if (Integral.size() > MaxIntegral)
		{
			Integral.erase(0, Integral.size() - MaxIntegral);
		}

		// A value that rounds to zero is written without a sign.
		const bool bIsZero = Integral.find_first_not_of('0') == std::string::npos && Fractional.find_first_not_of('0') == std::string::npos;
		FString Result;
		if (bNegative && !bIsZero)
		{
			Result.AppendChar(TEXT('-'));
		}
		else if (Options.AlwaysSign)
		{
			Result.AppendChar(TEXT('+'));
		}
		AppendGrouped(Result, Integral, Options.UseGrouping);
		if (!Fractional.empty())
		{
			Result.AppendChar(TEXT('.'));
			Result += FString::FromUtf8(Fractional);
		}
		return Result;
	}

	const FNumberFormattingOptions& OptionsOrDefault(const FNumberFormattingOptions* Options)
	{
		return Options ? *Options : FNumberFormattingOptions::DefaultWithGrouping();
	}

	bool IsAsciiDigits(std::u16string_view Text)
	{
		return !Text.empty() && std::all_of(Text.begin(), Text.end(), [](TCHAR Char) {
			return Char >= TEXT('0') && Char <= TEXT('9');
		});
	}

	// Fills "{N}" from the arguments; "`" makes the next brace or backtick literal.
	FString FormatPattern(const FString& Pattern, const FFormatOrderedArguments& Arguments)
	{
		const std::u16string_view Text(Pattern.ToStdString());
		FString Result;
		Result.Reserve(Pattern.Len() + 32);
		size_t Index = 0;
		while (Index < Text.size())
		{
			// Plain text up to the next brace or escape goes over in one piece.
			const size_t Special = std::min(Text.find_first_of(u"{`", Index), Text.size());
			if (Special > Index)
			{
				Result.Append(reinterpret_cast<const TCHAR*>(Text.data() + Index), static_cast<int32>(Special - Index));
				Index = Special;
				continue;
			}
			const TCHAR Char = Text[Index];
			if (Char == TEXT('`') && Index + 1 < Text.size() && (Text[Index + 1] == TEXT('{') || Text[Index + 1] == TEXT('}') || Text[Index + 1] == TEXT('`')))
			{
				Result.AppendChar(Text[Index + 1]);
				Index += 2;
				continue;
			}
			if (Char == TEXT('{'))
			{
				const size_t Close = Text.find_first_of(u"{}", Index + 1);
				if (Close != std::u16string_view::npos && Text[Close] == TEXT('}'))
				{
					const std::u16string_view Name = Text.substr(Index + 1, Close - Index - 1);
					// Digits only; long runs are compared by length first so that they cannot overflow.
					if (IsAsciiDigits(Name))
					{
						const size_t FirstSignificant = std::min(Name.find_first_not_of(u'0'), Name.size() - 1);
						const std::u16string_view Significant = Name.substr(FirstSignificant);
						int64 ArgumentIndex = -1;
						if (Significant.size() <= 9)
						{
							ArgumentIndex = 0;
							for (const TCHAR Digit : Significant)
							{
								ArgumentIndex = ArgumentIndex * 10 + (Digit - TEXT('0'));
							}
						}
						if (ArgumentIndex >= 0 && ArgumentIndex < Arguments.Num())
						{
							const FFormatArgumentValue& Argument = Arguments[static_cast<int32>(ArgumentIndex)];
							Result +=
							    Argument.GetType() == EFormatArgumentType::Text ? Argument.GetTextValue().ToString() : Argument.ToFormattedString(false, false);
							Index = Close + 1;
							continue;
						}
					}
				}
			}
			Result.AppendChar(Char);
			++Index;
		}
		return Result;
	}
} // namespace

const FNumberFormattingOptions& FNumberFormattingOptions::DefaultWithGrouping()
{
	static const FNumberFormattingOptions Options = FNumberFormattingOptions().SetUseGrouping(true);
	return Options;
}

const FNumberFormattingOptions& FNumberFormattingOptions::DefaultNoGrouping()
{
	static const FNumberFormattingOptions Options = FNumberFormattingOptions().SetUseGrouping(false);
	return Options;
}

FText::FText()
{
	// Every empty text shares one data, so that making one allocates nothing.
	static const std::shared_ptr<FTextData> EmptyData = std::make_shared<FTextData>();
	Data = EmptyData;
}

FText::FText(FString&& InDisplayString)
    : Data(std::make_shared<FTextData>())
{
	Data->DisplayString = MoveTemp(InDisplayString);
}

FText::FTextData& FText::MutableData()
{
	if (Data.use_count() != 1)
	{
		Data = std::make_shared<FTextData>(*Data);
	}
	return *Data;
}

const FText& FText::GetEmpty()
{
	static const FText Empty;
	return Empty;
}

FText FText::FromString(const FString& String)
{
	return FText(FString(String));
}

FText FText::FromString(FString&& String)
{
	return FText(MoveTemp(String));
}

FText FText::FromString(const TCHAR* String)
{
	return FText(FString(String));
}

FText FText::FromString(const ANSICHAR* String)
{
	return FText(FString(String));
}

FText FText::FromStringView(FStringView String)
{
	return FText(FString(String));
}

FText FText::FromName(const FName& Val)
{
	return FText(Val.ToString());
}

FText FText::AsCultureInvariant(const FString& String)
{
	return AsCultureInvariant(FString(String));
}

FText FText::AsCultureInvariant(FString&& String)
{
	FText Result(MoveTemp(String));
	Result.MutableData().bCultureInvariant = true;
	return Result;
}

FText FText::AsCultureInvariant(const TCHAR* String)
{
	return AsCultureInvariant(FString(String));
}

FText FText::AsCultureInvariant(FText Text)
{
	Text.MutableData().bCultureInvariant = true;
	return Text;
}

FText FText::MakeLocalized(const TCHAR* InTextLiteral, const TCHAR* InNamespace, const TCHAR* InKey)
{
	FText Result{FString(InTextLiteral)};
	FTextData& ResultData = Result.MutableData();
	ResultData.Identity = std::make_shared<const FTextIdentity>(FTextIdentity{FString(InNamespace), FString(InKey)});
	ResultData.SourceString = ResultData.DisplayString;
	return Result;
}

FText FText::AsNumberFromInteger(bool bNegative, uint64 Magnitude, const FNumberFormattingOptions* Options, const FCulturePtr&)
{
	return FText(FormatDecimal(bNegative, std::to_string(Magnitude), std::string(), OptionsOrDefault(Options)));
}

FText FText::AsNumberFromDouble(double Val, const FNumberFormattingOptions* Options, const FCulturePtr&)
{
	if (std::isnan(Val))
	{
		return FText(FString(TEXT("NaN")));
	}
	if (std::isinf(Val))
	{
		return FText(FString(Val < 0 ? TEXT("-\u221E") : TEXT("\u221E")));
	}
	// The exact decimal expansion of the double, so that rounding sees its true digits.
	char Buffer[1536];
	const int Length = std::snprintf(Buffer, sizeof(Buffer), "%.1100f", std::fabs(Val));
	const std::string_view Exact(Buffer, static_cast<size_t>(std::clamp(Length, 0, static_cast<int>(sizeof(Buffer)) - 1)));
	const size_t Dot = Exact.find('.');
	const std::string Integral(Exact.substr(0, Dot));
	const std::string Fractional(Dot == std::string_view::npos ? std::string_view() : Exact.substr(Dot + 1));
	return FText(FormatDecimal(std::signbit(Val), Integral, Fractional, OptionsOrDefault(Options)));
}

struct FText::FFormatHistory
{
	FTextFormat SourceFmt;
	FFormatOrderedArguments Arguments;
};

FText FText::Format(FTextFormat Fmt, const FFormatOrderedArguments& InArguments)
{
	return Format(MoveTemp(Fmt), FFormatOrderedArguments(InArguments));
}

FText FText::Format(FTextFormat Fmt, FFormatOrderedArguments&& InArguments)
{
	FText Result(FormatPattern(Fmt.GetSourceString(), InArguments));
	// The result is a new text, not the pattern's: what it was made from stays readable through its history.
	Result.MutableData().FormatHistory = std::make_shared<const FFormatHistory>(FFormatHistory{MoveTemp(Fmt), MoveTemp(InArguments)});
	return Result;
}

FText FText::Join(const FText& Delimiter, const TArray<FText>& Args)
{
	FString Result;
	for (int32 Index = 0; Index < Args.Num(); ++Index)
	{
		if (Index > 0)
		{
			Result += Delimiter.ToString();
		}
		Result += Args[Index].ToString();
	}
	return FText(MoveTemp(Result));
}

FText FText::TrimPreceding(const FText& InText)
{
	return FText(InText.ToString().TrimStart());
}

FText FText::TrimTrailing(const FText& InText)
{
	return FText(InText.ToString().TrimEnd());
}

FText FText::TrimPrecedingAndTrailing(const FText& InText)
{
	return FText(InText.ToString().TrimStartAndEnd());
}

bool FText::IsEmptyOrWhitespace() const
{
	return std::all_of(Data->DisplayString.begin(), Data->DisplayString.end(), [](TCHAR Char) {
		return FChar::IsWhitespace(Char);
	});
}

FText FText::ToLower() const
{
	return FText(Data->DisplayString.ToLower());
}

FText FText::ToUpper() const
{
	return FText(Data->DisplayString.ToUpper());
}

bool FText::EqualTo(const FText& Other, const ETextComparisonLevel::Type ComparisonLevel) const
{
	const bool bIgnoreCase = ComparisonLevel == ETextComparisonLevel::Primary || ComparisonLevel == ETextComparisonLevel::Secondary;
	return Data->DisplayString.Equals(Other.Data->DisplayString, bIgnoreCase ? ESearchCase::IgnoreCase : ESearchCase::CaseSensitive);
}

bool FText::IdenticalTo(const FText& Other) const
{
	if (Data == Other.Data)
	{
		return true;
	}
	const FTextIdentity* Mine = Data->Identity.get();
	const FTextIdentity* Theirs = Other.Data->Identity.get();
	return Mine && Theirs && Mine->Namespace == Theirs->Namespace && Mine->Key == Theirs->Key &&
	       Data->DisplayString.Equals(Other.Data->DisplayString, ESearchCase::CaseSensitive);
}

void FTextInspector::GetHistoricFormatData(const FText& Text, TArray<FHistoricTextFormatData>& OutHistoricFormatData)
{
	const FText::FFormatHistory* History = Text.Data->FormatHistory.get();
	if (!History)
	{
		return;
	}
	OutHistoricFormatData.Emplace(Text, FTextFormat(History->SourceFmt));
	for (const FFormatArgumentValue& Argument : History->Arguments)
	{
		if (Argument.GetType() == EFormatArgumentType::Text)
		{
			GetHistoricFormatData(Argument.GetTextValue(), OutHistoricFormatData);
		}
	}
}

FTextFormat::FTextFormat() = default;

FTextFormat::FTextFormat(const FText& InText, ETextFormatFlags InFormatFlags)
    : SourceText(InText)
    , FormatFlags(InFormatFlags)
{
}

FTextFormat FTextFormat::FromString(const FString& InString, ETextFormatFlags InFormatFlags)
{
	return FTextFormat(FText::FromString(InString), InFormatFlags);
}

const FText& FTextFormat::GetSourceText() const
{
	return SourceText;
}

const FString& FTextFormat::GetSourceString() const
{
	return SourceText.ToString();
}

FFormatArgumentValue::FFormatArgumentValue()
    : IntValue(0)
{
}

FFormatArgumentValue::FFormatArgumentValue(const int32 Value)
    : Type(EFormatArgumentType::Int)
    , IntValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(const uint32 Value)
    : Type(EFormatArgumentType::UInt)
    , UIntValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(const int64 Value)
    : Type(EFormatArgumentType::Int)
    , IntValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(const uint64 Value)
    : Type(EFormatArgumentType::UInt)
    , UIntValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(const float Value)
    : Type(EFormatArgumentType::Float)
    , FloatValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(const double Value)
    : Type(EFormatArgumentType::Double)
    , DoubleValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(const FText& Value)
    : Type(EFormatArgumentType::Text)
    , IntValue(0)
    , TextValue(Value)
{
}

FFormatArgumentValue::FFormatArgumentValue(FText&& Value)
    : Type(EFormatArgumentType::Text)
    , IntValue(0)
    , TextValue(MoveTemp(Value))
{
}

FString FFormatArgumentValue::ToFormattedString(const bool, const bool) const
{
	switch (Type)
	{
		case EFormatArgumentType::Int:
			return FText::AsNumber(IntValue).ToString();
		case EFormatArgumentType::UInt:
			return FText::AsNumber(UIntValue).ToString();
		case EFormatArgumentType::Float:
			return FText::AsNumber(FloatValue).ToString();
		case EFormatArgumentType::Double:
			return FText::AsNumber(DoubleValue).ToString();
		case EFormatArgumentType::Text:
			return TextValue.ToString();
		case EFormatArgumentType::Gender:
			break;
	}
	return FString();
}

FInternationalization& FInternationalization::Get()
{
	static FInternationalization Instance;
	return Instance;
}

FString FInternationalization::GetCurrentCultureName() const
{
	return FString(TEXT("en-US"));
}
