// Copyright Trellic contributors. All Rights Reserved.

#include "TRLPostCookCheck.h"

#include "AssetRegistry/AssetRegistryState.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "IPlatformFilePak.h"
#include "Misc/Paths.h"
#include "Serialization/Archive.h"
#include "TRLCookRecord.h"
#include "TRLProjectPaths.h"
#include "TRLSafeFiles.h"
#include "Trellic.h"

namespace TRLPostCookCheck
{
	// An Error line stays readable: the first paths show what kind of thing went wrong, the count how much.
	constexpr int32 MaxPathsNamed = 10;

	bool IsAssetOrMap(const FString& Path)
	{
		return Path.EndsWith(TEXT(".uasset"), ESearchCase::IgnoreCase) || Path.EndsWith(TEXT(".umap"), ESearchCase::IgnoreCase);
	}

	/** A pak that opened, with its files' paths as the pak places them, and the package each is (empty for no asset). */
	struct FOpenedPak
	{
		FString File;
		TArray<FString> Paths;
		TArray<FString> PackageNames;
	};

	/** What a cook staged for the game to mount, each in name order, links left out. */
	struct FStaged
	{
		TArray<FString> Paks;
		/** The IoStore containers, each by its .utoc, whose .ucas lies beside it. */
		TArray<FString> Containers;
	};

	FStaged FindStaged(const FString& StagingFolder)
	{
		FStaged Staged;
		TArray<FString> Tocs;
		TSet<FString> Cas;
		FTRLSafeFiles::WalkWithoutLinks(StagingFolder, [&Staged, &Tocs, &Cas](const FString& Path, FTRLSafeFiles::EEntry Entry) {
			if (Entry == FTRLSafeFiles::EEntry::File)
			{
				const FString Extension = FPaths::GetExtension(Path);
				TArray<FString>* List = Extension.Equals(TEXT("pak"), ESearchCase::IgnoreCase)    ? &Staged.Paks
				                        : Extension.Equals(TEXT("utoc"), ESearchCase::IgnoreCase) ? &Tocs
				                                                                                  : nullptr;
				if (List)
				{
					List->Add(Path);
				}
				else if (Extension.Equals(TEXT("ucas"), ESearchCase::IgnoreCase))
				{
					Cas.Add(FPaths::GetBaseFilename(Path, false));
				}
			}
			return true;
		});
		// Half a container, cut short or left from elsewhere, holds nothing the game can mount.
		Staged.Containers = Tocs.FilterByPredicate([&Cas](const FString& Toc) {
			return Cas.Contains(FPaths::GetBaseFilename(Toc, false));
		});
		Staged.Paks.Sort();
		Staged.Containers.Sort();
		return Staged;
	}

	/** Reads the release's registry. @return false when there is none to read, or it cannot be read */
	bool LoadRegistry(const FString& RegistryPath, FAssetRegistryState& OutState)
	{
		if (RegistryPath.IsEmpty())
		{
			return false;
		}
		const TUniquePtr<FArchive> Reader(IFileManager::Get().CreateFileReader(*RegistryPath));
		return Reader.IsValid() && OutState.Load(*Reader, FAssetRegistryLoadOptions());
	}

	/** Adds a failure to the list and the log, where the user reads it. */
	void Fail(TArray<FString>& Failures, FString&& Failure)
	{
		UE_LOG(LogTrellic, Error, TEXT("%s"), *Failure);
		Failures.Add(MoveTemp(Failure));
	}
} // namespace TRLPostCookCheck

FString FTRLPostCookCheck::DescribePaths(const TArray<FString>& Paths)
{
	using namespace TRLPostCookCheck;
	TArray<FString> Named(Paths.GetData(), FMath::Min(Paths.Num(), MaxPathsNamed));
	FString Text = FString::Join(Named, TEXT(", "));
	if (Paths.Num() > MaxPathsNamed)
	{
		Text += FString::Printf(TEXT(" and %d more"), Paths.Num() - MaxPathsNamed);
	}
	return Text;
}

