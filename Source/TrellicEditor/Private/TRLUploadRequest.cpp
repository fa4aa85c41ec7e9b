// Copyright Trellic contributors. All Rights Reserved.

#include "TRLUploadRequest.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Misc/Paths.h"
#include "TRLItemPageExtras.h"
#include "TRLJsonText.h"
#include "TRLUploadPayload.h"
#include "TRLWorkshopPublisher.h"
#include "TRLWorkshopRecord.h"
#include "Trellic.h"
#include "UObject/Class.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopUpload"

namespace TRLUploadRequest
{
	/**
	 * Warns about an item id that is not written as a string, saying how to write it.
	 * @return false, with OutError set, for a number too long to tell which item it meant: updating the item its
	 *         digits now read as could change another mod's item
	 */
	bool CheckItemId(const FTRLWorkshopRecord& Record, FText& OutError)
	{
		switch (Record.GetItemIdForm())
		{
			case FTRLWorkshopRecord::EItemIdForm::String:
				return true;
			case FTRLWorkshopRecord::EItemIdForm::Number:
				UE_LOG(LogTrellic, Warning,
				       TEXT("'%s' holds ItemId as a number, not as a string. Write it in quotes, \"ItemId\": \"%s\": a long id written as a number loses "
				            "digits, and the upload would then update another item or make a duplicate."),
				       *Record.GetPath(), *Record.GetItemId());
				return true;
			case FTRLWorkshopRecord::EItemIdForm::InexactNumber:
				UE_LOG(LogTrellic, Warning,
				       TEXT("'%s' holds ItemId as a number too long to be read exactly, so it cannot tell which Workshop item to update. Write the item's id "
				            "as a string, in quotes, as its Workshop page shows it: \"ItemId\": \"1234567890\"."),
				       *Record.GetPath());
				OutError = FText::Format(LOCTEXT("ItemIdNotExact", "'{0}' gives the Workshop item id as a number too long to be read exactly, so nothing was "
				                                                   "uploaded: it could update the wrong item or make a duplicate. Write the id as a string, "
				                                                   "in quotes, then upload again."),
				                         FText::FromString(Record.GetPath()));
				return false;
			case FTRLWorkshopRecord::EItemIdForm::NotAnId:
				UE_LOG(LogTrellic, Warning,
				       TEXT("'%s' holds ItemId as %s, which names no Workshop item, so the upload makes a new item. If the mod is on the Workshop already, "
				            "write its item id as a string, in quotes: \"ItemId\": \"1234567890\"."),
				       *Record.GetPath(), *Record.DescribeItemIdType());
				return true;
		}
		return true;
	}

	/** Reads the title, description and tags from the descriptor; the mod name is the title when it gives none. */
	void ReadItemText(const TSharedPtr<FJsonObject>& Descriptor, FTRLUploadRequest& OutRequest)
	{
		OutRequest.Title = OutRequest.ModName;
		if (!Descriptor.IsValid())
		{
			return;
		}
		FString FriendlyName;
		if (Descriptor->TryGetStringField(TEXT("FriendlyName"), FriendlyName) && !FriendlyName.IsEmpty())
		{
			OutRequest.Title = FriendlyName;
		}
		Descriptor->TryGetStringField(TEXT("Description"), OutRequest.Description);
		const TArray<TSharedPtr<FJsonValue>>* Tags = nullptr;
		if (Descriptor->TryGetArrayField(TEXT("TRLTags"), Tags))
		{
			for (const TSharedPtr<FJsonValue>& Tag : *Tags)
			{
				FString TagText;
				if (Tag.IsValid() && Tag->TryGetString(TagText) && !TagText.IsEmpty())
				{
					OutRequest.Tags.Add(TagText);
				}
			}
		}
	}
} // namespace TRLUploadRequest

bool FTRLUploadRequest::Read(const FString& DescriptorPath, const FString& ChangeNote, FTRLUploadRequest& OutRequest, FText& OutError)
{
	const FTRLWorkshopRecord Record(DescriptorPath);
	if (!TRLUploadRequest::CheckItemId(Record, OutError))
	{
		return false;
	}
	// Read before the payload is built, so that what the page will lack is said beside the preflight's findings.
	const TSharedPtr<FJsonObject> Descriptor = FTRLJsonText::LoadJsonFile(DescriptorPath);
	OutRequest.Extras = FTRLItemPageExtras::Read(DescriptorPath, Descriptor);
	OutRequest.ContentFolder = FTRLUploadPayload::Build(DescriptorPath, OutError);
	if (OutRequest.ContentFolder.IsEmpty())
	{
		return false;
	}
	OutRequest.ModName = FPaths::GetBaseFilename(DescriptorPath);
	TRLUploadRequest::ReadItemText(Descriptor, OutRequest);
	OutRequest.Visibility = Record.GetVisibility();
	OutRequest.PreviewImage = FTRLUploadPayload::FindPreviewImage(DescriptorPath);
	OutRequest.ItemId = Record.GetItemId();
	OutRequest.ChangeNote = ChangeNote.IsEmpty() ? FString(TEXT("Updated")) : ChangeNote;
	OutRequest.bSyncDescription = Record.ShouldSyncDescription();
	return true;
}

ETRLWorkshopResult FTRLUploadRequest::Send(UTRLWorkshopPublisher& Publisher) const
{
	const FString Target = ItemId.IsEmpty() ? FString(TEXT("new Workshop item")) : FString::Printf(TEXT("update to item %s"), *ItemId);
	UE_LOG(LogTrellic, Log, TEXT("Uploading mod '%s' from '%s' (%s)."), *ModName, *ContentFolder, *Target);
	UE_LOG(LogTrellic, Log, TEXT("Visibility: %s. Title and description from the descriptor: %s."),
	       *StaticEnum<ETRLWorkshopVisibility>()->GetNameStringByValue(static_cast<int64>(Visibility)),
	       bSyncDescription ? TEXT("yes") : TEXT("no, the Workshop page keeps its own"));

	Publisher.SetNextRequestExtras(Extras);
	// A new item always gets the descriptor's text; an update keeps the Workshop page's own when the record says so.
	if (ItemId.IsEmpty())
	{
		return Publisher.PublishNewMod(ContentFolder, PreviewImage, Title, Description, Tags, Visibility);
	}
	return bSyncDescription ? Publisher.UpdateExistingMod(ItemId, ContentFolder, PreviewImage, ChangeNote, Visibility, Title, Description, Tags)
	                        : Publisher.UpdateExistingMod(ItemId, ContentFolder, PreviewImage, ChangeNote, Visibility, FString(), FString(), {});
}

#undef LOCTEXT_NAMESPACE
