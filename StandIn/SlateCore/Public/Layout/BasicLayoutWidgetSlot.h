// The padding and alignment a slot gives its child, mixed into the slot types that lay a child out.
#pragma once

#include "Layout/Margin.h"
#include "Misc/Attribute.h"
#include "Templates/UnrealTemplate.h"
#include "Types/SlateEnums.h"

/** The space kept between a slot's edges and its child. */
template <typename MixedIntoType>
class TPaddingWidgetSlotMixin
{
public:
	FMargin GetPadding() const { return SlotPaddingAttribute.Get(FMargin()); }
	void SetPadding(TAttribute<FMargin> InPadding) { SlotPaddingAttribute = MoveTemp(InPadding); }

protected:
	TAttribute<FMargin> SlotPaddingAttribute;
};

/** Where a child smaller than its slot sits in it. */
template <typename MixedIntoType>
class TAlignmentWidgetSlotMixin
{
public:
	EHorizontalAlignment GetHorizontalAlignment() const { return HAlignment; }
	void SetHorizontalAlignment(EHorizontalAlignment Alignment) { HAlignment = Alignment; }
	EVerticalAlignment GetVerticalAlignment() const { return VAlignment; }
	void SetVerticalAlignment(EVerticalAlignment Alignment) { VAlignment = Alignment; }

protected:
	EHorizontalAlignment HAlignment = HAlign_Fill;
	EVerticalAlignment VAlignment = VAlign_Fill;
};
