// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLBuildState.generated.h"

/** Whether a mod's staged build is the one to send. */
UENUM(BlueprintType)
enum class ETRLModBuildState : uint8
{
	/** No cook of the mod has completed since its staged files were last replaced. */
	NotPackaged UMETA(DisplayName = "Not Packaged"),
	/** The staged build was made from the mod as it is now. */
	Current UMETA(DisplayName = "Current"),
	/** The mod, its descriptor or its base release changed since the staged build was made. */
	Stale UMETA(DisplayName = "Stale"),
	/** The staged build failed the check made right after its cook. */
	FailedCheck UMETA(DisplayName = "Failed Check")
};

/**
 * Knows whether a packaged mod is the one to send: what its staged build was made from is recorded when its cook
 * completes, and compared with the mod, its descriptor and the base release as they are now.
 */
UCLASS()
class TRELLICEDITOR_API UTRLBuildState : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * The state of the mod's staged build, and why.
	 *
	 * Current when the build was made from the mod as it is; Stale when a file of its Content folder, its descriptor,
	 * the base release the settings name or that release's registry changed since; FailedCheck when the build failed
	 * the check made after its cook; NotPackaged when no cook has completed since the staged files were replaced.
	 * Reads the mod's folder once and opens no pak.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one is resolved against the engine's base
	 *        directory.
	 * @param OutReasons set to one sentence per reason: the content changes (ten files at most, then how many more), a
	 *        changed descriptor, another base release, a release recorded again, the check's failures, or why staged
	 *        files are not a build; empty when there is nothing to say.
	 * @return the state.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Packaging")
	static ETRLModBuildState GetBuildState(const FString& ModDescriptorPath, TArray<FText>& OutReasons);

	/**
	 * The descriptor of every local mod, in the order the Tools menu lists them, so that each one's build state can be
	 * asked.
	 *
	 * @return absolute descriptor paths; empty when there is no mod.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Packaging")
	static TArray<FString> GetLocalModDescriptors();

	/**
	 * What an upload does with the state of the mod's build, before anything else of it: a stale build is named in a
	 * Warning and goes on; a build that failed its check, or staged files no cook completed, are refused. Not for
	 * scripting.
	 * @param ModDescriptorPath the mod's descriptor, absolute
	 * @param OutError set when the upload must not go on, to why and what to do
	 * @return false when the upload must not go on
	 */
	static bool CheckBeforeUpload(const FString& ModDescriptorPath, FText& OutError);

	/** @return the reasons as one text, each sentence after the other. */
	static FString JoinReasons(const TArray<FText>& Reasons);
};
