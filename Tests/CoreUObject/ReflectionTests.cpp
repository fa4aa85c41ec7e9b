#include "TestHelpers.h"
#include "TestTypes.h"
#include "UObject/StructOnScope.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

namespace
{
	UClass* FindTestClass(const TCHAR* Name)
	{
		return FindFirstObject<UClass>(Name);
	}

	TArray<FProperty*> ParametersOf(const UFunction* Function)
	{
		TArray<FProperty*> Parameters;
		for (TFieldIterator<FProperty> It(Function); It; ++It)
		{
			Parameters.Add(*It);
		}
		return Parameters;
	}
} // namespace

TEST(Reflection, RegistersClassesUnderTheirNameWithoutPrefixInTheModulePackage)
{
	UClass* Class = FindTestClass(TEXT("TestOperations"));
	ASSERT_NE(Class, nullptr);
	EXPECT_EQ(Class, UTestOperations::StaticClass());
	EXPECT_EQ(Utf8(Class->GetPathName()), "/Script/CoreUObjectTests.TestOperations");
	EXPECT_EQ(FindObject<UClass>(nullptr, TEXT("/Script/CoreUObjectTests.TestOperations")), Class);
	EXPECT_EQ(Class->GetSuperClass(), UObject::StaticClass());
	EXPECT_TRUE(Class->HasAllClassFlags(CLASS_Native | CLASS_MinimalAPI));
	EXPECT_FALSE(Class->HasAnyClassFlags(CLASS_Config | CLASS_Abstract | CLASS_RequiredAPI));
	EXPECT_EQ(Utf8(Class->ClassConfigName), "Engine");
	EXPECT_EQ(Utf8(Class->GetMetaData(TEXT("ToolTip"))), "Operations on test mods.\n\nEvery function is static.");
	EXPECT_EQ(Utf8(Class->GetMetaData(TEXT("IncludePath"))), "TestTypes.h");
	EXPECT_EQ(FindTestClass(TEXT("UTestOperations")), nullptr);
}

TEST(Reflection, ConfigClassesCarryTheirConfigNameAndFlags)
{
	UClass* Class = UTestSettings::StaticClass();
	EXPECT_EQ(Utf8(Class->ClassConfigName), "Game");
	EXPECT_TRUE(Class->HasAllClassFlags(CLASS_Config | CLASS_DefaultConfig));
	FProperty* Paths = Class->FindPropertyByName(TEXT("Paths"));
	ASSERT_NE(Paths, nullptr);
	EXPECT_TRUE(Paths->HasAnyPropertyFlags(CPF_Config));
	EXPECT_EQ(Utf8(Paths->GetCPPType()), "TArray<FString>");
	FProperty* Untouched = Class->FindPropertyByName(TEXT("Untouched"));
	ASSERT_NE(Untouched, nullptr);
	EXPECT_FALSE(Untouched->HasAnyPropertyFlags(CPF_Config));
	EXPECT_EQ(Utf8(Untouched->GetMetaData(TEXT("ToolTip"))), "Not read from configuration.");
}

