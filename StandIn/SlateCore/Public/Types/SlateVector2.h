// A window or widget size argument that accepts both the double and the float 2D vector.
#pragma once

#include "Math/Vector2D.h"

namespace UE::Slate
{
	/** A 2D size in slate units, given as FVector2D or FVector2f. */
	struct FDeprecateVector2DParameter
	{
		FDeprecateVector2DParameter() = default;
		FDeprecateVector2DParameter(const FVector2D& InVector)
		    : X(static_cast<float>(InVector.X))
		    , Y(static_cast<float>(InVector.Y))
		{
		}
		FDeprecateVector2DParameter(const FVector2f& InVector)
		    : X(InVector.X)
		    , Y(InVector.Y)
		{
		}
		FDeprecateVector2DParameter(float InX, float InY)
		    : X(InX)
		    , Y(InY)
		{
		}

		operator FVector2D() const { return FVector2D(X, Y); }
		operator FVector2f() const { return FVector2f(X, Y); }

		float X = 0.0f;
		float Y = 0.0f;
	};
} // namespace UE::Slate
