// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

class SWindow;

/**
 * While it lives, the Tools menu hands the modal windows it would show to this override instead of the editor's modal
 * loop. The override acts as the window's user (types, clicks, or walks away) and returns once it is done, as
 * UEditorEngine::EditorAddModalWindow returns once the window has closed. It exists for specs: an editor running
 * automation cannot be given a person to answer a modal window. Overrides nest. Game thread only.
 */
class FTRLScopedModalWindowOverride
{
public:
	/** Receives the window that UEditorEngine::EditorAddModalWindow would have shown. */
	using FShowModalWindow = TFunction<void(const TSharedRef<SWindow>& Window)>;

	explicit FTRLScopedModalWindowOverride(FShowModalWindow InShowModalWindow);
	~FTRLScopedModalWindowOverride();

	FTRLScopedModalWindowOverride(const FTRLScopedModalWindowOverride&) = delete;
	FTRLScopedModalWindowOverride& operator=(const FTRLScopedModalWindowOverride&) = delete;

	/** @return what shows the menu's modal windows now: the innermost override's function, or null for the editor. */
	static const FShowModalWindow* Get();

private:
	FShowModalWindow ShowModalWindow;
	FTRLScopedModalWindowOverride* Replaced;

	static FTRLScopedModalWindowOverride* Innermost;
};
