// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopPublisher.h"

#include "HAL/FileManager.h"
#include "Misc/Optional.h"
#include "Misc/Paths.h"
#include "TRLSafeFiles.h"
#include "TRLScopedWorkshopServiceOverride.h"
#include "TRLSteamWorkshopService.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopPublisher"

FTRLScopedWorkshopServiceOverride* FTRLScopedWorkshopServiceOverride::Innermost = nullptr;

namespace
{
	constexpr uint64 MaxItemId = ~static_cast<uint64>(0);

	// Steam's own limits, in bytes of UTF-8 without the terminating null that the SDK's sizes count.
	constexpr int32 MaxTitleBytes = static_cast<int32>(k_cchPublishedDocumentTitleMax) - 1;
	constexpr int32 MaxDescriptionBytes = static_cast<int32>(k_cchPublishedDocumentDescriptionMax) - 1;
	constexpr int32 MaxChangeNoteBytes = static_cast<int32>(k_cchPublishedDocumentChangeDescriptionMax) - 1;
	constexpr int32 MaxTagBytes = 255;
	// A preview must be under 1 MB; Steam refuses one under 16 bytes at submission.
	constexpr int64 MinPreviewBytes = 16;
	constexpr int64 PreviewBytesLimit = 1024 * 1024;

	int32 CountUtf8Bytes(const FString& Text)
	{
		return FTCHARToUTF8(*Text).Length();
	}

	/** @return the text's refusal when it is over Limit bytes of UTF-8; nothing otherwise */
	TOptional<FText> CheckTextBytes(const FString& Text, int32 Limit, const FText& Pattern)
	{
		const int32 Bytes = CountUtf8Bytes(Text);
		if (Bytes <= Limit)
		{
			return {};
		}
		return FText::Format(Pattern, FText::AsNumber(Bytes), FText::AsNumber(Limit));
	}

	/** @return the tag's refusal when Steam would refuse it; nothing otherwise */
	TOptional<FText> CheckTag(const FString& Tag)
	{
		if (Tag.IsEmpty())
		{
			return LOCTEXT("EmptyTag", "The Steam Workshop refuses an empty tag. Remove it from the mod's TRLTags and try again.");
		}
		const FText Quoted = FText::FromString(Tag);
		const int32 Bytes = CountUtf8Bytes(Tag);
		if (Bytes > MaxTagBytes)
		{
			return FText::Format(LOCTEXT("TagTooLong", "The tag '{0}' is {1} bytes long in UTF-8; the Steam Workshop takes tags of at most {2}. "
			                                           "Shorten it in the mod's TRLTags and try again."),
			                     Quoted, FText::AsNumber(Bytes), FText::AsNumber(MaxTagBytes));
		}
		for (const TCHAR Char : Tag)
		{
			// isprint in the C locale: space to tilde, so neither control characters nor anything past ASCII.
			if (Char < TEXT(' ') || Char > TEXT('~'))
			{
				return FText::Format(LOCTEXT("TagCharacters", "The Steam Workshop refuses the tag '{0}': a tag holds printable ASCII characters only "
				                                              "(letters, digits, spaces and punctuation; no tabs, line breaks or accented letters). "
				                                              "Change it in the mod's TRLTags and try again."),
				                     Quoted);
			}
			if (Char == TEXT(','))
			{
				return FText::Format(LOCTEXT("TagComma", "The Steam Workshop refuses the tag '{0}': a tag may not hold a comma. Split it into two "
				                                         "tags in the mod's TRLTags and try again."),
				                     Quoted);
			}
		}
		return {};
	}

