// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopPublisher.h"

#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Optional.h"
#include "Misc/Paths.h"
#include "TRLSafeFiles.h"
#include "TRLScopedWorkshopServiceOverride.h"
#include "TRLSteamWorkshopService.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopPublisher"

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
	// The page shows the images beside the preview in a row; this plug-in keeps to a row that fits.
	constexpr int32 MaxExtraPreviews = 9;
	// Steam takes key-value tags of at most 255 bytes each side, and 100 of them in one update.
	constexpr int32 MaxKeyValueBytes = 255;
	constexpr int32 MaxKeyValueTags = 100;

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

	/** @return the key-value tag's refusal when Steam would refuse it; nothing otherwise */
	TOptional<FText> CheckKeyValueTag(const FString& Key, const FString& Value)
	{
		bool bKeyCharacters = true;
		for (const TCHAR Char : Key)
		{
			bKeyCharacters = bKeyCharacters && ((Char >= TEXT('a') && Char <= TEXT('z')) || (Char >= TEXT('A') && Char <= TEXT('Z')) ||
			                                    (Char >= TEXT('0') && Char <= TEXT('9')) || Char == TEXT('_'));
		}
		if (Key.IsEmpty() || Key.Len() > MaxKeyValueBytes || !bKeyCharacters)
		{
			return FText::Format(LOCTEXT("KeyValueTagKey", "The Steam Workshop refuses the key-value tag key '{0}': a key holds 1 to {1} ASCII letters, "
			                                               "digits and underscores. Rename it and try again."),
			                     FText::FromString(Key), FText::AsNumber(MaxKeyValueBytes));
		}
		const int32 Bytes = CountUtf8Bytes(Value);
		if (Bytes > MaxKeyValueBytes)
		{
			return FText::Format(LOCTEXT("KeyValueTagValueTooLong", "The value of the key-value tag '{0}' is {1} bytes long in UTF-8; the Steam Workshop "
			                                                        "takes at most {2}. Shorten it and try again."),
			                     FText::FromString(Key), FText::AsNumber(Bytes), FText::AsNumber(MaxKeyValueBytes));
		}
		return {};
	}

	/** @return whether the file is a PNG, JPG or GIF image by its first bytes or by its name's extension */
	bool IsPngJpgOrGif(const FString& Path)
	{
		const FString Extension = FPaths::GetExtension(Path);
		for (const TCHAR* Known : {TEXT("png"), TEXT("jpg"), TEXT("jpeg"), TEXT("gif")})
		{
			if (Extension.Equals(Known, ESearchCase::IgnoreCase))
			{
				return true;
			}
		}
		// The file is under 1 MB by now, so reading it whole costs little.
		TArray<uint8> Bytes;
		FFileHelper::LoadFileToArray(Bytes, *Path);
		const auto StartsWith = [&Bytes](std::initializer_list<uint8> Signature) {
			int32 Index = 0;
			for (const uint8 Byte : Signature)
			{
				if (Index >= Bytes.Num() || Bytes[Index++] != Byte)
				{
					return false;
				}
			}
			return true;
		};
		return StartsWith({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}) || StartsWith({0xFF, 0xD8, 0xFF}) || StartsWith({'G', 'I', 'F', '8', '7', 'a'}) ||
		       StartsWith({'G', 'I', 'F', '8', '9', 'a'});
	}

	/** Checks a preview, or an extra one, as Steam does. @return Success, or the refusal with OutMessage set */
	ETRLWorkshopResult CheckPreviewFile(const FString& Path, FText& OutMessage)
	{
		const FText Preview = FText::FromString(Path);
		if (!FPaths::FileExists(Path))
		{
			OutMessage = FText::Format(LOCTEXT("NoPreview", "The preview image '{0}' does not exist."), Preview);
			return ETRLWorkshopResult::InvalidMod;
		}
		const int64 PreviewBytes = IFileManager::Get().FileSize(*Path);
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

	/** Checks the key-value tags and the extra previews of a request. @return Success, or the refusal with OutMessage set */
	ETRLWorkshopResult CheckExtras(const FTRLWorkshopItemUpdate& Update, FText& OutMessage)
	{
		if (Update.KeyValueTags.Num() > MaxKeyValueTags)
		{
			OutMessage = FText::Format(LOCTEXT("TooManyKeyValueTags", "{0} key-value tags were given; the Steam Workshop takes at most {1} in one upload."),
			                           FText::AsNumber(Update.KeyValueTags.Num()), FText::AsNumber(MaxKeyValueTags));
			return ETRLWorkshopResult::TextTooLong;
		}
		for (const TPair<FString, FString>& Tag : Update.KeyValueTags)
		{
			if (const TOptional<FText> Refusal = CheckKeyValueTag(Tag.Key, Tag.Value))
			{
				OutMessage = Refusal.GetValue();
				return ETRLWorkshopResult::TextTooLong;
			}
		}
		if (Update.ExtraPreviewPaths.Num() > MaxExtraPreviews)
		{
			OutMessage = FText::Format(LOCTEXT("TooManyExtraPreviews", "{0} extra preview images were given; the upload shows at most {1} beside the "
			                                                           "preview. Keep {1} or fewer and try again."),
			                           FText::AsNumber(Update.ExtraPreviewPaths.Num()), FText::AsNumber(MaxExtraPreviews));
			return ETRLWorkshopResult::InvalidMod;
		}
		for (const FString& Path : Update.ExtraPreviewPaths)
		{
			const ETRLWorkshopResult Result = CheckPreviewFile(Path, OutMessage);
			if (Result != ETRLWorkshopResult::Success)
			{
				return Result;
			}
			if (!IsPngJpgOrGif(Path))
			{
				OutMessage = FText::Format(LOCTEXT("ExtraPreviewType", "The preview image '{0}' is not a PNG, JPG or GIF image, by its content or by its "
				                                                       "name's extension; Steam shows only those beside the preview. Convert it or take "
				                                                       "it out, then try again."),
				                           FText::FromString(Path));
				return ETRLWorkshopResult::InvalidMod;
			}
		}
		return ETRLWorkshopResult::Success;
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
		if (!Update.PreviewImagePath.IsEmpty())
		{
			const ETRLWorkshopResult Result = CheckPreviewFile(Update.PreviewImagePath, OutMessage);
			if (Result != ETRLWorkshopResult::Success)
			{
				return Result;
			}
		}
		return CheckExtras(Update, OutMessage);
	}

	/**
	 * Reads the required items' ids, each once, in the order given.
	 * @return Success, or the refusal with OutMessage set
	 */
	ETRLWorkshopResult ParseRequiredItems(const TArray<FTRLRequiredWorkshopItem>& Items, TArray<TPair<uint64, FString>>& OutItems, FText& OutMessage)
	{
		for (const FTRLRequiredWorkshopItem& Item : Items)
		{
			uint64 ItemId = 0;
			if (!UTRLWorkshopPublisher::ParseItemId(Item.ItemId, ItemId))
			{
				OutMessage = FText::Format(LOCTEXT("BadRequiredItemId", "'{0}' is not a Workshop item id, so the item cannot be made to require it. "
				                                                        "Correct ItemId in the required mod's workshop.json, or upload that mod first, "
				                                                        "then try again."),
				                           FText::FromString(Item.ItemId));
				return ETRLWorkshopResult::ItemNotFound;
			}
			if (!OutItems.ContainsByPredicate([ItemId](const TPair<uint64, FString>& Known) {
				    return Known.Key == ItemId;
			    }))
			{
				OutItems.Add(TPair<uint64, FString>{ItemId, Item.Name});
			}
		}
		return ETRLWorkshopResult::Success;
	}

	FString ItemIdToString(uint64 ItemId)
	{
		return ItemId != 0 ? LexToString(ItemId) : FString();
	}

	/** What a new item and an update both send; an update adds its change note. */
	FTRLWorkshopItemUpdate MakeItemUpdate(const FString& ContentFolder, const FString& PreviewImagePath, const FString& Title, const FString& Description,
	                                      const TArray<FString>& Tags, ETRLWorkshopVisibility Visibility, FTRLWorkshopRequestExtras& Extras)
	{
		FTRLWorkshopItemUpdate Update;
		Update.KeyValueTags = MoveTemp(Extras.KeyValueTags);
		Update.ExtraPreviewPaths = MoveTemp(Extras.ExtraPreviewPaths);
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
	FTRLWorkshopRequestExtras Extras = MoveTemp(NextExtras);
	NextExtras = FTRLWorkshopRequestExtras();
	FTRLWorkshopItemUpdate Update = MakeItemUpdate(ContentFolder, PreviewImagePath, Title, Description, Tags, Visibility, Extras);
	return StartRequest(0, MoveTemp(Update), MoveTemp(Extras.RequiredItems));
}

ETRLWorkshopResult UTRLWorkshopPublisher::UpdateExistingMod(const FString& ItemId, const FString& ContentFolder, const FString& PreviewImagePath,
                                                            const FString& ChangeNote, ETRLWorkshopVisibility Visibility, const FString& Title,
                                                            const FString& Description, const TArray<FString>& Tags)
{
	FTRLWorkshopRequestExtras Extras = MoveTemp(NextExtras);
	NextExtras = FTRLWorkshopRequestExtras();
	uint64 ParsedItemId = 0;
	if (!Service.IsValid() && !ParseItemId(ItemId, ParsedItemId))
	{
		return Refuse(ETRLWorkshopResult::ItemNotFound,
		              FText::Format(LOCTEXT("BadItemId", "'{0}' is not a Workshop item id. Correct ItemId in the mod's workshop.json, or delete the file "
		                                                 "to publish the mod as a new item."),
		                            FText::FromString(ItemId)));
	}
	FTRLWorkshopItemUpdate Update = MakeItemUpdate(ContentFolder, PreviewImagePath, Title, Description, Tags, Visibility, Extras);
	Update.ChangeNote = ChangeNote;
	return StartRequest(ParsedItemId, MoveTemp(Update), MoveTemp(Extras.RequiredItems));
}

void UTRLWorkshopPublisher::SetNextRequestExtras(FTRLWorkshopRequestExtras Extras)
{
	NextExtras = MoveTemp(Extras);
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

ETRLWorkshopResult UTRLWorkshopPublisher::StartRequest(uint64 ItemId, FTRLWorkshopItemUpdate Update, TOptional<TArray<FTRLRequiredWorkshopItem>> Required)
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
	for (FString& Path : Update.ExtraPreviewPaths)
	{
		Path = FPaths::ConvertRelativePathToFull(Path);
	}
	FText Message;
	ETRLWorkshopResult Result = CheckSteamRules(Update, Message);
	TArray<TPair<uint64, FString>> RequiredIds;
	if (Result == ETRLWorkshopResult::Success && Required.IsSet())
	{
		Result = ParseRequiredItems(Required.GetValue(), RequiredIds, Message);
	}
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
	RequiredItems.Reset();
	if (Required.IsSet())
	{
		RequiredItems = MoveTemp(RequiredIds);
	}
	PendingDependencyChanges.Reset();
	UploadAnswer = FTRLWorkshopAnswer();
	const uint32 Request = ++RequestNumber;
	TickerHandle = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateUObject(this, &UTRLWorkshopPublisher::PumpWorkshop), 0.0f);
	if (ItemId == 0)
	{
		NewService->CreateItem(FTRLOnWorkshopAnswer::CreateUObject(this, &UTRLWorkshopPublisher::HandleItemCreated, Request));
	}
	else if (!PendingUpdate.ExtraPreviewPaths.IsEmpty())
	{
		// The item's earlier images are removed by their place among its previews, which only Steam knows.
		NewService->QueryItemDetails(ItemId, FTRLOnWorkshopDetails::CreateUObject(this, &UTRLWorkshopPublisher::HandlePreviewsRead, Request));
	}
	else
	{
		SubmitPendingUpdate(Request);
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
	if (!IsRunning(Request))
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
	SubmitPendingUpdate(Request);
}

void UTRLWorkshopPublisher::HandlePreviewsRead(const FTRLWorkshopAnswer& Answer, const FTRLWorkshopItemDetails& Details, uint32 Request)
{
	if (!IsRunning(Request))
	{
		return;
	}
	if (Answer.Result == ETRLWorkshopResult::Success)
	{
		PendingUpdate.ExtraPreviewIndicesToRemove = Details.ImagePreviewIndices;
	}
	else
	{
		// Added without the earlier ones removed, the new images would stand beside them.
		UE_LOG(LogTrellic, Warning,
		       TEXT("Could not read the extra preview images of Workshop item %s, so they were left as they are and the new ones were not added. %s Upload "
		            "again to replace them."),
		       *ItemIdToString(TargetItemId), *Answer.Message.ToString());
		PendingUpdate.ExtraPreviewPaths.Reset();
	}
	SubmitPendingUpdate(Request);
}

void UTRLWorkshopPublisher::SubmitPendingUpdate(uint32 Request)
{
	// Held here, so that a completion inside the call cannot take the service away under it.
	const TSharedPtr<ITRLWorkshopService> Running = Service;
	Running->SubmitItemUpdate(TargetItemId, PendingUpdate, FTRLOnWorkshopAnswer::CreateUObject(this, &UTRLWorkshopPublisher::HandleItemSubmitted, Request));
}

void UTRLWorkshopPublisher::HandleItemSubmitted(const FTRLWorkshopAnswer& Answer, uint32 Request)
{
	const TSharedPtr<ITRLWorkshopService> Running = Service;
	if (!IsRunning(Request))
	{
		return;
	}
	// An item made for this request is reported even when its upload failed, so that the next one updates it.
	UploadAnswer = Answer;
	UploadAnswer.ItemId = Answer.ItemId != 0 ? Answer.ItemId : CreatedItemId;
	if (Answer.Result == ETRLWorkshopResult::Success)
	{
		UploadAnswer.ItemId = Answer.ItemId != 0 ? Answer.ItemId : TargetItemId;
		const FText Done =
		    CreatedItemId != 0 ? LOCTEXT("Created", "Workshop item {0} was created and uploaded.") : LOCTEXT("Updated", "Workshop item {0} was updated.");
		UploadAnswer.Message = FText::Format(Done, FText::FromString(ItemIdToString(UploadAnswer.ItemId)));
	}
	// Hidden until the legal agreement is accepted, the item has its content all the same, and what it requires.
	const bool bUploaded = Answer.Result == ETRLWorkshopResult::Success || Answer.Result == ETRLWorkshopResult::LegalAgreementRequired;
	if (!bUploaded || !RequiredItems.IsSet())
	{
		Complete(UploadAnswer.Result, UploadAnswer.ItemId, UploadAnswer.Message);
	}
	else if (CreatedItemId != 0)
	{
		BringDependenciesInLine({}, Request);
	}
	else
	{
		Running->QueryItemDetails(TargetItemId, FTRLOnWorkshopDetails::CreateUObject(this, &UTRLWorkshopPublisher::HandleChildrenRead, Request));
	}
}

void UTRLWorkshopPublisher::HandleChildrenRead(const FTRLWorkshopAnswer& Answer, const FTRLWorkshopItemDetails& Details, uint32 Request)
{
	if (!IsRunning(Request))
	{
		return;
	}
	if (Answer.Result != ETRLWorkshopResult::Success)
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("Could not read which items Workshop item %s requires, so they were left as they are. %s Upload again to bring them in line."),
		       *ItemIdToString(TargetItemId), *Answer.Message.ToString());
		Complete(UploadAnswer.Result, UploadAnswer.ItemId, UploadAnswer.Message);
		return;
	}
	BringDependenciesInLine(Details.Children, Request);
}

