// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * Where the project that the plug-in works on lies: the engine's project, or a spec's own while an
 * FTRLScopedProjectOverride lives. Every folder is absolute and ends in "/", as FPaths gives it.
 */
struct TRELLIC_API FTRLProjectPaths
{
	/** @return the project file, absolute. */
	static FString GetProjectFilePath();

	/** @return the folder that holds the project file. */
	static FString GetProjectDir();

	/** @return the project's Config folder. */
	static FString GetProjectConfigDir();

	/** @return the project's Saved folder. */
	static FString GetProjectSavedDir();

	/** @return the project's name: the engine's internal name, or the overriding project file's base name. */
	static FString GetProjectName();
};
