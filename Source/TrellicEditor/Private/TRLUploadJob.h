// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "Containers/Ticker.h"
#include "CoreMinimal.h"
#include "TRLWorkshopResult.h"
#include "TRLWorkshopVisibility.h"
#include "Templates/Function.h"

class SNotificationItem;

/**
 * A running upload as the person sees it: its notification, with the share uploaded every half second, and its end
 * when Steam answers, which records the item and shows and logs the outcome. A new item is kept where a restart finds
 * it as soon as Steam has made it. Owned by the live upload object; game thread only.
 */
class FTRLUploadJob : public TSharedFromThis<FTRLUploadJob>
{
public:
	/**
	 * @param ModDescriptorPath the descriptor's absolute path
	 * @param Visibility the visibility the upload was made with, written into the record
	 * @param InGetProgress the fraction uploaded, from 0 to 1; 0 or less while nothing is known
	 */
	FTRLUploadJob(const FString& ModDescriptorPath, ETRLWorkshopVisibility Visibility, TFunction<float()> InGetProgress);

	/** A job that goes without its end stops looking at the progress. */
	~FTRLUploadJob();

	/** Shows the notification, pending, and starts looking at the progress. */
	void Start();

	/** Keeps the item that Steam has just made for this upload, until its record is written. */
	void KeepCreatedItem(const FString& ItemId);

	/**
	 * Ends the job with Steam's answer: records the item reported (after a failure too, once the item was made), stops
	 * the progress, and shows and logs the outcome.
	 * @return the text the notification ends with
	 */
	FText Finish(ETRLWorkshopResult Result, const FString& ItemId, const FText& StatusMessage);

	/** @return the status message of a failed end; empty before the end and after a success */
	const FText& GetFailureMessage() const { return FailureMessage; }

	/** @return the share uploaded, rounded as the notification shows it; INDEX_NONE while nothing is known */
	int32 GetPercent() const;

	/** Shows the share uploaded under the notification's text. @return true: it runs until Finish */
	bool TickProgress(float DeltaTime);

private:
	/** Gives the notification its final text and state, and lets it expire. */
	void FinishNotification(bool bSuccess, const FText& Message);

	void StopTicker();

	FString ModDescriptorPath;
	FString ModName;
	ETRLWorkshopVisibility Visibility;
	TFunction<float()> GetProgress;

	/** Empty when none could be shown, and after the end. */
	TSharedPtr<SNotificationItem> Notification;

	/** Empty after the end. */
	FTSTicker::FDelegateHandle TickerHandle;

	FText FailureMessage;
	bool bKeptItem = false;
};
