// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "Containers/Ticker.h"
#include "CoreMinimal.h"
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

	/** A publisher that goes away mid-request drops it without a broadcast: nothing is left to hear it. */
	virtual void BeginDestroy() override;

private:
	ETRLWorkshopResult StartRequest(uint64 ItemId, FTRLWorkshopItemUpdate Update);
	ETRLWorkshopResult Refuse(ETRLWorkshopResult Result, const FText& Message);
	void HandleItemCreated(const FTRLWorkshopAnswer& Answer, uint32 Request);
	void HandleItemSubmitted(const FTRLWorkshopAnswer& Answer, uint32 Request);
	void Complete(ETRLWorkshopResult Result, uint64 ItemId, const FText& Message);
	void EndRequest();
	bool PumpWorkshop(float DeltaTime);
	static TSharedRef<ITRLWorkshopService> MakeService();

	/** The service of the running request; null when none runs. */
	TSharedPtr<ITRLWorkshopService> Service;
	FTRLWorkshopItemUpdate PendingUpdate;
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
