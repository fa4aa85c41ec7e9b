#include "JsonMatch.h"

#include "Dom/JsonObject.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

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

	bool Match(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, const FString& Path, FString& OutMismatch)
	{
		const auto Differ = [&]() {
			OutMismatch = FString::Printf(TEXT("%s: shown %s, written %s"), Path.IsEmpty() ? TEXT("the value") : *Path, *Print(Expected), *Print(Actual));
			return false;
		};
		if (Expected.IsValid() && Actual.IsValid() && Expected->Type == EJson::String && Expected->AsString() == TEXT("..."))
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
					if (!Match(Member.Value, Actual->AsObject()->TryGetField(Key), Path + TEXT(".") + Key, OutMismatch))
					{
						return false;
					}
				}
				return true;
			case EJson::Array:
			{
				const TArray<TSharedPtr<FJsonValue>>& ExpectedItems = Expected->AsArray();
				const TArray<TSharedPtr<FJsonValue>>& ActualItems = Actual->AsArray();
				if (ExpectedItems.Num() != ActualItems.Num())
				{
					return Differ();
				}
				for (int32 Index = 0; Index < ExpectedItems.Num(); ++Index)
				{
					if (!Match(ExpectedItems[Index], ActualItems[Index], FString::Printf(TEXT("%s[%d]"), *Path, Index), OutMismatch))
					{
						return false;
					}
				}
				return true;
			}
			case EJson::String:
				return Expected->AsString().Equals(Actual->AsString(), ESearchCase::CaseSensitive) || Differ();
			case EJson::Number:
				return Expected->AsNumber() == Actual->AsNumber() || Differ();
			case EJson::Boolean:
				return Expected->AsBool() == Actual->AsBool() || Differ();
			default:
				return true;
		}
	}
} // namespace

bool MatchesShownJson(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, FString& OutMismatch)
{
	return Match(Expected, Actual, FString(), OutMismatch);
}

TSharedPtr<FJsonValue> ParseJsonValue(const FString& Text)
{
	TSharedPtr<FJsonValue> Value;
	const TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(Text);
	return FJsonSerializer::Deserialize(Reader, Value) ? Value : nullptr;
}
