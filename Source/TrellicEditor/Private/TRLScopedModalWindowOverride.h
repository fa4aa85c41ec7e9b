// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLScopedOverride.h"

class SWindow;

/** Receives the window that UEditorEngine::EditorAddModalWindow would have shown. */
using FTRLShowModalWindow = TFunction<void(const TSharedRef<SWindow>& Window)>;

/**
 * While it lives, the Tools menu hands the modal windows it would show to this override instead of the editor's modal
 * loop. The override acts as the window's user (types, clicks, or walks away) and returns once it is done, as
 * UEditorEngine::EditorAddModalWindow returns once the window has closed. It exists for specs: an editor running
 * automation cannot be given a person to answer a modal window. Overrides nest. Game thread only.
 */
class FTRLScopedModalWindowOverride : public TTRLScopedOverride<FTRLScopedModalWindowOverride, FTRLShowModalWindow>
{
public:
	explicit FTRLScopedModalWindowOverride(FTRLShowModalWindow InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedModalWindowOverride* Innermost;
};
