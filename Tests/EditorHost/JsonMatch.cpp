#include "JsonMatch.h"

#include "Dom/JsonObject.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

#include <functional>

namespace
{
	FString Print(const TSharedPtr<FJsonValue>& Value)
	{
		if (!Value.IsValid())
		{
			return TEXT("nothing");
		}
		FString Text;
		const TSharedRef<TJsonWriter<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>> Writer =
		    TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text);
		FJsonSerializer::Serialize(Value, FString(), Writer);
		return Text;
	}

	bool IsAnyValue(const TSharedPtr<FJsonValue>& Value)
	{
		return Value.IsValid() && Value->Type == EJson::String && Value->AsString() == TEXT("...");
	}

	/** How strings compare, and whether "..." in an array stands for any number of elements. */
	struct FJsonRules
	{
		std::function<bool(const FString&, const FString&)> StringsMatch;
		bool bElisionInArrays = false;
	};

	bool Match(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, const FString& Path, const FJsonRules& Rules,
	           FString& OutMismatch);

	bool MatchElements(const TArray<TSharedPtr<FJsonValue>>& Expected, int32 ExpectedIndex, const TArray<TSharedPtr<FJsonValue>>& Actual, int32 ActualIndex,
	                   const FString& Path, const FJsonRules& Rules, FString& OutMismatch)
	{
		if (ExpectedIndex == Expected.Num())
		{
			return ActualIndex == Actual.Num();
		}
		if (Rules.bElisionInArrays && IsAnyValue(Expected[ExpectedIndex]))
		{
			for (int32 Skipped = ActualIndex; Skipped <= Actual.Num(); ++Skipped)
			{
				if (MatchElements(Expected, ExpectedIndex + 1, Actual, Skipped, Path, Rules, OutMismatch))
				{
					return true;
				}
			}
			return false;
		}
		return ActualIndex < Actual.Num() &&
		       Match(Expected[ExpectedIndex], Actual[ActualIndex], FString::Printf(TEXT("%s[%d]"), *Path, ActualIndex), Rules, OutMismatch) &&
		       MatchElements(Expected, ExpectedIndex + 1, Actual, ActualIndex + 1, Path, Rules, OutMismatch);
	}

	bool Match(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, const FString& Path, const FJsonRules& Rules, FString& OutMismatch)
	{
		const auto Differ = [&]() {
			OutMismatch = FString::Printf(TEXT("%s: shown %s, written %s"), Path.IsEmpty() ? TEXT("the value") : *Path, *Print(Expected), *Print(Actual));
			return false;
		};
		if (Actual.IsValid() && IsAnyValue(Expected))
		{
			return true;
		}
		if (!Expected.IsValid() || !Actual.IsValid() || Expected->Type != Actual->Type)
		{
			return Differ();
		}
		switch (Expected->Type)
		{
			case EJson::Object:
				for (const auto& Member : Expected->AsObject()->Values)
				{
					const FString Key(Member.Key);
					if (!Match(Member.Value, Actual->AsObject()->TryGetField(Key), Path + TEXT(".") + Key, Rules, OutMismatch))
					{
						return false;
					}
				}
				return true;
			case EJson::Array:
			{
				const bool bElided = Rules.bElisionInArrays && Expected->AsArray().ContainsByPredicate(IsAnyValue);
				if (!bElided && Expected->AsArray().Num() != Actual->AsArray().Num())
				{
					return Differ();
				}
				// Without elision the failing element's own mismatch says more than the whole arrays do.
				return MatchElements(Expected->AsArray(), 0, Actual->AsArray(), 0, Path, Rules, OutMismatch) || (bElided && Differ());
			}
			case EJson::String:
				return Rules.StringsMatch(Expected->AsString(), Actual->AsString()) || Differ();
			case EJson::Number:
				return Expected->AsNumber() == Actual->AsNumber() || Differ();
			case EJson::Boolean:
				return Expected->AsBool() == Actual->AsBool() || Differ();
			default:
				return true;
		}
	}

	bool IsDigit(char Char)
	{
		return Char >= '0' && Char <= '9';
	}

	bool IsWordChar(char Char)
	{
		return IsDigit(Char) || (Char >= 'a' && Char <= 'z') || (Char >= 'A' && Char <= 'Z');
	}

	size_t DigitsAt(const std::string& Text, size_t At)
	{
		size_t End = At;
		while (End < Text.size() && IsDigit(Text[End]))
		{
			++End;
		}
		return End - At;
	}

	/** The length of an ISO 8601 UTC time at At ("2026-12-06T02:40:57.122Z"), or 0. */
	size_t TimeAt(const std::string& Text, size_t At)
	{
		static const std::string Pattern = "dddd-dd-ddTdd:dd:dd";
		if (At + Pattern.size() > Text.size())
		{
			return 0;
		}
		for (size_t Index = 0; Index < Pattern.size(); ++Index)
		{
			const char Char = Text[At + Index];
			if (Pattern[Index] == 'd' ? !IsDigit(Char) : Pattern[Index] != Char)
			{
				return 0;
			}
		}
		size_t End = At + Pattern.size();
		if (End < Text.size() && Text[End] == '.' && DigitsAt(Text, End + 1) > 0)
		{
			End += 1 + DigitsAt(Text, End + 1);
		}
		return End < Text.size() && Text[End] == 'Z' ? End + 1 - At : 0;
	}

	/** The length of a number of seconds at At, a number followed by " s" that ends a word ("after 0.0 s"), or 0. */
	size_t SecondsAt(const std::string& Text, size_t At)
	{
		if (At > 0 && (IsWordChar(Text[At - 1]) || Text[At - 1] == '.'))
		{
			return 0;
		}
		size_t End = At + DigitsAt(Text, At);
		if (End == At)
		{
			return 0;
		}
		if (End < Text.size() && Text[End] == '.' && DigitsAt(Text, End + 1) > 0)
		{
			End += 1 + DigitsAt(Text, End + 1);
		}
		const bool bSeconds = Text.compare(End, 2, " s") == 0 && (End + 2 == Text.size() || !IsWordChar(Text[End + 2]));
		return bSeconds ? End - At : 0;
	}

	enum class EShownPart
	{
		Literal,
		AnyText,
		ItemId,
		Seconds,
		Time
	};

	struct FShownPart
	{
		EShownPart Kind = EShownPart::Literal;
		std::string Text;
	};

	std::vector<FShownPart> SplitShown(const std::string& Shown)
	{
		std::vector<FShownPart> Parts;
		const auto Add = [&Parts](EShownPart Kind, const std::string& Text) {
			if (Kind == EShownPart::Literal && !Parts.empty() && Parts.back().Kind == EShownPart::Literal)
			{
				Parts.back().Text += Text;
			}
			else
			{
				Parts.push_back({Kind, Text});
			}
		};
		for (size_t At = 0; At < Shown.size();)
		{
			const size_t Digits = At > 0 && IsDigit(Shown[At - 1]) ? 0 : DigitsAt(Shown, At);
			size_t Length = 0;
			if (Shown.compare(At, 3, "...") == 0)
			{
				Add(EShownPart::AnyText, std::string());
				At += 3;
			}
			else if (Digits >= 15)
			{
				Add(EShownPart::ItemId, Shown.substr(At, Digits));
				At += Digits;
			}
			else if ((Length = TimeAt(Shown, At)) > 0)
			{
				Add(EShownPart::Time, std::string());
				At += Length;
			}
			else if ((Length = SecondsAt(Shown, At)) > 0)
			{
				Add(EShownPart::Seconds, std::string());
				At += Length;
			}
			else
			{
				Add(EShownPart::Literal, Shown.substr(At, 1));
				++At;
			}
		}
		return Parts;
	}

	using FIds = std::map<std::string, std::string>;

	bool MatchParts(const std::vector<FShownPart>& Parts, size_t PartIndex, const std::string& Written, size_t At, FIds& WrittenIds, FIds& ShownIds)
	{
		if (PartIndex == Parts.size())
		{
			return At == Written.size();
		}
		const FShownPart& Part = Parts[PartIndex];
		switch (Part.Kind)
		{
			case EShownPart::Literal:
				return Written.compare(At, Part.Text.size(), Part.Text) == 0 &&
				       MatchParts(Parts, PartIndex + 1, Written, At + Part.Text.size(), WrittenIds, ShownIds);
			case EShownPart::AnyText:
				for (size_t End = At; End <= Written.size(); ++End)
				{
					FIds TriedWritten = WrittenIds;
					FIds TriedShown = ShownIds;
					if (MatchParts(Parts, PartIndex + 1, Written, End, TriedWritten, TriedShown))
					{
						WrittenIds = TriedWritten;
						ShownIds = TriedShown;
						return true;
					}
				}
				return false;
			case EShownPart::ItemId:
			{
				const size_t Digits = At > 0 && IsDigit(Written[At - 1]) ? 0 : DigitsAt(Written, At);
				if (Digits == 0)
				{
					return false;
				}
				const std::string Id = Written.substr(At, Digits);
				const auto Known = WrittenIds.find(Part.Text);
				const auto KnownShown = ShownIds.find(Id);
				if ((Known != WrittenIds.end() && Known->second != Id) || (KnownShown != ShownIds.end() && KnownShown->second != Part.Text))
				{
					return false;
				}
				WrittenIds[Part.Text] = Id;
				ShownIds[Id] = Part.Text;
				return MatchParts(Parts, PartIndex + 1, Written, At + Digits, WrittenIds, ShownIds);
			}
			case EShownPart::Seconds:
			{
				const size_t Length = SecondsAt(Written, At);
				return Length > 0 && MatchParts(Parts, PartIndex + 1, Written, At + Length, WrittenIds, ShownIds);
			}
			case EShownPart::Time:
			{
				const size_t Length = TimeAt(Written, At);
				return Length > 0 && MatchParts(Parts, PartIndex + 1, Written, At + Length, WrittenIds, ShownIds);
			}
		}
		return false;
	}

	std::string TrimEnd(const std::string& Line)
	{
		const size_t End = Line.find_last_not_of(" \t\r");
		return End == std::string::npos ? std::string() : Line.substr(0, End + 1);
	}

	/** The lines that are not blank, without their trailing blanks: blank lines are layout, not output. */
	std::vector<std::string> Printed(const std::vector<std::string>& Lines)
	{
		std::vector<std::string> Kept;
		for (const std::string& Line : Lines)
		{
			if (!TrimEnd(Line).empty())
			{
				Kept.push_back(TrimEnd(Line));
			}
		}
		return Kept;
	}

	TSharedPtr<FJsonValue> ParseObjectLine(const std::string& Line)
	{
		const TSharedPtr<FJsonValue> Value = Line.rfind("{", 0) == 0 ? ParseJsonValue(FString::FromUtf8(Line)) : nullptr;
		return Value.IsValid() && Value->Type == EJson::Object ? Value : nullptr;
	}
} // namespace

