#include "Layout/Children.h"

#include "Misc/AssertionMacros.h"
#include "Widgets/SCompoundWidget.h"
#include "Widgets/SNullWidget.h"

FSlotBase::FSlotBase()
    : Widget(UE::Slate::Private::GetNullWidget())
{
}

void FSlotBase::DetachWidget()
{
	Widget = UE::Slate::Private::GetNullWidget();
}

FNoChildren FNoChildren::NoChildrenInstance;

TSharedRef<SWidget> FNoChildren::GetChildAt(int32)
{
	checkNoEntry();
}

const FSlotBase& FNoChildren::GetSlotAt(int32) const
{
	checkNoEntry();
}

TSharedRef<SWidget> FCompoundWidgetOneChildSlot::GetChildAt(int32 Index)
{
	check(Index == 0);
	return GetWidget();
}

const FSlotBase& FCompoundWidgetOneChildSlot::GetSlotAt(int32 ChildIndex) const
{
	check(ChildIndex == 0);
	return *this;
}
