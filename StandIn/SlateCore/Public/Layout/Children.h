// FChildren: the list of a widget's children, in layout order, through which a widget tree is walked.
#pragma once

#include "CoreTypes.h"
#include "SlotBase.h"
#include "Templates/SharedPointer.h"

class SWidget;

class FChildren
{
public:
	virtual ~FChildren() = default;

	virtual int32 Num() const = 0;
	virtual TSharedRef<SWidget> GetChildAt(int32 Index) = 0;

	/** @return the slot that holds the child at Index, with the child's padding and alignment. */
	virtual const FSlotBase& GetSlotAt(int32 ChildIndex) const = 0;
};

/** The children of a widget that has none. */
class FNoChildren final : public FChildren
{
public:
	int32 Num() const override { return 0; }
	TSharedRef<SWidget> GetChildAt(int32 Index) override;
	const FSlotBase& GetSlotAt(int32 ChildIndex) const override;

	/** One shared instance serves every childless widget. */
	static FNoChildren NoChildrenInstance;
};
