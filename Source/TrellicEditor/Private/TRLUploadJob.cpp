// Copyright Trellic contributors. All Rights Reserved.

#include "TRLUploadJob.h"

#include "Math/UnrealMathUtility.h"
#include "Misc/Paths.h"
#include "TRLPendingWorkshopItem.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLWorkshopRecord.h"
#include "Trellic.h"
#include "Widgets/Notifications/SNotificationList.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopUpload"

namespace TRLUploadJob
{
	/** Seconds the finished notification stays before it fades out. */
	constexpr float NotificationExpireSeconds = 6.0f;

	/** Seconds between two looks at the upload's progress. */
	constexpr float ProgressTickSeconds = 0.5f;
} // namespace TRLUploadJob

FTRLUploadJob::FTRLUploadJob(const FString& InModDescriptorPath, ETRLWorkshopVisibility InVisibility, TFunction<float()> InGetProgress)
    : ModDescriptorPath(InModDescriptorPath)
    , ModName(FPaths::GetBaseFilename(InModDescriptorPath))
    , Visibility(InVisibility)
    , GetProgress(MoveTemp(InGetProgress))
{
}

FTRLUploadJob::~FTRLUploadJob()
{
	StopTicker();
}

void FTRLUploadJob::Start()
{
	FNotificationInfo Info(FText::Format(LOCTEXT("UploadStarted", "Uploading {0} to the Steam Workshop"), FText::FromString(ModName)));
	Info.ExpireDuration = TRLUploadJob::NotificationExpireSeconds;
	Info.bFireAndForget = false;
	Notification = FTRLScopedNotificationOverride::AddNotification(Info);
	if (Notification.IsValid())
	{
		Notification->SetCompletionState(SNotificationItem::CS_Pending);
	}
	TickerHandle = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateSP(this, &FTRLUploadJob::TickProgress), TRLUploadJob::ProgressTickSeconds);
}

void FTRLUploadJob::KeepCreatedItem(const FString& ItemId)
{
	bKeptItem = FTRLPendingWorkshopItem::Keep(ModDescriptorPath, ItemId);
}

FText FTRLUploadJob::Finish(ETRLWorkshopResult Result, const FString& ItemId, const FText& StatusMessage)
{
	StopTicker();

	// An item that Steam made is recorded even when its upload failed, so that the next upload updates it.
	if (FTRLWorkshopRecord::Write(ModDescriptorPath, ItemId, Visibility) && bKeptItem)
	{
		FTRLPendingWorkshopItem::Forget(ItemId);
	}

	const bool bSuccess = Result == ETRLWorkshopResult::Success;
	FailureMessage = bSuccess ? FText::GetEmpty() : StatusMessage;
	const FText Outcome =
	    bSuccess ? FText::Format(LOCTEXT("UploadDone", "{0} is on the Steam Workshop (item {1})."), FText::FromString(ModName), FText::FromString(ItemId))
	             : StatusMessage;
	FinishNotification(bSuccess, Outcome);
	if (bSuccess)
	{
		UE_LOG(LogTrellic, Log, TEXT("Mod '%s' published as Workshop item %s."), *ModName, *ItemId);
	}
	else
	{
		UE_LOG(LogTrellic, Error, TEXT("Uploading '%s' failed: %s"), *ModName, *StatusMessage.ToString());
	}
	return Outcome;
}

int32 FTRLUploadJob::GetPercent() const
{
	const float Progress = GetProgress ? GetProgress() : 0.0f;
	// Halves round up; a publisher that overshoots shows it rather than hiding it.
	return Progress <= 0.0f ? INDEX_NONE : FMath::FloorToInt32(static_cast<double>(Progress) * 100.0 + 0.5);
}

bool FTRLUploadJob::TickProgress(float /*DeltaTime*/)
{
	const int32 Percent = Notification.IsValid() ? GetPercent() : INDEX_NONE;
	if (Percent != INDEX_NONE)
	{
		Notification->SetSubText(FText::Format(LOCTEXT("UploadProgress", "{0}% uploaded"), FText::AsNumber(Percent)));
	}
	return true;
}

void FTRLUploadJob::FinishNotification(bool bSuccess, const FText& Message)
{
	if (!Notification.IsValid())
	{
		return;
	}
	Notification->SetText(Message);
	Notification->SetSubText(FText::GetEmpty());
	Notification->SetCompletionState(bSuccess ? SNotificationItem::CS_Success : SNotificationItem::CS_Fail);
	Notification->ExpireAndFadeout();
	Notification.Reset();
}

void FTRLUploadJob::StopTicker()
{
	if (TickerHandle.IsValid())
	{
		FTSTicker::RemoveTicker(TickerHandle);
		TickerHandle.Reset();
	}
}

#undef LOCTEXT_NAMESPACE
