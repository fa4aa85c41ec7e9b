// FPlatformProcess: facts about the running program and the thread that calls.
#pragma once

#include "CoreTypes.h"

struct FPlatformProcess
{
	/** @return the folder of the running program's executable, with a trailing "/". */
	static const TCHAR* BaseDir();
	/** @return the folder for temporary files: $TMPDIR, or "/tmp" when it is not set. */
	static const TCHAR* UserTempDir();
	/** Blocks the calling thread for the given number of seconds (fractions allowed). */
	static void Sleep(float Seconds);
	/** @return the operating system's id of the running program. */
	static uint32 GetCurrentProcessId();
};
