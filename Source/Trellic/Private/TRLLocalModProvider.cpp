// Copyright Trellic contributors. All Rights Reserved.

#include "TRLLocalModProvider.h"

#include "Misc/Paths.h"
#include "TRLScopedModsRootOverride.h"
#include "TRLSettings.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLLocalModProvider"

FTRLScopedModsRootOverride* FTRLScopedModsRootOverride::Innermost = nullptr;

FString UTRLLocalModProvider::GetLocalModsRoot()
{
	FString Root;
	FText Error;
	if (!TryGetLocalModsRoot(Root, Error))
	{
		UE_LOG(LogTrellic, Warning, TEXT("%s"), *Error.ToString());
	}
	return Root;
}

bool UTRLLocalModProvider::TryGetLocalModsRoot(FString& OutRoot, FText& OutError)
{
	if (const FString* Override = FTRLScopedModsRootOverride::Get())
	{
		OutRoot = *Override;
		return true;
	}

	const UTRLSettings* Settings = UTRLSettings::Get();
	const FString ModsDirectory = (Settings && !Settings->ModsDirectory.IsEmpty()) ? Settings->ModsDirectory : FString(TEXT("Mods"));
	const FString ProjectDir = FPaths::ProjectDir();
	// An absolute folder is taken as it is, never glued onto the project folder. A root outside the project would let
	// the mods the plug-in writes and the files a cook puts back lie anywhere on the machine, so none is guessed.
	const FString Root = FPaths::IsRelative(ModsDirectory) ? ProjectDir / ModsDirectory : ModsDirectory;
	if (!FPaths::IsUnderDirectory(Root, ProjectDir))
	{
		OutError = FText::Format(LOCTEXT("ModsDirectoryOutsideProject",
		                                 "The ModsDirectory setting '{0}' leads outside the project, so there is no mods folder. Set it to a folder inside "
		                                 "the project, such as Mods (Project Settings > Plugins > Trellic, or ModsDirectory= under "
		                                 "[/Script/Trellic.TRLSettings] in Config/DefaultGame.ini)."),
		                         FText::FromString(ModsDirectory));
		return false;
	}
	OutRoot = Root;
	return true;
}

#undef LOCTEXT_NAMESPACE
