// The host reads a call's arguments by each parameter's own kind: a value of another JSON kind, or a number its
// parameter cannot hold, is refused with the parameter's name and type, and the function is not called.
#include "HostEngine.h"
#include "ScriptArgumentProbe.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <gtest/gtest.h>

using namespace UE::StandIn::EditorHost;

FString UScriptArgumentProbe::Describe(bool bFlag, int32 Count, uint8 Small, float Ratio, EProbeKind Kind, FText& OutNote)
{
	return FString::Printf(TEXT("%s %d %d %g %d %s"), bFlag ? TEXT("true") : TEXT("false"), Count, static_cast<int32>(Small), static_cast<double>(Ratio),
	                       static_cast<int32>(Kind), *OutNote.ToString());
}

namespace
{
	/** Calls Describe with these arguments (a JSON text). @return its return value, or the refusal prefixed "refused: ". */
	std::string Call(const TCHAR* ArgsJson)
	{
		TSharedPtr<FJsonValue> Args;
		const TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(ArgsJson);
		EXPECT_TRUE(FJsonSerializer::Deserialize(Reader, Args)) << FString(ArgsJson).ToUtf8();
		TSharedPtr<FJsonValue> Return;
		TSharedRef<FJsonObject> Outputs = MakeShared<FJsonObject>();
		FString Error;
		if (!CallReflectedFunction(TEXT("ScriptArgumentProbe"), TEXT("Describe"), Args, Return, Outputs, Error))
		{
			return "refused: " + Error.ToUtf8();
		}
		return Return->AsString().ToUtf8();
	}
} // namespace

TEST(ScriptArguments, EachKindTakesItsOwnJsonKind)
{
	EXPECT_EQ(Call(TEXT(R"({"bFlag": true, "Count": -2147483648, "Small": 255, "Ratio": 0.5, "Kind": "Second", "OutNote": "start"})")),
	          "true -2147483648 255 0.5 1 start");
	EXPECT_EQ(Call(TEXT("{}")), "false 0 0 0 0 ");

	EXPECT_EQ(Call(TEXT(R"({"bFlag": "true"})")), "refused: 'bFlag' (bool) takes true or false, not a string.");
	EXPECT_EQ(Call(TEXT(R"({"bFlag": 1})")), "refused: 'bFlag' (bool) takes true or false, not a number.");
	EXPECT_EQ(Call(TEXT(R"({"Count": "3"})")), "refused: 'Count' (int32) takes a number, not a string.");
	EXPECT_EQ(Call(TEXT(R"({"Kind": 1})")), "refused: 'Kind' (EProbeKind) takes the name of one of its values, not a number.");
	EXPECT_EQ(Call(TEXT(R"({"Kind": "Third"})")), "refused: 'Kind' has no value 'Third'.");
	EXPECT_EQ(Call(TEXT(R"({"OutNote": 3})")), "refused: 'OutNote' (FText) takes a string, not a number.");
	EXPECT_EQ(Call(TEXT(R"({"OutNote": null})")), "refused: 'OutNote' (FText) takes a string, not null.");
}

TEST(ScriptArguments, ANumberItsParameterCannotHoldIsRefusedNotConverted)
{
	EXPECT_EQ(Call(TEXT(R"({"Count": 1e10})")), "refused: 'Count' (int32) takes a whole number from -2147483648 to 2147483647, not 10000000000.");
	EXPECT_EQ(Call(TEXT(R"({"Count": 2147483648})")), "refused: 'Count' (int32) takes a whole number from -2147483648 to 2147483647, not 2147483648.");
	EXPECT_EQ(Call(TEXT(R"({"Count": 1.5})")), "refused: 'Count' (int32) takes a whole number from -2147483648 to 2147483647, not 1.5.");
	EXPECT_EQ(Call(TEXT(R"({"Small": -1})")), "refused: 'Small' (uint8) takes a whole number from 0 to 255, not -1.");
	EXPECT_EQ(Call(TEXT(R"({"Ratio": 1e300})")), "refused: 'Ratio' (float) takes a number a float can hold, not 1.0000000000000001e+300.");
}

TEST(ScriptArguments, ArgsThatAreNotAnObjectAreRefused)
{
	EXPECT_EQ(Call(TEXT("3")), "refused: \"args\" must be an object that holds the parameters by name, not a number.");
	EXPECT_EQ(Call(TEXT("[]")), "refused: \"args\" must be an object that holds the parameters by name, not an array.");
}
