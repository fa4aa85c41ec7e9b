// Copyright Trellic contributors. All Rights Reserved.

#include "TRLLocalModProvider.h"

#include "Misc/Paths.h"
#include "TRLScopedModsRootOverride.h"
#include "TRLSettings.h"

FTRLScopedModsRootOverride* FTRLScopedModsRootOverride::Innermost = nullptr;

FTRLScopedModsRootOverride::FTRLScopedModsRootOverride(const FString& InRoot)
    : Root(InRoot)
    , Replaced(Innermost)
{
	Innermost = this;
}

FTRLScopedModsRootOverride::~FTRLScopedModsRootOverride()
{
	Innermost = Replaced;
}

FString UTRLLocalModProvider::GetLocalModsRoot()
{
	if (const FTRLScopedModsRootOverride* Override = FTRLScopedModsRootOverride::Innermost)
	{
		return Override->Root;
	}

	const UTRLSettings* Settings = UTRLSettings::Get();
	const FString ModsDirectory = (Settings && !Settings->ModsDirectory.IsEmpty()) ? Settings->ModsDirectory : FString(TEXT("Mods"));
	return FPaths::ProjectDir() / ModsDirectory;
}
