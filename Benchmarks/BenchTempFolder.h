// Where a benchmark builds its trees: a folder of its own under the user's temporary folder.
#pragma once

#include "CoreMinimal.h"
#include "HAL/PlatformProcess.h"
#include "Misc/DateTime.h"
#include "Misc/Paths.h"

namespace TRLBench
{
	/** The absolute path of a new folder name under $TMPDIR, apart from every other run; the caller makes it. */
	inline FString MakeTempFolderPath(const TCHAR* Prefix)
	{
		return FPaths::ConvertRelativePathToFull(FString(FPlatformProcess::UserTempDir()) / FString::Printf(TEXT("%s-%u-%s"), Prefix,
		                                                                                                    FPlatformProcess::GetCurrentProcessId(),
		                                                                                                    *LexToString(FDateTime::UtcNow().GetTicks())));
	}
} // namespace TRLBench
