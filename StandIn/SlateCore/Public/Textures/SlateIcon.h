// FSlateIcon: an icon named by its style set and style name, resolved to a brush when drawn.
#pragma once

#include "CoreTypes.h"
#include "Styling/SlateBrush.h"
#include "UObject/NameTypes.h"

struct FSlateIcon
{
	/** An empty icon: menus draw no image for it. */
	FSlateIcon() = default;
	FSlateIcon(const FName InStyleSetName, const FName InStyleName)
	    : StyleSetName(InStyleSetName)
	    , StyleName(InStyleName)
	    , bIsSet(true)
	{
	}

	bool IsSet() const { return bIsSet; }
	const FName& GetStyleSetName() const { return StyleSetName; }
	const FName& GetStyleName() const { return StyleName; }

	/** @return the icon's brush: the style's default brush when the style or name is unknown, null for an empty icon. */
	const FSlateBrush* GetIcon() const;

	bool operator==(const FSlateIcon& Other) const { return bIsSet == Other.bIsSet && StyleSetName == Other.StyleSetName && StyleName == Other.StyleName; }

private:
	FName StyleSetName;
	FName StyleName;
	bool bIsSet = false;
};
