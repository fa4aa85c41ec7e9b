// Stand-in only: who acts in a modal window while UEditorEngine::EditorAddModalWindow waits for it to close.
// The plug-in never includes this header; it builds against the real engine unchanged.
#pragma once

#include "Templates/Function.h"
#include "Templates/SharedPointer.h"
#include "Templates/UnrealTemplate.h"

class SWindow;

namespace UE::StandIn
{
	/**
	 * Called once for each modal window, while it is shown, to act as its user (type, click, close it). When it
	 * returns, a Slate tick closes the window if it was asked to close; a window still open after that is closed
	 * with its own close button, as a user walking away would.
	 */
	using FModalWindowResponder = TFunction<void(const TSharedRef<SWindow>& Window)>;

	/** Installs the responder, replacing any other; with none, every modal window is closed with its close button. @return the one replaced. */
	FModalWindowResponder SetModalWindowResponder(FModalWindowResponder Responder);

	/** Installs a responder for as long as it lives, then puts back the one it replaced. */
	class FScopedModalWindowResponder
	{
	public:
		explicit FScopedModalWindowResponder(FModalWindowResponder Responder)
		    : Previous(SetModalWindowResponder(MoveTemp(Responder)))
		{
		}
		~FScopedModalWindowResponder() { SetModalWindowResponder(MoveTemp(Previous)); }
		FScopedModalWindowResponder(const FScopedModalWindowResponder&) = delete;
		FScopedModalWindowResponder& operator=(const FScopedModalWindowResponder&) = delete;

	private:
		FModalWindowResponder Previous;
	};
} // namespace UE::StandIn
