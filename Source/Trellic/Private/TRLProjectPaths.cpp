// Copyright Trellic contributors. All Rights Reserved.

#include "TRLProjectPaths.h"

#include "CoreGlobals.h"
#include "Misc/Paths.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"

FString FTRLProjectPaths::GetProjectFilePath()
{
	const FString* Override = FTRLScopedProjectOverride::Get();
	return FPaths::ConvertRelativePathToFull(Override ? *Override : FPaths::GetProjectFilePath());
}

FString FTRLProjectPaths::GetProjectDir()
{
	if (FTRLScopedProjectOverride::Get())
	{
		return FPaths::GetPath(GetProjectFilePath()) + TEXT("/");
	}
	return FPaths::ConvertRelativePathToFull(FPaths::ProjectDir());
}

FString FTRLProjectPaths::GetProjectConfigDir()
{
	if (FTRLScopedProjectOverride::Get())
	{
		return GetProjectDir() + TEXT("Config/");
	}
	return FPaths::ConvertRelativePathToFull(FPaths::ProjectConfigDir());
}

FString FTRLProjectPaths::GetProjectSavedDir()
{
	if (FTRLScopedProjectOverride::Get())
	{
		return GetProjectDir() + TEXT("Saved/");
	}
	return FPaths::ConvertRelativePathToFull(FPaths::ProjectSavedDir());
}

FString FTRLProjectPaths::GetProjectName()
{
	if (FTRLScopedProjectOverride::Get())
	{
		return FPaths::GetBaseFilename(GetProjectFilePath());
	}
	return FString(GInternalProjectName);
}

FString FTRLProjectPaths::GetPlatformFolderName(const FString& Platform)
{
	if (Platform.Equals(TEXT("Win64"), ESearchCase::IgnoreCase) || Platform.Equals(TEXT("Win32"), ESearchCase::IgnoreCase))
	{
		return TEXT("Windows");
	}
	return Platform;
}

FString FTRLProjectPaths::GetModStagingDir(const FString& ModFolder)
{
	// The cooker stages a DLC below the project name at the plug-in's own path inside the project.
	FString ModPathInProject = ModFolder;
	FPaths::MakePathRelativeTo(ModPathInProject, *GetProjectDir());
	return FPaths::ConvertRelativePathToFull(ModFolder / TEXT("Saved") / TEXT("StagedBuilds") / GetPlatformFolderName(UTRLSettings::GetTargetPlatform()) /
	                                         GetProjectName() / ModPathInProject);
}

FString FTRLProjectPaths::GetStagedPakPath(const FString& ModFolder, const FString& ModName)
{
	const FString PlatformFolder = GetPlatformFolderName(UTRLSettings::GetTargetPlatform());
	return GetModStagingDir(ModFolder) / TEXT("Content") / TEXT("Paks") / PlatformFolder / (ModName + PlatformFolder + TEXT(".pak"));
}