void UTRLWorkshopPublisher::BringDependenciesInLine(const TArray<uint64>& CurrentChildren, uint32 Request)
{
	PendingDependencyChanges.Reset();
	for (const TPair<uint64, FString>& Required : RequiredItems.GetValue())
	{
		if (!CurrentChildren.Contains(Required.Key))
		{
			PendingDependencyChanges.Add({Required.Key, true});
		}
	}
	for (const uint64 Child : CurrentChildren)
	{
		if (!RequiredItems->ContainsByPredicate([Child](const TPair<uint64, FString>& Required) {
			    return Required.Key == Child;
		    }))
		{
			PendingDependencyChanges.Add({Child, false});
		}
	}
	if (!PendingDependencyChanges.IsEmpty())
	{
		ChangeNextDependency(Request);
		return;
	}
	if (!CurrentChildren.IsEmpty())
	{
		TArray<FString> Described;
		for (const uint64 Child : CurrentChildren)
		{
			Described.Add(DescribeRequiredItem(Child));
		}
		UE_LOG(LogTrellic, Log, TEXT("Required items of Workshop item %s unchanged: %s."), *ItemIdToString(TargetItemId),
		       *FString::Join(Described, TEXT(", ")));
	}
	Complete(UploadAnswer.Result, UploadAnswer.ItemId, UploadAnswer.Message);
}