TEST(Reflection, FunctionsCarryFlagsCategoryTooltipAndParametersInOrder)
{
	UClass* Class = UTestOperations::StaticClass();
	UFunction* MakeLabel = Class->FindFunctionByName(TEXT("MakeLabel"));
	ASSERT_NE(MakeLabel, nullptr);
	EXPECT_TRUE(MakeLabel->HasAllFunctionFlags(FUNC_Native | FUNC_Static | FUNC_Public | FUNC_BlueprintCallable | FUNC_HasOutParms));
	EXPECT_FALSE(MakeLabel->HasAnyFunctionFlags(FUNC_BlueprintPure | FUNC_Private));
	EXPECT_EQ(Utf8(MakeLabel->GetMetaData(TEXT("Category"))), "Tests|Authoring");
	EXPECT_EQ(Utf8(MakeLabel->GetMetaData(TEXT("ToolTip"))), "Join a name and an author into a label.\n\n@param Name the name\n@param Author who made it");
	EXPECT_EQ(MakeLabel->GetOwnerClass(), Class);

	const TArray<FProperty*> Parameters = ParametersOf(MakeLabel);
	ASSERT_EQ(Parameters.Num(), 4);
	EXPECT_EQ(MakeLabel->NumParms, 4);
	EXPECT_EQ(Utf8(Parameters[0]->GetName()), "Name");
	EXPECT_EQ(Utf8(Parameters[1]->GetName()), "Author");
	EXPECT_EQ(Utf8(Parameters[2]->GetName()), "OutError");
	EXPECT_EQ(Utf8(Parameters[3]->GetName()), "ReturnValue");
	// A read-only string is an input passed as if by value; a non-const reference is an output.
	EXPECT_NE(CastField<FStrProperty>(Parameters[0]), nullptr);
	EXPECT_TRUE(Parameters[0]->HasAllPropertyFlags(CPF_Parm));
	EXPECT_FALSE(Parameters[0]->HasAnyPropertyFlags(CPF_OutParm | CPF_ConstParm | CPF_ReferenceParm));
	EXPECT_TRUE(Parameters[0]->HasMetaData(TEXT("NativeConst")));
	EXPECT_NE(CastField<FTextProperty>(Parameters[2]), nullptr);
	EXPECT_TRUE(Parameters[2]->HasAllPropertyFlags(CPF_Parm | CPF_OutParm));
	EXPECT_FALSE(Parameters[2]->HasAnyPropertyFlags(CPF_ConstParm | CPF_ReferenceParm | CPF_ReturnParm));
	EXPECT_EQ(MakeLabel->GetReturnProperty(), Parameters[3]);
	EXPECT_TRUE(Parameters[3]->HasAllPropertyFlags(CPF_Parm | CPF_OutParm | CPF_ReturnParm));

	UFunction* IsValidName = Class->FindFunctionByName(TEXT("IsValidName"));
	ASSERT_NE(IsValidName, nullptr);
	EXPECT_TRUE(IsValidName->HasAllFunctionFlags(FUNC_BlueprintCallable | FUNC_BlueprintPure | FUNC_Static));
	EXPECT_EQ(Utf8(IsValidName->GetMetaData(TEXT("ToolTip"))), "Check a name before trying to use it.");

	UFunction* Touch = Class->FindFunctionByName(TEXT("Touch"));
	ASSERT_NE(Touch, nullptr);
	EXPECT_EQ(Touch->GetReturnProperty(), nullptr);
	FProperty* Counter = Touch->FindPropertyByName(TEXT("Counter"));
	ASSERT_NE(Counter, nullptr);
	EXPECT_TRUE(Counter->HasAllPropertyFlags(CPF_OutParm | CPF_ReferenceParm));
	EXPECT_FALSE(Counter->HasAnyPropertyFlags(CPF_ConstParm));

	UFunction* Classify = Class->FindFunctionByName(TEXT("Classify"));
	ASSERT_NE(Classify, nullptr);
	EXPECT_EQ(Utf8(Classify->GetMetaData(TEXT("DisplayName"))), "Classify Code");
	FEnumProperty* Result = CastField<FEnumProperty>(Classify->GetReturnProperty());
	ASSERT_NE(Result, nullptr);
	EXPECT_EQ(Result->GetEnum(), StaticEnum<ETestRequestResult>());
	EXPECT_NE(CastField<FByteProperty>(Result->GetUnderlyingProperty()), nullptr);

	EXPECT_EQ(Class->FindFunctionByName(TEXT("NativeOnly")), nullptr);
}

TEST(Reflection, APrivateFunctionIsFoundByNameButIsNotScriptCallable)
{
	UFunction* Hidden = UTestOperations::StaticClass()->FindFunctionByName(TEXT("Hidden"));
	ASSERT_NE(Hidden, nullptr);
	EXPECT_TRUE(Hidden->HasAnyFunctionFlags(FUNC_Private));
	EXPECT_FALSE(Hidden->HasAnyFunctionFlags(FUNC_Public | FUNC_BlueprintCallable | FUNC_BlueprintPure));

	UFunction* Handler = UTestUpload::StaticClass()->FindFunctionByName(TEXT("HandlePublished"));
	ASSERT_NE(Handler, nullptr);
	EXPECT_TRUE(Handler->HasAnyFunctionFlags(FUNC_Private));
	EXPECT_FALSE(Handler->HasAnyFunctionFlags(FUNC_Static | FUNC_BlueprintCallable));
}

