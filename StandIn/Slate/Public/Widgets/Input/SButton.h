// SButton: a clickable button showing a text or any content.
#pragma once

#include "Framework/SlateDelegates.h"
#include "Internationalization/Text.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

namespace UE::StandIn
{
	struct FSlateInputAccess;
}

class SButton : public SCompoundWidget
{
public:
	SLATE_BEGIN_ARGS(SButton)
		: _HAlign(HAlign_Fill)
	    , _VAlign(VAlign_Fill)
		{
		}
		SLATE_DEFAULT_SLOT(FArguments, Content)
		/** Shown in a text block when no content is given. */
		SLATE_ATTRIBUTE(FText, Text)
		SLATE_ATTRIBUTE(FText, ToolTipText)
		SLATE_ARGUMENT(EHorizontalAlignment, HAlign)
		SLATE_ARGUMENT(EVerticalAlignment, VAlign)
		SLATE_ATTRIBUTE(FMargin, ContentPadding)
		SLATE_EVENT(FOnClicked, OnClicked)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	void SetContent(const TSharedRef<SWidget>& InContent) { ChildSlot[InContent]; }
	void SetOnClicked(FOnClicked InOnClicked) { OnClicked = InOnClicked; }

	/** Runs the click handler as a click with the mouse would, whether or not the button is on screen. */
	void SimulateClick();

	FText GetToolTipText() const { return ToolTipText.Get(); }

private:
	friend struct UE::StandIn::FSlateInputAccess;

	FOnClicked OnClicked;
	TAttribute<FText> ToolTipText;
};
