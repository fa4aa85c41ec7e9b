// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "Containers/Ticker.h"
#include "CoreMinimal.h"
#include "Misc/Optional.h"
#include "TRLWorkshopResult.h"
#include "TRLWorkshopService.h"
#include "TRLWorkshopVisibility.h"
#include "UObject/Object.h"
#include "TRLWorkshopPublisher.generated.h"

/**
 * Told once per request when it has ended: the result, the item id as Steam reported it (empty when there is none;
 * also set on a failure after the item was made) and a message for the person.
 */
DECLARE_DYNAMIC_MULTICAST_DELEGATE_ThreeParams(FTRLOnPublishComplete, ETRLWorkshopResult, Result, const FString&, ItemId, const FText&, StatusMessage);

/**
 * Told when Steam has made the new item of a request, before its content goes up: the item id as Steam reported it.
 * Native only: the editor keeps the id for a restart; scripts learn it from OnPublishComplete.
 */
DECLARE_MULTICAST_DELEGATE_OneParam(FTRLOnItemCreated, const FString& /*ItemId*/);

/** An item that a request's item requires. */
struct FTRLRequiredWorkshopItem
{
	/** The required item's id, in decimal. */
	FString ItemId;
	/** What a person knows it by, such as its mod's name, logged beside the id; may be empty. */
	FString Name;
};

/**
 * What the next request sends beyond the arguments of PublishNewMod and UpdateExistingMod; see SetNextRequestExtras.
 * Left empty, a request sends and logs exactly what it does without them.
 */
struct FTRLWorkshopRequestExtras
{
	/**
	 * Key-value tags to set, one value per key (such as a version a game's mod browser asks for); each key's earlier
	 * values are replaced, keys not named are left. A key holds 1 to 255 ASCII letters, digits and underscores, a
	 * value at most 255 bytes of UTF-8; at most 100 keys.
	 */
	TMap<FString, FString> KeyValueTags;
	/**
	 * Images shown beside the preview, in order, replacing the item's earlier images there (videos added on the
	 * Workshop page stay). Each is a PNG, JPG or GIF (by its content or its extension) of at least 16 bytes and under
	 * 1 MB; at most 9. Empty leaves the item's images as they are.
	 */
	TArray<FString> ExtraPreviewPaths;
	/**
	 * The items the item requires, which its Workshop page lists and offers to subscribe to. Once Steam has taken
	 * the upload, the item's dependencies are made exactly these: each missing one is added and each other one
	 * removed, every change logged on LogTrellic. Unset leaves the item's dependencies alone; set and empty removes
	 * them all.
	 */
	TOptional<TArray<FTRLRequiredWorkshopItem>> RequiredItems;
};

/**
 * Creates and updates Steam Workshop items, one request at a time. A request either is refused at the call or runs in
 * the background; either way OnPublishComplete is broadcast exactly once for it, on the game thread, and a refusal is
 * broadcast before the call returns it. What Steam would refuse once the item exists (a title over 128 bytes of UTF-8,
 * a description or change note over 7,999, a tag that is empty, over 255 bytes, not printable ASCII or with a comma, a
 * preview under 16 bytes or of 1 MB and more) is refused at the call, so that no empty item is left behind. Call it
 * from the game thread.
 */
