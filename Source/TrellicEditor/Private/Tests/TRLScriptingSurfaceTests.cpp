// Copyright Trellic contributors. All Rights Reserved.

#include "Internationalization/Text.h"
#include "Logging/LogVerbosity.h"
#include "Misc/AutomationTest.h"
#include "TRLModPackager.h"
#include "TRLModScaffold.h"
#include "TRLTestHelpers.h"
#include "TRLWorkshopPublisher.h"
#include "TRLWorkshopUpload.h"
#include "UObject/Class.h"
#include "UObject/StructOnScope.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#if WITH_DEV_AUTOMATION_TESTS

// What a script relies on, as the engine's reflection gives it: which functions it can call, which it can evaluate as a
// pure node, what comes back through an Out parameter, and the names it compares results with. Doc comments and
// flags a script never meets are the headers' own business.
BEGIN_DEFINE_SPEC(FTRLScriptingSurfaceSpec, "Trellic.TrellicEditor.ScriptingSurface", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	/** A function scripts call: its name, whether it is a pure node, and what it returns (null for nothing). */
	struct FScriptFunction
	{
		const TCHAR* Name;
		bool bPure;
		const TCHAR* ReturnType;
	};

	/**
	 * Checks that the class is found by its script path and reflects exactly these functions (and NotForScripts, found
	 * by name alone), each static and callable in Category, pure as listed, returning what is listed, with every Out
	 * parameter an output a script reads back and every other parameter an input that is no object.
	 */
	void TestScriptFunctions(const UClass* Class, const TCHAR* Category, const TArray<FScriptFunction>& Expected, const TCHAR* NotForScripts = nullptr)
	{
		const FString Path = FString(TEXT("/Script/TrellicEditor.")) + Class->GetName();
		TestTrue(Path + TEXT(" is found by its script path"), FindObject<UClass>(nullptr, *Path) == Class);
		int32 Reflected = 0;
		for (TFieldIterator<UFunction> It(Class, EFieldIteratorFlags::ExcludeSuper); It; ++It)
		{
			++Reflected;
		}
		TestEqual(Class->GetName() + TEXT(": reflected functions"), Reflected, Expected.Num() + (NotForScripts ? 1 : 0));
		for (const FScriptFunction& Want : Expected)
		{
			const UFunction* Function = Class->FindFunctionByName(Want.Name);
			if (!TestNotNull(FString(Want.Name) + TEXT(" is reflected"), Function))
			{
				continue;
			}
			const FString Name = Want.Name;
			TestTrue(Name + TEXT(" is static and callable"), Function->HasAllFunctionFlags(FUNC_Static | FUNC_Public | FUNC_BlueprintCallable));
			TestEqual(Name + TEXT(" is pure"), Function->HasAnyFunctionFlags(FUNC_BlueprintPure), Want.bPure);
			TestEqualSensitive(Name + TEXT(": category"), Function->GetMetaData(TEXT("Category")), FString(Category));
			const FProperty* Return = Function->GetReturnProperty();
			TestEqualSensitive(Name + TEXT(": return type"), Return ? Return->GetCPPType() : FString(), FString(Want.ReturnType ? Want.ReturnType : TEXT("")));
			for (TFieldIterator<FProperty> Parameter(Function); Parameter; ++Parameter)
			{
				const FString What = Name + TEXT(".") + Parameter->GetName();
				if (Parameter->HasAnyPropertyFlags(CPF_ReturnParm))
				{
					continue;
				}
				const bool bOut = Parameter->GetName().StartsWith(TEXT("Out"), ESearchCase::CaseSensitive);
				// An output is a non-constant reference; a read-only one would reach scripts as an input pin.
				TestEqual(What + TEXT(" is an output"), Parameter->HasAnyPropertyFlags(CPF_OutParm) && !Parameter->HasAnyPropertyFlags(CPF_ConstParm), bOut);
				TestNull(What + TEXT(" is an object"), CastField<FObjectPropertyBase>(*Parameter));
			}
		}
		if (NotForScripts)
		{
			const UFunction* Function = Class->FindFunctionByName(NotForScripts);
			TestTrue(FString(NotForScripts) + TEXT(" is found by name, yet scripts cannot call it"),
			         Function && !Function->HasAnyFunctionFlags(FUNC_BlueprintCallable | FUNC_Static));
		}
	}

	/** Sets the one string parameter of Function and calls it on the class as a script's node does: one call, outputs in the block. */
	static void CallWithString(const UClass* Class, UFunction* Function, const TCHAR* Parameter, const FString& Value, FStructOnScope& Parms)
	{
		CastField<FStrProperty>(Function->FindPropertyByName(Parameter))->SetPropertyValue_InContainer(Parms.GetStructMemory(), Value);
		Class->GetDefaultObject()->ProcessEvent(Function, Parms.GetStructMemory());
	}
END_DEFINE_SPEC(FTRLScriptingSurfaceSpec)

void FTRLScriptingSurfaceSpec::Define()
{
	Describe("UTRLModScaffold", [this]() {
		It("offers scripts CreateMod, MountModForEditing and the pure IsValidModName, each reason an output", [this]() {
			TestScriptFunctions(
			    UTRLModScaffold::StaticClass(), TEXT("Trellic|Authoring"),
			    {{TEXT("CreateMod"), false, TEXT("FString")}, {TEXT("IsValidModName"), true, TEXT("bool")}, {TEXT("MountModForEditing"), false, TEXT("bool")}});
		});

		It("answers both the result and the reason of IsValidModName from one evaluation", [this]() {
			UFunction* Function = UTRLModScaffold::StaticClass()->FindFunctionByName(TEXT("IsValidModName"));
			if (!TestNotNull(TEXT("IsValidModName"), Function))
			{
				return;
			}
			FStructOnScope Parms(Function);
			CallWithString(UTRLModScaffold::StaticClass(), Function, TEXT("ModName"), TEXT("My Mod"), Parms);
			const FBoolProperty* Result = CastField<FBoolProperty>(Function->GetReturnProperty());
			const FTextProperty* Reason = CastField<FTextProperty>(Function->FindPropertyByName(TEXT("OutReason")));
			if (TestNotNull(TEXT("the result"), Result) && TestNotNull(TEXT("the reason"), Reason))
			{
				TestFalse(TEXT("a name with a blank is valid"), Result->GetPropertyValue_InContainer(Parms.GetStructMemory()));
				TestEqualSensitive(TEXT("reason"), Reason->GetPropertyValue_InContainer(Parms.GetStructMemory()).ToString(),
				                   TEXT("The name may only use letters, digits and underscores. ' ' is not allowed."));
			}
		});
	});

	Describe("UTRLModPackager", [this]() {
		It("offers scripts its two requests and four pure queries, and nothing of the job runner or the cook preparation", [this]() {
			TestScriptFunctions(UTRLModPackager::StaticClass(), TEXT("Trellic|Packaging"),
			                    {{TEXT("CreateBaseGameRelease"), false, TEXT("ETRLPackageStartResult")},
			                     {TEXT("GetBaseReleaseDirectory"), true, TEXT("FString")},
			                     {TEXT("GetModStagingDirectory"), true, TEXT("FString")},
			                     {TEXT("HasBaseGameRelease"), true, TEXT("bool")},
			                     {TEXT("IsPackagingInProgress"), true, TEXT("bool")},
			                     {TEXT("PackageMod"), false, TEXT("ETRLPackageStartResult")}});
		});

		It("returns ETRLPackageStartResult, whose values scripts compare by name and show by display name", [this]() {
			const UEnum* Enum = StaticEnum<ETRLPackageStartResult>();
			TestEqualSensitive(TEXT("path"), Enum->GetPathName(), FString(TEXT("/Script/TrellicEditor.ETRLPackageStartResult")));
			TestTrue(TEXT("scripts can hold it"), Enum->HasMetaData(TEXT("BlueprintType")));
			const TPair<const TCHAR*, const TCHAR*> Values[] = {{TEXT("Started"), TEXT("Started")},
			                                                    {TEXT("InvalidMod"), TEXT("Invalid Mod")},
			                                                    {TEXT("MissingBaseRelease"), TEXT("Missing Base Release")},
			                                                    {TEXT("AlreadyRunning"), TEXT("Already Running")}};
			// The engine adds a hidden "_MAX" entry after the declared values.
			TestEqual(TEXT("values"), Enum->NumEnums() - 1, static_cast<int32>(UE_ARRAY_COUNT(Values)));
			for (int32 Index = 0; Index < static_cast<int32>(UE_ARRAY_COUNT(Values)); ++Index)
			{
				TestEqualSensitive(TEXT("name"), Enum->GetNameStringByIndex(Index), FString(Values[Index].Key));
				TestEqualSensitive(TEXT("display name"), Enum->GetDisplayNameTextByIndex(Index).ToString(), FString(Values[Index].Value));
			}
		});
	});

	Describe("UTRLWorkshopUpload", [this]() {
		It("offers scripts nine functions, and reflects the publisher's completion handler for its delegate alone", [this]() {
			TestScriptFunctions(UTRLWorkshopUpload::StaticClass(), TEXT("Trellic|Steam Workshop"),
			                    {{TEXT("BuildUploadPayload"), false, TEXT("FString")},
			                     {TEXT("FindPreviewImage"), true, TEXT("FString")},
			                     {TEXT("GetRecordedItemId"), true, TEXT("FString")},
			                     {TEXT("GetRecordedVisibility"), true, TEXT("ETRLWorkshopVisibility")},
			                     {TEXT("GetWorkshopRecordPath"), true, TEXT("FString")},
			                     {TEXT("IsUploadInProgress"), true, TEXT("bool")},
			                     {TEXT("Preflight"), false, nullptr},
			                     {TEXT("ShouldSyncDescription"), true, TEXT("bool")},
			                     {TEXT("UploadMod"), false, TEXT("ETRLWorkshopResult")}},
			                    TEXT("HandlePublishComplete"));
		});

		// Held by a reflected property, the publisher lives as long as its upload; scripts never reach it.
		It("holds the publisher in a reflected property that scripts cannot see", [this]() {
			const FObjectProperty* Publisher = CastField<FObjectProperty>(UTRLWorkshopUpload::StaticClass()->FindPropertyByName(TEXT("Publisher")));
			if (TestNotNull(TEXT("Publisher is an object reference"), Publisher))
			{
				TestTrue(TEXT("to the Steam module's publisher"), Publisher->PropertyClass == UTRLWorkshopPublisher::StaticClass());
				TestFalse(TEXT("visible to scripts"), Publisher->HasAnyPropertyFlags(CPF_BlueprintVisible | CPF_Edit));
			}
		});

		It("runs Preflight for a script, whose findings reach the log alone", [this]() {
			const FString TempDir = TRLTest::MakeTempFolder(TEXT("TRLScriptingSurface"));
			const FString ModName = TRLTest::MakeUniqueModName(TEXT("TRLSurfaceMod"));
			// Everything in order but the description.
			const FString Descriptor = TRLTest::WriteMod(
			    TempDir, ModName, ModName,
			    FString::Printf(TEXT("{\"FriendlyName\": \"%s\", \"Description\": \"\", \"TRLTags\": [\"Maps\"], \"ExplicitlyLoaded\": true}"), *ModName));
			TRLTest::WriteTextFile(TempDir / ModName / TEXT("preview.png"), TEXT("png"));
			UFunction* Function = UTRLWorkshopUpload::StaticClass()->FindFunctionByName(TEXT("Preflight"));
			if (TestNotNull(TEXT("Preflight"), Function) && TestFalse(TEXT("the mod was written"), Descriptor.IsEmpty()))
			{
				const FString Warning =
				    FString::Printf(TEXT("'%s' has an empty Description. That text IS the Workshop page - fill it in the .uplugin."), *ModName);
				FTRLLogCapture Log;
				AddExpectedError(Warning, EAutomationExpectedErrorFlags::Exact, 1);
				FStructOnScope Parms(Function);
				CallWithString(UTRLWorkshopUpload::StaticClass(), Function, TEXT("ModDescriptorPath"), Descriptor, Parms);
				TRLTest::TestLines(*this, TEXT("log"), Log.TrellicLines(), {TEXT("Warning: ") + Warning});
			}
			TRLTest::DeleteFolder(TempDir);
		});
	});
}

#endif // WITH_DEV_AUTOMATION_TESTS
