// Copyright Trellic contributors. All Rights Reserved.

#include "TRLLocalModProvider.h"

#include "Misc/Paths.h"
#include "TRLScopedModsRootOverride.h"
#include "TRLSettings.h"

FTRLScopedModsRootOverride* FTRLScopedModsRootOverride::Innermost = nullptr;

FString UTRLLocalModProvider::GetLocalModsRoot()
{
	if (const FString* Override = FTRLScopedModsRootOverride::Get())
	{
		return *Override;
	}

	const UTRLSettings* Settings = UTRLSettings::Get();
	const FString ModsDirectory = (Settings && !Settings->ModsDirectory.IsEmpty()) ? Settings->ModsDirectory : FString(TEXT("Mods"));
	return FPaths::ProjectDir() / ModsDirectory;
}
