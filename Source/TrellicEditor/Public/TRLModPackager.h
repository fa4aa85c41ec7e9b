// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLModPackager.generated.h"

class FTRLPreparedCook;
struct FTRLCookRecord;

/** Outcome of a packaging request. The work itself runs asynchronously in UAT. */
UENUM(BlueprintType)
enum class ETRLPackageStartResult : uint8
{
	/** UAT was launched. Watch the editor notification, or the log, for the result. */
	Started UMETA(DisplayName = "Started"),
	/** The mod folder, its descriptor or the project could not be resolved. */
	InvalidMod UMETA(DisplayName = "Invalid Mod"),
	/** No base game release snapshot exists to cook against. */
	MissingBaseRelease UMETA(DisplayName = "Missing Base Release"),
	/** Another packaging job is already running. */
	AlreadyRunning UMETA(DisplayName = "Already Running")
};

/**
 * Packaging: records a base game release once per public build of the game, and cooks a mod as DLC on top of it by
 * handing a BuildCookRun command line to UAT, the engine's automation tool. One job runs at a time. For the length of a
 * mod's cook its descriptor and the project's DefaultGame.ini are changed, and both are written back when UAT ends, or
 * at the editor's next start should it die first.
 * Base releases live under the project's Releases folder; a packaged mod is staged under the mod's own Saved folder.
 */
UCLASS()
class TRELLICEDITOR_API UTRLModPackager : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Record what the current build of the game contains, so mods can be cooked against it.
	 *
	 * Starts a UAT job that builds, cooks and packages the game and records the result as the release named by the
	 * settings' BaseReleaseVersion, under the project's Releases folder. Run it once for every public build that mods
	 * will target. The call returns once the job is started; its end shows in the notification and the log.
	 *
	 * @param OutError set when the result is not Started, to the reason.
	 * @return Started, InvalidMod when no settings are available or a setting or the project's path cannot go on
	 *         UAT's command line, or AlreadyRunning while another job runs.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Packaging")
	static ETRLPackageStartResult CreateBaseGameRelease(FText& OutError);

	/**
	 * Where the base game snapshot for the configured version lives. May not exist yet.
	 *
	 * The project's Releases folder, then the settings' BaseReleaseVersion ("1.0" without settings), then the platform
	 * folder: "Windows" for Win64 and Win32 in any case, any other TargetPlatform as it is ("Win64" without settings).
	 *
	 * @return the absolute folder.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Packaging")
	static FString GetBaseReleaseDirectory();

	/**
	 * Folder holding the cooked output of a packaged mod: the one to upload.
	 *
	 * It lies under the mod's own folder: Saved/StagedBuilds, the platform folder, the project name, and the mod
	 * folder's path inside the project.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one is resolved against the engine's base
	 *        directory.
	 * @return the absolute folder, which may not exist yet; empty when the descriptor path has no folder part.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Packaging")
	static FString GetModStagingDirectory(const FString& ModDescriptorPath);

	/**
	 * True when a base game snapshot exists for the configured version and platform.
	 *
	 * A snapshot is found by its AssetRegistry.bin: directly in the base release folder, or failing that anywhere
	 * below the folder of the configured version, whatever its platform folder is called.
	 *
	 * @return true when a base release has been recorded.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Packaging")
	static bool HasBaseGameRelease();

	/**
	 * True while a packaging job started by this packager is still running.
	 *
	 * @return true from the start of a job until UAT has reported its end.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Packaging")
	static bool IsPackagingInProgress();

	/**
	 * Cook one mod as DLC on top of the base game release.
	 *
	 * Checks, in this order, that settings are available and can go on UAT's command line, that the descriptor exists
	 * and is a .uplugin, that its path and the project's can go on the command line, that the mod's Content folder
	 * holds an asset or a map (symbolic links are not followed), that a base release has been recorded
	 * (Tools > Trellic > Create Base Game Release), that the .uproject lists AdditionalPluginDirectories, and that no
	 * other job runs; then prepares the mod and the project for the cook and starts UAT. The cooked mod is staged in the folder that
	 * GetModStagingDirectory names. A refusal changes no file.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one is resolved against the engine's base
	 *        directory.
	 * @param OutError set when the result is not Started, to the first check that failed.
	 * @return Started, or what stopped the request.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Packaging")
	static ETRLPackageStartResult PackageMod(const FString& ModDescriptorPath, FText& OutError);

	/**
	 * Whether this mod's cook is running: until the job ends its descriptor holds what the cook needs, and nothing
	 * else may change it. Not for scripting.
	 * @param ModDescriptorPath path of the mod's .uplugin, absolute or relative
	 * @return true from the preparation of the mod's cook until UAT has reported its end
	 */
	static bool IsBeingPackaged(const FString& ModDescriptorPath);

	/**
	 * Ends the running job because the editor module is shutting down: a job left to end later would leave the
	 * project prepared for a cook that never finishes. UAT is stopped where this module runs it itself (in a
	 * commandlet; the editor's UAT helper offers no way to stop its task, and ends it as it goes), the prepared files
	 * are written back, the cook journal goes, and a Warning says that the job was cut short. UAT's own report of the
	 * end, should it still come, then changes nothing. Not for scripting.
	 */
	static void CutShortRunningJob();

	/**
	 * The registry file by which HasBaseGameRelease finds the configured base release. Not for scripting.
	 * @return the AssetRegistry.bin, absolute; empty when no release of that version is recorded
	 */
	static FString FindBaseReleaseRegistry();

private:
	/** The project's Releases folder, absolute; every base release is a version folder in it. */
	static FString GetReleasesDirectory();

	/**
	 * Hands a command line to the UAT helper as the one running packaging job; its end clears the job and puts back
	 * what the prepared cook changed.
	 * @return Started, or AlreadyRunning (with OutError set) while another job runs.
	 */
	static ETRLPackageStartResult LaunchUat(const FString& CommandLine, const FText& TaskName, const FString& ResultLocation, FText& OutError);

	/** A UAT job started here has not yet reported its end. */
	static bool bPackagingInProgress;

	/** How many jobs were started; a job's end runs only while it is the running job, and only once. */
	static uint32 JobsStarted;

	/** What the running mod cook changed in the project; null between jobs and while a base release is recorded. */
	static TUniquePtr<FTRLPreparedCook> PreparedCook;

	/** What the running mod cook is made from, recorded beside its staged build when it completes; null otherwise. */
	static TUniquePtr<FTRLCookRecord> PendingCookRecord;
};
