// Copyright Trellic contributors. All Rights Reserved.

#include "TRLLocalModProvider.h"

#include "HAL/FileManager.h"
#include "Misc/Char.h"
#include "Misc/Paths.h"
#include "TRLProjectPaths.h"
#include "TRLScopedModsRootOverride.h"
#include "TRLSettings.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLLocalModProvider"

FTRLScopedModsRootOverride* FTRLScopedModsRootOverride::Innermost = nullptr;

namespace TRLLocalModProvider
{
	/** @return the absolute descriptor path of each mod folder directly under Root, in the order they are listed */
	TArray<FString> ListModsIn(const FString& Root)
	{
		TArray<FString> Descriptors;
		IFileManager& FileManager = IFileManager::Get();
		if (!FileManager.DirectoryExists(*Root))
		{
			return Descriptors;
		}
		TArray<FString> Folders;
		FileManager.FindFiles(Folders, *(Root / TEXT("*")), false, true);
		Descriptors.Reserve(Folders.Num());
		TArray<FString> Found;
		for (const FString& Folder : Folders)
		{
			const FString FolderPath = Root / Folder;
			Found.Reset();
			FileManager.FindFiles(Found, *(FolderPath / TEXT("*.uplugin")), true, false);
			if (Found.Num() > 0)
			{
				Descriptors.Add(FPaths::ConvertRelativePathToFull(FolderPath / Found[0]));
			}
		}
		return Descriptors;
	}

	/** @return the descriptor in Descriptors whose mod name is ModName, exactly; empty when none is */
	FString FindByModName(const TArray<FString>& Descriptors, const FString& ModName)
	{
		const FString* Found = Descriptors.FindByPredicate([&ModName](const FString& Descriptor) {
			return FPaths::GetBaseFilename(Descriptor).Equals(ModName, ESearchCase::CaseSensitive);
		});
		return Found ? *Found : FString();
	}

	// Judged one UTF-16 code unit at a time by the engine, which asks the C runtime: letters and digits of every script
	// pass, and each half of a surrogate pair fails on its own.
	bool IsNameCharacter(TCHAR Char)
	{
		return Char == TEXT('_') || FChar::IsAlnum(Char);
	}
} // namespace TRLLocalModProvider

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

	const FString ModsDirectory = UTRLSettings::GetModsDirectory();
	const FString ProjectDir = FTRLProjectPaths::GetProjectDir();
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

TArray<FString> UTRLLocalModProvider::FindLocalMods()
{
	return TRLLocalModProvider::ListModsIn(GetLocalModsRoot());
}

bool UTRLLocalModProvider::FindModNamed(const FString& ModName, FString& OutDescriptorPath, FText& OutError)
{
	FString Root;
	if (!TryGetLocalModsRoot(Root, OutError))
	{
		return false;
	}
	const FString Descriptor = TRLLocalModProvider::FindByModName(TRLLocalModProvider::ListModsIn(Root), ModName);
	if (Descriptor.IsEmpty())
	{
		OutError = FText::Format(LOCTEXT("NoModNamed", "There is no mod '{0}' in {1}."), FText::FromString(ModName),
		                         FText::FromString(FPaths::ConvertRelativePathToFull(Root)));
		return false;
	}
	OutDescriptorPath = Descriptor;
	return true;
}

bool UTRLLocalModProvider::ResolveDescriptor(const FString& ModDescriptorPath, FString& OutDescriptorPath, FText& OutError)
{
	OutDescriptorPath = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	// An empty path would otherwise stand for the base folder itself.
	if (ModDescriptorPath.IsEmpty() || !IFileManager::Get().FileExists(*OutDescriptorPath))
	{
		OutError = FText::Format(LOCTEXT("NoDescriptorAt", "No plugin descriptor at '{0}'."), FText::FromString(OutDescriptorPath));
		return false;
	}
	return true;
}

// The texts keep the namespace translators know them by, that of the scaffold that checks a name for scripts.
bool UTRLLocalModProvider::IsValidNewModName(const FString& ModName, FText& OutReason)
{
	if (ModName.IsEmpty())
	{
		OutReason = NSLOCTEXT("TRLModScaffold", "EmptyName", "The mod needs a name.");
		return false;
	}

	if (FChar::IsDigit(ModName[0]))
	{
		OutReason = NSLOCTEXT("TRLModScaffold", "StartsWithDigit", "The name cannot start with a digit.");
		return false;
	}

	for (const TCHAR Char : ModName)
	{
		if (!TRLLocalModProvider::IsNameCharacter(Char))
		{
			OutReason =
			    FText::Format(NSLOCTEXT("TRLModScaffold", "BadCharacter", "The name may only use letters, digits and underscores. '{0}' is not allowed."),
			                  FText::FromString(FString::Chr(Char)));
			return false;
		}
	}

	// The mod's folder would be taken; and a mod whose folder has another name already answers to this one.
	const FString Root = GetLocalModsRoot();
	if (IFileManager::Get().DirectoryExists(*(Root / ModName)) || !TRLLocalModProvider::FindByModName(TRLLocalModProvider::ListModsIn(Root), ModName).IsEmpty())
	{
		OutReason = FText::Format(NSLOCTEXT("TRLModScaffold", "AlreadyExists", "A mod called '{0}' already exists."), FText::FromString(ModName));
		return false;
	}

	return true;
}

#undef LOCTEXT_NAMESPACE
