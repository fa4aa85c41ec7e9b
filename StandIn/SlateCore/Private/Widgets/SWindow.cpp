#include "Widgets/SWindow.h"

#include "StandIn/SlateApplicationHost.h"

namespace UE::StandIn
{
	/** The window state that only the stand-in's application loop reads and changes. */
	struct FSlateWindowAccess
	{
		static TArray<TSharedRef<SWindow>>& GetWindowsToDestroy()
		{
			static TArray<TSharedRef<SWindow>> Windows;
			return Windows;
		}
		static EWindowState GetState(const SWindow& Window)
		{
			switch (Window.State)
			{
				case SWindow::EState::Created:
					return EWindowState::Created;
				case SWindow::EState::Shown:
					return EWindowState::Shown;
				case SWindow::EState::ClosePending:
					return EWindowState::ClosePending;
				case SWindow::EState::Destroyed:
					break;
			}
			return EWindowState::Destroyed;
		}
		static EAutoCenter GetAutoCenter(const SWindow& Window) { return Window.AutoCenter; }
		static bool Show(SWindow& Window, bool bModal)
		{
			if (Window.State == SWindow::EState::Destroyed)
			{
				return false;
			}
			if (Window.State == SWindow::EState::Created)
			{
				Window.State = SWindow::EState::Shown;
			}
			Window.bIsModal = bModal;
			return true;
		}
		static void FinishDestroy(SWindow& Window) { Window.FinishDestroy(); }
	};
} // namespace UE::StandIn

using UE::StandIn::FSlateWindowAccess;

namespace
{
	float MonitorDPIScale = 1.0f;
} // namespace

void SWindow::Construct(const FArguments& InArgs)
{
	Type = InArgs._Type;
	Title = InArgs._Title;
	// As on a desktop scaled for legibility, a window opens larger than asked, by its monitor's scale.
	DPIScaleFactor = MonitorDPIScale;
	ClientSize = FVector2D(InArgs._ClientSize) * (InArgs._AdjustInitialSizeAndPositionForDPIScale ? static_cast<double>(DPIScaleFactor) : 1.0);
	SizingRule = InArgs._SizingRule;
	AutoCenter = InArgs._AutoCenter;
	bHasMaximizeButton = InArgs._SupportsMaximize;
	bHasMinimizeButton = InArgs._SupportsMinimize;
	bHasCloseButton = InArgs._HasCloseButton;
	ChildSlot[InArgs._Content.Widget];
}

void SWindow::SetContent(TSharedRef<SWidget> InContent)
{
	ChildSlot[InContent];
}

void SWindow::RequestDestroyWindow()
{
	if (RequestDestroyWindowOverride.IsBound())
	{
		RequestDestroyWindowOverride.Execute(StaticCastSharedRef<SWindow>(AsShared()));
		return;
	}
	if (State == EState::Destroyed || State == EState::ClosePending)
	{
		return;
	}
	State = EState::ClosePending;
	FSlateWindowAccess::GetWindowsToDestroy().Add(StaticCastSharedRef<SWindow>(AsShared()));
}

void SWindow::DestroyWindowImmediately()
{
	FinishDestroy();
}

void SWindow::FinishDestroy()
{
	if (State == EState::Destroyed)
	{
		return;
	}
	State = EState::Destroyed;
	bIsModal = false;
	TArray<TSharedRef<SWindow>>& Pending = FSlateWindowAccess::GetWindowsToDestroy();
	Pending.RemoveAll([this](const TSharedRef<SWindow>& Window) {
		return &Window.Get() == this;
	});
	// A copy, so that the handler may replace the delegate or drop the last reference to the window.
	const FOnWindowClosed Closed = OnWindowClosed;
	Closed.ExecuteIfBound(StaticCastSharedRef<SWindow>(AsShared()));
}

namespace UE::StandIn
{
	EWindowState GetWindowState(const SWindow& Window)
	{
		return FSlateWindowAccess::GetState(Window);
	}

	bool ShowWindow(const TSharedRef<SWindow>& Window, bool bModal)
	{
		return FSlateWindowAccess::Show(Window.Get(), bModal);
	}

	bool PressWindowCloseButton(const TSharedRef<SWindow>& Window)
	{
		if (!Window->HasCloseBox() || !Window->IsVisible())
		{
			return false;
		}
		Window->RequestDestroyWindow();
		return true;
	}

	int32 TickSlate()
	{
		// Taken first: a closing window's handler may ask other windows to close, which the next tick handles.
		TArray<TSharedRef<SWindow>> Closing = MoveTemp(FSlateWindowAccess::GetWindowsToDestroy());
		FSlateWindowAccess::GetWindowsToDestroy().Empty();
		for (const TSharedRef<SWindow>& Window : Closing)
		{
			FSlateWindowAccess::FinishDestroy(Window.Get());
		}
		return Closing.Num();
	}

	EAutoCenter GetWindowAutoCenter(const SWindow& Window)
	{
		return FSlateWindowAccess::GetAutoCenter(Window);
	}

	void SetMonitorDPIScale(float Scale)
	{
		MonitorDPIScale = Scale;
	}
} // namespace UE::StandIn
