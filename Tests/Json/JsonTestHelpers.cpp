#include "JsonTestHelpers.h"

#include "Policies/CondensedJsonPrintPolicy.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

namespace JsonTest
{
	TSharedPtr<FJsonObject> Parse(const FString& Text, FString* OutError)
	{
		TSharedPtr<FJsonObject> Object;
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Text);
		const bool bParsed = FJsonSerializer::Deserialize(Reader, Object);
		if (OutError)
		{
			*OutError = Reader->GetErrorMessage();
		}
		return bParsed ? Object : nullptr;
	}

	FString WritePretty(const TSharedPtr<FJsonObject>& Object)
	{
		FString Text;
		const TSharedRef<TJsonWriter<TCHAR, TPrettyJsonPrintPolicy<TCHAR>>> Writer = TJsonWriterFactory<TCHAR, TPrettyJsonPrintPolicy<TCHAR>>::Create(&Text);
		FJsonSerializer::Serialize(Object, Writer);
		return Text;
	}

	FString WriteCondensed(const TSharedPtr<FJsonObject>& Object)
	{
		FString Text;
		const TSharedRef<TJsonWriter<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>> Writer =
		    TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text);
		FJsonSerializer::Serialize(Object, Writer);
		return Text;
	}

	std::string Utf8(const FString& Text)
	{
		return Text.ToUtf8();
	}

	FString FromUtf8(const std::string& Text)
	{
		return FString::FromUtf8(Text);
	}
} // namespace JsonTest
