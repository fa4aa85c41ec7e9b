#include "JsonTestHelpers.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

#include <cmath>
#include <gtest/gtest.h>

using JsonTest::FromUtf8;
using JsonTest::Parse;
using JsonTest::Utf8;
using JsonTest::WriteCondensed;
using JsonTest::WritePretty;

namespace
{
	// The 14 members of a fresh mod descriptor, in their order.
	TSharedRef<FJsonObject> MakeDescriptor(const FString& Name, const FString& Description)
	{
		TSharedRef<FJsonObject> Descriptor = MakeShared<FJsonObject>();
		Descriptor->SetNumberField(TEXT("FileVersion"), 3);
		Descriptor->SetNumberField(TEXT("Version"), 1);
		Descriptor->SetStringField(TEXT("VersionName"), TEXT("1.0.0"));
		Descriptor->SetStringField(TEXT("FriendlyName"), Name);
		Descriptor->SetStringField(TEXT("Description"), Description);
		Descriptor->SetStringField(TEXT("Category"), TEXT("Mods"));
		Descriptor->SetStringField(TEXT("CreatedBy"), TEXT("Unknown"));
		Descriptor->SetBoolField(TEXT("CanContainContent"), true);
		Descriptor->SetBoolField(TEXT("ExplicitlyLoaded"), true);
		Descriptor->SetNumberField(TEXT("ModApiVersion"), 1);
		Descriptor->SetNumberField(TEXT("TRLLoadOrder"), 100);
		Descriptor->SetArrayField(TEXT("TRLTags"), TArray<TSharedPtr<FJsonValue>>());
		Descriptor->SetArrayField(TEXT("TRLRequiredMods"), TArray<TSharedPtr<FJsonValue>>());
		Descriptor->SetArrayField(TEXT("Modules"), TArray<TSharedPtr<FJsonValue>>());
		return Descriptor;
	}

	std::string ExpectedDescriptor(const std::string& Name, const std::string& Description)
	{
		return "{\r\n"
		       "\t\"FileVersion\": 3,\r\n"
		       "\t\"Version\": 1,\r\n"
		       "\t\"VersionName\": \"1.0.0\",\r\n"
		       "\t\"FriendlyName\": \"" +
		       Name +
		       "\",\r\n"
		       "\t\"Description\": \"" +
		       Description +
		       "\",\r\n"
		       "\t\"Category\": \"Mods\",\r\n"
		       "\t\"CreatedBy\": \"Unknown\",\r\n"
		       "\t\"CanContainContent\": true,\r\n"
		       "\t\"ExplicitlyLoaded\": true,\r\n"
		       "\t\"ModApiVersion\": 1,\r\n"
		       "\t\"TRLLoadOrder\": 100,\r\n"
		       "\t\"TRLTags\": [],\r\n"
		       "\t\"TRLRequiredMods\": [],\r\n"
		       "\t\"Modules\": []\r\n"
		       "}";
	}

	FString WriteSingleField(const TSharedPtr<FJsonValue>& Value)
	{
		TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
		Object->SetField(TEXT("V"), Value);
		return WriteCondensed(Object);
	}
} // namespace

TEST(JsonWriter, WritesTheDescriptorLayoutByteForByte)
{
	const FString Text = WritePretty(MakeDescriptor(TEXT("MyMod"), TEXT("A mod for this game.")));
	EXPECT_EQ(Utf8(Text), ExpectedDescriptor("MyMod", "A mod for this game."));

	TArray<FString> Lines;
	Text.ParseIntoArray(Lines, TEXT("\r\n"), false);
	EXPECT_EQ(Lines.Num(), 16);
}

TEST(JsonWriter, WritesNonAsciiTextUnchanged)
{
	const FString Text = WritePretty(MakeDescriptor(FromUtf8("Caf\u00e9Mod"), FromUtf8("Un mod \u00e0 part \U0001F600 / fin")));
	EXPECT_EQ(Utf8(Text), ExpectedDescriptor("Caf\u00e9Mod", "Un mod \u00e0 part \U0001F600 / fin"));
}

TEST(JsonWriter, RewritesAParsedDescriptorIdentically)
{
	const std::string Original = ExpectedDescriptor("MyMod", "Quote \\\" backslash \\\\ tab \\t");
	const TSharedPtr<FJsonObject> Parsed = Parse(FromUtf8(Original));
	ASSERT_TRUE(Parsed.IsValid());
	EXPECT_EQ(Utf8(WritePretty(Parsed)), Original);
}

