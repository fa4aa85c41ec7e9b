// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

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
};