TEST(Reflection, EnumsKnowTheirNamesNumbersDisplayNamesAndTooltips)
{
	UEnum* Enum = StaticEnum<ETestRequestResult>();
	ASSERT_NE(Enum, nullptr);
	EXPECT_EQ(FindFirstObject<UEnum>(TEXT("ETestRequestResult")), Enum);
	EXPECT_EQ(Utf8(Enum->GetPathName()), "/Script/CoreUObjectTests.ETestRequestResult");
	EXPECT_EQ(Enum->GetCppForm(), UEnum::ECppForm::EnumClass);
	EXPECT_EQ(Utf8(Enum->GetMetaData(TEXT("BlueprintType"))), "true");
	EXPECT_EQ(Utf8(Enum->GetMetaData(TEXT("ToolTip"))), "Outcome of a test request. The work itself runs elsewhere.");

	// Three values and the _MAX that every reflected enum gets.
	ASSERT_EQ(Enum->NumEnums(), 4);
	EXPECT_EQ(Enum->GetValueByIndex(1), 3);
	EXPECT_EQ(Enum->GetValueByIndex(2), 4);
	EXPECT_EQ(Utf8(Enum->GetNameStringByIndex(3)), "ETestRequestResult_MAX");
	EXPECT_EQ(Enum->GetMaxEnumValue(), 4);

	EXPECT_EQ(Utf8(Enum->GetNameStringByValue(3)), "InvalidInput");
	EXPECT_EQ(Utf8(Enum->GetNameByValue(3)), "ETestRequestResult::InvalidInput");
	EXPECT_EQ(Utf8(UEnum::GetValueAsString(ETestRequestResult::AlreadyRunning)), "ETestRequestResult::AlreadyRunning");
	EXPECT_EQ(Utf8(Enum->GetNameStringByValue(1)), "");
	EXPECT_TRUE(Enum->GetNameByValue(1).IsNone());

	EXPECT_EQ(Utf8(Enum->GetDisplayNameTextByValue(3).ToString()), "Invalid Input");
	EXPECT_EQ(Utf8(Enum->GetDisplayNameTextByValue(4).ToString()), "AlreadyRunning");
	EXPECT_TRUE(Enum->GetDisplayNameTextByValue(99).IsEmpty());
	EXPECT_EQ(Utf8(Enum->GetToolTipTextByIndex(0).ToString()), "The request was started.");
	EXPECT_EQ(Utf8(Enum->GetMetaData(TEXT("ToolTip"), 1)), "The input could not be resolved.");

	EXPECT_EQ(Enum->GetValueByNameString(TEXT("invalidinput")), 3);
	EXPECT_EQ(Enum->GetValueByNameString(TEXT("invalidinput"), EGetByNameFlags::CaseSensitive), INDEX_NONE);
	EXPECT_EQ(Enum->GetValueByNameString(TEXT("ETestRequestResult::AlreadyRunning")), 4);
	EXPECT_EQ(Enum->GetValueByNameString(TEXT("Missing")), INDEX_NONE);
}

TEST(Reflection, AnEnumWithAWiderUnderlyingTypeUsesAMatchingIntegerProperty)
{
	FEnumProperty* Visibility = CastField<FEnumProperty>(UTestSettings::StaticClass()->FindPropertyByName(TEXT("Visibility")));
	ASSERT_NE(Visibility, nullptr);
	EXPECT_NE(CastField<FIntProperty>(Visibility->GetUnderlyingProperty()), nullptr);
	EXPECT_EQ(Utf8(Visibility->GetCPPType()), "ETestVisibility");
}

TEST(Invocation, APureFunctionWithAnOutputReturnsBothFromOneCall)
{
	UFunction* Function = UTestOperations::StaticClass()->FindFunctionByName(TEXT("IsValidName"));
	ASSERT_NE(Function, nullptr);
	UObject* Target = UTestOperations::StaticClass()->GetDefaultObject();

	FStructOnScope Parms(Function);
	CastField<FStrProperty>(Function->FindPropertyByName(TEXT("Name")))->SetPropertyValue_InContainer(Parms.GetStructMemory(), TEXT("_Bad"));
	Target->ProcessEvent(Function, Parms.GetStructMemory());

	EXPECT_FALSE(CastField<FBoolProperty>(Function->GetReturnProperty())->GetPropertyValue_InContainer(Parms.GetStructMemory()));
	const FText Reason = CastField<FTextProperty>(Function->FindPropertyByName(TEXT("OutReason")))->GetPropertyValue_InContainer(Parms.GetStructMemory());
	EXPECT_EQ(Utf8(Reason.ToString()), "A name cannot start with '_' or be empty.");
}

