// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLWorkshopItemPage.generated.h"

/**
 * What a mod's Workshop item shows a player beyond its content and text, as the upload gives it: the items it requires
 * (the descriptor's TRLRequiredMods, each a local mod that has been uploaded), the version tags a game's mod browser
 * asks for, and the screenshots kept in the mod's Resources/Screenshots folder. Tools can show it here before an upload.
 */
UCLASS()
class TRELLICEDITOR_API UTRLWorkshopItemPage : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * The Workshop items this mod's item requires once it is uploaded, as the upload links them.
	 *
	 * Each name in the descriptor's "TRLRequiredMods" is looked up among the local mods, in any case, and stands for
	 * the item id recorded in that mod's workshop.json. The upload makes the item require exactly these items, adding
	 * and removing links on its page; a name without an item is left out with a Warning, and its link is not made.
	 * Nothing is logged here and nothing is changed. In Python the result comes back as a tuple: (listed, item ids,
	 * mods without an item).
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one is resolved against the engine's base
	 *        directory.
	 * @param OutItemIds set to the required items' ids, in the descriptor's order, each once.
	 * @param OutModsWithoutItem set to each required mod, as the descriptor names it, that is not a local mod or has
	 *        never been uploaded: upload it first.
	 * @return false when the descriptor cannot be read or has no "TRLRequiredMods" list, so an upload leaves the item's
	 *         required items as they are on the Workshop; both outputs are then empty.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static bool GetRequiredWorkshopItems(const FString& ModDescriptorPath, TArray<FString>& OutItemIds, TArray<FString>& OutModsWithoutItem);
};
