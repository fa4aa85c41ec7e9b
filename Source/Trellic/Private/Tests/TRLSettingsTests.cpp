// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLScopedSettingsOverride.h"
#include "TRLSettings.h"
#include "Tests/TRLTestHelpers.h"

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
		IFileManager::Get().DeleteDirectory(*TempDir, false, true);
	});

	Describe("LoadConfig", [this]() {
		It("reads every field from the Trellic section", [this]() {
			const UTRLSettings* Settings = LoadFromSection(TEXT("ModApiVersion=3\n"
			                                                    "ModsDirectory=Addons\n"
			                                                    "DefaultLoadOrder=-20\n"
			                                                    "WorkshopDefaultVisibility=FriendsOnly\n"
			                                                    "BaseReleaseVersion=2.5\n"
			                                                    "TargetPlatform=Linux\n"
			                                                    "ClientConfiguration=Development\n"
			                                                    "bDLCIncludeEngineContent=True\n"));
			TestEqual(TEXT("ModApiVersion"), Settings->ModApiVersion, 3);
			TestEqual(TEXT("ModsDirectory"), Settings->ModsDirectory, FString(TEXT("Addons")));
			TestEqual(TEXT("DefaultLoadOrder"), Settings->DefaultLoadOrder, -20);
			TestTrue(TEXT("WorkshopDefaultVisibility is FriendsOnly"), Settings->WorkshopDefaultVisibility == ETRLWorkshopVisibility::FriendsOnly);
			TestEqual(TEXT("BaseReleaseVersion"), Settings->BaseReleaseVersion, FString(TEXT("2.5")));
			TestEqual(TEXT("TargetPlatform"), Settings->TargetPlatform, FString(TEXT("Linux")));
			TestEqual(TEXT("ClientConfiguration"), Settings->ClientConfiguration, FString(TEXT("Development")));
			TestTrue(TEXT("bDLCIncludeEngineContent"), Settings->bDLCIncludeEngineContent);
		});

		It("keeps the defaults for keys the section does not have, and an empty value as empty", [this]() {
			const UTRLSettings* Settings = LoadFromSection(TEXT("ModsDirectory=\nDefaultLoadOrder=7\n"));
			const UTRLSettings* Defaults = GetDefault<UTRLSettings>();
			TestEqual(TEXT("ModsDirectory"), Settings->ModsDirectory, FString());
			TestEqual(TEXT("DefaultLoadOrder"), Settings->DefaultLoadOrder, 7);
			TestEqual(TEXT("ModApiVersion"), Settings->ModApiVersion, Defaults->ModApiVersion);
			TestTrue(TEXT("WorkshopDefaultVisibility"), Settings->WorkshopDefaultVisibility == Defaults->WorkshopDefaultVisibility);
			TestEqual(TEXT("BaseReleaseVersion"), Settings->BaseReleaseVersion, Defaults->BaseReleaseVersion);
			TestEqual(TEXT("TargetPlatform"), Settings->TargetPlatform, Defaults->TargetPlatform);
			TestEqual(TEXT("ClientConfiguration"), Settings->ClientConfiguration, Defaults->ClientConfiguration);
			TestEqual(TEXT("bDLCIncludeEngineContent"), Settings->bDLCIncludeEngineContent, Defaults->bDLCIncludeEngineContent);
		});
	});

	Describe("Get", [this]() {
		It("answers the class default object when nothing overrides it", [this]() {
			TestTrue(TEXT("Get() is the class default object"), UTRLSettings::Get() == GetDefault<UTRLSettings>());
		});

		It("answers null while a null override lives, and the settings again once it ends", [this]() {
			{
				FTRLScopedSettingsOverride NoSettings(nullptr);
				TestNull(TEXT("Get() under a null override"), UTRLSettings::Get());
			}
			TestTrue(TEXT("Get() after the override"), UTRLSettings::Get() == GetDefault<UTRLSettings>());
		});

		It("answers the outer override again when an inner one ends", [this]() {
			const UTRLSettings* Custom = NewObject<UTRLSettings>();
			FTRLScopedSettingsOverride Outer(Custom);
			{
				FTRLScopedSettingsOverride Inner(nullptr);
				TestNull(TEXT("Get() under the inner override"), UTRLSettings::Get());
			}
			TestTrue(TEXT("Get() under the outer override"), UTRLSettings::Get() == Custom);
		});
	});
}

#endif
