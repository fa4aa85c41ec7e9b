// FSlotBase: the place a parent widget gives one child; slot types that lay the child out add padding and alignment.
#pragma once

#include "CoreTypes.h"
#include "Templates/SharedPointer.h"

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

private:
	TSharedRef<SWidget> Widget;
};