TEST(JsonWriter, LaysOutNestedObjectsAndArrays)
{
	const TSharedPtr<FJsonObject> Object = Parse(TEXT(R"({"Inner":{"A":1,"Empty":{}},"List":[{"B":true},[null,"x"],[]],"Last":{}})"));
	ASSERT_TRUE(Object.IsValid());
	const std::string Expected = "{\r\n"
	                             "\t\"Inner\":\r\n"
	                             "\t{\r\n"
	                             "\t\t\"A\": 1,\r\n"
	                             "\t\t\"Empty\":\r\n"
	                             "\t\t{\r\n"
	                             "\t\t}\r\n"
	                             "\t},\r\n"
	                             "\t\"List\": [\r\n"
	                             "\t\t{\r\n"
	                             "\t\t\t\"B\": true\r\n"
	                             "\t\t},\r\n"
	                             "\t\t[\r\n"
	                             "\t\t\tnull,\r\n"
	                             "\t\t\t\"x\"\r\n"
	                             "\t\t],\r\n"
	                             "\t\t[]\r\n"
	                             "\t],\r\n"
	                             "\t\"Last\":\r\n"
	                             "\t{\r\n"
	                             "\t}\r\n"
	                             "}";
	EXPECT_EQ(Utf8(WritePretty(Object)), Expected);
	EXPECT_EQ(Utf8(WriteCondensed(Object)), R"({"Inner":{"A":1,"Empty":{}},"List":[{"B":true},[null,"x"],[]],"Last":{}})");
}

TEST(JsonWriter, WritesEmptyRootObjectOnTwoLines)
{
	EXPECT_EQ(Utf8(WritePretty(MakeShared<FJsonObject>())), "{\r\n}");
}

TEST(JsonWriter, WritesNumbersWithSeventeenSignificantDigits)
{
	EXPECT_EQ(Utf8(WriteSingleField(MakeShared<FJsonValueNumber>(3.0))), R"({"V":3})");
	EXPECT_EQ(Utf8(WriteSingleField(MakeShared<FJsonValueNumber>(0.1))), R"({"V":0.10000000000000001})");
	EXPECT_EQ(Utf8(WriteSingleField(MakeShared<FJsonValueNumber>(-42.5))), R"({"V":-42.5})");
	EXPECT_EQ(Utf8(WriteSingleField(MakeShared<FJsonValueNumber>(1e21))), R"({"V":1e+21})");
	EXPECT_EQ(Utf8(WriteSingleField(MakeShared<FJsonValueNumber>(2147483648.0))), R"({"V":2147483648})");
	// Not representable in JSON: written so that the text stays readable.
	EXPECT_EQ(Utf8(WriteSingleField(MakeShared<FJsonValueNumber>(HUGE_VAL))), R"({"V":null})");

	const TSharedPtr<FJsonObject> Reread = Parse(TEXT(R"({"Two":2.0,"Exp":1.5E3,"Neg":-0.25e-2})"));
	ASSERT_TRUE(Reread.IsValid());
	EXPECT_EQ(Utf8(WriteCondensed(Reread)), R"({"Two":2,"Exp":1500,"Neg":-0.0025000000000000001})");
}

TEST(JsonWriter, EscapesExactlyTheJsonSpecials)
{
	const FString Special = FromUtf8("\\ \" \b \t \n \f \r \x01 \x1f / \x7f \u00e9 \U0001F600");
	TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetStringField(Special, Special);
	const std::string Escaped = "\\\\ \\\" \\b \\t \\n \\f \\r \\u0001 \\u001f / \x7f \u00e9 \U0001F600";
	EXPECT_EQ(Utf8(WriteCondensed(Object)), "{\"" + Escaped + "\":\"" + Escaped + "\"}");

	TSharedRef<FJsonObject> WithNul = MakeShared<FJsonObject>();
	WithNul->SetStringField(TEXT("Nul"), FString::Chr(0));
	EXPECT_EQ(Utf8(WriteCondensed(WithNul)), R"({"Nul":"\u0000"})");
}

TEST(JsonWriter, FillsTheStringOnlyOnCloseAndReportsUnfinishedText)
{
	FString Text = TEXT("old");
	const TSharedRef<TJsonWriter<>> Writer = TJsonWriterFactory<>::Create(&Text);
	Writer->WriteObjectStart();
	Writer->WriteValue(TEXT("Count"), 7);
	Writer->WriteArrayStart(TEXT("Names"));
	Writer->WriteValue(TEXT("a"));
	EXPECT_EQ(Utf8(Text), "old");
	EXPECT_FALSE(Writer->Close());

	Writer->WriteArrayEnd();
	Writer->WriteObjectEnd();
	EXPECT_TRUE(Writer->Close());
	EXPECT_EQ(Utf8(Text), "{\r\n\t\"Count\": 7,\r\n\t\"Names\": [\r\n\t\t\"a\"\r\n\t]\r\n}");
}

TEST(JsonWriter, SerializesArraysAndSingleValues)
{
	FString Text;
	TArray<TSharedPtr<FJsonValue>> Values{MakeShared<FJsonValueNumber>(1), MakeShared<FJsonValueString>(TEXT("two")), nullptr};
	EXPECT_TRUE(FJsonSerializer::Serialize(Values, TJsonWriterFactory<>::Create(&Text)));
	EXPECT_EQ(Utf8(Text), "[\r\n\t1,\r\n\t\"two\",\r\n\tnull\r\n]");

	EXPECT_TRUE(FJsonSerializer::Serialize(MakeShared<FJsonValueBoolean>(false), FString(), TJsonWriterFactory<>::Create(&Text)));
	EXPECT_EQ(Utf8(Text), "false");

	EXPECT_FALSE(FJsonSerializer::Serialize(TSharedPtr<FJsonObject>(), TJsonWriterFactory<>::Create(&Text)));
}
