// Enumerations shared by Slate's layout and input: alignment, orientation, how a text edit was committed.
#pragma once

#include "CoreTypes.h"

/** Where a widget sits horizontally in the space its slot gives it. */
enum EHorizontalAlignment : int
{
	HAlign_Fill,
	HAlign_Left,
	HAlign_Center,
	HAlign_Right
};

/** Where a widget sits vertically in the space its slot gives it. */
enum EVerticalAlignment : int
{
	VAlign_Fill,
	VAlign_Top,
	VAlign_Center,
	VAlign_Bottom
};

enum EOrientation : int
{
	Orient_Horizontal,
	Orient_Vertical
};

namespace ETextCommit
{
	/** How an edit of a text box ended. */
	enum Type
	{
		Default,
		OnEnter,
		OnUserMovedFocus,
		OnCleared
	};
} // namespace ETextCommit
