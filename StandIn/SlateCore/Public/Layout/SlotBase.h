// FSlotBase: the place a parent widget gives one child, with the padding and alignment the child gets there.
#pragma once

#include "CoreTypes.h"
#include "Layout/Margin.h"
#include "Misc/Attribute.h"
#include "Templates/SharedPointer.h"
#include "Templates/UnrealTemplate.h"
#include "Types/SlateEnums.h"

class SWidget;

class FSlotBase
{
public:
	/** An empty slot, holding the null widget. */
	FSlotBase();
	virtual ~FSlotBase() = default;
	FSlotBase(const FSlotBase&) = default;
	FSlotBase& operator=(const FSlotBase&) = default;

	const TSharedRef<SWidget>& GetWidget() const { return Widget; }
	void AttachWidget(const TSharedRef<SWidget>& InWidget) { Widget = InWidget; }
	void DetachWidget();

	FMargin GetPadding() const { return Padding.Get(FMargin()); }
	void SetPadding(TAttribute<FMargin> InPadding) { Padding = MoveTemp(InPadding); }
	EHorizontalAlignment GetHorizontalAlignment() const { return HorizontalAlignment; }
	void SetHorizontalAlignment(EHorizontalAlignment InAlignment) { HorizontalAlignment = InAlignment; }
	EVerticalAlignment GetVerticalAlignment() const { return VerticalAlignment; }
	void SetVerticalAlignment(EVerticalAlignment InAlignment) { VerticalAlignment = InAlignment; }

private:
	TSharedRef<SWidget> Widget;
	TAttribute<FMargin> Padding;
	EHorizontalAlignment HorizontalAlignment = HAlign_Fill;
	EVerticalAlignment VerticalAlignment = VAlign_Fill;
};
