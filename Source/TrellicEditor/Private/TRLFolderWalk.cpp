// Copyright Trellic contributors. All Rights Reserved.

#include "TRLFolderWalk.h"

#include "GenericPlatform/GenericPlatformFile.h"
#include "HAL/PlatformFileManager.h"

bool FTRLFolderWalk::VisitFiles(const FString& Folder, TFunctionRef<bool(const FString&)> Visit)
{
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	TArray<FString> Pending = {Folder};
	bool bStopped = false;
	while (!Pending.IsEmpty() && !bStopped)
	{
		const FString Current = Pending.Pop();
		PlatformFile.IterateDirectory(*Current, [&PlatformFile, &Pending, &Visit, &bStopped](const TCHAR* Path, bool bIsDirectory) {
			if (PlatformFile.IsSymlink(Path) == ESymlinkResult::Symlink)
			{
				return true;
			}
			if (bIsDirectory)
			{
				Pending.Add(Path);
				return true;
			}
			bStopped = !Visit(FString(Path));
			return !bStopped;
		});
	}
	return !bStopped;
}

bool FTRLFolderWalk::VisitFilesWithStat(const FString& Folder, TFunctionRef<bool(const FString&, const FFileStatData&)> Visit)
{
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	TArray<FString> Pending = {Folder};
	bool bStopped = false;
	while (!Pending.IsEmpty() && !bStopped)
	{
		const FString Current = Pending.Pop();
		PlatformFile.IterateDirectoryStat(*Current, [&PlatformFile, &Pending, &Visit, &bStopped](const TCHAR* Path, const FFileStatData& StatData) {
			if (!StatData.bIsValid || PlatformFile.IsSymlink(Path) == ESymlinkResult::Symlink)
			{
				return true;
			}
			if (StatData.bIsDirectory)
			{
				Pending.Add(Path);
				return true;
			}
			bStopped = !Visit(FString(Path), StatData);
			return !bStopped;
		});
	}
	return !bStopped;
}
