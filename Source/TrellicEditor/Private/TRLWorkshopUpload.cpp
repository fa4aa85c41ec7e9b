// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopUpload.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLBuildState.h"
#include "TRLJobEvents.h"
#include "TRLJsonText.h"
#include "TRLLocalModProvider.h"
#include "TRLModPackager.h"
#include "TRLUploadJob.h"
#include "TRLUploadPayload.h"
#include "TRLUploadRequest.h"
#include "TRLWorkshopRecord.h"
#include "Trellic.h"
#include "UObject/Package.h"
#include "UObject/WeakObjectPtr.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopUpload"

UTRLWorkshopUpload* UTRLWorkshopUpload::ActiveUpload = nullptr;

namespace TRLWorkshopUpload
{
	/**
	 * What must hold before anything of an upload is read or changed: no other upload runs, the mod's cook is not
	 * running, and its descriptor is there.
	 * @param OutDescriptorPath set to the descriptor's absolute path
	 * @return Success when the upload may start; else the refusal, with OutError set
	 */
	ETRLWorkshopResult CheckUploadCanStart(const FString& ModDescriptorPath, FString& OutDescriptorPath, FText& OutError)
	{
		if (UTRLWorkshopUpload::IsUploadInProgress())
		{
			OutError = LOCTEXT("UploadBusy", "An upload is already running. Wait for it to finish.");
			return ETRLWorkshopResult::Busy;
		}
		// The preflight would undo what the running cook needs in the descriptor, and the payload is not cooked yet.
		if (UTRLModPackager::IsBeingPackaged(ModDescriptorPath))
		{
			OutError = FText::Format(LOCTEXT("BeingPackaged", "'{0}' is being packaged. Wait for packaging to finish, then upload it."),
			                         FText::FromString(FPaths::GetBaseFilename(ModDescriptorPath)));
			return ETRLWorkshopResult::Busy;
		}
		if (!UTRLLocalModProvider::ResolveDescriptor(ModDescriptorPath, OutDescriptorPath, OutError))
		{
			return ETRLWorkshopResult::InvalidMod;
		}
		return ETRLWorkshopResult::Success;
	}
} // namespace TRLWorkshopUpload

FString UTRLWorkshopUpload::GetWorkshopRecordPath(const FString& ModDescriptorPath)
{
	return FTRLWorkshopRecord::GetPathOf(ModDescriptorPath);
}

FString UTRLWorkshopUpload::GetRecordedItemId(const FString& ModDescriptorPath)
{
	return FTRLWorkshopRecord(ModDescriptorPath).GetItemId();
}

bool UTRLWorkshopUpload::ShouldSyncDescription(const FString& ModDescriptorPath)
{
	return FTRLWorkshopRecord(ModDescriptorPath).ShouldSyncDescription();
}

ETRLWorkshopVisibility UTRLWorkshopUpload::GetRecordedVisibility(const FString& ModDescriptorPath)
{
	return FTRLWorkshopRecord(ModDescriptorPath).GetVisibility();
}

FString UTRLWorkshopUpload::BuildUploadPayload(const FString& ModDescriptorPath, FText& OutError)
{
	return FTRLUploadPayload::Build(ModDescriptorPath, OutError);
}

FString UTRLWorkshopUpload::FindPreviewImage(const FString& ModDescriptorPath)
{
	return FTRLUploadPayload::FindPreviewImage(ModDescriptorPath);
}

void UTRLWorkshopUpload::Preflight(const FString& ModDescriptorPath)
{
	const FString DescriptorPath = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);

	if (FindPreviewImage(DescriptorPath).IsEmpty())
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' has no preview image. Put a square preview.png (under 1 MB) next to the .uplugin, or the Workshop tile stays blank."), *ModName);
	}

	const TSharedPtr<FJsonObject> Descriptor = FTRLJsonText::LoadJsonFile(DescriptorPath);
	if (!Descriptor.IsValid())
	{
		return;
	}

	FString Description;
	if (!Descriptor->TryGetStringField(TEXT("Description"), Description) || Description.IsEmpty())
	{
		UE_LOG(LogTrellic, Warning, TEXT("'%s' has an empty Description. That text IS the Workshop page - fill it in the .uplugin."), *ModName);
	}

	const TArray<TSharedPtr<FJsonValue>>* Tags = nullptr;
	if (!Descriptor->TryGetArrayField(TEXT("TRLTags"), Tags) || Tags->IsEmpty())
	{
		UE_LOG(LogTrellic, Warning, TEXT("'%s' has no TRLTags. Nobody will find the mod by browsing - add a couple to the .uplugin."), *ModName);
	}

	// A mod shipped with it false would run for every player, switched on or not.
	bool bExplicitlyLoaded = true;
	if (!Descriptor->TryGetBoolField(TEXT("ExplicitlyLoaded"), bExplicitlyLoaded) || bExplicitlyLoaded)
	{
		return;
	}
	Descriptor->SetBoolField(TEXT("ExplicitlyLoaded"), true);
	const FString Text = FTRLJsonText::ToString(Descriptor.ToSharedRef());
	if (!Text.IsEmpty() && FFileHelper::SaveStringToFile(Text, *DescriptorPath))
	{
		UE_LOG(LogTrellic, Log,
		       TEXT("'%s' had ExplicitlyLoaded=false, which packaging sets only while a cook runs, so a cook did not finish or the descriptor was "
		            "edited by hand. It is set back to true before upload, so the mod only runs when the player switches it on; if its last cook did not "
		            "finish, package it again."),
		       *ModName);
	}
	else
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' has ExplicitlyLoaded=false and could not be corrected. The mod would load for every player without being switched on - fix the "
		            ".uplugin by hand."),
		       *ModName);
	}
}

