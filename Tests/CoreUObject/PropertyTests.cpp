#include "StandIn/OutputDeviceCapture.h"
#include "TestHelpers.h"
#include "TestTypes.h"
#include "UObject/Package.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

namespace
{
	FProperty* SettingsProperty(const TCHAR* Name)
	{
		FProperty* Property = UTestSettings::StaticClass()->FindPropertyByName(FName(Name));
		EXPECT_NE(Property, nullptr) << Utf8(FString(Name));
		return Property;
	}

	/** Reads Text into a fresh settings object's property; @return whether it was accepted. */
	bool Import(UTestSettings* Settings, const TCHAR* PropertyName, const TCHAR* Text)
	{
		FProperty* Property = SettingsProperty(PropertyName);
		return Property->ImportText_InContainer(Text, Settings, Settings, 0) != nullptr;
	}

	std::string Export(const UTestSettings* Settings, const TCHAR* PropertyName)
	{
		FString Text;
		SettingsProperty(PropertyName)->ExportTextItem_InContainer(Text, Settings, nullptr, nullptr, 0);
		return Utf8(Text);
	}
} // namespace

TEST(PropertyText, NumbersMustBeWholeAndInRange)
{
	UTestSettings* Settings = NewObject<UTestSettings>();
	EXPECT_TRUE(Import(Settings, TEXT("ApiVersion"), TEXT(" 42 ")));
	EXPECT_EQ(Settings->ApiVersion, 42);
	EXPECT_TRUE(Import(Settings, TEXT("ApiVersion"), TEXT("-7")));
	EXPECT_EQ(Settings->ApiVersion, -7);
	EXPECT_FALSE(Import(Settings, TEXT("ApiVersion"), TEXT("12abc")));
	EXPECT_FALSE(Import(Settings, TEXT("ApiVersion"), TEXT("99999999999")));
	EXPECT_FALSE(Import(Settings, TEXT("ApiVersion"), TEXT("")));
	EXPECT_EQ(Settings->ApiVersion, -7);
	EXPECT_EQ(Export(Settings, TEXT("ApiVersion")), "-7");

	EXPECT_TRUE(Import(Settings, TEXT("Ratio"), TEXT("0.25")));
	EXPECT_DOUBLE_EQ(Settings->Ratio, 0.25);
	EXPECT_EQ(Export(Settings, TEXT("Ratio")), "0.25");
	EXPECT_FALSE(Import(Settings, TEXT("Ratio"), TEXT("quarter")));
}

TEST(PropertyText, BooleansEnumsAndStrings)
{
	UTestSettings* Settings = NewObject<UTestSettings>();
	EXPECT_TRUE(Import(Settings, TEXT("bVerbose"), TEXT("no")));
	EXPECT_FALSE(Settings->bVerbose);
	EXPECT_EQ(Export(Settings, TEXT("bVerbose")), "False");
	EXPECT_FALSE(Import(Settings, TEXT("bVerbose"), TEXT("maybe")));
	EXPECT_FALSE(Settings->bVerbose);

	EXPECT_TRUE(Import(Settings, TEXT("Visibility"), TEXT("private")));
	EXPECT_EQ(Settings->Visibility, ETestVisibility::Private);
	EXPECT_TRUE(Import(Settings, TEXT("Visibility"), TEXT("ETestVisibility::FriendsOnly")));
	EXPECT_EQ(Settings->Visibility, ETestVisibility::FriendsOnly);
	EXPECT_EQ(Export(Settings, TEXT("Visibility")), "FriendsOnly");
	EXPECT_FALSE(Import(Settings, TEXT("Visibility"), TEXT("1")));

	EXPECT_TRUE(Import(Settings, TEXT("Directory"), TEXT("\"Quoted \\\"Name\\\"\"")));
	EXPECT_EQ(Utf8(Settings->Directory), "Quoted \"Name\"");
}

