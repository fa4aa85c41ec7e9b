// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLSettings.h"
#include "TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLSettingsSpec, "Trellic.Trellic.TRLSettings", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;

	/** Loads a fresh settings object from an ini file holding the given section lines under the settings' section. */
	UTRLSettings* LoadFromSection(const FString& SectionLines)
	{
		const FString IniPath = TempDir / TEXT("DefaultGame.ini");
		const FString Ini = TEXT("[/Script/Trellic.TRLSettings]\n") + SectionLines;
		TestTrue(TEXT("the ini file is written"), FFileHelper::SaveStringToFile(Ini, *IniPath));
		UTRLSettings* Settings = NewObject<UTRLSettings>();
		Settings->LoadConfig(nullptr, *IniPath);
		return Settings;
	}
END_DEFINE_SPEC(FTRLSettingsSpec)

void FTRLSettingsSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLSettings"));
	});

	AfterEach([this]() {
		TRLTest::DeleteFolder(TempDir);
	});

	// Each setting's default, and what an empty one means, are seen where an operation reads it; the nesting of
	// overrides in the mods root's spec.
	Describe("LoadConfig", [this]() {
		// What a studio writes by hand into DefaultGame.ini: the section name, the key names and an enum's word.
		It("reads the settings from the Trellic section and keeps the defaults for keys it does not have", [this]() {
			const UTRLSettings* Settings = LoadFromSection(TEXT("ModsDirectory=Addons\n"
			                                                    "DefaultLoadOrder=-20\n"
			                                                    "WorkshopDefaultVisibility=FriendsOnly\n"
			                                                    "bDLCIncludeEngineContent=True\n"));
			TestEqualSensitive(TEXT("ModsDirectory"), Settings->ModsDirectory, TEXT("Addons"));
			TestEqual(TEXT("DefaultLoadOrder"), Settings->DefaultLoadOrder, -20);
			TestTrue(TEXT("WorkshopDefaultVisibility is FriendsOnly"), Settings->WorkshopDefaultVisibility == ETRLWorkshopVisibility::FriendsOnly);
			TestTrue(TEXT("bDLCIncludeEngineContent"), Settings->bDLCIncludeEngineContent);
			TestEqual(TEXT("ModApiVersion"), Settings->ModApiVersion, GetDefault<UTRLSettings>()->ModApiVersion);
			TestEqualSensitive(TEXT("TargetPlatform"), Settings->TargetPlatform, GetDefault<UTRLSettings>()->TargetPlatform);
		});
	});
}

#endif
