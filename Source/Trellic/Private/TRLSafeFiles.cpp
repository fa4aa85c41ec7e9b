// Copyright Trellic contributors. All Rights Reserved.

#include "TRLSafeFiles.h"

#include "GenericPlatform/GenericPlatformFile.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/Paths.h"

namespace TRLSafeFiles
{
	bool IsLink(IPlatformFile& PlatformFile, const TCHAR* Path)
	{
		// A platform that cannot tell answers Unimplemented; nothing better than the listing is known there.
		return PlatformFile.IsSymlink(Path) == ESymlinkResult::Symlink;
	}

	/** @return the folder without a trailing separator, "\" turned to "/" */
	FString AsFolder(const FString& Folder)
	{
		FString Normalized = Folder;
		FPaths::NormalizeDirectoryName(Normalized);
		return Normalized;
	}

	/**
	 * A walk that enters each folder as soon as its listing names it, so that a search which stops early never lists
	 * the rest of a large folder. Below MaxNestedListings folders of nesting, further folders wait in Deferred and are
	 * walked afterwards, so that no depth of folders can exhaust the stack.
	 */
	struct FWalk
	{
		static constexpr int32 MaxNestedListings = 32;

		explicit FWalk(FTRLSafeFiles::FVisitor InVisit)
		    : PlatformFile(FPlatformFileManager::Get().GetPlatformFile())
		    , Visit(InVisit)
		{
		}

		void List(const FString& Folder, int32 Nesting)
		{
			using EEntry = FTRLSafeFiles::EEntry;
			const bool bListed = PlatformFile.IterateDirectory(*Folder, [this, Nesting](const TCHAR* Path, bool bIsDirectory) {
				const EEntry Entry = IsLink(PlatformFile, Path) ? EEntry::Link : bIsDirectory ? EEntry::Folder : EEntry::File;
				bStopped = !Visit(FString(Path), Entry);
				if (!bStopped && Entry == EEntry::Folder)
				{
					if (Nesting < MaxNestedListings)
					{
						List(Path, Nesting + 1);
					}
					else
					{
						Deferred.Add(Path);
					}
				}
				return !bStopped;
			});
			if (!bListed && !bStopped)
			{
				bStopped = !Visit(Folder, EEntry::Unlisted);
			}
		}

		IPlatformFile& PlatformFile;
		FTRLSafeFiles::FVisitor Visit;
		TArray<FString> Deferred;
		bool bStopped = false;
	};
} // namespace TRLSafeFiles

bool FTRLSafeFiles::WalkWithoutLinks(const FString& Folder, FVisitor Visit)
{
	TRLSafeFiles::FWalk Walk(Visit);
	Walk.List(TRLSafeFiles::AsFolder(Folder), 0);
	while (!Walk.bStopped && !Walk.Deferred.IsEmpty())
	{
		Walk.List(Walk.Deferred.Pop(), 0);
	}
	return !Walk.bStopped;
}

bool FTRLSafeFiles::WalkWithStat(const FString& Folder, ELinkCheck Links, FStatVisitor Visit)
{
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	TArray<FString> Pending = {TRLSafeFiles::AsFolder(Folder)};
	bool bStopped = false;
	while (!Pending.IsEmpty() && !bStopped)
	{
		const FString Current = Pending.Pop();
		PlatformFile.IterateDirectoryStat(*Current, [&PlatformFile, &Pending, &Visit, &bStopped, Links](const TCHAR* Path, const FFileStatData& StatData) {
			// A file's link is asked about only when the caller needs to know: it is one more look at the disk per file.
			const bool bAsk = StatData.bIsDirectory || Links == ELinkCheck::FoldersAndFiles;
			const EEntry Entry = bAsk && TRLSafeFiles::IsLink(PlatformFile, Path) ? EEntry::Link : StatData.bIsDirectory ? EEntry::Folder : EEntry::File;
			bStopped = !Visit(Path, Entry, StatData);
			if (!bStopped && Entry == EEntry::Folder)
			{
				Pending.Add(Path);
			}
			return !bStopped;
		});
	}
	return !bStopped;
}

bool FTRLSafeFiles::ContainsFile(const FString& Folder, TFunctionRef<bool(FStringView Path)> IsWanted)
{
	return !WalkWithoutLinks(Folder, [&IsWanted](const FString& Path, EEntry Entry) {
		return Entry != EEntry::File || !IsWanted(FStringView(Path));
	});
}

bool FTRLSafeFiles::ContainsFile(const FString& Folder)
{
	return ContainsFile(Folder, [](FStringView) {
		return true;
	});
}

bool FTRLSafeFiles::IsLink(const FString& Path)
{
	return TRLSafeFiles::IsLink(FPlatformFileManager::Get().GetPlatformFile(), *Path);
}

FString FTRLSafeFiles::FindLinkBelow(const FString& Base, const FString& Path)
{
	const FString Root = TRLSafeFiles::AsFolder(Base) / TEXT("");
	const FString Below = TRLSafeFiles::AsFolder(Path);
	if (!Below.StartsWith(Root, ESearchCase::CaseSensitive))
	{
		return FString();
	}
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	// Each level from the top down: a link higher up would decide where everything under it lies.
	for (int32 Separator = Root.Len() - 1; Separator != INDEX_NONE;)
	{
		Separator = Below.Find(TEXT("/"), ESearchCase::CaseSensitive, ESearchDir::FromStart, Separator + 1);
		const FString Level = Separator == INDEX_NONE ? Below : Below.Left(Separator);
		if (TRLSafeFiles::IsLink(PlatformFile, *Level))
		{
			return Level;
		}
	}
	return FString();
}

bool FTRLSafeFiles::ResolveInside(const FString& Base, const FString& RelativePath, FString& OutPath)
{
	if (RelativePath.IsEmpty() || !FPaths::IsRelative(RelativePath))
	{
		return false;
	}
	const FString Root = TRLSafeFiles::AsFolder(Base);
	FString Path = Root / RelativePath;
	FPaths::NormalizeFilename(Path);
	if (!FPaths::CollapseRelativeDirectories(Path) || !Path.StartsWith(Root / TEXT(""), ESearchCase::CaseSensitive) || !FindLinkBelow(Root, Path).IsEmpty())
	{
		return false;
	}
	OutPath = Path;
	return true;
}

FString FTRLSafeFiles::FindFreePath(const FString& Stem, const TCHAR* Suffix)
{
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	// A link counts as taken, even one to nothing: what is written to its name would land where it points.
	const auto IsTaken = [&PlatformFile](const FString& Candidate) {
		return PlatformFile.FileExists(*Candidate) || PlatformFile.DirectoryExists(*Candidate) || TRLSafeFiles::IsLink(PlatformFile, *Candidate);
	};
	FString Candidate = Stem + Suffix;
	for (int32 Number = 2; IsTaken(Candidate); ++Number)
	{
		Candidate = FString::Printf(TEXT("%s.%d%s"), *Stem, Number, Suffix);
	}
	return Candidate;
}

FString FTRLSafeFiles::SetAside(const FString& Path)
{
	const FString AsidePath = FindFreePath(Path, TEXT(".set-aside"));
	return IFileManager::Get().Move(*AsidePath, *Path, false) ? AsidePath : Path;
}

void FTRLSafeFiles::DeleteWithEmptyFolder(const FString& Path)
{
	IFileManager& FileManager = IFileManager::Get();
	FileManager.Delete(*Path);
	// Not a tree deletion: a folder that still holds anything stays.
	FileManager.DeleteDirectory(*FPaths::GetPath(Path));
}
