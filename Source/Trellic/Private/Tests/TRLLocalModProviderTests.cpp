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

		It("takes an absolute ModsDirectory inside the project as it is, and refuses one that leads outside it, naming the setting", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			FTRLScopedSettingsOverride Override(Settings);
			const FString ProjectDir = FPaths::ConvertRelativePathToFull(FPaths::ProjectDir());
			Settings->ModsDirectory = ProjectDir + TEXT("Addons");
			TestEqualSensitive(TEXT("absolute inside"), UTRLLocalModProvider::GetLocalModsRoot(), ProjectDir + TEXT("Addons"));

			const FString Outside = FPaths::ConvertRelativePathToFull(ProjectDir / TEXT("..") / TEXT("Elsewhere"));
			for (const FString& Refused : {Outside, FString(TEXT("../Elsewhere")), FString(TEXT("Mods/../../Elsewhere"))})
			{
				Settings->ModsDirectory = Refused;
				const FString Warning = FString::Printf(
				    TEXT("The ModsDirectory setting '%s' leads outside the project, so there is no mods folder. Set it to a folder inside the project, "
				         "such as Mods (Project Settings > Plugins > Trellic, or ModsDirectory= under [/Script/Trellic.TRLSettings] in "
				         "Config/DefaultGame.ini)."),
				    *Refused);
				AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
				TestEqualSensitive(Refused, UTRLLocalModProvider::GetLocalModsRoot(), FString());
				FString Root;
				FText Error;
				TestFalse(Refused + TEXT(": refused without a log line"), UTRLLocalModProvider::TryGetLocalModsRoot(Root, Error));
				TestEqualSensitive(Refused + TEXT(": reason"), Error.ToString(), Warning);
			}
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
