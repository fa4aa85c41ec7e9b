// Stand-in only: writes that fail on demand, as a full disk or a read-only file system makes them fail, so that what
// a program does then can be tried without filling a disk. Not part of the engine's API, whose writes fail only when
// the system refuses them. A fault holds until it is cleared.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

namespace UE::StandIn
{
	/** How the file system refuses. */
	enum class EFileWriteFault : uint8
	{
		/** No space left (ENOSPC): nothing can be written, copied, moved or made there; deleting still works. */
		DiskFull,
		/** A read-only file system (EROFS): nothing there can be written, made, moved, deleted or have its permissions changed. */
		ReadOnly,
	};

	/**
	 * From now on, every change that the file helpers, the file manager or the platform file make to a path that ends
	 * with PathSuffix fails as Fault would make it fail: nothing is written and the platform's last error is the
	 * system's code for it. Suffixes add up; separators may be either slash, and a trailing one is ignored.
	 */
	CORE_API void FailFileWrites(const FString& PathSuffix, EFileWriteFault Fault);

	/** Ends every fault that FailFileWrites set. */
	CORE_API void ClearFileWriteFaults();
} // namespace UE::StandIn