UCLASS(BlueprintType)
class TRELLICSTEAM_API UTRLWorkshopPublisher : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Creates a new item and uploads ContentFolder to it with the given title, description, tags and visibility.
	 * @param PreviewImagePath the preview image; empty for none
	 * @return Success when the request runs, else the refusal (already broadcast)
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Workshop")
	ETRLWorkshopResult PublishNewMod(const FString& ContentFolder, const FString& PreviewImagePath, const FString& Title, const FString& Description,
	                                 const TArray<FString>& Tags, ETRLWorkshopVisibility Visibility);

	/**
	 * Uploads ContentFolder to the item ItemId with a change note. An empty title, description or tag list leaves the
	 * item's own on the Workshop; an empty preview path leaves its preview.
	 * @return Success when the request runs, else the refusal (already broadcast)
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Workshop")
	ETRLWorkshopResult UpdateExistingMod(const FString& ItemId, const FString& ContentFolder, const FString& PreviewImagePath, const FString& ChangeNote,
	                                     ETRLWorkshopVisibility Visibility, const FString& Title, const FString& Description, const TArray<FString>& Tags);

	/** @return how much of the running upload is done, from 0 to 1, never less than before; 0 while nothing is known or nothing runs */
	UFUNCTION(BlueprintPure, Category = "Trellic|Workshop")
	float GetUploadProgress() const;

	/** @return true from an accepted request until its completion is broadcast */
	UFUNCTION(BlueprintPure, Category = "Trellic|Workshop")
	bool IsPublishing() const;

	/** Broadcast once per request when it ends, a refusal at the call included. */
	UPROPERTY(BlueprintAssignable, Category = "Trellic|Workshop")
	FTRLOnPublishComplete OnPublishComplete;

	/** Broadcast once a new item exists, so that its id can be kept before the upload ends. */
	FTRLOnItemCreated OnItemCreated;

	/**
	 * Reads a Workshop item id as Steam gives it: an unsigned 64-bit number in decimal digits, nothing else.
	 * @return false, leaving OutItemId as it was, for anything else, 0 included
	 */
	static bool ParseItemId(const FString& Text, uint64& OutItemId);

	/**
	 * Gives the next PublishNewMod or UpdateExistingMod call, and that call only, accepted or refused, what it sends
	 * beyond its arguments. Native only: scripts call the two functions as they are.
	 *
	 * Every extra is checked with the rest before anything reaches Steam, and a request that breaks a rule is refused
	 * at the call with a message that names the file, key or id (an image: InvalidMod, or PreviewTooLarge at 1 MB; a
	 * key-value tag: TextTooLong; a required item id that is not a number: ItemNotFound). Once Steam has the item,
	 * what fails of the extras is a Warning on LogTrellic that names the item and Steam's result, and the request
	 * still ends as the upload did: Success when it went up. Reading the item's earlier images or dependencies,
	 * and changing its dependencies, happen before and after the upload, while IsPublishing is true.
	 */
	void SetNextRequestExtras(FTRLWorkshopRequestExtras Extras);

	/** A publisher that goes away mid-request drops it without a broadcast: nothing is left to hear it. */
	virtual void BeginDestroy() override;

private:
	/** A change of the item's dependencies still to make once the upload is done. */
	struct FDependencyChange
	{
		uint64 ChildId = 0;
		bool bAdd = false;
	};

	ETRLWorkshopResult StartRequest(uint64 ItemId, FTRLWorkshopItemUpdate Update, TOptional<TArray<FTRLRequiredWorkshopItem>> Required);
	ETRLWorkshopResult Refuse(ETRLWorkshopResult Result, const FText& Message);
	void HandleItemCreated(const FTRLWorkshopAnswer& Answer, uint32 Request);
	void HandlePreviewsRead(const FTRLWorkshopAnswer& Answer, const FTRLWorkshopItemDetails& Details, uint32 Request);
	void SubmitPendingUpdate(uint32 Request);
	void HandleItemSubmitted(const FTRLWorkshopAnswer& Answer, uint32 Request);
	void HandleChildrenRead(const FTRLWorkshopAnswer& Answer, const FTRLWorkshopItemDetails& Details, uint32 Request);
	void BringDependenciesInLine(const TArray<uint64>& CurrentChildren, uint32 Request);
	void ChangeNextDependency(uint32 Request);
	void HandleDependencyChanged(const FTRLWorkshopAnswer& Answer, uint32 Request, FDependencyChange Change);
	/** @return whether an answer belongs to the running request */
	bool IsRunning(uint32 Request) const;
	/** @return the item's id, with the name the request gave it when there is one */
	FString DescribeRequiredItem(uint64 ItemId) const;
	void Complete(ETRLWorkshopResult Result, uint64 ItemId, const FText& Message);
	void EndRequest();
	bool PumpWorkshop(float DeltaTime);
	static TSharedRef<ITRLWorkshopService> MakeService();

	/** The service of the running request; null when none runs. */
	TSharedPtr<ITRLWorkshopService> Service;
	FTRLWorkshopItemUpdate PendingUpdate;
	/** What SetNextRequestExtras gave the next request. */
	FTRLWorkshopRequestExtras NextExtras;
	/** The running request's required items and their names, in the order given; unset when it leaves them alone. */
	TOptional<TArray<TPair<uint64, FString>>> RequiredItems;
	TArray<FDependencyChange> PendingDependencyChanges;
	/** How the upload itself ended, broadcast once the dependencies are in line. */
	FTRLWorkshopAnswer UploadAnswer;
	/** The item the running request changes: the one given, or the one CreateItem made. */
	uint64 TargetItemId = 0;
	/** The item the running request made; 0 for an update. */
	uint64 CreatedItemId = 0;
	/** Numbers requests, so that an answer to an earlier one is told apart. */
	uint32 RequestNumber = 0;
	uint32 CompletedRequestNumber = 0;
	ETRLWorkshopResult CompletedResult = ETRLWorkshopResult::Success;
	FTSTicker::FDelegateHandle TickerHandle;
};
