// UEditorEngine: the editor's engine object; it shows the editor's modal windows.
#pragma once

#include "CoreTypes.h"
#include "Templates/SharedPointer.h"

class SWindow;

class UEditorEngine
{
public:
	/**
	 * Shows a window as a modal child of the editor's main frame. Other editor windows take no input meanwhile.
	 * @return only once the window has closed.
	 */
	void EditorAddModalWindow(TSharedRef<SWindow> InModalWindow) const;
};