TEST(Invocation, InputsAreReadAndOutputsWrittenByName)
{
	UFunction* Function = UTestOperations::StaticClass()->FindFunctionByName(TEXT("MakeLabel"));
	FStructOnScope Parms(Function);
	uint8* Memory = Parms.GetStructMemory();
	*Function->FindPropertyByName(TEXT("Name"))->ContainerPtrToValuePtr<FString>(Memory) = TEXT("Mod");
	*Function->FindPropertyByName(TEXT("Author"))->ContainerPtrToValuePtr<FString>(Memory) = TEXT("Ann");
	UTestOperations::StaticClass()->GetDefaultObject()->ProcessEvent(Function, Memory);
	EXPECT_EQ(Utf8(*Function->GetReturnProperty()->ContainerPtrToValuePtr<FString>(Memory)), "Mod by Ann");

	UFunction* Touch = UTestOperations::StaticClass()->FindFunctionByName(TEXT("Touch"));
	FStructOnScope TouchParms(Touch);
	FIntProperty* Counter = CastField<FIntProperty>(Touch->FindPropertyByName(TEXT("Counter")));
	ASSERT_NE(Counter, nullptr);
	Counter->SetPropertyValue_InContainer(TouchParms.GetStructMemory(), 41);
	UTestOperations::StaticClass()->GetDefaultObject()->ProcessEvent(Touch, TouchParms.GetStructMemory());
	EXPECT_EQ(Counter->GetPropertyValue_InContainer(TouchParms.GetStructMemory()), 42);

	UFunction* Classify = UTestOperations::StaticClass()->FindFunctionByName(TEXT("Classify"));
	FStructOnScope ClassifyParms(Classify);
	CastField<FIntProperty>(Classify->FindPropertyByName(TEXT("Code")))->SetPropertyValue_InContainer(ClassifyParms.GetStructMemory(), -5);
	UTestOperations::StaticClass()->GetDefaultObject()->ProcessEvent(Classify, ClassifyParms.GetStructMemory());
	FString ResultText;
	Classify->GetReturnProperty()->ExportTextItem_InContainer(ResultText, ClassifyParms.GetStructMemory(), nullptr, nullptr, 0);
	EXPECT_EQ(Utf8(ResultText), "InvalidInput");
}

TEST(Invocation, ParameterBlocksStartValueInitialised)
{
	UFunction* Function = UTestOperations::StaticClass()->FindFunctionByName(TEXT("Touch"));
	for (int32 Attempt = 0; Attempt < 3; ++Attempt)
	{
		FStructOnScope Parms(Function);
		EXPECT_EQ(*Function->FindPropertyByName(TEXT("Counter"))->ContainerPtrToValuePtr<int32>(Parms.GetStructMemory()), 0);
	}
}

TEST(Reflection, StructuresAreReflectedWithTheirMembers)
{
	UScriptStruct* Struct = FTestRecord::StaticStruct();
	ASSERT_NE(Struct, nullptr);
	EXPECT_EQ(Utf8(Struct->GetPathName()), "/Script/CoreUObjectTests.TestRecord");
	EXPECT_EQ(Struct->GetStructureSize(), static_cast<int32>(sizeof(FTestRecord)));
	FStrProperty* Label = CastField<FStrProperty>(Struct->FindPropertyByName(TEXT("Label")));
	ASSERT_NE(Label, nullptr);
	EXPECT_EQ(Utf8(Label->GetMetaData(TEXT("Category"))), "Record");

	FStructProperty* Record = CastField<FStructProperty>(UTestPublisher::StaticClass()->FindPropertyByName(TEXT("Record")));
	ASSERT_NE(Record, nullptr);
	EXPECT_EQ(Record->Struct, Struct);

	FTestRecord Value;
	ASSERT_NE(Record->ImportText_Direct(TEXT("(Label=\"A, B\",Count=3)"), &Value, nullptr, 0), nullptr);
	EXPECT_EQ(Utf8(Value.Label), "A, B");
	EXPECT_EQ(Value.Count, 3);
	FString Text;
	Record->ExportTextItem_Direct(Text, &Value, nullptr, nullptr, 0);
	EXPECT_EQ(Utf8(Text), "(Label=\"A, B\",Count=3,Attachment=None)");

	FArrayProperty* Extras = CastField<FArrayProperty>(UTestPublisher::StaticClass()->FindPropertyByName(TEXT("Extras")));
	ASSERT_NE(Extras, nullptr);
	EXPECT_NE(CastField<FObjectProperty>(Extras->Inner), nullptr);
}