FString FTRLPostCookCheck::GetPackageName(const FString& PathInPak, const FString& ProjectName)
{
	if (!TRLPostCookCheck::IsAssetOrMap(PathInPak))
	{
		return FString();
	}
	// A mount point climbs out of the engine's folder first ("../../../"); what follows is the root's folder.
	FString Path = PathInPak;
	Path.ReplaceCharInline(TEXT('\\'), TEXT('/'));
	int32 Start = 0;
	while (Path.Mid(Start, 3) == TEXT("../") || Path.Mid(Start, 1) == TEXT("/"))
	{
		Start += Path[Start] == TEXT('/') ? 1 : 3;
	}
	Path = TEXT("/") + Path.Mid(Start);
	const int32 ContentAt = Path.Find(TEXT("/Content/"), ESearchCase::IgnoreCase);
	if (ContentAt <= 0)
	{
		return FString();
	}
	const int32 RootAt = Path.Find(TEXT("/"), ESearchCase::CaseSensitive, ESearchDir::FromEnd, ContentAt) + 1;
	const FString Root = Path.Mid(RootAt, ContentAt - RootAt);
	const FString InContent = FPaths::GetBaseFilename(Path.Mid(ContentAt + 9), false);
	return (Root.Equals(ProjectName, ESearchCase::IgnoreCase) ? FString(TEXT("/Game")) : TEXT("/") + Root) / InContent;
}

