#include "Widgets/SBoxPanel.h"

void SBoxPanel::AddSlots(const TArray<FSlot>& InSlots)
{
	for (const FSlot& Slot : InSlots)
	{
		Children.Slots.Add(Slot);
	}
}

namespace
{
	template <typename SlotArgumentsType>
	TArray<SBoxPanel::FSlot> SlotsFromArguments(const TArray<SlotArgumentsType>& InArguments)
	{
		TArray<SBoxPanel::FSlot> Slots;
		for (const SlotArgumentsType& Arguments : InArguments)
		{
			Slots.Add(Arguments.SlotValue);
		}
		return Slots;
	}
} // namespace

void SVerticalBox::Construct(const FArguments& InArgs)
{
	AddSlots(SlotsFromArguments(InArgs._Slots));
}

void SHorizontalBox::Construct(const FArguments& InArgs)
{
	AddSlots(SlotsFromArguments(InArgs._Slots));
}
