// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Misc/Paths.h"
#include "TRLLocalModProvider.h"
#include "TRLScopedModsRootOverride.h"
#include "TRLScopedSettingsOverride.h"
#include "TRLSettings.h"
#include "Tests/TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLLocalModProviderSpec, "Trellic.Trellic.TRLLocalModProvider", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
END_DEFINE_SPEC(FTRLLocalModProviderSpec)

void FTRLLocalModProviderSpec::Define()
{
	Describe("GetLocalModsRoot", [this]() {
		// The project folder always ends in "/", so the joined root is the two strings put together.
		It("joins the project folder and the settings' ModsDirectory", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			Settings->ModsDirectory = TEXT("Addons/Local");
			FTRLScopedSettingsOverride Override(Settings);
			TestEqualSensitive(TEXT("mods root"), UTRLLocalModProvider::GetLocalModsRoot(), FPaths::ProjectDir() + TEXT("Addons/Local"));
		});

		It("uses Mods when ModsDirectory is empty", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			Settings->ModsDirectory.Empty();
			FTRLScopedSettingsOverride Override(Settings);
			TestEqualSensitive(TEXT("mods root"), UTRLLocalModProvider::GetLocalModsRoot(), FPaths::ProjectDir() + TEXT("Mods"));
		});

		It("uses Mods when no settings object is available", [this]() {
			FTRLScopedSettingsOverride NoSettings(nullptr);
			TestEqualSensitive(TEXT("mods root"), UTRLLocalModProvider::GetLocalModsRoot(), FPaths::ProjectDir() + TEXT("Mods"));
		});

		It("answers an overriding root exactly as given, a relative one included, until the override ends", [this]() {
			const FString Before = UTRLLocalModProvider::GetLocalModsRoot();
			{
				FTRLScopedModsRootOverride Outer(TEXT("/srv/mods/"));
				{
					FTRLScopedModsRootOverride Inner(TEXT("Relative/Mods"));
					FTRLScopedSettingsOverride NoSettings(nullptr);
					TestEqualSensitive(TEXT("inner root"), UTRLLocalModProvider::GetLocalModsRoot(), TEXT("Relative/Mods"));
				}
				TestEqualSensitive(TEXT("outer root"), UTRLLocalModProvider::GetLocalModsRoot(), TEXT("/srv/mods/"));
			}
			TestEqualSensitive(TEXT("root after the overrides"), UTRLLocalModProvider::GetLocalModsRoot(), Before);
		});
	});
}

#endif
