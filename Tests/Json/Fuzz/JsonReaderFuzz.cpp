// Fuzzes the JSON reader. Every input must either be refused with a message or parse; what parses must write back
// as text that parses to an equal value, and writing that value again must give the same text, in both layouts.
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace
{
	[[noreturn]] void Fail(const char* What, const FString& Text)
	{
		std::fprintf(stderr, "%s\n--- text ---\n%s\n", What, Text.ToUtf8().c_str());
		std::abort();
	}

	template <class PrintPolicy>
	FString Write(const TSharedPtr<FJsonValue>& Value)
	{
		FString Text;
		if (!FJsonSerializer::Serialize(Value, FString(), TJsonWriterFactory<TCHAR, PrintPolicy>::Create(&Text)))
		{
			Fail("The writer did not finish its text", Text);
		}
		return Text;
	}

	template <class PrintPolicy>
	void CheckRoundTrip(const TSharedPtr<FJsonValue>& Value)
	{
		const FString Written = Write<PrintPolicy>(Value);
		TSharedPtr<FJsonValue> Reread;
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Written);
		if (!FJsonSerializer::Deserialize(Reader, Reread))
		{
			Fail("Written text does not parse", Written + TEXT("\n--- error ---\n") + Reader->GetErrorMessage());
		}
		if (!FJsonValue::CompareEqual(*Value, *Reread))
		{
			Fail("Written text parses to a different value", Written);
		}
		if (!Write<PrintPolicy>(Reread).Equals(Written, ESearchCase::CaseSensitive))
		{
			Fail("Writing the reread value gives different text", Written);
		}
	}

	void CheckText(const FString& Text)
	{
		TSharedPtr<FJsonValue> Value;
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Text);
		const bool bParsed = FJsonSerializer::Deserialize(Reader, Value);
		if (bParsed != Reader->GetErrorMessage().IsEmpty())
		{
			Fail("Success and the error message disagree", Text);
		}
		if (!bParsed)
		{
			return;
		}
		CheckRoundTrip<TPrettyJsonPrintPolicy<TCHAR>>(Value);
		CheckRoundTrip<TCondensedJsonPrintPolicy<TCHAR>>(Value);

		// Asking for an object succeeds exactly when the value is one.
		TSharedPtr<FJsonObject> Object;
		if (FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(Text), Object) != (Value->Type == EJson::Object))
		{
			Fail("Reading as an object disagrees with the value's kind", Text);
		}
	}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	// As UTF-8, the way files reach the reader ...
	CheckText(FString::FromUtf8(std::string_view(reinterpret_cast<const char*>(Data), Size)));

	// ... and as raw UTF-16 code units, so that lone surrogates and every unit value reach it too.
	std::u16string Units(Size / 2, u'\0');
	if (!Units.empty())
	{
		std::memcpy(Units.data(), Data, Units.size() * sizeof(char16_t));
	}
	CheckText(FString(MoveTemp(Units)));
	return 0;
}
