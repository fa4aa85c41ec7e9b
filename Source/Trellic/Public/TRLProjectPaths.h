// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * Where the project that the plug-in works on lies: the engine's project, or a spec's own while an
 * FTRLScopedProjectOverride lives. Every folder is absolute and ends in "/", as FPaths gives it. Also where the cooker
 * stages a mod inside it, which both the packager and the mod-name rules need.
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

	/** @return the name the cooker gives a platform's folder: "Windows" for Win64 and Win32 in any case, others unchanged. */
	static FString GetPlatformFolderName(const FString& Platform);

	/**
	 * The folder the cooker stages a mod's DLC in, for the settings' TargetPlatform: the mod's own Saved/StagedBuilds,
	 * the platform folder, the project name, then the mod folder's path inside the project.
	 * @param ModFolder the mod's folder, absolute
	 * @return the absolute folder, which may not exist yet
	 */
	static FString GetModStagingDir(const FString& ModFolder);

	/**
	 * The archive the cook of a mod stages, Content/Paks/<platform folder>/<ModName><platform folder>.pak under its
	 * staging folder: the longest path the cook writes there, as the mod's name appears in it three times.
	 * @param ModFolder the mod's folder, absolute
	 */
	static FString GetStagedPakPath(const FString& ModFolder, const FString& ModName);
};