TArray<FString> FTRLPostCookCheck::Run(const FTRLCookRecord& Record, const FString& StagingFolder, TArray<FString>& OutPackedContent)
{
	using namespace TRLPostCookCheck;
	TArray<FString> Failures;
	OutPackedContent.Empty();
	const FStaged Staged = FindStaged(StagingFolder);
	const TArray<FString>& PakFiles = Staged.Paks;
	if (PakFiles.IsEmpty())
	{
		Fail(Failures, FString::Printf(TEXT("The cook of '%s' completed but staged no pak in '%s'. Likely cause: the cook found nothing to stage, as when "
		                                    "the mod's assets were never saved. Save every asset of the mod, then package it again; the UAT log shows what "
		                                    "the cook did."),
		                               *Record.ModName, *StagingFolder));
		return Failures;
	}

	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	const FString ProjectName = FTRLProjectPaths::GetProjectName();
	TArray<FOpenedPak> Paks;
	for (const FString& PakFile : PakFiles)
	{
		const TRefCountPtr<FPakFile> Pak = new FPakFile(&PlatformFile, *PakFile, false, true);
		if (!Pak->IsValid())
		{
			Fail(Failures, FString::Printf(TEXT("The pak '%s' cannot be read as a pak. Likely cause: the cook was cut short while it wrote it. Package '%s' "
			                                    "again."),
			                               *PakFile, *Record.ModName));
			continue;
		}
		if (Pak->GetNumFiles() == 0)
		{
			Fail(Failures, FString::Printf(TEXT("The pak '%s' is empty. Likely cause: the cook of '%s' staged nothing into it, as when the mod's assets were "
			                                    "never saved. Save every asset of the mod, then package it again; the UAT log shows what the cook did."),
			                               *PakFile, *Record.ModName));
			continue;
		}
		FOpenedPak& Opened = Paks.Emplace_GetRef();
		Opened.File = PakFile;
		for (FPakFile::FFilenameIterator It(*Pak); It; ++It)
		{
			Opened.Paths.Add(Pak->GetMountPoint() + It.Filename());
			Opened.PackageNames.Add(GetPackageName(Opened.Paths.Last(), ProjectName));
		}
	}
	if (Paks.IsEmpty())
	{
		return Failures;
	}

	TArray<FString> PakNames;
	bool bHasDescriptor = false;
	const FString DescriptorName = Record.ModName + TEXT(".uplugin");
	const FString ModRoot = TEXT("/") + Record.ModName + TEXT("/");
	for (const FOpenedPak& Pak : Paks)
	{
		PakNames.Add(Pak.File);
		for (int32 Index = 0; Index < Pak.Paths.Num(); ++Index)
		{
			const FString& Path = Pak.Paths[Index];
			const int32 NameAt = Path.Len() - DescriptorName.Len();
			bHasDescriptor = bHasDescriptor || (Path.EndsWith(DescriptorName, ESearchCase::IgnoreCase) && (NameAt == 0 || Path[NameAt - 1] == TEXT('/')));
			if (Pak.PackageNames[Index].StartsWith(ModRoot, ESearchCase::IgnoreCase))
			{
				// Below the mod's Content folder, with the asset's own extension.
				const int32 ContentAt = Path.Find(TEXT("/Content/"), ESearchCase::IgnoreCase);
				OutPackedContent.Add(Path.Mid(ContentAt + 9));
			}
		}
	}
	// A project that uses IoStore stages its assets in containers beside the paks. What a container holds cannot be read
	// reliably here, so a build is never failed for assets in one: that they are there is taken on trust, and said.
	const bool bHasModAsset = !OutPackedContent.IsEmpty() || !Staged.Containers.IsEmpty();
	if (!Staged.Containers.IsEmpty())
	{
		UE_LOG(LogTrellic, Log,
		       TEXT("'%s' was staged with the IoStore container(s) %s, which this check does not read, so the assets in them were not checked "
		            "against the mod's content or against base release '%s'. The UAT log of the cook lists what was staged."),
		       *Record.ModName, *DescribePaths(Staged.Containers), *Record.ReleaseVersion);
	}
	const FString Named = FString::Join(PakNames, TEXT(", "));
	if (!bHasDescriptor)
	{
		Fail(Failures, FString::Printf(TEXT("The pak '%s' does not hold '%s', so the game's mod loader will not find the mod. Likely cause: the cook did not "
		                                    "pack the plug-in's descriptor (-DLCPakPluginFile missing from UAT's command line). Package the mod again from "
		                                    "Tools > Trellic > Package Mod, whose command line has it."),
		                               *Named, *DescriptorName));
	}
	if (!bHasModAsset)
	{
		TArray<FString> ModAssets;
		for (const TPair<FString, FTRLFileFingerprint>& File : Record.Content)
		{
			if (IsAssetOrMap(File.Key))
			{
				ModAssets.Add(TEXT("Content/") + File.Key);
			}
		}
		ModAssets.Sort();
		Fail(Failures, FString::Printf(TEXT("The pak '%s' holds none of the %d asset(s) of '%s': %s. Likely cause: the cooker did not cook the mod's "
		                                    "content, because its descriptor said \"ExplicitlyLoaded\": true during the cook, Config/DefaultGame.ini did "
		                                    "not list /%s under DirectoriesToAlwaysCook, or the assets were never saved. Save every asset of the mod and "
		                                    "package it from Tools > Trellic > Package Mod, which sets both for the cook."),
		                               *Named, ModAssets.Num(), *Record.ModName, *DescribePaths(ModAssets), *Record.ModName));
	}

	FAssetRegistryState Release;
	if (!LoadRegistry(Record.RegistryPath, Release))
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("The registry of base release '%s' ('%s') cannot be read, so the paks of '%s' were not checked for assets the release "
		            "already has."),
		       *Record.ReleaseVersion, *Record.RegistryPath, *Record.ModName);
		return Failures;
	}
	for (const FOpenedPak& Pak : Paks)
	{
		TArray<FString> Doubled;
		for (const FString& PackageName : Pak.PackageNames)
		{
			// A name never made cannot be in the registry, which made each of its own when it was loaded.
			const FName Package(*PackageName, FNAME_Find);
			if (!Package.IsNone() && Release.GetAssetPackageData(Package))
			{
				Doubled.Add(PackageName);
			}
		}
		if (!Doubled.IsEmpty())
		{
			Fail(Failures,
			     FString::Printf(TEXT("The pak '%s' holds %d asset(s) that base release '%s' already has: %s. Likely cause: the cook was not based on "
			                          "that release, or the release was recorded from a build that held the mod already; players would load these "
			                          "assets twice. Record the release again from the build players have (Tools > Trellic > Create Base Game "
			                          "Release), then package the mod again."),
			                     *Pak.File, Doubled.Num(), *Record.ReleaseVersion, *DescribePaths(Doubled)));
		}
	}
	return Failures;
}
