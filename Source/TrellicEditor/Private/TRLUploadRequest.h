// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopPublisher.h"
#include "TRLWorkshopResult.h"
#include "TRLWorkshopVisibility.h"

/**
 * What one upload asks of Steam, all read from the mod: the payload folder and preview image, the title, description
 * and tags from its descriptor, from its record the item to update (none for a new item), the visibility and whether
 * an update refreshes the item's text, and what the item's page shows beyond that. Game thread only.
 */
struct FTRLUploadRequest
{
	FString ModName;
	FString ContentFolder;
	FString PreviewImage;
	FString Title;
	FString Description;
	TArray<FString> Tags;
	/** The recorded item; empty for a new one. */
	FString ItemId;
	/** "Updated" when the caller gave none. */
	FString ChangeNote;
	ETRLWorkshopVisibility Visibility = ETRLWorkshopVisibility::Public;
	bool bSyncDescription = true;
	/** The items it requires, its version tags and its screenshots. */
	FTRLWorkshopRequestExtras Extras;

	/**
	 * Reads the request for a mod whose preflight has run, building its payload. A record whose item id is not a
	 * string, and each required mod or screenshot the item cannot be given, is logged as a Warning that says what to
	 * do.
	 * @param DescriptorPath the descriptor's absolute path
	 * @param OutError set on failure: the mod is not packaged, its payload could not be built, or its record names an
	 *        item by a number too long to be read exactly
	 * @return false when the mod cannot be sent
	 */
	static bool Read(const FString& DescriptorPath, const FString& ChangeNote, FTRLUploadRequest& OutRequest, FText& OutError);

	/** Logs what goes where, then hands the request to the publisher. @return the publisher's result */
	ETRLWorkshopResult Send(UTRLWorkshopPublisher& Publisher) const;
};
