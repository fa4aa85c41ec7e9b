#include "ProtocolJson.h"

#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

namespace UE::StandIn::EditorHost
{
	namespace
	{
		void AppendEscapedSurrogate(std::string& Out, TCHAR Unit)
		{
			static const char Digits[] = "0123456789abcdef";
			Out += "\\u";
			for (int Shift = 12; Shift >= 0; Shift -= 4)
			{
				Out.push_back(Digits[(Unit >> Shift) & 0xF]);
			}
		}
	} // namespace

	std::string ToProtocolLine(const TSharedRef<FJsonObject>& Object)
	{
		FString Text;
		const TSharedRef<TJsonWriter<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>> Writer =
		    TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text);
		FJsonSerializer::Serialize(TSharedPtr<FJsonObject>(Object), Writer);

		// The writer leaves non-ASCII characters as they are; a lone surrogate can only stand inside a string,
		// where its escape is valid JSON and keeps it intact.
		std::string Line;
		Line.reserve(static_cast<size_t>(Text.Len()));
		const int32 Length = Text.Len();
		for (int32 Index = 0; Index < Length; ++Index)
		{
			const TCHAR Unit = Text[Index];
			const bool bPairedHigh = FChar::IsHighSurrogate(Unit) && Index + 1 < Length && FChar::IsLowSurrogate(Text[Index + 1]);
			if (bPairedHigh)
			{
				Line += FString(2, &Text[Index]).ToUtf8();
				++Index;
			}
			else if (FChar::IsHighSurrogate(Unit) || FChar::IsLowSurrogate(Unit))
			{
				AppendEscapedSurrogate(Line, Unit);
			}
			else
			{
				Line += FString(1, &Text[Index]).ToUtf8();
			}
		}
		return Line;
	}

	TSharedPtr<FJsonObject> ParseProtocolLine(const std::string& Line, FString& OutError)
	{
		TSharedPtr<FJsonObject> Object;
		const TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(FString::FromUtf8(Line));
		if (!FJsonSerializer::Deserialize(Reader, Object) || !Object.IsValid())
		{
			OutError = FString::Printf(TEXT("The request is not a JSON object: %s"), *Reader->GetErrorMessage());
			return nullptr;
		}
		return Object;
	}

	TSharedRef<FJsonValue> MakeTextValue(const FText& Text)
	{
		// A formatted text has no id of its own; a script is told its pattern's, found in the text's history as the
		// engine's localisation tools find it. The history also lists the arguments' own steps: the text's is its own.
		const FText* IdSource = &Text;
		TArray<FHistoricTextFormatData> History;
		FTextInspector::GetHistoricFormatData(Text, History);
		for (const FHistoricTextFormatData& Step : History)
		{
			if (Step.FormattedText.IdenticalTo(Text))
			{
				IdSource = &Step.SourceFmt.GetSourceText();
				break;
			}
		}

		const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
		Object->SetStringField(TEXT("string"), Text.ToString());
		const auto StringOrNull = [](const TOptional<FString>& Value) -> TSharedPtr<FJsonValue> {
			return Value.IsSet() ? TSharedPtr<FJsonValue>(MakeShared<FJsonValueString>(Value.GetValue())) : MakeShared<FJsonValueNull>();
		};
		Object->SetField(TEXT("namespace"), StringOrNull(FTextInspector::GetNamespace(*IdSource)));
		Object->SetField(TEXT("key"), StringOrNull(FTextInspector::GetKey(*IdSource)));
		return MakeShared<FJsonValueObject>(Object);
	}
} // namespace UE::StandIn::EditorHost