void UTRLWorkshopPublisher::ChangeNextDependency(uint32 Request)
{
	const TSharedPtr<ITRLWorkshopService> Running = Service;
	const FDependencyChange Change = PendingDependencyChanges[0];
	PendingDependencyChanges.RemoveAt(0);
	FTRLOnWorkshopAnswer OnAnswer = FTRLOnWorkshopAnswer::CreateUObject(this, &UTRLWorkshopPublisher::HandleDependencyChanged, Request, Change);
	if (Change.bAdd)
	{
		Running->AddDependency(TargetItemId, Change.ChildId, MoveTemp(OnAnswer));
	}
	else
	{
		Running->RemoveDependency(TargetItemId, Change.ChildId, MoveTemp(OnAnswer));
	}
}

void UTRLWorkshopPublisher::HandleDependencyChanged(const FTRLWorkshopAnswer& Answer, uint32 Request, FDependencyChange Change)
{
	if (!IsRunning(Request))
	{
		return;
	}
	const FString Item = ItemIdToString(TargetItemId);
	const FString Child = DescribeRequiredItem(Change.ChildId);
	if (Answer.Result != ETRLWorkshopResult::Success)
	{
		if (Change.bAdd)
		{
			UE_LOG(LogTrellic, Warning, TEXT("Could not make Workshop item %s require item %s. %s Upload again, or add it on the item's Workshop page."), *Item,
			       *Child, *Answer.Message.ToString());
		}
		else
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("Could not make Workshop item %s stop requiring item %s. %s Upload again, or remove it on the item's Workshop page."), *Item, *Child,
			       *Answer.Message.ToString());
		}
	}
	else if (Change.bAdd)
	{
		UE_LOG(LogTrellic, Log, TEXT("Workshop item %s now requires item %s."), *Item, *Child);
	}
	else
	{
		UE_LOG(LogTrellic, Log, TEXT("Workshop item %s no longer requires item %s."), *Item, *Child);
	}
	if (PendingDependencyChanges.IsEmpty())
	{
		Complete(UploadAnswer.Result, UploadAnswer.ItemId, UploadAnswer.Message);
	}
	else
	{
		ChangeNextDependency(Request);
	}
}

bool UTRLWorkshopPublisher::IsRunning(uint32 Request) const
{
	return Request == RequestNumber && Service.IsValid();
}

FString UTRLWorkshopPublisher::DescribeRequiredItem(uint64 ItemId) const
{
	const TPair<uint64, FString>* Required = RequiredItems.IsSet() ? RequiredItems->FindByPredicate([ItemId](const TPair<uint64, FString>& Candidate) {
		return Candidate.Key == ItemId;
	})
	                                                               : nullptr;
	return Required && !Required->Value.IsEmpty() ? FString::Printf(TEXT("%s (%s)"), *ItemIdToString(ItemId), *Required->Value) : ItemIdToString(ItemId);
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