TEST(PropertyText, ArraysReadAParenthesizedList)
{
	UTestSettings* Settings = NewObject<UTestSettings>();
	EXPECT_TRUE(Import(Settings, TEXT("Paths"), TEXT("(\"A, B\",C)")));
	ASSERT_EQ(Settings->Paths.Num(), 2);
	EXPECT_EQ(Utf8(Settings->Paths[0]), "A, B");
	EXPECT_EQ(Utf8(Settings->Paths[1]), "C");
	EXPECT_EQ(Export(Settings, TEXT("Paths")), "(\"A, B\",\"C\")");
	EXPECT_TRUE(Import(Settings, TEXT("Paths"), TEXT("()")));
	EXPECT_TRUE(Settings->Paths.IsEmpty());
	EXPECT_FALSE(Import(Settings, TEXT("Paths"), TEXT("A,B")));
}

TEST(PropertyText, TextsKeepTheirLocalisationKey)
{
	FTextProperty* Property =
	    CastField<FTextProperty>(UTestOperations::StaticClass()->FindFunctionByName(TEXT("IsValidName"))->FindPropertyByName(TEXT("OutReason")));
	ASSERT_NE(Property, nullptr);
	FText Value;
	ASSERT_NE(Property->ImportText_Direct(TEXT("NSLOCTEXT(\"Space\", \"Key\", \"Hello\")"), &Value, nullptr, 0), nullptr);
	EXPECT_EQ(Utf8(Value), "Hello");
	ASSERT_NE(Property->ImportText_Direct(TEXT("Plain words"), &Value, nullptr, 0), nullptr);
	EXPECT_EQ(Utf8(Value), "Plain words");
	EXPECT_EQ(Property->ImportText_Direct(TEXT("NSLOCTEXT(\"Space\", \"Hello\")"), &Value, nullptr, 0), nullptr);
}

TEST(PropertyText, ObjectReferencesReadAPathAndRefuseTheWrongClass)
{
	UTestUpload* Upload = NewObject<UTestUpload>();
	UTestPublisher* Publisher = NewObject<UTestPublisher>(GetTransientPackage(), FName(TEXT("TextPublisher")));
	FObjectProperty* Property = CastField<FObjectProperty>(UTestUpload::StaticClass()->FindPropertyByName(TEXT("Publisher")));
	ASSERT_NE(Property, nullptr);
	EXPECT_EQ(Property->PropertyClass, UTestPublisher::StaticClass());
	EXPECT_EQ(Utf8(Property->GetCPPType()), "TObjectPtr<UTestPublisher>");

	ASSERT_NE(Property->ImportText_InContainer(TEXT("/Engine/Transient.TextPublisher"), Upload, Upload, 0), nullptr);
	EXPECT_EQ(Upload->Publisher, Publisher);
	FString Text;
	Property->ExportTextItem_InContainer(Text, Upload, nullptr, nullptr, 0);
	EXPECT_EQ(Utf8(Text), "/Engine/Transient.TextPublisher");

	EXPECT_EQ(Property->ImportText_InContainer(*Upload->GetPathName(), Upload, Upload, 0), nullptr);
	EXPECT_EQ(Upload->Publisher, Publisher);
	ASSERT_NE(Property->ImportText_InContainer(TEXT("None"), Upload, Upload, 0), nullptr);
	EXPECT_EQ(Upload->Publisher, nullptr);
	CollectGarbage();
}

TEST(PropertyValues, CopyAndCompareFollowTheValueType)
{
	UTestSettings* A = NewObject<UTestSettings>();
	UTestSettings* B = NewObject<UTestSettings>();
	A->Directory = TEXT("Mods");
	B->Directory = TEXT("MODS");
	FProperty* Directory = SettingsProperty(TEXT("Directory"));
	// Values compare exactly, though FString's == ignores case.
	EXPECT_FALSE(Directory->Identical_InContainer(A, B));
	Directory->CopyCompleteValue_InContainer(B, A);
	EXPECT_TRUE(Directory->Identical_InContainer(A, B));

	A->Paths = {TEXT("x")};
	FProperty* Paths = SettingsProperty(TEXT("Paths"));
	EXPECT_FALSE(Paths->Identical_InContainer(A, B));
	Paths->CopyCompleteValue_InContainer(B, A);
	EXPECT_EQ(B->Paths.Num(), 1);
	CollectGarbage();
}
