// Copyright Trellic contributors. All Rights Reserved.

#include "TRLFileFailure.h"

#include "HAL/FileManager.h"
#include "HAL/PlatformMisc.h"
#include "Misc/Paths.h"

FString FTRLFileFailure::Describe(const FString& Path, bool bWriting)
{
	// Taken first: the checks below make system calls of their own.
	const uint32 Error = FPlatformMisc::GetLastError();
	IFileManager& FileManager = IFileManager::Get();
	if (FileManager.DirectoryExists(*Path))
	{
		return TEXT("a folder is in its place. Move the folder away, then package again.");
	}
	if (bWriting && FileManager.IsReadOnly(*Path))
	{
		return TEXT("the file is read-only, as a source-control checkout leaves it. Make it writable, then package again.");
	}
	for (FString Folder = FPaths::GetPath(Path); !Folder.IsEmpty() && !FileManager.DirectoryExists(*Folder); Folder = FPaths::GetPath(Folder))
	{
		if (FileManager.FileExists(*Folder))
		{
			return FString::Printf(TEXT("the file '%s' is where a folder of its path must go. Move that file away, then package again."), *Folder);
		}
	}
	FString Reason = TEXT("the system gave no reason");
	if (Error != 0)
	{
		TCHAR Buffer[512];
		Reason = FPlatformMisc::GetSystemErrorMessage(Buffer, UE_ARRAY_COUNT(Buffer), static_cast<int32>(Error));
		Reason.TrimEndInline();
		Reason.RemoveFromEnd(TEXT("."));
	}
	return Reason + (bWriting ? TEXT(". Make sure the file can be written (not locked, not marked immutable) and the disk has room, then package again.")
	                          : TEXT(". Make sure the file can be read, then package again."));
}
