// Stand-in only: what the host program does in place of the desktop and the Slate application loop.
// The plug-in never includes this header; it builds against the real engine unchanged.
#pragma once

#include "CoreTypes.h"
#include "Templates/SharedPointer.h"
#include "Widgets/SWindow.h"

namespace UE::StandIn
{
	/** Where a window is in its life. */
	enum class EWindowState : uint8
	{
		/** Made, never shown. */
		Created,
		/** On screen. */
		Shown,
		/** Asked to close; closes on the next Slate tick. */
		ClosePending,
		/** Closed; it is never shown again. */
		Destroyed
	};

	EWindowState GetWindowState(const SWindow& Window);

	/** Puts a window on screen, as a modal window when bModal is true. @return false for a window already closed. */
	bool ShowWindow(const TSharedRef<SWindow>& Window, bool bModal);

	/** Presses the window's own close button in its title bar. @return false when the window has none or is closed. */
	bool PressWindowCloseButton(const TSharedRef<SWindow>& Window);

	/** One Slate tick: every window asked to close is closed. @return how many windows closed. */
	int32 TickSlate();

	/** @return where the window asked to appear. */
	EAutoCenter GetWindowAutoCenter(const SWindow& Window);

	/**
	 * Sets the DPI scale of the monitor that windows open on from now on (1 until set), as a desktop scaled for
	 * legibility has it: a window made with AdjustInitialSizeAndPositionForDPIScale opens that much larger than asked.
	 */
	void SetMonitorDPIScale(float Scale);
} // namespace UE::StandIn
