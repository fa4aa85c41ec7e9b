// FMargin: space around a widget, in slate units, for each of its four sides.
#pragma once

#include "CoreTypes.h"

struct FMargin
{
	/** No space on any side. */
	FMargin() = default;
	FMargin(float UniformMargin)
	    : Left(UniformMargin)
	    , Top(UniformMargin)
	    , Right(UniformMargin)
	    , Bottom(UniformMargin)
	{
	}
	FMargin(float Horizontal, float Vertical)
	    : Left(Horizontal)
	    , Top(Vertical)
	    , Right(Horizontal)
	    , Bottom(Vertical)
	{
	}
	FMargin(float InLeft, float InTop, float InRight, float InBottom)
	    : Left(InLeft)
	    , Top(InTop)
	    , Right(InRight)
	    , Bottom(InBottom)
	{
	}

	bool operator==(const FMargin& Other) const { return Left == Other.Left && Top == Other.Top && Right == Other.Right && Bottom == Other.Bottom; }
	bool operator!=(const FMargin& Other) const { return !(*this == Other); }

	float Left = 0.0f;
	float Top = 0.0f;
	float Right = 0.0f;
	float Bottom = 0.0f;
};