bool UTRLWorkshopUpload::IsUploadInProgress()
{
	return ActiveUpload != nullptr;
}

int32 UTRLWorkshopUpload::GetActiveUploadPercent()
{
	return ActiveUpload && ActiveUpload->Job ? ActiveUpload->Job->GetPercent() : INDEX_NONE;
}

ETRLWorkshopResult UTRLWorkshopUpload::UploadMod(const FString& ModDescriptorPath, const FString& ChangeNote, FText& OutError)
{
	FString DescriptorPath;
	const ETRLWorkshopResult Refusal = TRLWorkshopUpload::CheckUploadCanStart(ModDescriptorPath, DescriptorPath, OutError);
	if (Refusal != ETRLWorkshopResult::Success)
	{
		return Refusal;
	}
	// A build that failed its check, or files that no cook completed, never leave; a stale build goes with a Warning.
	if (!UTRLBuildState::CheckBeforeUpload(DescriptorPath, OutError))
	{
		return ETRLWorkshopResult::InvalidMod;
	}
	Preflight(DescriptorPath);
	FTRLUploadRequest Request;
	if (!FTRLUploadRequest::Read(DescriptorPath, ChangeNote, Request, OutError))
	{
		return ETRLWorkshopResult::InvalidMod;
	}
	return StartUpload(DescriptorPath, Request, OutError);
}

ETRLWorkshopResult UTRLWorkshopUpload::StartUpload(const FString& DescriptorPath, const FTRLUploadRequest& Request, FText& OutError)
{
	// From here until HandlePublishComplete the root set keeps the upload, and the upload keeps its publisher.
	UTRLWorkshopUpload* Upload = NewObject<UTRLWorkshopUpload>(GetTransientPackage());
	Upload->AddToRoot();
	UTRLWorkshopPublisher* Publisher = NewObject<UTRLWorkshopPublisher>(Upload);
	Upload->Publisher = Publisher;
	Publisher->OnPublishComplete.AddUniqueDynamic(Upload, &UTRLWorkshopUpload::HandlePublishComplete);
	Publisher->OnItemCreated.AddUObject(Upload, &UTRLWorkshopUpload::HandleItemCreated);
	ActiveUpload = Upload;

	// Held here too: a refusal at the call ends the upload, and lets the object go, before the call returns it.
	const TWeakObjectPtr<UTRLWorkshopPublisher> WeakPublisher(Publisher);
	const TSharedRef<FTRLUploadJob> Job = MakeShared<FTRLUploadJob>(DescriptorPath, Request.Visibility, [WeakPublisher]() {
		return WeakPublisher.IsValid() ? WeakPublisher->GetUploadProgress() : 0.0f;
	});
	Upload->Job = Job;
	Job->Start();

	const ETRLWorkshopResult Result = Request.Send(*Publisher);
	if (Result != ETRLWorkshopResult::Success)
	{
		OutError = Job->GetFailureMessage();
	}
	return Result;
}

void UTRLWorkshopUpload::HandleItemCreated(const FString& ItemId)
{
	if (Job)
	{
		Job->KeepCreatedItem(ItemId);
	}
}

void UTRLWorkshopUpload::HandlePublishComplete(ETRLWorkshopResult Result, const FString& ItemId, const FText& StatusMessage)
{
	const FText Outcome = Job ? Job->Finish(Result, ItemId, StatusMessage) : StatusMessage;
	if (Publisher)
	{
		Publisher->OnPublishComplete.RemoveDynamic(this, &UTRLWorkshopUpload::HandlePublishComplete);
		Publisher->OnItemCreated.RemoveAll(this);
		Publisher = nullptr;
	}
	if (ActiveUpload == this)
	{
		ActiveUpload = nullptr;
	}
	RemoveFromRoot();
	FTRLJobEvents::OnUploadEnded().Broadcast(Result == ETRLWorkshopResult::Success, ItemId, Outcome.ToString());
}

#undef LOCTEXT_NAMESPACE
