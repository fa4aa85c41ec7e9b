#include "JsonTestHelpers.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <gtest/gtest.h>

using JsonTest::FromUtf8;
using JsonTest::Parse;
using JsonTest::Utf8;

namespace
{
	struct FMalformed
	{
		const char* What;
		const char* Text;
	};

	FString Repeat(const TCHAR* Piece, int32 Count)
	{
		FString Result;
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Result += Piece;
		}
		return Result;
	}
} // namespace

TEST(JsonReader, AcceptsWhiteSpaceEscapesAndNesting)
{
	const FString Text = TEXT(" \r\n\t{ \"S\" : \"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\\u00e9\\u00C9\\ud83d\\ude00\" ,\n\"N\":[ -0.5e+2 , 0 , 1E-2, 12 ] , \"O\" : { "
	                          "\"T\" : true , \"F\" : false , \"Z\" : null } } \n");
	const TSharedPtr<FJsonObject> Object = Parse(Text);
	ASSERT_TRUE(Object.IsValid());
	EXPECT_EQ(Utf8(Object->GetStringField(TEXT("S"))), "a\"b\\c/d\b\f\n\r\t\u00e9\u00c9\U0001F600");

	const TArray<TSharedPtr<FJsonValue>>& Numbers = Object->GetArrayField(TEXT("N"));
	ASSERT_EQ(Numbers.Num(), 4);
	EXPECT_EQ(Numbers[0]->AsNumber(), -50.0);
	EXPECT_EQ(Numbers[1]->AsNumber(), 0.0);
	EXPECT_EQ(Numbers[2]->AsNumber(), 0.01);
	EXPECT_EQ(Numbers[3]->AsNumber(), 12.0);

	const TSharedPtr<FJsonObject>& Inner = Object->GetObjectField(TEXT("O"));
	ASSERT_TRUE(Inner.IsValid());
	EXPECT_TRUE(Inner->GetBoolField(TEXT("T")));
	EXPECT_FALSE(Inner->GetBoolField(TEXT("F")));
	EXPECT_TRUE(Inner->HasTypedField<EJson::Null>(TEXT("Z")));
}

TEST(JsonReader, KeepsLoneSurrogatesAndNulAsWritten)
{
	const TSharedPtr<FJsonObject> Object = Parse(TEXT(R"({"S":"\ud800x\u0000y"})"));
	ASSERT_TRUE(Object.IsValid());
	const FString Value = Object->GetStringField(TEXT("S"));
	ASSERT_EQ(Value.Len(), 4);
	EXPECT_EQ(Value[0], 0xD800);
	EXPECT_EQ(Value[2], 0);
}

TEST(JsonReader, RefusesMalformedTextWithAMessage)
{
	const FMalformed Cases[] = {
	    {"empty", ""},
	    {"only blanks", " \r\n\t "},
	    {"truncated object", R"({"A": 1)"},
	    {"truncated after colon", R"({"A":)"},
	    {"truncated string", R"({"A": "abc)"},
	    {"truncated escape", R"({"A": "abc\)"},
	    {"truncated literal", R"({"A": tru)"},
	    {"trailing garbage", R"({"A": 1} x)"},
	    {"second root", R"({"A": 1}{})"},
	    {"bad escape", R"({"A": "\q"})"},
	    {"short unicode escape", R"({"A": "\u12"})"},
	    {"non-hex unicode escape", R"({"A": "\u12g4"})"},
	    {"unquoted key", R"({A: 1})"},
	    {"single-quoted key", R"({'A': 1})"},
	    {"missing colon", R"({"A" 1})"},
	    {"missing comma", R"({"A": 1 "B": 2})"},
	    {"trailing comma in object", R"({"A": 1,})"},
	    {"trailing comma in array", R"({"A": [1,]})"},
	    {"leading comma in array", R"({"A": [,1]})"},
	    {"mismatched bracket", R"({"A": [1})"},
	    {"raw tab in string", "{\"A\": \"a\tb\"}"},
	    {"raw line feed in string", "{\"A\": \"a\nb\"}"},
	    {"leading zero", R"({"A": 01})"},
	    {"leading plus", R"({"A": +1})"},
	    {"bare decimal point", R"({"A": .5})"},
	    {"no fraction digits", R"({"A": 1.})"},
	    {"no exponent digits", R"({"A": 1e})"},
	    {"overflowing number", R"({"A": 1e400})"},
	    {"capitalised literal", R"({"A": True})"},
	    {"comment", "{\"A\": 1 // note\n}"},
	    {"lone string", R"("text")"},
	    {"lone number", "42"},
	    {"array at the top", "[1, 2]"},
	};
	for (const FMalformed& Case : Cases)
	{
		FString Error;
		const TSharedPtr<FJsonObject> Object = Parse(FromUtf8(Case.Text), &Error);
		EXPECT_FALSE(Object.IsValid()) << Case.What;
		EXPECT_FALSE(Error.IsEmpty()) << Case.What;
	}
}

