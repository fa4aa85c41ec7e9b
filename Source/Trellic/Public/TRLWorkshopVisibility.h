// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopVisibility.generated.h"

/** Who can see a mod's Workshop item. A mod's workshop.json records it as the lower-case word given with each value. */
UENUM(BlueprintType)
enum class ETRLWorkshopVisibility : uint8
{
	/** Anyone can find and subscribe to the item. Recorded as "public". */
	Public,
	/** Only the author's Steam friends can see the item. Recorded as "friends" ("friendsonly" is read too). */
	FriendsOnly,
	/** Only the author can see the item. Recorded as "private". */
	Private,
	/** Anyone with the link can see the item, but it is not listed in searches. Recorded as "unlisted". */
	Unlisted
};

/** @return the word a workshop.json records for Visibility; "public" for a number outside the enum. */
TRELLIC_API const TCHAR* LexToString(ETRLWorkshopVisibility Visibility);

/**
 * Reads a word of a workshop.json, ignoring letter case (the caller trims it).
 * @return false, leaving OutVisibility as it was, for a word that names no visibility
 */
TRELLIC_API bool LexTryParseString(ETRLWorkshopVisibility& OutVisibility, const TCHAR* Word);
