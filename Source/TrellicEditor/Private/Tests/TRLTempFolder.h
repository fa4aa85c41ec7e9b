// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformProcess.h"
#include "Misc/DateTime.h"
#include "Misc/Paths.h"

namespace TRLTempFolder
{
	/** Makes an empty folder of the caller's own under the user's temporary folder and returns its absolute path. */
	inline FString Make(const TCHAR* Prefix)
	{
		// The time keeps programs that run side by side apart, the count keeps the folders of one program apart.
		static int32 Count = 0;
		const FString Name = FString::Printf(TEXT("%s-%s-%d"), Prefix, *LexToString(FDateTime::UtcNow().GetTicks()), ++Count);
		const FString Folder = FPaths::ConvertRelativePathToFull(FString(FPlatformProcess::UserTempDir()) / Name);
		IFileManager::Get().MakeDirectory(*Folder, true);
		return Folder;
	}
} // namespace TRLTempFolder
