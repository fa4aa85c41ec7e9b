// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "GenericPlatform/GenericPlatformFile.h"

/**
 * Visits the files below a folder without following symbolic links: a link, to a file or to a folder, is neither
 * visited nor walked into. A search that followed one could leave the project, or go round a loop until the path is
 * too long and answer from a walk that stopped half-way.
 */
struct FTRLFolderWalk
{
	/**
	 * @param Folder the folder to walk; nothing is visited when it does not exist
	 * @param Visit given each file's path (Folder joined with the path below it); returns false to stop the walk
	 * @return false when Visit stopped the walk
	 */
	static bool VisitFiles(const FString& Folder, TFunctionRef<bool(const FString&)> Visit);

	/**
	 * As VisitFiles, with each file's size and times from the same pass over its folder, so that fingerprinting a
	 * folder costs one listing.
	 * @param Visit given each file's path and stat data; returns false to stop the walk
	 * @return false when Visit stopped the walk
	 */
	static bool VisitFilesWithStat(const FString& Folder, TFunctionRef<bool(const FString&, const FFileStatData&)> Visit);
};
