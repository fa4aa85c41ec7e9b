// SCompoundWidget: a widget made of exactly one child widget, held in its ChildSlot.
#pragma once

#include "Layout/BasicLayoutWidgetSlot.h"
#include "Layout/Children.h"
#include "Widgets/SWidget.h"

/** The single slot of a compound widget: filled with ChildSlot[ Widget ], laid out with Padding, HAlign and VAlign. */
class FCompoundWidgetOneChildSlot : public FSlotBase,
                                    public TPaddingWidgetSlotMixin<FCompoundWidgetOneChildSlot>,
                                    public TAlignmentWidgetSlotMixin<FCompoundWidgetOneChildSlot>,
                                    public FChildren
{
public:
	FCompoundWidgetOneChildSlot& operator[](const TSharedRef<SWidget>& InChildWidget)
	{
		AttachWidget(InChildWidget);
		return *this;
	}
	FCompoundWidgetOneChildSlot& Padding(TAttribute<FMargin> InPadding)
	{
		SetPadding(MoveTemp(InPadding));
		return *this;
	}
	FCompoundWidgetOneChildSlot& Padding(float Uniform) { return Padding(TAttribute<FMargin>(FMargin(Uniform))); }
	FCompoundWidgetOneChildSlot& Padding(float Horizontal, float Vertical) { return Padding(TAttribute<FMargin>(FMargin(Horizontal, Vertical))); }
	FCompoundWidgetOneChildSlot& Padding(float Left, float Top, float Right, float Bottom)
	{
		return Padding(TAttribute<FMargin>(FMargin(Left, Top, Right, Bottom)));
	}
	FCompoundWidgetOneChildSlot& HAlign(EHorizontalAlignment InAlignment)
	{
		SetHorizontalAlignment(InAlignment);
		return *this;
	}
	FCompoundWidgetOneChildSlot& VAlign(EVerticalAlignment InAlignment)
	{
		SetVerticalAlignment(InAlignment);
		return *this;
	}

	int32 Num() const override { return 1; }
	TSharedRef<SWidget> GetChildAt(int32 Index) override;
	const FSlotBase& GetSlotAt(int32 ChildIndex) const override;
};

class SCompoundWidget : public SWidget
{
public:
	FChildren* GetChildren() override { return &ChildSlot; }

protected:
	FCompoundWidgetOneChildSlot ChildSlot;
};
