// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

struct FTRLCookRecord;

/**
 * The look at a mod's staged build right after its cook completed, because the automation tool reports "Completed"
 * for a cook that left out every asset, staged no pak, or packed a pak the game cannot load. Opens the staged paks with
 * the engine's pak reader. Game thread only.
 */
struct FTRLPostCookCheck
{
	/**
	 * Checks that a pak is staged and not empty, that the paks hold the mod's descriptor and at least one asset of its
	 * content, and that they hold no asset the base release already has. Assets staged in IoStore containers (a .utoc
	 * and its .ucas) are not read: a whole container beside the paks counts as holding the mod's assets, and a Log line
	 * says that what it holds was not checked. Each failure is logged as an Error on
	 * LogTrellic that names the pak, what is missing or doubled (ten paths at most, then how many more) and the likely
	 * cause with what to do.
	 * @param Record what the cook was made from: the mod, its content and the base release's registry
	 * @param StagingFolder the mod's staging folder
	 * @param OutPackedContent set to the paths below the mod's Content folder of the assets the paks hold
	 * @return the failures as logged, in that order; empty when the build passed
	 */
	static TArray<FString> Run(const FTRLCookRecord& Record, const FString& StagingFolder, TArray<FString>& OutPackedContent);

	/**
	 * The package a pak's file is, from its path inside the pak: the folder before its Content folder names the content
	 * root, the project's own being /Game.
	 * @param PathInPak the mount point joined with the file's name, such as "../../../Game/Mods/Mod/Content/A.uasset"
	 * @param ProjectName the project's name
	 * @return the package name, such as "/Mod/A"; empty for a file that is not an asset or a map under a Content folder
	 */
	static FString GetPackageName(const FString& PathInPak, const FString& ProjectName);

	/** @return the first ten paths joined by commas, then how many more there are: a list a log line can hold. */
	static FString DescribePaths(const TArray<FString>& Paths);
};
