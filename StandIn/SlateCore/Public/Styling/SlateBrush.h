// FSlateBrush: how an image or box is drawn; here it names the image resource a style gives it.
#pragma once

#include "CoreTypes.h"
#include "UObject/NameTypes.h"

struct FSlateBrush
{
	/** A brush that draws nothing. */
	FSlateBrush() = default;

	/** A brush drawing the named image resource. */
	explicit FSlateBrush(FName InResourceName)
	    : ResourceName(InResourceName)
	{
	}

	/** @return the image the brush draws; NAME_None for a brush that draws nothing. */
	FName GetResourceName() const { return ResourceName; }

private:
	FName ResourceName;
};