bool MatchesShownJson(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, FString& OutMismatch)
{
	FJsonRules Exact;
	Exact.StringsMatch = [](const FString& Shown, const FString& Written) {
		return Shown.Equals(Written, ESearchCase::CaseSensitive);
	};
	return Match(Expected, Actual, FString(), Exact, OutMismatch);
}

TSharedPtr<FJsonValue> ParseJsonValue(const FString& Text)
{
	TSharedPtr<FJsonValue> Value;
	const TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(Text);
	return FJsonSerializer::Deserialize(Reader, Value) ? Value : nullptr;
}

bool FShownMatch::MatchesText(const std::string& Shown, const std::string& Written)
{
	FIds TriedWritten = WrittenIds;
	FIds TriedShown = ShownIds;
	if (!MatchParts(SplitShown(Shown), 0, Written, 0, TriedWritten, TriedShown))
	{
		return false;
	}
	WrittenIds = TriedWritten;
	ShownIds = TriedShown;
	return true;
}

bool FShownMatch::MatchesJson(const TSharedPtr<FJsonValue>& Shown, const TSharedPtr<FJsonValue>& Written, FString& OutMismatch)
{
	// Ids are taken only from a whole match, so that a value that failed half way binds none.
	const FIds KeptWritten = WrittenIds;
	const FIds KeptShown = ShownIds;
	FJsonRules Rules;
	Rules.bElisionInArrays = true;
	Rules.StringsMatch = [this](const FString& ShownString, const FString& WrittenString) {
		return MatchesText(ShownString.ToUtf8(), WrittenString.ToUtf8());
	};
	OutMismatch.Reset();
	if (Match(Shown, Written, FString(), Rules, OutMismatch))
	{
		return true;
	}
	WrittenIds = KeptWritten;
	ShownIds = KeptShown;
	return false;
}

