#include "Widgets/SBoxPanel.h"

void SVerticalBox::Construct(const FArguments& InArgs)
{
	AddSlots<FSlot>(InArgs._Slots);
}

void SHorizontalBox::Construct(const FArguments& InArgs)
{
	AddSlots<FSlot>(InArgs._Slots);
}