	/**
	 * Checks what Steam would refuse once the item exists, so that a refusal never leaves an empty item behind.
	 * @return Success, or the refusal with OutMessage set
	 */
	ETRLWorkshopResult CheckSteamRules(const FTRLWorkshopItemUpdate& Update, FText& OutMessage)
	{
		const TOptional<FText> TextRefusals[] = {
		    CheckTextBytes(Update.Title, MaxTitleBytes,
		                   LOCTEXT("TitleTooLong", "The title is {0} bytes long in UTF-8; the Steam Workshop takes at most {1}. Shorten the mod's "
		                                           "FriendlyName and try again.")),
		    CheckTextBytes(Update.Description, MaxDescriptionBytes,
		                   LOCTEXT("DescriptionTooLong", "The description is {0} bytes long in UTF-8; the Steam Workshop takes at most {1}. Shorten "
		                                                 "the mod's Description and try again.")),
		    CheckTextBytes(Update.ChangeNote, MaxChangeNoteBytes,
		                   LOCTEXT("ChangeNoteTooLong", "The change note is {0} bytes long in UTF-8; the Steam Workshop takes at most {1}. Shorten it "
		                                                "and try again.")),
		};
		for (const TOptional<FText>& Refusal : TextRefusals)
		{
			if (Refusal.IsSet())
			{
				OutMessage = Refusal.GetValue();
				return ETRLWorkshopResult::TextTooLong;
			}
		}
		for (const FString& Tag : Update.Tags)
		{
			if (const TOptional<FText> Refusal = CheckTag(Tag))
			{
				OutMessage = Refusal.GetValue();
				return ETRLWorkshopResult::TextTooLong;
			}
		}
		if (Update.PreviewImagePath.IsEmpty())
		{
			return ETRLWorkshopResult::Success;
		}
		const FText Preview = FText::FromString(Update.PreviewImagePath);
		if (!FPaths::FileExists(Update.PreviewImagePath))
		{
			OutMessage = FText::Format(LOCTEXT("NoPreview", "The preview image '{0}' does not exist."), Preview);
			return ETRLWorkshopResult::InvalidMod;
		}
		const int64 PreviewBytes = IFileManager::Get().FileSize(*Update.PreviewImagePath);
		if (PreviewBytes < MinPreviewBytes)
		{
			OutMessage = FText::Format(LOCTEXT("PreviewTooSmall", "The preview image '{0}' is {1} bytes; Steam takes a preview of at least {2} bytes. "
			                                                      "Use a real PNG or JPEG image and try again."),
			                           Preview, FText::AsNumber(PreviewBytes), FText::AsNumber(MinPreviewBytes));
			return ETRLWorkshopResult::InvalidMod;
		}
		if (PreviewBytes >= PreviewBytesLimit)
		{
			OutMessage = FText::Format(LOCTEXT("PreviewTooLarge", "The preview image '{0}' is {1} bytes; Steam takes a preview under 1 MB ({2} bytes). "
			                                                      "Make it smaller and try again."),
			                           Preview, FText::AsNumber(PreviewBytes), FText::AsNumber(PreviewBytesLimit));
			return ETRLWorkshopResult::PreviewTooLarge;
		}
		return ETRLWorkshopResult::Success;
	}

	FString ItemIdToString(uint64 ItemId)
	{
		return ItemId != 0 ? LexToString(ItemId) : FString();
	}

	/** What a new item and an update both send; an update adds its change note. */
	FTRLWorkshopItemUpdate MakeItemUpdate(const FString& ContentFolder, const FString& PreviewImagePath, const FString& Title, const FString& Description,
	                                      const TArray<FString>& Tags, ETRLWorkshopVisibility Visibility)
	{
		FTRLWorkshopItemUpdate Update;
		Update.ContentFolder = ContentFolder;
		Update.PreviewImagePath = PreviewImagePath;
		Update.Title = Title;
		Update.Description = Description;
		Update.Tags = Tags;
		Update.Visibility = Visibility;
		return Update;
	}
} // namespace

bool UTRLWorkshopPublisher::ParseItemId(const FString& Text, uint64& OutItemId)
{
	if (Text.IsEmpty() || Text.Len() > 20)
	{
		return false;
	}
	uint64 Value = 0;
	for (const TCHAR Char : Text)
	{
		if (Char < TEXT('0') || Char > TEXT('9'))
		{
			return false;
		}
		const uint64 Digit = static_cast<uint64>(Char - TEXT('0'));
		if (Value > (MaxItemId - Digit) / 10)
		{
			return false;
		}
		Value = Value * 10 + Digit;
	}
	if (Value == 0)
	{
		return false;
	}
	OutItemId = Value;
	return true;
}

