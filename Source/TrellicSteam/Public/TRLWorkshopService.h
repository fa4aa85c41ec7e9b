// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopResult.h"
#include "TRLWorkshopVisibility.h"

/** A change to a Workshop item as the publisher sends it. An empty title, description or tag list leaves the item's own. */
struct FTRLWorkshopItemUpdate
{
	/** Absolute path of the folder whose files become the item's content. */
	FString ContentFolder;
	/** Absolute path of the preview image; empty leaves the item's own. */
	FString PreviewImagePath;
	FString Title;
	FString Description;
	TArray<FString> Tags;
	ETRLWorkshopVisibility Visibility = ETRLWorkshopVisibility::Public;
	/** What changed, shown in the item's change notes; empty for none. */
	FString ChangeNote;
	/** Key-value tags to set, one value per key; each key's earlier values go. Keys not named here are left. */
	TMap<FString, FString> KeyValueTags;
	/** Absolute paths of images added beside the preview, in order; empty leaves the item's. */
	TArray<FString> ExtraPreviewPaths;
	/** Which of the item's extra images to remove, by their index in the item's details. */
	TArray<uint32> ExtraPreviewIndicesToRemove;
};

/** What a details query tells of an item. */
struct FTRLWorkshopItemDetails
{
	/** The items it requires. */
	TArray<uint64> Children;
	/** The indices of its extra previews that are images, in the order the item lists them. */
	TArray<uint32> ImagePreviewIndices;
};

/** The Workshop's answer to one step of a request. */
struct FTRLWorkshopAnswer
{
	ETRLWorkshopResult Result = ETRLWorkshopResult::Unknown;
	/** What the person should know or do about a failure; empty on success. */
	FText Message;
	/** The item that the step made or changed; 0 when there is none. */
	uint64 ItemId = 0;
};

DECLARE_DELEGATE_OneParam(FTRLOnWorkshopAnswer, const FTRLWorkshopAnswer&);
DECLARE_DELEGATE_TwoParams(FTRLOnWorkshopDetails, const FTRLWorkshopAnswer&, const FTRLWorkshopItemDetails&);

/**
 * The Workshop as UTRLWorkshopPublisher uses it, for one request at a time: Connect, then CreateItem for a new item,
 * SubmitItemUpdate, the details and dependency calls around it, and Disconnect at the end. One call waits for its
 * answer at a time. The Steamworks implementation is the default; a
 * FTRLScopedWorkshopServiceOverride puts another in its place, such as a fake in a spec.
 *
 * An answer is given either inside the call that it answers (a refusal at the call) or inside RunCallbacks, on the
 * thread that calls it; never on a thread of its own.
 */
class ITRLWorkshopService
{
public:
	virtual ~ITRLWorkshopService() = default;

	/** Makes the Workshop ready for a request. @return Success, or the refusal (such as SteamNotRunning) with OutMessage set */
	virtual ETRLWorkshopResult Connect(FText& OutMessage) = 0;

	/** Ends the request: answers still to come are dropped, and what Connect took is let go. */
	virtual void Disconnect() = 0;

	/** Asks for a new, empty item. OnAnswer is given the new item's id on success. */
	virtual void CreateItem(FTRLOnWorkshopAnswer OnAnswer) = 0;

	/** Sends Update to the item ItemId. OnAnswer is told once the Workshop has all of it, or why it refused. */
	virtual void SubmitItemUpdate(uint64 ItemId, const FTRLWorkshopItemUpdate& Update, FTRLOnWorkshopAnswer OnAnswer) = 0;

	/**
	 * Reads the item's children and extra previews. On a failure, OnAnswer's message says what Steam answered and
	 * the details are empty.
	 */
	virtual void QueryItemDetails(uint64 ItemId, FTRLOnWorkshopDetails OnAnswer) = 0;

	/** Makes ItemId require ChildId. On a failure, OnAnswer's message says what Steam answered. */
	virtual void AddDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer) = 0;

	/** Makes ItemId no longer require ChildId. On a failure, OnAnswer's message says what Steam answered. */
	virtual void RemoveDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer) = 0;

	/** @return how much of the submitted update is done, from 0 to 1, never less than before; 0 while nothing is known */
	virtual float GetUpdateProgress() const = 0;

	/** Hands over the answers that have arrived. The publisher calls it from the core ticker while a request runs. */
	virtual void RunCallbacks() = 0;
};
