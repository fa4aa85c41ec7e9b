// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopPublisher.h"
#include "UObject/Object.h"
#include "TRLPublishCompleteRecorder.generated.h"

/** One broadcast of a publisher's OnPublishComplete, as a recorder heard it. */
struct FTRLPublishCompletion
{
	ETRLWorkshopResult Result = ETRLWorkshopResult::Unknown;
	FString ItemId;
	FText StatusMessage;
	bool bOnGameThread = false;
};

/**
 * Listens to a publisher's OnPublishComplete, as an upload does, and keeps every broadcast, so that specs and tests
 * can check what a request ended with, how often and on which thread.
 */
UCLASS()
class TRELLICSTEAM_API UTRLPublishCompleteRecorder : public UObject
{
	GENERATED_BODY()

public:
	/** Starts listening to Publisher. */
	void Listen(UTRLWorkshopPublisher* Publisher) { Publisher->OnPublishComplete.AddDynamic(this, &UTRLPublishCompleteRecorder::HandlePublishComplete); }

	/** Every broadcast heard, oldest first. */
	TArray<FTRLPublishCompletion> Completions;

	/** Runs after each broadcast is recorded, for a check at that moment. */
	TFunction<void(const FTRLPublishCompletion&)> OnCompletion;

	UFUNCTION()
	void HandlePublishComplete(ETRLWorkshopResult Result, const FString& ItemId, const FText& StatusMessage)
	{
		FTRLPublishCompletion& Completion = Completions.Emplace_GetRef();
		Completion.Result = Result;
		Completion.ItemId = ItemId;
		Completion.StatusMessage = StatusMessage;
		Completion.bOnGameThread = IsInGameThread();
		if (OnCompletion)
		{
			OnCompletion(Completion);
		}
	}
};