ETRLWorkshopResult UTRLWorkshopPublisher::PublishNewMod(const FString& ContentFolder, const FString& PreviewImagePath, const FString& Title,
                                                        const FString& Description, const TArray<FString>& Tags, ETRLWorkshopVisibility Visibility)
{
	return StartRequest(0, MakeItemUpdate(ContentFolder, PreviewImagePath, Title, Description, Tags, Visibility));
}

ETRLWorkshopResult UTRLWorkshopPublisher::UpdateExistingMod(const FString& ItemId, const FString& ContentFolder, const FString& PreviewImagePath,
                                                            const FString& ChangeNote, ETRLWorkshopVisibility Visibility, const FString& Title,
                                                            const FString& Description, const TArray<FString>& Tags)
{
	uint64 ParsedItemId = 0;
	if (!Service.IsValid() && !ParseItemId(ItemId, ParsedItemId))
	{
		return Refuse(ETRLWorkshopResult::ItemNotFound,
		              FText::Format(LOCTEXT("BadItemId", "'{0}' is not a Workshop item id. Correct ItemId in the mod's workshop.json, or delete the file "
		                                                 "to publish the mod as a new item."),
		                            FText::FromString(ItemId)));
	}
	FTRLWorkshopItemUpdate Update = MakeItemUpdate(ContentFolder, PreviewImagePath, Title, Description, Tags, Visibility);
	Update.ChangeNote = ChangeNote;
	return StartRequest(ParsedItemId, MoveTemp(Update));
}

float UTRLWorkshopPublisher::GetUploadProgress() const
{
	return Service.IsValid() ? Service->GetUpdateProgress() : 0.0f;
}

bool UTRLWorkshopPublisher::IsPublishing() const
{
	return Service.IsValid();
}

void UTRLWorkshopPublisher::BeginDestroy()
{
	EndRequest();
	Super::BeginDestroy();
}

ETRLWorkshopResult UTRLWorkshopPublisher::StartRequest(uint64 ItemId, FTRLWorkshopItemUpdate Update)
{
	if (Service.IsValid())
	{
		return Refuse(ETRLWorkshopResult::Busy, LOCTEXT("Busy", "This publisher is still uploading. Wait for that upload to finish."));
	}
	// Steam reads the content and the preview from where it runs, so it is given absolute paths.
	Update.ContentFolder = Update.ContentFolder.IsEmpty() ? FString() : FPaths::ConvertRelativePathToFull(Update.ContentFolder);
	if (Update.ContentFolder.IsEmpty() || !FTRLSafeFiles::ContainsFile(Update.ContentFolder))
	{
		return Refuse(ETRLWorkshopResult::InvalidMod,
		              FText::Format(LOCTEXT("NoContent", "'{0}' holds no files to upload. Package the mod, then upload it again."),
		                            FText::FromString(Update.ContentFolder)));
	}
	if (!Update.PreviewImagePath.IsEmpty())
	{
		Update.PreviewImagePath = FPaths::ConvertRelativePathToFull(Update.PreviewImagePath);
	}
	FText Message;
	ETRLWorkshopResult Result = CheckSteamRules(Update, Message);
	if (Result != ETRLWorkshopResult::Success)
	{
		return Refuse(Result, Message);
	}

	const TSharedRef<ITRLWorkshopService> NewService = MakeService();
	Result = NewService->Connect(Message);
	if (Result != ETRLWorkshopResult::Success)
	{
		return Refuse(Result, Message);
	}

	Service = NewService;
	PendingUpdate = MoveTemp(Update);
	TargetItemId = ItemId;
	CreatedItemId = 0;
	const uint32 Request = ++RequestNumber;
	TickerHandle = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateUObject(this, &UTRLWorkshopPublisher::PumpWorkshop), 0.0f);
	if (ItemId == 0)
	{
		NewService->CreateItem(FTRLOnWorkshopAnswer::CreateUObject(this, &UTRLWorkshopPublisher::HandleItemCreated, Request));
	}
	else
	{
		NewService->SubmitItemUpdate(ItemId, PendingUpdate, FTRLOnWorkshopAnswer::CreateUObject(this, &UTRLWorkshopPublisher::HandleItemSubmitted, Request));
	}
	// A service that refuses inside the call has completed the request already, and the broadcast is made.
	return CompletedRequestNumber == Request ? CompletedResult : ETRLWorkshopResult::Success;
}

