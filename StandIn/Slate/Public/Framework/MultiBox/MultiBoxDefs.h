// The kinds of multi-boxes (menus, toolbars) and of the blocks they hold.
#pragma once

#include "CoreTypes.h"

enum class EMultiBoxType : uint8
{
	MenuBar,
	ToolBar,
	VerticalToolBar,
	SlimHorizontalToolBar,
	UniformToolBar,
	Menu,
	ButtonRow,
	ToolMenuBar,
	SlimHorizontalUniformToolBar
};

enum class EMultiBlockType : uint8
{
	None = 0,
	ButtonRow,
	EditableText,
	Heading,
	MenuEntry,
	Separator,
	ToolBarButton,
	ToolBarComboButton,
	Widget
};
