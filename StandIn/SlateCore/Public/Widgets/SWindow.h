// SWindow: a top-level window with a title bar and one content widget; modal forms are shown in one.
#pragma once

#include "Containers/Array.h"
#include "Delegates/Delegate.h"
#include "Internationalization/Text.h"
#include "Math/Vector2D.h"
#include "Types/SlateVector2.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

class SWindow;

namespace UE::StandIn
{
	struct FSlateWindowAccess;
}

/** Whether the user may resize a window. */
enum class ESizingRule : uint8
{
	FixedSize,
	Autosized,
	UserSized
};

/** Where a window first appears. */
enum class EAutoCenter : uint8
{
	None,
	PrimaryWorkArea,
	PreferredWorkArea
};

enum class EWindowType : uint8
{
	Normal,
	Menu,
	ToolTip,
	Notification,
	CursorDecorator,
	GameWindow
};

DECLARE_DELEGATE_OneParam(FOnWindowClosed, const TSharedRef<SWindow>&);
DECLARE_DELEGATE_OneParam(FRequestDestroyWindowOverride, const TSharedRef<SWindow>&);

class SWindow : public SCompoundWidget
{
public:
	SLATE_BEGIN_ARGS(SWindow)
		: _Type(EWindowType::Normal)
	    , _SupportsMaximize(true)
	    , _SupportsMinimize(true)
	    , _HasCloseButton(true)
	    , _SizingRule(ESizingRule::UserSized)
	    , _AutoCenter(EAutoCenter::PreferredWorkArea)
	    , _IsTopmostWindow(false)
	    , _AdjustInitialSizeAndPositionForDPIScale(true)
		{
		}
		SLATE_ARGUMENT(EWindowType, Type)
		SLATE_ATTRIBUTE(FText, Title)
		SLATE_ARGUMENT(UE::Slate::FDeprecateVector2DParameter, ClientSize)
		SLATE_ARGUMENT(bool, SupportsMaximize)
		SLATE_ARGUMENT(bool, SupportsMinimize)
		SLATE_ARGUMENT(bool, HasCloseButton)
		SLATE_ARGUMENT(ESizingRule, SizingRule)
		SLATE_ARGUMENT(EAutoCenter, AutoCenter)
		SLATE_ARGUMENT(bool, IsTopmostWindow)
		/** Whether ClientSize is scaled by the DPI scale of the monitor the window opens on. */
		SLATE_ARGUMENT(bool, AdjustInitialSizeAndPositionForDPIScale)
		SLATE_DEFAULT_SLOT(FArguments, Content)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	/** @return the text of the title bar. */
	FText GetTitle() const { return Title.Get(); }
	void SetTitle(const FText& InTitle) { Title = InTitle; }

	/** Replaces the window's content. */
	void SetContent(TSharedRef<SWidget> InContent);
	/** @return the widget the window shows, without the window's own frame. */
	TSharedRef<SWidget> GetContent() { return ChildSlot.GetWidget(); }

	/**
	 * Asks for the window to close; it closes on the next Slate tick, and a modal loop showing it then returns. With an
	 * override set, the override is called instead and the window stays as it is.
	 */
	void RequestDestroyWindow();

	/** Makes RequestDestroyWindow call this delegate instead of closing the window. */
	void SetRequestDestroyWindowOverride(const FRequestDestroyWindowOverride& InDelegate) { RequestDestroyWindowOverride = InDelegate; }

	/** Closes the window now. */
	void DestroyWindowImmediately();

	/** Called once, when the window has closed. */
	void SetOnWindowClosed(const FOnWindowClosed& InDelegate) { OnWindowClosed = InDelegate; }

	bool HasCloseBox() const { return bHasCloseButton; }
	bool HasMaximizeBox() const { return bHasMaximizeButton; }
	bool HasMinimizeBox() const { return bHasMinimizeButton; }
	ESizingRule GetSizingRule() const { return SizingRule; }
	EWindowType GetType() const { return Type; }

	/** @return the size of the window's client area in screen pixels: the size asked for, times the DPI scale it opened at. */
	FVector2D GetClientSizeInScreen() const { return ClientSize; }

	/** @return the DPI scale of the monitor the window opened on, whether or not its size followed it. */
	float GetDPIScaleFactor() const { return DPIScaleFactor; }

	/** @return true while the window is shown as a modal window. */
	bool IsModalWindow() const { return bIsModal; }

	/** @return true while the window is on screen: shown and not yet closed. */
	bool IsVisible() const { return State == EState::Shown || State == EState::ClosePending; }

private:
	friend struct UE::StandIn::FSlateWindowAccess;

	enum class EState : uint8
	{
		Created,
		Shown,
		ClosePending,
		Destroyed
	};

	void FinishDestroy();

	EWindowType Type = EWindowType::Normal;
	TAttribute<FText> Title;
	FVector2D ClientSize;
	float DPIScaleFactor = 1.0f;
	ESizingRule SizingRule = ESizingRule::UserSized;
	EAutoCenter AutoCenter = EAutoCenter::PreferredWorkArea;
	bool bHasMaximizeButton = true;
	bool bHasMinimizeButton = true;
	bool bHasCloseButton = true;
	bool bIsModal = false;
	EState State = EState::Created;
	FOnWindowClosed OnWindowClosed;
	FRequestDestroyWindowOverride RequestDestroyWindowOverride;
};
