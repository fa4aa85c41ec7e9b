// FMath: the engine's maths helpers. In the engine most of them come from the platform's FPlatformMath.
#pragma once

#include "CoreTypes.h"

#include <cmath>

struct FMath
{
	/** @return the largest whole number not above F. */
	static int32 FloorToInt32(double F) { return static_cast<int32>(std::floor(F)); }

	/** @return the smaller of A and B. */
	template <typename T>
	static constexpr T Min(const T A, const T B)
	{
		return A <= B ? A : B;
	}
};
