// Copyright Trellic contributors. All Rights Reserved.

#include "TRLProjectPaths.h"

#include "CoreGlobals.h"
#include "Misc/Paths.h"
#include "TRLScopedProjectOverride.h"

FTRLScopedProjectOverride* FTRLScopedProjectOverride::Innermost = nullptr;

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
