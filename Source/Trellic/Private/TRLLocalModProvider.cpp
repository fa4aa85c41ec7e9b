// Copyright Trellic contributors. All Rights Reserved.

#include "TRLLocalModProvider.h"

#include "HAL/FileManager.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/Char.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "TRLProjectPaths.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLLocalModProvider"

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

	/** @return the descriptor in Descriptors whose mod name is ModName, compared as SearchCase says; empty when none is */
	FString FindByModName(const TArray<FString>& Descriptors, const FString& ModName, ESearchCase::Type SearchCase)
	{
		const FString* Found = Descriptors.FindByPredicate([&ModName, SearchCase](const FString& Descriptor) {
			return FPaths::GetBaseFilename(Descriptor).Equals(ModName, SearchCase);
		});
		return Found ? *Found : FString();
	}

	// Judged one UTF-16 code unit at a time by the engine, which asks the C runtime: letters and digits of every script
	// pass, and each half of a surrogate pair fails on its own.
	bool IsNameCharacter(TCHAR Char)
	{
		return Char == TEXT('_') || FChar::IsAlnum(Char);
	}

	// The engine cooks files at longer paths, but warns past this many characters: Windows refuses them by default.
	constexpr int32 MaxCookedPathLength = 260;

	/** @return the engine's content root that ModName would be mounted at, as the engine spells it; empty when none is */
	FString FindEngineContentRoot(const FString& ModName)
	{
		// A mod is mounted at /<ModName>/, and these roots are the engine's from its start, in any case.
		static const TCHAR* const EngineRoots[] = {TEXT("Engine"), TEXT("Game"), TEXT("Script"), TEXT("Config"), TEXT("Temp"), TEXT("Memory")};
		for (const TCHAR* Root : EngineRoots)
		{
			if (ModName.Equals(Root, ESearchCase::IgnoreCase))
			{
				return Root;
			}
		}
		return FString();
	}

	/** Whether Windows keeps ModName for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9), in any case. */
	bool IsWindowsDeviceName(const FString& ModName)
	{
		for (const TCHAR* Device : {TEXT("CON"), TEXT("PRN"), TEXT("AUX"), TEXT("NUL")})
		{
			if (ModName.Equals(Device, ESearchCase::IgnoreCase))
			{
				return true;
			}
		}
		const bool bNumbered =
		    ModName.Len() == 4 && (ModName.StartsWith(TEXT("COM"), ESearchCase::IgnoreCase) || ModName.StartsWith(TEXT("LPT"), ESearchCase::IgnoreCase));
		return bNumbered && ModName[3] >= TEXT('1') && ModName[3] <= TEXT('9');
	}

	/** @return false, with OutReason set, when the engine or Windows keeps ModName for itself */
	bool CheckNotReserved(const FString& ModName, FText& OutReason)
	{
		const FString Root = FindEngineContentRoot(ModName);
		if (!Root.IsEmpty())
		{
			OutReason = FText::Format(NSLOCTEXT("TRLModScaffold", "EngineContentRoot",
			                                    "The engine keeps the content root /{1}/ for itself, so a mod called '{0}' could never be opened for "
			                                    "editing or cooked on its own. Choose another name."),
			                          FText::FromString(ModName), FText::FromString(Root));
			return false;
		}
		// The engine knows one plug-in by each name, and this one is taken by the plug-in that makes the mods.
		const FString PluginName(TEXT(UE_PLUGIN_NAME));
		if (ModName.Equals(PluginName, ESearchCase::IgnoreCase))
		{
			OutReason = FText::Format(NSLOCTEXT("TRLModScaffold", "PluginOwnName",
			                                    "'{1}' is the name of the modding plug-in itself, so a mod called '{0}' could never be opened for editing. "
			                                    "Choose another name."),
			                          FText::FromString(ModName), FText::FromString(PluginName));
			return false;
		}
		if (IsWindowsDeviceName(ModName))
		{
			OutReason = FText::Format(NSLOCTEXT("TRLModScaffold", "WindowsDeviceName",
			                                    "Windows keeps the name {1} for a device, so a mod called '{0}' could have no folder or file of its name "
			                                    "there. Choose another name."),
			                          FText::FromString(ModName), FText::FromString(ModName.ToUpper()));
			return false;
		}
		return true;
	}

	/**
	 * @param Mods the descriptors of the local mods under Root
	 * @return the name, as it is spelled there, of the folder under Root, the local mod or the plug-in the engine knows
	 *         that ModName names in any case: the engine's plug-in names and Windows' file names ignore case, so
	 *         either would be taken. Empty when none is.
	 */
	FString FindTakenNameInAnyCase(const FString& Root, const TArray<FString>& Mods, const FString& ModName)
	{
		TArray<FString> Folders;
		IFileManager::Get().FindFiles(Folders, *(Root / TEXT("*")), false, true);
		for (const FString& Folder : Folders)
		{
			if (Folder.Equals(ModName, ESearchCase::IgnoreCase))
			{
				return Folder;
			}
		}
		const FString Descriptor = FindByModName(Mods, ModName, ESearchCase::IgnoreCase);
		if (!Descriptor.IsEmpty())
		{
			return FPaths::GetBaseFilename(Descriptor);
		}
		for (const TSharedRef<IPlugin>& Plugin : IPluginManager::Get().GetDiscoveredPlugins())
		{
			if (Plugin->GetName().Equals(ModName, ESearchCase::IgnoreCase))
			{
				return Plugin->GetName();
			}
		}
		return FString();
	}

	/** @return false, with OutReason naming the path, when the cook of a mod ModName under Root would pass the path limit */
	bool CheckCookedPathsFit(const FString& Root, const FString& ModName, FText& OutReason)
	{
		const FString Longest = FTRLProjectPaths::GetStagedPakPath(FPaths::ConvertRelativePathToFull(Root / ModName), ModName);
		if (Longest.Len() <= MaxCookedPathLength)
		{
			return true;
		}
		OutReason = FText::Format(NSLOCTEXT("TRLModScaffold", "CookedPathTooLong",
		                                    "A mod called '{0}' would be cooked to '{1}', a path of {2} characters; the engine's cook on Windows allows "
		                                    "{3}. Choose a shorter name, or move the project to a shorter folder."),
		                          FText::FromString(ModName), FText::FromString(Longest), FText::FromString(FString::FromInt(Longest.Len())),
		                          FText::FromString(FString::FromInt(MaxCookedPathLength)));
		return false;
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
	// The engine's plug-in names ignore case, and no two mods differ only in case, so neither does a mod's name here.
	const FString Descriptor = TRLLocalModProvider::FindByModName(TRLLocalModProvider::ListModsIn(Root), ModName, ESearchCase::IgnoreCase);
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
		// Kept under the id the scaffold always gave it, whichever operation now reports it.
		OutError = FText::Format(NSLOCTEXT("TRLModScaffold", "NoDescriptorAt", "No plugin descriptor at '{0}'."), FText::FromString(OutDescriptorPath));
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
	const TArray<FString> Mods = TRLLocalModProvider::ListModsIn(Root);
	const FText AlreadyExists = FText::Format(NSLOCTEXT("TRLModScaffold", "AlreadyExists", "A mod called '{0}' already exists."), FText::FromString(ModName));
	if (IFileManager::Get().DirectoryExists(*(Root / ModName)) || !TRLLocalModProvider::FindByModName(Mods, ModName, ESearchCase::CaseSensitive).IsEmpty())
	{
		OutReason = AlreadyExists;
		return false;
	}

	// Each name below would be created, then fail to mount or to cook; refused now, before anything is written.
	if (!TRLLocalModProvider::CheckNotReserved(ModName, OutReason))
	{
		return false;
	}

	const FString Taken = TRLLocalModProvider::FindTakenNameInAnyCase(Root, Mods, ModName);
	if (!Taken.IsEmpty())
	{
		// A plug-in of exactly this name is simply there; one in other capitals is the trap worth explaining.
		OutReason = Taken.Equals(ModName, ESearchCase::CaseSensitive)
		                ? AlreadyExists
		                : FText::Format(NSLOCTEXT("TRLModScaffold", "TakenInOtherCase",
		                                          "A mod called '{0}' already exists as '{1}'. Names differ only in capitals there, so choose another name."),
		                                FText::FromString(ModName), FText::FromString(Taken));
		return false;
	}

	// The game or another tool may have mounted content at the root without a plug-in of that name.
	if (FPackageName::MountPointExists(FString::Printf(TEXT("/%s/"), *ModName)))
	{
		OutReason = FText::Format(NSLOCTEXT("TRLModScaffold", "ContentRootInUse",
		                                    "The content root /{0}/ is already in use in this editor, so a mod called '{0}' could never be opened for "
		                                    "editing. Choose another name."),
		                          FText::FromString(ModName));
		return false;
	}

	return TRLLocalModProvider::CheckCookedPathsFit(Root, ModName, OutReason);
}

#undef LOCTEXT_NAMESPACE
