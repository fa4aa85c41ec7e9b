#include "Editor.h"

#include "Logging/LogMacros.h"
#include "StandIn/ModalWindowResponder.h"
#include "StandIn/SlateApplicationHost.h"
#include "Widgets/SWindow.h"

DEFINE_LOG_CATEGORY_STATIC(LogEditor, Log, All);

namespace
{
	UE::StandIn::FModalWindowResponder& GetResponder()
	{
		static UE::StandIn::FModalWindowResponder Responder;
		return Responder;
	}

	UEditorEngine& GetEditorEngine()
	{
		static UEditorEngine Engine;
		return Engine;
	}

	bool IsClosed(const SWindow& Window)
	{
		return UE::StandIn::GetWindowState(Window) == UE::StandIn::EWindowState::Destroyed;
	}

	/** Closes the window as its user would with the title bar's close button; a window without one is closed by the editor. */
	void CloseAsUserWould(const TSharedRef<SWindow>& Window)
	{
		if (!UE::StandIn::PressWindowCloseButton(Window))
		{
			Window->RequestDestroyWindow();
		}
		UE::StandIn::TickSlate();
	}
} // namespace

UEditorEngine* GEditor = &GetEditorEngine();

void UEditorEngine::EditorAddModalWindow(TSharedRef<SWindow> InModalWindow) const
{
	if (!UE::StandIn::ShowWindow(InModalWindow, true))
	{
		UE_LOG(LogEditor, Error, TEXT("A modal window was shown after it had been closed: %s"), *InModalWindow->GetTitle().ToString());
		return;
	}
	// A copy: the responder may show a nested modal window and install another responder while it acts.
	const UE::StandIn::FModalWindowResponder Responder = GetResponder();
	if (Responder)
	{
		Responder(InModalWindow);
	}
	UE::StandIn::TickSlate();
	if (!IsClosed(InModalWindow.Get()))
	{
		if (Responder)
		{
			UE_LOG(LogEditor, Warning, TEXT("The modal window '%s' was left open; closing it with its close button."), *InModalWindow->GetTitle().ToString());
		}
		CloseAsUserWould(InModalWindow);
	}
}

namespace UE::StandIn
{
	FModalWindowResponder SetModalWindowResponder(FModalWindowResponder Responder)
	{
		FModalWindowResponder Previous = MoveTemp(GetResponder());
		GetResponder() = MoveTemp(Responder);
		return Previous;
	}
} // namespace UE::StandIn
