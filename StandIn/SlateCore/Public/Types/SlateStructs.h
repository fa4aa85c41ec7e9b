// Small value types of Slate's layout.
#pragma once

#include "CoreTypes.h"

/** A size that may be left unspecified, so that the widget's own desired size applies. */
struct FOptionalSize
{
	FOptionalSize() = default;
	FOptionalSize(float InSizeValue)
	    : Size(InSizeValue)
	{
	}

	bool IsSet() const { return Size != Unspecified; }
	float Get() const { return Size; }
	bool operator==(const FOptionalSize& Other) const { return Size == Other.Size; }

private:
	static constexpr float Unspecified = -1.0f;
	float Size = Unspecified;
};
