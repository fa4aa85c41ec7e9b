// Reading and answering a modal window as its user would, for both front ends.
#pragma once

#include "CoreMinimal.h"
#include "Math/Vector2D.h"

class SWindow;

namespace UE::StandIn::EditorHost
{
	struct FWindowView
	{
		FText Title;
		/** Every text a user reads in the window, in layout order: labels and the contents of text boxes. */
		TArray<FText> Texts;
		/** Which of Texts are editable text boxes. */
		TArray<uint8> IsTextBox;
		TArray<FText> Buttons;
		FVector2D ClientSize;
	};

	FWindowView DescribeWindow(const TSharedRef<SWindow>& Window);

	/**
	 * Types Fill into the window's editable text boxes in order, then presses the button labelled Press, or the
	 * window's own close button for "close". @return false with OutError when a box or the button is missing.
	 */
	bool AnswerWindow(const TSharedRef<SWindow>& Window, const TArray<FString>& Fill, const FString& Press, FString& OutError);
} // namespace UE::StandIn::EditorHost
