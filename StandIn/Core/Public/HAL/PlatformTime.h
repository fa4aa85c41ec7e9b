// FPlatformTime: the clock that intervals are measured with.
#pragma once

#include "CoreTypes.h"

struct FPlatformTime
{
	/** @return seconds since an arbitrary moment; it never goes back, so differences are elapsed time. */
	static double Seconds();
};
