// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "HAL/FileManager.h"
#include "Misc/Paths.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

namespace TRLTest
{
	/** What the check after a completed mod cook logs when nothing was staged, as a spec's UAT job leaves it. */
	inline const TCHAR* const NothingStagedError = TEXT("completed but staged no pak");
} // namespace TRLTest

/**
 * What the packaging specs work on: a project that packaging accepts, laid out in a folder of the spec's own and made
 * the one packaging works on while this lives, with settings of its own (release 1.0 for Win64, Shipping, mods in
 * "Mods", no engine content), its Mods folder as the mods root, and every UAT task handed to the spec instead of the
 * engine's UAT helper.
 */
class FTRLPackagingSpecProject
{
public:
	/** Writes the project in ProjectDir; ProjectFile is empty when it could not be written. */
	FTRLPackagingSpecProject(const FString& ProjectDir, FTRLCreateUatTask CreateUatTask)
	    : ProjectFile(WriteProject(ProjectDir))
	    , Settings(NewObject<UTRLSettings>())
	    , ProjectOverride(ProjectFile)
	    , ModsRootOverride(ProjectDir / TEXT("Mods"))
	    , SettingsOverride(Settings)
	    , UatOverride(MoveTemp(CreateUatTask))
	{
		// A new settings object copies the running project's configured values; these are the ones the specs rely on.
		Settings->AddToRoot();
		Settings->ModsDirectory = TEXT("Mods");
		Settings->BaseReleaseVersion = TEXT("1.0");
		Settings->TargetPlatform = TEXT("Win64");
		Settings->ClientConfiguration = TEXT("Shipping");
		Settings->bDLCIncludeEngineContent = false;
	}

	~FTRLPackagingSpecProject() { Settings->RemoveFromRoot(); }

	FTRLPackagingSpecProject(const FTRLPackagingSpecProject&) = delete;
	FTRLPackagingSpecProject& operator=(const FTRLPackagingSpecProject&) = delete;

	const FString ProjectFile;
	UTRLSettings* const Settings;

private:
	/**
	 * Game.uproject listing "Mods" among its plug-in folders, Config/DefaultGame.ini, a Saved folder as every opened
	 * project has, and base release 1.0 recorded for Windows.
	 * @return the project file's path, or an empty string when something could not be written.
	 */
	static FString WriteProject(const FString& ProjectDir)
	{
		const FString ProjectFile = ProjectDir / TEXT("Game.uproject");
		const bool bWritten = TRLTest::WriteTextFile(ProjectFile, TEXT("{\r\n\t\"FileVersion\": 3,\r\n\t\"AdditionalPluginDirectories\": [ \"Mods\" ]\r\n}")) &&
		                      TRLTest::WriteTextFile(ProjectDir / TEXT("Config/DefaultGame.ini"),
		                                             TEXT("[/Script/EngineSettings.GeneralProjectSettings]\r\nProjectName=Game\r\n")) &&
		                      TRLTest::WriteTextFile(ProjectDir / TEXT("Releases/1.0/Windows/AssetRegistry.bin"), TEXT("registry")) &&
		                      IFileManager::Get().MakeDirectory(*(ProjectDir / TEXT("Saved")), true);
		return bWritten ? ProjectFile : FString();
	}

	FTRLScopedProjectOverride ProjectOverride;
	FTRLScopedModsRootOverride ModsRootOverride;
	FTRLScopedSettingsOverride SettingsOverride;
	FTRLScopedUatTaskOverride UatOverride;
};

#endif // WITH_DEV_AUTOMATION_TESTS
