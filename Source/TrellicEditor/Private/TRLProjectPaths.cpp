// Copyright Trellic contributors. All Rights Reserved.

#include "TRLProjectPaths.h"

#include "CoreGlobals.h"
#include "Misc/Paths.h"
#include "TRLScopedProjectOverride.h"

FTRLScopedProjectOverride* FTRLScopedProjectOverride::Innermost = nullptr;

FTRLScopedProjectOverride::FTRLScopedProjectOverride(const FString& InProjectFilePath)
    : ProjectFilePath(InProjectFilePath)
    , Replaced(Innermost)
{
	Innermost = this;
}

FTRLScopedProjectOverride::~FTRLScopedProjectOverride()
{
	Innermost = Replaced;
}

const FString* FTRLScopedProjectOverride::GetProjectFilePath()
{
	return Innermost ? &Innermost->ProjectFilePath : nullptr;
}

FString FTRLProjectPaths::GetProjectFilePath()
{
	const FString* Override = FTRLScopedProjectOverride::GetProjectFilePath();
	return FPaths::ConvertRelativePathToFull(Override ? *Override : FPaths::GetProjectFilePath());
}

FString FTRLProjectPaths::GetProjectDir()
{
	if (FTRLScopedProjectOverride::GetProjectFilePath())
	{
		return FPaths::GetPath(GetProjectFilePath()) + TEXT("/");
	}
	return FPaths::ConvertRelativePathToFull(FPaths::ProjectDir());
}

FString FTRLProjectPaths::GetProjectConfigDir()
{
	if (FTRLScopedProjectOverride::GetProjectFilePath())
	{
		return GetProjectDir() + TEXT("Config/");
	}
	return FPaths::ConvertRelativePathToFull(FPaths::ProjectConfigDir());
}

FString FTRLProjectPaths::GetProjectSavedDir()
{
	if (FTRLScopedProjectOverride::GetProjectFilePath())
	{
		return GetProjectDir() + TEXT("Saved/");
	}
	return FPaths::ConvertRelativePathToFull(FPaths::ProjectSavedDir());
}

FString FTRLProjectPaths::GetProjectName()
{
	if (FTRLScopedProjectOverride::GetProjectFilePath())
	{
		return FPaths::GetBaseFilename(GetProjectFilePath());
	}
	return FString(GInternalProjectName);
}
