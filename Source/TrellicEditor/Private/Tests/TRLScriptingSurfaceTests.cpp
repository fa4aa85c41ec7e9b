// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "TRLModPackager.h"
#include "TRLModScaffold.h"
#include "TRLWorkshopUpload.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#if WITH_DEV_AUTOMATION_TESTS

// What a script relies on, as the engine's reflection gives it: which functions it can call, which it can evaluate as a
// pure node, and what comes back through an Out parameter. Calls through reflection, the enums' names and the upload's
// hidden members are tried through the host's describe and call requests. Doc comments and flags a script never meets
// are the headers' own business.
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
END_DEFINE_SPEC(FTRLScriptingSurfaceSpec)

void FTRLScriptingSurfaceSpec::Define()
{
	Describe("UTRLModScaffold", [this]() {
		It("offers scripts CreateMod, MountModForEditing and the pure IsValidModName, each reason an output", [this]() {
			TestScriptFunctions(
			    UTRLModScaffold::StaticClass(), TEXT("Trellic|Authoring"),
			    {{TEXT("CreateMod"), false, TEXT("FString")}, {TEXT("IsValidModName"), true, TEXT("bool")}, {TEXT("MountModForEditing"), false, TEXT("bool")}});
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
	});
}

#endif // WITH_DEV_AUTOMATION_TESTS
