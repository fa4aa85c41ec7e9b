#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "JsonTestHelpers.h"
#include "StandIn/OutputDeviceCapture.h"

#include <gtest/gtest.h>

using JsonTest::Utf8;

TEST(JsonValue, StringsNumbersAndBooleansReadAsOneAnother)
{
	FString String;
	double Number = 0.0;
	bool bValue = false;

	const FJsonValueNumber Three(3.0);
	EXPECT_TRUE(Three.TryGetString(String));
	EXPECT_EQ(Utf8(String), "3");
	EXPECT_TRUE(FJsonValueNumber(0.25).TryGetString(String));
	EXPECT_EQ(Utf8(String), "0.25");
	EXPECT_TRUE(Three.TryGetBool(bValue));
	EXPECT_TRUE(bValue);
	EXPECT_TRUE(FJsonValueNumber(0.0).TryGetBool(bValue));
	EXPECT_FALSE(bValue);

	EXPECT_TRUE(FJsonValueString(TEXT("-12.5")).TryGetNumber(Number));
	EXPECT_EQ(Number, -12.5);
	EXPECT_FALSE(FJsonValueString(TEXT("12abc")).TryGetNumber(Number));
	EXPECT_FALSE(FJsonValueString(TEXT("")).TryGetNumber(Number));
	EXPECT_TRUE(FJsonValueString(TEXT("TRUE")).TryGetBool(bValue));
	EXPECT_TRUE(bValue);
	EXPECT_TRUE(FJsonValueString(TEXT("false")).TryGetBool(bValue));
	EXPECT_FALSE(bValue);
	EXPECT_FALSE(FJsonValueString(TEXT("yes please")).TryGetBool(bValue));

	EXPECT_TRUE(FJsonValueBoolean(true).TryGetString(String));
	EXPECT_EQ(Utf8(String), "true");
	EXPECT_TRUE(FJsonValueBoolean(true).TryGetNumber(Number));
	EXPECT_EQ(Number, 1.0);
}

TEST(JsonValue, ArraysObjectsAndNullConvertToNothing)
{
	const FJsonValueArray Array(TArray<TSharedPtr<FJsonValue>>{MakeShared<FJsonValueNumber>(1)});
	const FJsonValueObject Object(MakeShared<FJsonObject>());
	const FJsonValueNull Null;
	const FJsonValue* const Values[] = {&Array, &Object, &Null};
	for (const FJsonValue* Value : Values)
	{
		FString String;
		double Number = 0.0;
		bool bValue = false;
		EXPECT_FALSE(Value->TryGetString(String));
		EXPECT_FALSE(Value->TryGetNumber(Number));
		EXPECT_FALSE(Value->TryGetBool(bValue));
	}
	EXPECT_EQ(Array.AsArray().Num(), 1);
	EXPECT_TRUE(Object.AsObject().IsValid());
	EXPECT_TRUE(Null.IsNull());
	// The As* readers give an empty result rather than failing.
	EXPECT_TRUE(Null.AsString().IsEmpty());
	EXPECT_TRUE(Null.AsArray().IsEmpty());
	EXPECT_FALSE(Array.AsObject().IsValid());
}

TEST(JsonValue, IntegersRoundAndRefuseWhatDoesNotFit)
{
	int32 Int32 = 0;
	uint32 UInt32 = 0;
	int64 Int64 = 0;
	EXPECT_TRUE(FJsonValueNumber(2.5).TryGetNumber(Int32));
	EXPECT_EQ(Int32, 3);
	EXPECT_TRUE(FJsonValueNumber(-2.5).TryGetNumber(Int32));
	EXPECT_EQ(Int32, -3);
	EXPECT_TRUE(FJsonValueNumber(2147483647.0).TryGetNumber(Int32));
	EXPECT_EQ(Int32, 2147483647);
	EXPECT_FALSE(FJsonValueNumber(2147483648.0).TryGetNumber(Int32));
	EXPECT_FALSE(FJsonValueNumber(-1.0).TryGetNumber(UInt32));
	EXPECT_FALSE(FJsonValueNumber(9223372036854775808.0).TryGetNumber(Int64));

	// A 64-bit id kept as a string survives exactly, beyond a double's 53 bits.
	EXPECT_TRUE(FJsonValueString(TEXT("9007199254740993")).TryGetNumber(Int64));
	EXPECT_EQ(Int64, 9007199254740993LL);
	EXPECT_FALSE(FJsonValueString(TEXT("99999999999")).TryGetNumber(Int32));
}

TEST(JsonValue, CompareEqualLooksAtContentsNotFieldOrder)
{
	const TSharedPtr<FJsonObject> A = JsonTest::Parse(TEXT(R"({"X":[1,"a",null],"Y":{"Z":true}})"));
	const TSharedPtr<FJsonObject> B = JsonTest::Parse(TEXT(R"({"Y":{"Z":true},"X":[1,"a",null]})"));
	const TSharedPtr<FJsonObject> C = JsonTest::Parse(TEXT(R"({"Y":{"Z":true},"X":[1,"A",null]})"));
	ASSERT_TRUE(A.IsValid() && B.IsValid() && C.IsValid());
	EXPECT_TRUE(FJsonValue::CompareEqual(FJsonValueObject(A), FJsonValueObject(B)));
	EXPECT_FALSE(FJsonValue::CompareEqual(FJsonValueObject(A), FJsonValueObject(C)));
	EXPECT_FALSE(FJsonValue::CompareEqual(FJsonValueNumber(1), FJsonValueString(TEXT("1"))));
}

