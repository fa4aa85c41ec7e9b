// How a command or menu entry presents itself to the user.
#pragma once

#include "CoreTypes.h"

/** The kind of control a menu entry is drawn as. */
enum class EUserInterfaceActionType : uint8
{
	None,
	Button,
	ToggleButton,
	RadioButton,
	Check,
	CollapsedButton
};
