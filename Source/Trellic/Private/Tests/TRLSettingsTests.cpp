// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLScopedOverrides.h"
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

	Describe("Get", [this]() {
		It("answers what the innermost override gives, null included, and the class default object once none is left", [this]() {
			const UTRLSettings* Custom = NewObject<UTRLSettings>();
			{
				FTRLScopedSettingsOverride Outer(Custom);
				{
					FTRLScopedSettingsOverride Inner(nullptr);
					TestNull(TEXT("Get() under the inner override"), UTRLSettings::Get());
				}
				TestTrue(TEXT("Get() under the outer override"), UTRLSettings::Get() == Custom);
			}
			TestTrue(TEXT("Get() after the overrides"), UTRLSettings::Get() == GetDefault<UTRLSettings>());
		});
	});

	Describe("each setting's accessor", [this]() {
		It("answers the setting as set, an empty one included, and its default without settings; only an empty ModsDirectory becomes Mods", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			Settings->ModApiVersion = 7;
			Settings->ModsDirectory.Empty();
			Settings->DefaultLoadOrder = -3;
			Settings->WorkshopDefaultVisibility = ETRLWorkshopVisibility::Private;
			Settings->BaseReleaseVersion.Empty();
			Settings->TargetPlatform = TEXT("Linux");
			{
				FTRLScopedSettingsOverride Override(Settings);
				TestEqual(TEXT("ModApiVersion"), UTRLSettings::GetModApiVersion(), 7);
				TestEqualSensitive(TEXT("ModsDirectory"), UTRLSettings::GetModsDirectory(), TEXT("Mods"));
				TestEqual(TEXT("DefaultLoadOrder"), UTRLSettings::GetDefaultLoadOrder(), -3);
				TestTrue(TEXT("WorkshopDefaultVisibility"), UTRLSettings::GetWorkshopDefaultVisibility() == ETRLWorkshopVisibility::Private);
				TestEqualSensitive(TEXT("BaseReleaseVersion"), UTRLSettings::GetBaseReleaseVersion(), FString());
				TestEqualSensitive(TEXT("TargetPlatform"), UTRLSettings::GetTargetPlatform(), TEXT("Linux"));
			}
			FTRLScopedSettingsOverride NoSettings(nullptr);
			TestEqual(TEXT("ModApiVersion without settings"), UTRLSettings::GetModApiVersion(), 1);
			TestEqualSensitive(TEXT("ModsDirectory without settings"), UTRLSettings::GetModsDirectory(), TEXT("Mods"));
			TestEqual(TEXT("DefaultLoadOrder without settings"), UTRLSettings::GetDefaultLoadOrder(), 100);
			TestTrue(TEXT("WorkshopDefaultVisibility without settings"), UTRLSettings::GetWorkshopDefaultVisibility() == ETRLWorkshopVisibility::Public);
			TestEqualSensitive(TEXT("BaseReleaseVersion without settings"), UTRLSettings::GetBaseReleaseVersion(), TEXT("1.0"));
			TestEqualSensitive(TEXT("TargetPlatform without settings"), UTRLSettings::GetTargetPlatform(), TEXT("Win64"));
		});
	});
}

#endif