TEST(JsonObject, SettingAnExistingFieldReplacesItInPlace)
{
	FJsonObject Object;
	Object.SetStringField(TEXT("First"), TEXT("a"));
	Object.SetNumberField(TEXT("Second"), 2);
	Object.SetBoolField(TEXT("First"), false);
	ASSERT_EQ(Object.Values.Num(), 2);
	EXPECT_TRUE(Object.HasTypedField<EJson::Boolean>(TEXT("First")));
	EXPECT_EQ(Utf8(FString(*Object.Values.begin()->Key)), "First");

	Object.RemoveField(TEXT("First"));
	EXPECT_FALSE(Object.HasField(TEXT("First")));
	Object.SetStringField(TEXT("First"), TEXT("back"));
	EXPECT_EQ(Utf8(JsonTest::WriteCondensed(MakeShared<FJsonObject>(Object))), R"({"Second":2,"First":"back"})");
}

TEST(JsonObject, TypedGettersConvertOrFail)
{
	const TSharedPtr<FJsonObject> Object = JsonTest::Parse(TEXT(R"({"Num":100,"Str":"7","Bool":true,"Tags":["a",1,true],"Mixed":["a",{}],"Inner":{"K":1}})"));
	ASSERT_TRUE(Object.IsValid());

	FString String;
	EXPECT_TRUE(Object->TryGetStringField(TEXT("Num"), String));
	EXPECT_EQ(Utf8(String), "100");
	int32 Int32 = 0;
	EXPECT_TRUE(Object->TryGetNumberField(TEXT("Str"), Int32));
	EXPECT_EQ(Int32, 7);
	uint32 UInt32 = 0;
	EXPECT_TRUE(Object->TryGetNumberField(TEXT("Num"), UInt32));
	EXPECT_EQ(UInt32, 100u);
	bool bValue = false;
	EXPECT_TRUE(Object->TryGetBoolField(TEXT("Bool"), bValue));
	EXPECT_TRUE(bValue);
	EXPECT_FALSE(Object->TryGetStringField(TEXT("Missing"), String));
	EXPECT_FALSE(Object->TryGetStringField(TEXT("Inner"), String));

	TArray<FString> Tags;
	EXPECT_TRUE(Object->TryGetStringArrayField(TEXT("Tags"), Tags));
	ASSERT_EQ(Tags.Num(), 3);
	EXPECT_EQ(Utf8(Tags[1]), "1");
	TArray<FString> Untouched{TEXT("keep")};
	EXPECT_FALSE(Object->TryGetStringArrayField(TEXT("Mixed"), Untouched));
	EXPECT_FALSE(Object->TryGetStringArrayField(TEXT("Num"), Untouched));

	const TSharedPtr<FJsonObject>* Inner = nullptr;
	ASSERT_TRUE(Object->TryGetObjectField(TEXT("Inner"), Inner));
	EXPECT_EQ((*Inner)->GetNumberField(TEXT("K")), 1.0);
	const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
	EXPECT_FALSE(Object->TryGetArrayField(TEXT("Inner"), Array));

	// Missing or mistyped fields read as empty values.
	EXPECT_TRUE(Object->GetStringField(TEXT("Missing")).IsEmpty());
	EXPECT_TRUE(Object->GetArrayField(TEXT("Num")).IsEmpty());
	EXPECT_FALSE(Object->GetObjectField(TEXT("Tags")).IsValid());
	EXPECT_FALSE(Object->HasTypedField<EJson::String>(TEXT("Num")));
}

TEST(JsonObject, FieldNamesBindFromLiteralsAndStrings)
{
	FJsonObject Object;
	const FString Name(TEXT("Dynamic"));
	Object.SetStringField(Name, FString(TEXT("v")));
	EXPECT_TRUE(Object.HasField(TEXT("Dynamic")));
	EXPECT_FALSE(Object.HasField(TEXT("dynamic")));
	EXPECT_TRUE(Object.TryGetField(FStringView(Name)).IsValid());
}

TEST(JsonObject, ReadingAMissingOrMistypedFieldIsLogged)
{
	UE::StandIn::FOutputDeviceCapture Capture;
	FJsonObject Object;
	Object.SetNumberField(TEXT("Count"), 2);
	EXPECT_TRUE(Object.GetStringField(TEXT("Name")).IsEmpty());
	// A number reads as a boolean without complaint.
	EXPECT_TRUE(Object.GetBoolField(TEXT("Count")));
	EXPECT_TRUE(Object.GetArrayField(TEXT("Count")).IsEmpty());

	const TArray<UE::StandIn::FCapturedLogLine> Warnings = Capture.GetLines(ELogVerbosity::Warning);
	ASSERT_EQ(Warnings.Num(), 1);
	EXPECT_EQ(Warnings[0].Category, FName(TEXT("LogJson")));
	EXPECT_EQ(Utf8(Warnings[0].Message), "Field Name was not found.");
	const TArray<UE::StandIn::FCapturedLogLine> Errors = Capture.GetLines(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 2);
	EXPECT_EQ(Utf8(Errors[0].Message), "Json Value of type 'Null' used as a 'String'.");
	EXPECT_EQ(Utf8(Errors[1].Message), "Json Value of type 'Number' used as a 'Array'.");
}
