// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/** Why a file could not be read or written, said so that the user can act on it. */
struct FTRLFileFailure
{
	/**
	 * Call right after the call that failed, before anything else can touch the system's last error.
	 * @param Path the file that could not be read or written
	 * @param bWriting whether it was a write
	 * @return what is in the way (a folder in its place, a read-only file, or the system's own words for its last
	 *         error) and what to do, as a sentence that ends in a full stop
	 */
	static FString Describe(const FString& Path, bool bWriting);
};
