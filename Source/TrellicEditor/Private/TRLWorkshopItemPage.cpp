// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopItemPage.h"

#include "TRLItemPageExtras.h"
#include "TRLJsonText.h"
#include "TRLLocalModProvider.h"

bool UTRLWorkshopItemPage::GetRequiredWorkshopItems(const FString& ModDescriptorPath, TArray<FString>& OutItemIds, TArray<FString>& OutModsWithoutItem)
{
	OutItemIds.Reset();
	OutModsWithoutItem.Reset();
	FString DescriptorPath;
	FText NoDescriptor;
	if (!UTRLLocalModProvider::ResolveDescriptor(ModDescriptorPath, DescriptorPath, NoDescriptor))
	{
		return false;
	}
	FTRLItemPageExtras::FRequiredMods Required = FTRLItemPageExtras::ReadRequiredMods(DescriptorPath, FTRLJsonText::LoadJsonFile(DescriptorPath));
	for (const FTRLRequiredWorkshopItem& Item : Required.Items)
	{
		OutItemIds.Add(Item.ItemId);
	}
	OutModsWithoutItem = MoveTemp(Required.WithoutItem);
	return Required.bListed;
}
