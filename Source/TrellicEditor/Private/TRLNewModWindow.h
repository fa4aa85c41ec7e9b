// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

class SEditableTextBox;
class SWindow;

/**
 * The New Mod window: asks for a new mod's name and author in a small modal window. It judges nothing itself; the
 * name is checked by the scaffold once the window has gone. One object serves one showing. Game thread only.
 */
class FTRLNewModWindow
{
public:
	/**
	 * Builds the window and shows it modally, over the editor's other windows.
	 * @return true when the user pressed Create; false after Cancel or the window's own close button
	 */
	bool ShowModal();

	/** @return the name typed, without the white space around it; empty when nothing was typed */
	FString GetModName() const;

	/** @return the author typed, without the white space around it; empty when nothing was typed */
	FString GetAuthor() const;

private:
	/** The window with its labels, boxes and buttons, laid out as the user sees it. */
	TSharedRef<SWindow> MakeWindow();

	TSharedPtr<SEditableTextBox> NameBox;
	TSharedPtr<SEditableTextBox> AuthorBox;
	bool bCreate = false;
};