ETRLWorkshopResult UTRLWorkshopPublisher::Refuse(ETRLWorkshopResult Result, const FText& Message)
{
	OnPublishComplete.Broadcast(Result, FString(), Message);
	return Result;
}

void UTRLWorkshopPublisher::HandleItemCreated(const FTRLWorkshopAnswer& Answer, uint32 Request)
{
	// Held here, so that a completion inside the call below cannot take the service away under it.
	const TSharedPtr<ITRLWorkshopService> Running = Service;
	if (Request != RequestNumber || !Running.IsValid())
	{
		return;
	}
	if (Answer.Result != ETRLWorkshopResult::Success)
	{
		Complete(Answer.Result, Answer.ItemId, Answer.Message);
		return;
	}
	if (Answer.ItemId == 0)
	{
		Complete(ETRLWorkshopResult::Unknown, 0, LOCTEXT("NoItemMade", "Steam answered without making a Workshop item. Try again."));
		return;
	}
	TargetItemId = Answer.ItemId;
	CreatedItemId = Answer.ItemId;
	OnItemCreated.Broadcast(ItemIdToString(CreatedItemId));
	Running->SubmitItemUpdate(TargetItemId, PendingUpdate, FTRLOnWorkshopAnswer::CreateUObject(this, &UTRLWorkshopPublisher::HandleItemSubmitted, Request));
}

void UTRLWorkshopPublisher::HandleItemSubmitted(const FTRLWorkshopAnswer& Answer, uint32 Request)
{
	if (Request != RequestNumber || !Service.IsValid())
	{
		return;
	}
	if (Answer.Result != ETRLWorkshopResult::Success)
	{
		// An item made for this request is reported even though its upload failed, so that the next one updates it.
		Complete(Answer.Result, Answer.ItemId != 0 ? Answer.ItemId : CreatedItemId, Answer.Message);
		return;
	}
	const uint64 ItemId = Answer.ItemId != 0 ? Answer.ItemId : TargetItemId;
	const FText Done =
	    CreatedItemId != 0 ? LOCTEXT("Created", "Workshop item {0} was created and uploaded.") : LOCTEXT("Updated", "Workshop item {0} was updated.");
	Complete(ETRLWorkshopResult::Success, ItemId, FText::Format(Done, FText::FromString(ItemIdToString(ItemId))));
}

void UTRLWorkshopPublisher::Complete(ETRLWorkshopResult Result, uint64 ItemId, const FText& Message)
{
	EndRequest();
	CompletedRequestNumber = RequestNumber;
	CompletedResult = Result;
	OnPublishComplete.Broadcast(Result, ItemIdToString(ItemId), Message);
}

void UTRLWorkshopPublisher::EndRequest()
{
	if (TickerHandle.IsValid())
	{
		FTSTicker::RemoveTicker(TickerHandle);
		TickerHandle.Reset();
	}
	if (const TSharedPtr<ITRLWorkshopService> Ended = MoveTemp(Service))
	{
		Service.Reset();
		Ended->Disconnect();
	}
}

bool UTRLWorkshopPublisher::PumpWorkshop(float /*DeltaTime*/)
{
	if (const TSharedPtr<ITRLWorkshopService> Running = Service)
	{
		Running->RunCallbacks();
	}
	return true;
}

TSharedRef<ITRLWorkshopService> UTRLWorkshopPublisher::MakeService()
{
	if (const TSharedRef<ITRLWorkshopService>* Override = FTRLScopedWorkshopServiceOverride::Get())
	{
		return *Override;
	}
	return MakeShared<FTRLSteamWorkshopService>();
}

#undef LOCTEXT_NAMESPACE