bool FShownMatch::MatchesLine(const std::string& Shown, const std::string& Written)
{
	const TSharedPtr<FJsonValue> ShownJson = ParseObjectLine(TrimEnd(Shown));
	if (!ShownJson.IsValid())
	{
		return MatchesText(TrimEnd(Shown), TrimEnd(Written));
	}
	FString Mismatch;
	const TSharedPtr<FJsonValue> WrittenJson = ParseObjectLine(TrimEnd(Written));
	return WrittenJson.IsValid() && MatchesJson(ShownJson, WrittenJson, Mismatch);
}

bool FShownMatch::MatchLinesFrom(const std::vector<std::string>& Shown, size_t ShownIndex, const std::vector<std::string>& Written, size_t WrittenIndex,
                                 size_t& OutFurthest, int32& Budget)
{
	OutFurthest = std::max(OutFurthest, ShownIndex);
	if (--Budget < 0)
	{
		return false;
	}
	if (ShownIndex == Shown.size())
	{
		return WrittenIndex == Written.size();
	}
	if (Shown[ShownIndex] == "...")
	{
		for (size_t Next = WrittenIndex; Next <= Written.size(); ++Next)
		{
			const FIds KeptWritten = WrittenIds;
			const FIds KeptShown = ShownIds;
			if (MatchLinesFrom(Shown, ShownIndex + 1, Written, Next, OutFurthest, Budget))
			{
				return true;
			}
			WrittenIds = KeptWritten;
			ShownIds = KeptShown;
		}
		return false;
	}
	return WrittenIndex < Written.size() && MatchesLine(Shown[ShownIndex], Written[WrittenIndex]) &&
	       MatchLinesFrom(Shown, ShownIndex + 1, Written, WrittenIndex + 1, OutFurthest, Budget);
}

bool FShownMatch::MatchesLines(const std::vector<std::string>& ShownLines, const std::vector<std::string>& WrittenLines, std::string& OutMismatch)
{
	const std::vector<std::string> Shown = Printed(ShownLines);
	const std::vector<std::string> Written = Printed(WrittenLines);
	size_t Furthest = 0;
	// Enough for any page's few elisions; a block that needs more shows too little to be read either.
	int32 Budget = 1000000;
	if (MatchLinesFrom(Shown, 0, Written, 0, Furthest, Budget))
	{
		return true;
	}
	OutMismatch = Budget < 0                ? std::string("too many ways to place the lines left out: show more of the output")
	              : Furthest < Shown.size() ? "no written line where this one is shown: " + Shown[Furthest]
	                                        : std::string("more lines were written than shown, with no \"...\" at the end");
	return false;
}