TEST(JsonReader, SaysWhereTheTextIsWrong)
{
	FString Error;
	EXPECT_FALSE(Parse(TEXT("{\r\n\t\"A\": 1,\r\n\t\"B\": x\r\n}"), &Error).IsValid());
	EXPECT_EQ(Utf8(Error), "Invalid JSON token. Line: 3 Ch: 7");

	EXPECT_FALSE(Parse(TEXT("{\"A\": 1"), &Error).IsValid());
	EXPECT_EQ(Utf8(Error), "Unexpected end of the JSON text; expected ',' or '}'. Line: 1 Ch: 8");

	EXPECT_FALSE(Parse(TEXT("\n  [1]"), &Error).IsValid());
	EXPECT_EQ(Utf8(Error), "Expected a JSON object at the top level. Line: 2 Ch: 3");
}

TEST(JsonReader, LeavesTheCallersObjectAloneOnFailure)
{
	TSharedPtr<FJsonObject> Object = MakeShared<FJsonObject>();
	const TSharedPtr<FJsonObject> Before = Object;
	EXPECT_FALSE(FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(TEXT("{\"A\":")), Object));
	EXPECT_TRUE(Object == Before);
}

TEST(JsonReader, DuplicateKeysKeepTheFirstPlaceAndTheLastValue)
{
	const TSharedPtr<FJsonObject> Object = Parse(TEXT(R"({"A": 1, "B": 2, "A": 3})"));
	ASSERT_TRUE(Object.IsValid());
	EXPECT_EQ(Object->Values.Num(), 2);
	EXPECT_EQ(Object->GetNumberField(TEXT("A")), 3.0);
	EXPECT_EQ(Utf8(JsonTest::WriteCondensed(Object)), R"({"A":3,"B":2})");
}

TEST(JsonReader, KeysAreCaseSensitive)
{
	const TSharedPtr<FJsonObject> Object = Parse(TEXT(R"({"Name": "upper", "name": "lower"})"));
	ASSERT_TRUE(Object.IsValid());
	EXPECT_EQ(Object->Values.Num(), 2);
	EXPECT_EQ(Utf8(Object->GetStringField(TEXT("Name"))), "upper");
	EXPECT_EQ(Utf8(Object->GetStringField(TEXT("name"))), "lower");
	EXPECT_FALSE(Object->HasField(TEXT("NAME")));
}

TEST(JsonReader, BoundsTheNestingDepth)
{
	const int32 Limit = TJsonReader<>::MaxNestingDepth;
	// The root object counts as one level.
	const FString AtLimit = TEXT("{\"A\":") + Repeat(TEXT("["), Limit - 1) + Repeat(TEXT("]"), Limit - 1) + TEXT("}");
	EXPECT_TRUE(Parse(AtLimit).IsValid());

	FString Error;
	const FString PastLimit = TEXT("{\"A\":") + Repeat(TEXT("["), Limit) + Repeat(TEXT("]"), Limit) + TEXT("}");
	EXPECT_FALSE(Parse(PastLimit, &Error).IsValid());
	EXPECT_TRUE(Error.StartsWith(TEXT("Objects and arrays are nested too deeply")));

	// Far deeper than any stack could take if the reader recursed.
	EXPECT_FALSE(Parse(TEXT("{\"A\":") + Repeat(TEXT("[{\"B\":"), 200000), &Error).IsValid());
	EXPECT_FALSE(Error.IsEmpty());
}

TEST(JsonReader, ReadsValuesOfEveryKindAtTheTop)
{
	TSharedPtr<FJsonValue> Value;
	ASSERT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(TEXT(" \"text\" ")), Value));
	EXPECT_EQ(Value->Type, EJson::String);

	TArray<TSharedPtr<FJsonValue>> Array;
	ASSERT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(TEXT("[1, [], {}]")), Array));
	ASSERT_EQ(Array.Num(), 3);
	EXPECT_EQ(Array[2]->Type, EJson::Object);

	const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(TEXT("{}"));
	EXPECT_FALSE(FJsonSerializer::Deserialize(Reader, Array));
	EXPECT_FALSE(Reader->GetErrorMessage().IsEmpty());
}

TEST(JsonReader, ReportsNotationsInOrder)
{
	const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(TEXT(R"({"K": [7, "s"]})"));
	EJsonNotation Notation = EJsonNotation::Error;
	ASSERT_TRUE(Reader->ReadNext(Notation));
	EXPECT_EQ(Notation, EJsonNotation::ObjectStart);
	ASSERT_TRUE(Reader->ReadNext(Notation));
	EXPECT_EQ(Notation, EJsonNotation::ArrayStart);
	EXPECT_EQ(Utf8(Reader->GetIdentifier()), "K");
	ASSERT_TRUE(Reader->ReadNext(Notation));
	EXPECT_EQ(Notation, EJsonNotation::Number);
	EXPECT_EQ(Reader->GetValueAsNumber(), 7.0);
	EXPECT_TRUE(Reader->GetIdentifier().IsEmpty());
	ASSERT_TRUE(Reader->ReadNext(Notation));
	EXPECT_EQ(Utf8(Reader->GetValueAsString()), "s");
	ASSERT_TRUE(Reader->ReadNext(Notation));
	EXPECT_EQ(Notation, EJsonNotation::ArrayEnd);
	ASSERT_TRUE(Reader->ReadNext(Notation));
	EXPECT_EQ(Notation, EJsonNotation::ObjectEnd);
	EXPECT_FALSE(Reader->ReadNext(Notation));
	EXPECT_TRUE(Reader->GetErrorMessage().IsEmpty());
}
