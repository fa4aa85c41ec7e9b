// SBorder: a box drawn with a brush around one child, with padding between the two.
#pragma once

#include "Styling/SlateBrush.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

class SBorder : public SCompoundWidget
{
public:
	SLATE_BEGIN_ARGS(SBorder)
		: _HAlign(HAlign_Fill)
	    , _VAlign(VAlign_Fill)
	    , _Padding(FMargin(2.0f))
		{
		}
		SLATE_DEFAULT_SLOT(FArguments, Content)
		SLATE_ATTRIBUTE(const FSlateBrush*, BorderImage)
		SLATE_ARGUMENT(EHorizontalAlignment, HAlign)
		SLATE_ARGUMENT(EVerticalAlignment, VAlign)
		SLATE_ATTRIBUTE(FMargin, Padding)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	void SetContent(TSharedRef<SWidget> InContent) { ChildSlot[InContent]; }
	const TSharedRef<SWidget>& GetContent() const { return ChildSlot.GetWidget(); }
	void SetPadding(TAttribute<FMargin> InPadding) { ChildSlot.SetPadding(MoveTemp(InPadding)); }
	void SetBorderImage(TAttribute<const FSlateBrush*> InBorderImage) { BorderImage = MoveTemp(InBorderImage); }

	/** @return the brush the border is drawn with. */
	const FSlateBrush* GetBorderImage() const { return BorderImage.Get(nullptr); }

private:
	TAttribute<const FSlateBrush*> BorderImage;
};
