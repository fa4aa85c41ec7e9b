// ISlateStyle: a named set of brushes and other style values that widgets look up by name.
#pragma once

#include "CoreTypes.h"
#include "Styling/SlateBrush.h"
#include "UObject/NameTypes.h"

class ISlateStyle
{
public:
	virtual ~ISlateStyle() = default;

	/** @return the style set's name, as FSlateIcon refers to it. */
	virtual const FName& GetStyleSetName() const = 0;

	/**
	 * @param PropertyName  the brush's name, e.g. "Icons.Plus".
	 * @param Specifier     appended to the name when given.
	 * @return the brush; the style's default brush (never null) when the name is unknown.
	 */
	virtual const FSlateBrush* GetBrush(const FName PropertyName, const ANSICHAR* Specifier = nullptr, const ISlateStyle* RequestingStyle = nullptr) const = 0;

	/** @return the brush drawn where a brush is missing. */
	virtual const FSlateBrush* GetDefaultBrush() const = 0;
};
