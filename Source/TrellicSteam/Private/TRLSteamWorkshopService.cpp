// Copyright Trellic contributors. All Rights Reserved.

#include "TRLSteamWorkshopService.h"

#include "HAL/PlatformProcess.h"
#include "Misc/ScopeLock.h"
#include "Trellic.h"
#include "TrellicSteamModule.h"

#define LOCTEXT_NAMESPACE "TRLSteamWorkshopService"

namespace
{
	// The SDK takes UTF-8 as char; the engine's converter hands it out as ANSICHAR or UTF8CHAR depending on the version.
	template <typename ConverterType>
	const char* AsSdkString(const ConverterType& Utf8)
	{
		return reinterpret_cast<const char*>(Utf8.Get());
	}

	ERemoteStoragePublishedFileVisibility ToSteamVisibility(ETRLWorkshopVisibility Visibility)
	{
		switch (Visibility)
		{
			case ETRLWorkshopVisibility::FriendsOnly:
				return k_ERemoteStoragePublishedFileVisibilityFriendsOnly;
			case ETRLWorkshopVisibility::Private:
				return k_ERemoteStoragePublishedFileVisibilityPrivate;
			case ETRLWorkshopVisibility::Unlisted:
				return k_ERemoteStoragePublishedFileVisibilityUnlisted;
			default:
				return k_ERemoteStoragePublishedFileVisibilityPublic;
		}
	}

	FTRLWorkshopAnswer MakeRefusal(ETRLWorkshopResult Result, const FText& Message, uint64 ItemId)
	{
		FTRLWorkshopAnswer Answer;
		Answer.Result = Result;
		Answer.Message = Message;
		Answer.ItemId = ItemId;
		return Answer;
	}

	FText NotSentMessage()
	{
		return LOCTEXT("NotSent", "Steam did not take the request. Check that the Steam client is running and logged in, then try again.");
	}

	/** The answer to a call that reads or links items: the why of a failure is Steam's result, which the caller's Warning names. */
	FTRLWorkshopAnswer MakeCallAnswer(EResult Code)
	{
		FTRLWorkshopAnswer Answer;
		Answer.Result = Code == k_EResultOK ? ETRLWorkshopResult::Success : ETRLWorkshopResult::Unknown;
		if (Code != k_EResultOK)
		{
			Answer.Message = FText::Format(LOCTEXT("CallFailed", "Steam answered with result {0}."), FText::FromString(LexToString(static_cast<int32>(Code))));
		}
		return Answer;
	}

	FTRLWorkshopAnswer MakeCallNotTaken()
	{
		FTRLWorkshopAnswer Answer;
		Answer.Result = ETRLWorkshopResult::ServiceUnavailable;
		Answer.Message = LOCTEXT("CallNotTaken", "Steam did not take the call.");
		return Answer;
	}

	FString DescribeItem(PublishedFileId_t ItemId)
	{
		return ItemId != k_PublishedFileIdInvalid ? LexToString(static_cast<uint64>(ItemId)) : FString(TEXT("none"));
	}

	/** Each stage's share of a whole update, in Steam's order: sending the content takes most of the time. */
	struct FStageShare
	{
		EItemUpdateStatus Status;
		double Start;
		double End;
	};

	constexpr FStageShare StageShares[] = {
	    {k_EItemUpdateStatusPreparingConfig, 0.0, 0.02},   {k_EItemUpdateStatusPreparingContent, 0.02, 0.1},
	    {k_EItemUpdateStatusUploadingContent, 0.1, 0.9},   {k_EItemUpdateStatusUploadingPreviewFile, 0.9, 0.98},
	    {k_EItemUpdateStatusCommittingChanges, 0.98, 1.0},
	};

	/** Steam's answer as only CreateItem documents it. @return false for a result CreateItem gives no meaning of its own */
	bool ExplainCreateItem(EResult Result, AppId_t AppId, FTRLWorkshopAnswer& OutAnswer)
	{
		switch (Result)
		{
			case k_EResultInvalidParam:
				OutAnswer.Result = ETRLWorkshopResult::Unknown;
				OutAnswer.Message =
				    FText::Format(LOCTEXT("CreateInvalidParam", "Steam refused to create the Workshop item (Steam result 8, invalid parameter): "
				                                                "the Workshop may not be enabled for app id {0}. Check the app's Workshop "
				                                                "settings in Steamworks, then try again."),
				                  FText::FromString(LexToString(AppId)));
				return true;
			case k_EResultFileNotFound:
				OutAnswer.Result = ETRLWorkshopResult::ItemNotFound;
				OutAnswer.Message = LOCTEXT("CreateFileNotFound", "Steam could not find what it needed to create the Workshop item (Steam result 9, file "
				                                                  "not found). Try again; if it keeps failing, restart the Steam client.");
				return true;
			case k_EResultDuplicateName:
				OutAnswer.Result = ETRLWorkshopResult::DuplicateItem;
				OutAnswer.Message = LOCTEXT("CreateDuplicateName", "The Steam account already has a Workshop item of this name (Steam result 14, "
				                                                   "duplicate name), so Steam made no new one. Give the mod another FriendlyName, or "
				                                                   "put that item's id in the mod's workshop.json as ItemId to update it.");
				return true;
			case k_EResultAccessDenied:
				OutAnswer.Result = ETRLWorkshopResult::AccessDenied;
				OutAnswer.Message = LOCTEXT("CreateAccessDenied", "Steam denied creating the Workshop item (Steam result 15, access denied): it refused "
				                                                  "to save the item's title and description, or the account does not own the game. "
				                                                  "Log in with an account that owns the game, check the mod's FriendlyName and "
				                                                  "Description, then try again.");
				return true;
			case k_EResultLimitExceeded:
				OutAnswer.Result = ETRLWorkshopResult::CloudStorageFull;
				OutAnswer.Message = LOCTEXT("CreateLimitExceeded", "The account's Steam Cloud storage is full (Steam result 25, limit exceeded), so "
				                                                   "Steam made no item. Remove some of the account's Workshop items or Cloud files, "
				                                                   "then try again.");
				return true;
			case k_EResultDuplicateRequest:
				OutAnswer.Result = ETRLWorkshopResult::DuplicateItem;
				OutAnswer.Message = LOCTEXT("CreateDuplicateRequest", "Steam says that this item was made already (Steam result 29, duplicate "
				                                                      "request). Look for it among the account's Workshop items and put its id in "
				                                                      "the mod's workshop.json as ItemId, or try again to make a new one.");
				return true;
			default:
				return false;
		}
	}

	/** Steam's answer as only SubmitItemUpdate documents it. @return false for a result it gives no meaning of its own */
	bool ExplainSubmitItemUpdate(EResult Result, PublishedFileId_t ItemId, AppId_t AppId, FTRLWorkshopAnswer& OutAnswer)
	{
		const FText Item = FText::FromString(ItemId != k_PublishedFileIdInvalid ? LexToString(static_cast<uint64>(ItemId)) : FString());
		switch (Result)
		{
			case k_EResultInvalidParam:
				OutAnswer.Result = ETRLWorkshopResult::Unknown;
				OutAnswer.Message = FText::Format(LOCTEXT("SubmitInvalidParam", "Steam refused the update of Workshop item {0} as invalid (Steam result 8, "
				                                                                "invalid parameter): the item may belong to another game than app id {1}, "
				                                                                "the Workshop may not be enabled for the app, or the preview image is under "
				                                                                "16 bytes. Check the item and the app's Workshop settings in Steamworks, "
				                                                                "then try again."),
				                                  Item, FText::FromString(LexToString(AppId)));
				return true;
			case k_EResultFileNotFound:
				OutAnswer.Result = ETRLWorkshopResult::ItemNotFound;
				OutAnswer.Message = ItemId != k_PublishedFileIdInvalid
				                        ? FText::Format(LOCTEXT("ItemNotFound", "Steam could not find Workshop item {0}, or could not read the content or "
				                                                                "the preview image (Steam result 9, file not found). If the item was deleted "
				                                                                "on Steam, delete the mod's workshop.json so that the next upload creates a "
				                                                                "new item."),
				                                        Item)
				                        : LOCTEXT("ContentNotFound", "Steam could not read the content or the preview image (Steam result 9, file not "
				                                                     "found). Check that both exist, then try again.");
				return true;
			case k_EResultAccessDenied:
				OutAnswer.Result = ETRLWorkshopResult::AccessDenied;
				OutAnswer.Message = FText::Format(LOCTEXT("SubmitAccessDenied", "Steam denied the upload to Workshop item {0} (Steam result 15, access "
				                                                                "denied): the account does not own a licence for the game, or did not "
				                                                                "create the item. Log in with the account that owns the game and created "
				                                                                "the item, then try again."),
				                                  Item);
				return true;
			case k_EResultLockingFailed:
				OutAnswer.Result = ETRLWorkshopResult::ServiceUnavailable;
				OutAnswer.Message = FText::Format(LOCTEXT("SubmitLockingFailed", "Steam could not lock Workshop item {0} for the update (Steam result "
				                                                                 "33, locking failed). Wait a minute, then try again."),
				                                  Item);
				return true;
			case k_EResultLimitExceeded:
				OutAnswer.Result = ETRLWorkshopResult::PreviewTooLarge;
				OutAnswer.Message = LOCTEXT("SubmitLimitExceeded", "Steam refused the update as too large (Steam result 25, limit exceeded): the preview "
				                                                   "image must be under 1 MB, and the account's Steam Cloud storage may be full. Use a "
				                                                   "smaller preview image or free Cloud storage, then try again.");
				return true;
			default:
				return false;
		}
	}

	/** Steam's answer as it reads from either call: the account, the connection, the machine. */
	void ExplainAnyCall(EResult Result, FTRLWorkshopAnswer& OutAnswer)
	{
		const FText Number = FText::FromString(LexToString(static_cast<int32>(Result)));
		switch (Result)
		{
			case k_EResultNotLoggedOn:
				OutAnswer.Result = ETRLWorkshopResult::NotLoggedOn;
				OutAnswer.Message = LOCTEXT("NotLoggedOn", "The Steam client is not logged in (Steam result 21). Log in with the account that publishes "
				                                           "this game's mods and try again.");
				break;
			case k_EResultBanned:
				OutAnswer.Result = ETRLWorkshopResult::AccessDenied;
				OutAnswer.Message = LOCTEXT("Banned", "This Steam account may not upload to this game's Workshop (Steam result 17, banned): it has an "
				                                      "active VAC or game ban. Publish with another account.");
				break;
			case k_EResultInsufficientPrivilege:
				OutAnswer.Result = ETRLWorkshopResult::AccessDenied;
				OutAnswer.Message = LOCTEXT("InsufficientPrivilege", "This Steam account may not upload Workshop content for now (Steam result 24, "
				                                                     "insufficient privilege): it is restricted by a hub ban, an account lock or a "
				                                                     "community ban. Publish with another account, or ask Steam Support.");
				break;
			case k_EResultServiceReadOnly:
				OutAnswer.Result = ETRLWorkshopResult::AccessDenied;
				OutAnswer.Message = LOCTEXT("ServiceReadOnly", "Steam blocks uploads from this account for now (Steam result 44, service read-only): "
				                                               "its password or e-mail address changed recently. The block usually ends after 5 days, "
				                                               "and up to 30 for an account that was not used for a while; until then, publish with "
				                                               "another account.");
				break;
			case k_EResultTimeout:
				OutAnswer.Result = ETRLWorkshopResult::Timeout;
				OutAnswer.Message = LOCTEXT("Timeout", "Steam did not answer in time (Steam result 16, timeout). Check the internet connection and try again.");
				break;
			case k_EResultServiceUnavailable:
				OutAnswer.Result = ETRLWorkshopResult::ServiceUnavailable;
				OutAnswer.Message = LOCTEXT("ServiceUnavailable", "The Steam Workshop is not available right now (Steam result 20, service "
				                                                  "unavailable). Try again in a few minutes.");
				break;
			case k_EResultNoConnection:
			case k_EResultBusy:
			case k_EResultIOFailure:
			case k_EResultRemoteCallFailed:
				OutAnswer.Result = ETRLWorkshopResult::ServiceUnavailable;
				OutAnswer.Message = FText::Format(LOCTEXT("Unreachable", "Steam could not reach the Workshop (Steam result {0}: the connection or the "
				                                                         "call failed). Check the internet connection and try again in a few minutes."),
				                                  Number);
				break;
			case k_EResultDiskFull:
				OutAnswer.Result = ETRLWorkshopResult::DiskFull;
				OutAnswer.Message = LOCTEXT("DiskFull", "Steam ran out of disk space while handling the upload (Steam result 54, disk full). Free "
				                                        "space on the drive that holds Steam, then try again.");
				break;
			default:
				OutAnswer.Result = ETRLWorkshopResult::Unknown;
				OutAnswer.Message = FText::Format(LOCTEXT("Unknown", "Steam refused the upload with result {0}, which the Workshop does not explain. "
				                                                     "Try again; if it keeps failing, restart the Steam client, and give Steam Support "
				                                                     "that number."),
				                                  Number);
				break;
		}
	}
} // namespace

void FTRLSteamCallSlot::CancelCalls()
{
	FScopeLock ScopeLock(&Lock);
	CreateItemCall.Cancel();
	SubmitItemUpdateCall.Cancel();
	QueryCall.Cancel();
	AddDependencyCall.Cancel();
	RemoveDependencyCall.Cancel();
}

void FTRLSteamCallSlot::HandleItemCreated(CreateItemResult_t* Result, bool bIOFailure)
{
	FScopeLock ScopeLock(&Lock);
	if (Service)
	{
		Service->HandleItemCreated(Result, bIOFailure);
	}
}

void FTRLSteamCallSlot::HandleItemSubmitted(SubmitItemUpdateResult_t* Result, bool bIOFailure)
{
	FScopeLock ScopeLock(&Lock);
	if (Service)
	{
		Service->HandleItemSubmitted(Result, bIOFailure);
	}
}

void FTRLSteamCallSlot::HandleQueryCompleted(SteamUGCQueryCompleted_t* Result, bool bIOFailure)
{
	FScopeLock ScopeLock(&Lock);
	if (Service)
	{
		Service->HandleQueryCompleted(Result, bIOFailure);
	}
}

void FTRLSteamCallSlot::HandleDependencyAdded(AddUGCDependencyResult_t* Result, bool bIOFailure)
{
	FScopeLock ScopeLock(&Lock);
	if (Service)
	{
		Service->HandleDependencyChanged(TEXT("AddDependency"), bIOFailure ? k_EResultIOFailure : Result->m_eResult,
		                                 bIOFailure ? k_PublishedFileIdInvalid : Result->m_nChildPublishedFileId);
	}
}

void FTRLSteamCallSlot::HandleDependencyRemoved(RemoveUGCDependencyResult_t* Result, bool bIOFailure)
{
	FScopeLock ScopeLock(&Lock);
	if (Service)
	{
		Service->HandleDependencyChanged(TEXT("RemoveDependency"), bIOFailure ? k_EResultIOFailure : Result->m_eResult,
		                                 bIOFailure ? k_PublishedFileIdInvalid : Result->m_nChildPublishedFileId);
	}
}

FTRLSteamWorkshopService::FTRLSteamWorkshopService()
    : Slot(FTrellicSteamModule::Get().BorrowCallSlot())
{
}

FTRLSteamWorkshopService::~FTRLSteamWorkshopService()
{
	Disconnect();
}

ETRLWorkshopResult FTRLSteamWorkshopService::Connect(FText& OutMessage)
{
	switch (FTrellicSteamModule::Get().ConnectSteam())
	{
		case ETRLSteamConnection::NoSteamShared:
			OutMessage =
			    LOCTEXT("NoSteamShared", "Steam support is not loaded in this editor. Enable the Steam Shared plug-in, restart the editor and try again.");
			return ETRLWorkshopResult::SteamNotRunning;
		case ETRLSteamConnection::NotRunning:
			OutMessage = FText::Format(LOCTEXT("SteamNotRunning", "Could not reach Steam, so nothing was uploaded. Either the Steam client is not "
			                                                      "running or not logged in: start it and log in with the account that publishes "
			                                                      "this game's mods. Or the editor does not know the game's app id: put a "
			                                                      "steam_appid.txt holding only the id in '{0}', beside the editor's executable, or "
			                                                      "start the editor with SteamAppId set to the id in its environment. Then try "
			                                                      "again."),
			                           FText::FromString(FPlatformProcess::BaseDir()));
			return ETRLWorkshopResult::SteamNotRunning;
		default:
			break;
	}
	FScopeLock ScopeLock(&Slot->Lock);
	bConnected = true;
	AppId = SteamUtils()->GetAppID();
	Slot->Service = this;
	return ETRLWorkshopResult::Success;
}

void FTRLSteamWorkshopService::Disconnect()
{
	// Under the slot's lock: a handler running on another thread finishes before this goes on, and none reaches this
	// service afterwards.
	FScopeLock ScopeLock(&Slot->Lock);
	if (Slot->Service == this)
	{
		Slot->CreateItemCall.Cancel();
		Slot->SubmitItemUpdateCall.Cancel();
		Slot->QueryCall.Cancel();
		Slot->AddDependencyCall.Cancel();
		Slot->RemoveDependencyCall.Cancel();
		Slot->Service = nullptr;
	}
	ISteamUGC* UGC = QueryHandle != k_UGCQueryHandleInvalid && bConnected ? SteamUGC() : nullptr;
	if (UGC)
	{
		UGC->ReleaseQueryUGCRequest(QueryHandle);
	}
	QueryHandle = k_UGCQueryHandleInvalid;
	Arrived.Empty();
	OnItemCreated.Unbind();
	OnItemSubmitted.Unbind();
	OnDetailsRead.Unbind();
	OnDependencyChanged.Unbind();
	UpdateHandle = k_UGCUpdateHandleInvalid;
	bLegalAgreementPending = false;
	bConnected = false;
	ReportedProgress = 0.0f;
}

void FTRLSteamWorkshopService::CreateItem(FTRLOnWorkshopAnswer OnAnswer)
{
	{
		FScopeLock ScopeLock(&Slot->Lock);
		ISteamUGC* UGC = bConnected ? SteamUGC() : nullptr;
		const SteamAPICall_t Call = UGC ? UGC->CreateItem(AppId, k_EWorkshopFileTypeCommunity) : k_uAPICallInvalid;
		if (Call != k_uAPICallInvalid)
		{
			// Set under the lock, so that an answer pumped on another thread waits until the delegate is in place.
			OnItemCreated = MoveTemp(OnAnswer);
			Slot->CreateItemCall.Set(Call, &Slot.Get(), &FTRLSteamCallSlot::HandleItemCreated);
			return;
		}
	}
	OnAnswer.ExecuteIfBound(MakeRefusal(ETRLWorkshopResult::ServiceUnavailable, NotSentMessage(), 0));
}

void FTRLSteamWorkshopService::SubmitItemUpdate(uint64 ItemId, const FTRLWorkshopItemUpdate& Update, FTRLOnWorkshopAnswer OnAnswer)
{
	TOptional<FTRLWorkshopAnswer> Refusal;
	{
		FScopeLock ScopeLock(&Slot->Lock);
		SubmittedItemId = ItemId;
		ReportedProgress = 0.0f;
		ISteamUGC* UGC = bConnected ? SteamUGC() : nullptr;
		const UGCUpdateHandle_t Handle = UGC ? UGC->StartItemUpdate(AppId, ItemId) : k_UGCUpdateHandleInvalid;
		// The publisher checked Steam's rules before the item was made; these refusals are Steam's own word on them.
		if (Handle == k_UGCUpdateHandleInvalid)
		{
			Refusal = MakeRefusal(ETRLWorkshopResult::ServiceUnavailable, NotSentMessage(), ItemId);
		}
		// Texts and tags go only when given, so that an update without them keeps what the item has on Steam.
		else if (!Update.Title.IsEmpty() && !UGC->SetItemTitle(Handle, AsSdkString(FTCHARToUTF8(*Update.Title))))
		{
			Refusal = MakeRefusal(ETRLWorkshopResult::TextTooLong,
			                      LOCTEXT("TitleRefused", "Steam refused the title. Shorten the mod's FriendlyName and try again."), ItemId);
		}
		else if (!Update.Description.IsEmpty() && !UGC->SetItemDescription(Handle, AsSdkString(FTCHARToUTF8(*Update.Description))))
		{
			Refusal = MakeRefusal(ETRLWorkshopResult::TextTooLong,
			                      LOCTEXT("DescriptionRefused", "Steam refused the description. Shorten the mod's Description and try again."), ItemId);
		}
		else
		{
			TArray<TArray<ANSICHAR>> TagTexts;
			TArray<const char*> TagPointers;
			for (const FString& Tag : Update.Tags)
			{
				const FTCHARToUTF8 Utf8(*Tag);
				TArray<ANSICHAR>& Text = TagTexts.Emplace_GetRef();
				Text.Append(AsSdkString(Utf8), Utf8.Length());
				Text.Add('\0');
			}
			for (const TArray<ANSICHAR>& Text : TagTexts)
			{
				TagPointers.Add(Text.GetData());
			}
			SteamParamStringArray_t TagArray;
			TagArray.m_ppStrings = TagPointers.GetData();
			TagArray.m_nNumStrings = TagPointers.Num();
			if (Update.Tags.Num() > 0 && !UGC->SetItemTags(Handle, &TagArray))
			{
				Refusal = MakeRefusal(ETRLWorkshopResult::TextTooLong,
				                      LOCTEXT("TagsRefused", "Steam refused the tags. Change the mod's TRLTags and try again."), ItemId);
			}
			else
			{
				SetExtras(*UGC, Handle, ItemId, Update);
				const bool bSet = UGC->SetItemVisibility(Handle, ToSteamVisibility(Update.Visibility)) &&
				                  UGC->SetItemContent(Handle, AsSdkString(FTCHARToUTF8(*Update.ContentFolder))) &&
				                  (Update.PreviewImagePath.IsEmpty() || UGC->SetItemPreview(Handle, AsSdkString(FTCHARToUTF8(*Update.PreviewImagePath))));
				const FTCHARToUTF8 ChangeNote(*Update.ChangeNote);
				const SteamAPICall_t Call =
				    bSet ? UGC->SubmitItemUpdate(Handle, Update.ChangeNote.IsEmpty() ? nullptr : AsSdkString(ChangeNote)) : k_uAPICallInvalid;
				if (Call == k_uAPICallInvalid)
				{
					Refusal = MakeRefusal(ETRLWorkshopResult::ServiceUnavailable, NotSentMessage(), ItemId);
				}
				else
				{
					UpdateHandle = Handle;
					OnItemSubmitted = MoveTemp(OnAnswer);
					Slot->SubmitItemUpdateCall.Set(Call, &Slot.Get(), &FTRLSteamCallSlot::HandleItemSubmitted);
				}
			}
		}
	}
	if (Refusal.IsSet())
	{
		OnAnswer.ExecuteIfBound(Refusal.GetValue());
	}
}

void FTRLSteamWorkshopService::SetExtras(ISteamUGC& UGC, UGCUpdateHandle_t Handle, uint64 ItemId, const FTRLWorkshopItemUpdate& Update)
{
	const FString Item = LexToString(ItemId);
	for (const TPair<FString, FString>& Tag : Update.KeyValueTags)
	{
		const FTCHARToUTF8 Key(*Tag.Key);
		// Without the earlier values gone, the new one would stand beside them.
		if (!UGC.RemoveItemKeyValueTags(Handle, AsSdkString(Key)))
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("Steam refused to replace the key-value tag '%s' of Workshop item %s, so it keeps its earlier value. Upload again to "
			            "set it."),
			       *Tag.Key, *Item);
		}
		else if (!UGC.AddItemKeyValueTag(Handle, AsSdkString(Key), AsSdkString(FTCHARToUTF8(*Tag.Value))))
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("Steam refused the value '%s' of the key-value tag '%s' for Workshop item %s, so the item has no value for that "
			            "key now. Upload again to set it."),
			       *Tag.Value, *Tag.Key, *Item);
		}
	}
	// From the last to the first, so that whether Steam counts an index before or after the removals above it, it
	// names the same preview.
	TArray<uint32> Removed = Update.ExtraPreviewIndicesToRemove;
	Removed.Sort([](uint32 Left, uint32 Right) {
		return Left > Right;
	});
	for (const uint32 Index : Removed)
	{
		if (!UGC.RemoveItemPreview(Handle, Index))
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("Steam refused to remove an earlier extra preview image of Workshop item %s, so its page may still show it. Upload "
			            "again to replace it."),
			       *Item);
		}
	}
	for (const FString& Path : Update.ExtraPreviewPaths)
	{
		if (!UGC.AddItemPreviewFile(Handle, AsSdkString(FTCHARToUTF8(*Path)), k_EItemPreviewType_Image))
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("Steam refused the extra preview image '%s' for Workshop item %s, so its page does not show it. Upload again to add "
			            "it."),
			       *Path, *Item);
		}
	}
}

void FTRLSteamWorkshopService::QueryItemDetails(uint64 ItemId, FTRLOnWorkshopDetails OnAnswer)
{
	{
		FScopeLock ScopeLock(&Slot->Lock);
		ISteamUGC* UGC = bConnected ? SteamUGC() : nullptr;
		PublishedFileId_t Id = ItemId;
		const UGCQueryHandle_t Handle = UGC ? UGC->CreateQueryUGCDetailsRequest(&Id, 1) : k_UGCQueryHandleInvalid;
		// A cached answer could miss a change made moments ago, such as by this plug-in's last upload.
		const bool bSet = Handle != k_UGCQueryHandleInvalid && UGC->SetReturnChildren(Handle, true) && UGC->SetReturnAdditionalPreviews(Handle, true) &&
		                  UGC->SetAllowCachedResponse(Handle, 0);
		const SteamAPICall_t Call = bSet ? UGC->SendQueryUGCRequest(Handle) : k_uAPICallInvalid;
		if (Call != k_uAPICallInvalid)
		{
			QueryHandle = Handle;
			OnDetailsRead = MoveTemp(OnAnswer);
			Slot->QueryCall.Set(Call, &Slot.Get(), &FTRLSteamCallSlot::HandleQueryCompleted);
			return;
		}
		if (Handle != k_UGCQueryHandleInvalid)
		{
			UGC->ReleaseQueryUGCRequest(Handle);
		}
	}
	OnAnswer.ExecuteIfBound(MakeCallNotTaken(), FTRLWorkshopItemDetails());
}

void FTRLSteamWorkshopService::AddDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer)
{
	{
		FScopeLock ScopeLock(&Slot->Lock);
		ISteamUGC* UGC = bConnected ? SteamUGC() : nullptr;
		const SteamAPICall_t Call = UGC ? UGC->AddDependency(ItemId, ChildId) : k_uAPICallInvalid;
		if (Call != k_uAPICallInvalid)
		{
			OnDependencyChanged = MoveTemp(OnAnswer);
			Slot->AddDependencyCall.Set(Call, &Slot.Get(), &FTRLSteamCallSlot::HandleDependencyAdded);
			return;
		}
	}
	OnAnswer.ExecuteIfBound(MakeCallNotTaken());
}

void FTRLSteamWorkshopService::RemoveDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer)
{
	{
		FScopeLock ScopeLock(&Slot->Lock);
		ISteamUGC* UGC = bConnected ? SteamUGC() : nullptr;
		const SteamAPICall_t Call = UGC ? UGC->RemoveDependency(ItemId, ChildId) : k_uAPICallInvalid;
		if (Call != k_uAPICallInvalid)
		{
			OnDependencyChanged = MoveTemp(OnAnswer);
			Slot->RemoveDependencyCall.Set(Call, &Slot.Get(), &FTRLSteamCallSlot::HandleDependencyRemoved);
			return;
		}
	}
	OnAnswer.ExecuteIfBound(MakeCallNotTaken());
}

float FTRLSteamWorkshopService::GetUpdateProgress() const
{
	FScopeLock ScopeLock(&Slot->Lock);
	ISteamUGC* UGC = bConnected ? SteamUGC() : nullptr;
	if (UGC && UpdateHandle != k_UGCUpdateHandleInvalid)
	{
		uint64 Processed = 0;
		uint64 Total = 0;
		const EItemUpdateStatus Status = UGC->GetItemUpdateProgress(UpdateHandle, &Processed, &Total);
		const float Fraction = GetUpdateFraction(Status, Processed, Total);
		if (Fraction > ReportedProgress)
		{
			ReportedProgress = Fraction;
		}
	}
	return ReportedProgress;
}

float FTRLSteamWorkshopService::GetUpdateFraction(EItemUpdateStatus Status, uint64 BytesProcessed, uint64 BytesTotal)
{
	for (const FStageShare& Share : StageShares)
	{
		if (Share.Status == Status)
		{
			const double Done = BytesTotal == 0                ? 0.0
			                    : BytesProcessed >= BytesTotal ? 1.0
			                                                   : static_cast<double>(BytesProcessed) / static_cast<double>(BytesTotal);
			return static_cast<float>(Share.Start + (Share.End - Share.Start) * Done);
		}
	}
	return 0.0f;
}

void FTRLSteamWorkshopService::RunCallbacks()
{
	{
		FScopeLock ScopeLock(&Slot->Lock);
		if (!bConnected)
		{
			return;
		}
	}
	SteamAPI_RunCallbacks();
	TArray<FArrivedAnswer> Ready;
	{
		FScopeLock ScopeLock(&Slot->Lock);
		Ready = MoveTemp(Arrived);
		Arrived.Empty();
	}
	for (FArrivedAnswer& Item : Ready)
	{
		{
			// An answer may end the request; what came with it is then dropped.
			FScopeLock ScopeLock(&Slot->Lock);
			if (!bConnected)
			{
				break;
			}
		}
		Item.Delegate.ExecuteIfBound(Item.Answer);
		Item.DetailsDelegate.ExecuteIfBound(Item.Answer, Item.Details);
	}
}

void FTRLSteamWorkshopService::HandleItemCreated(CreateItemResult_t* Result, bool bIOFailure)
{
	const EResult Code = bIOFailure ? k_EResultIOFailure : Result->m_eResult;
	const PublishedFileId_t ItemId = bIOFailure ? k_PublishedFileIdInvalid : Result->m_nPublishedFileId;
	UE_LOG(LogTrellic, Verbose, TEXT("Steam answered CreateItem with result %d, item %s."), static_cast<int32>(Code), *DescribeItem(ItemId));
	bLegalAgreementPending = !bIOFailure && Result->m_bUserNeedsToAcceptWorkshopLegalAgreement;
	// The legal agreement does not stop the upload; it is reported once the item has its content.
	QueueAnswer(OnItemCreated, MakeAnswer(ECall::CreateItem, Code, false, Code == k_EResultOK ? ItemId : k_PublishedFileIdInvalid, AppId));
}

void FTRLSteamWorkshopService::HandleItemSubmitted(SubmitItemUpdateResult_t* Result, bool bIOFailure)
{
	const EResult Code = bIOFailure ? k_EResultIOFailure : Result->m_eResult;
	const PublishedFileId_t ItemId = (!bIOFailure && Result->m_nPublishedFileId != k_PublishedFileIdInvalid) ? Result->m_nPublishedFileId : SubmittedItemId;
	UE_LOG(LogTrellic, Verbose, TEXT("Steam answered SubmitItemUpdate with result %d, item %s."), static_cast<int32>(Code), *DescribeItem(ItemId));
	const bool bLegalAgreement = bLegalAgreementPending || (!bIOFailure && Result->m_bUserNeedsToAcceptWorkshopLegalAgreement);
	UpdateHandle = k_UGCUpdateHandleInvalid;
	QueueAnswer(OnItemSubmitted, MakeAnswer(ECall::SubmitItemUpdate, Code, bLegalAgreement, ItemId, AppId));
}

void FTRLSteamWorkshopService::HandleQueryCompleted(SteamUGCQueryCompleted_t* Result, bool bIOFailure)
{
	EResult Code = bIOFailure ? k_EResultIOFailure : Result->m_eResult;
	UE_LOG(LogTrellic, Verbose, TEXT("Steam answered the details query with result %d."), static_cast<int32>(Code));
	FArrivedAnswer& Item = Arrived.Emplace_GetRef();
	ISteamUGC* UGC = SteamUGC();
	if (Code == k_EResultOK && UGC)
	{
		Code = ReadItemDetails(*UGC, Item.Details);
	}
	if (UGC && QueryHandle != k_UGCQueryHandleInvalid)
	{
		UGC->ReleaseQueryUGCRequest(QueryHandle);
	}
	QueryHandle = k_UGCQueryHandleInvalid;
	if (Code != k_EResultOK)
	{
		Item.Details = FTRLWorkshopItemDetails();
	}
	Item.Answer = MakeCallAnswer(Code);
	Item.DetailsDelegate = MoveTemp(OnDetailsRead);
	OnDetailsRead.Unbind();
}

EResult FTRLSteamWorkshopService::ReadItemDetails(ISteamUGC& UGC, FTRLWorkshopItemDetails& OutDetails) const
{
	SteamUGCDetails_t Details;
	if (!UGC.GetQueryUGCResult(QueryHandle, 0, &Details))
	{
		return k_EResultFileNotFound;
	}
	if (Details.m_eResult != k_EResultOK)
	{
		return Details.m_eResult;
	}
	TArray<PublishedFileId_t> Children;
	Children.SetNumZeroed(static_cast<int32>(Details.m_unNumChildren));
	if (Details.m_unNumChildren > 0 && !UGC.GetQueryUGCChildren(QueryHandle, 0, Children.GetData(), Details.m_unNumChildren))
	{
		return k_EResultFail;
	}
	for (const PublishedFileId_t Child : Children)
	{
		OutDetails.Children.Add(Child);
	}
	const uint32 NumPreviews = UGC.GetQueryUGCNumAdditionalPreviews(QueryHandle, 0);
	for (uint32 Index = 0; Index < NumPreviews; ++Index)
	{
		// Only the type matters here; the location and name are read because the call fills them.
		char Location[1024];
		char FileName[260];
		EItemPreviewType Type = k_EItemPreviewType_ReservedMax;
		if (UGC.GetQueryUGCAdditionalPreview(QueryHandle, 0, Index, Location, sizeof(Location), FileName, sizeof(FileName), &Type) &&
		    Type == k_EItemPreviewType_Image)
		{
			OutDetails.ImagePreviewIndices.Add(Index);
		}
	}
	return k_EResultOK;
}

void FTRLSteamWorkshopService::HandleDependencyChanged(const TCHAR* Call, EResult Code, PublishedFileId_t ChildId)
{
	UE_LOG(LogTrellic, Verbose, TEXT("Steam answered %s with result %d, required item %s."), Call, static_cast<int32>(Code), *DescribeItem(ChildId));
	QueueAnswer(OnDependencyChanged, MakeCallAnswer(Code));
}

void FTRLSteamWorkshopService::QueueAnswer(FTRLOnWorkshopAnswer& Delegate, const FTRLWorkshopAnswer& Answer)
{
	FArrivedAnswer& Item = Arrived.Emplace_GetRef();
	Item.Delegate = MoveTemp(Delegate);
	Item.Answer = Answer;
	Delegate.Unbind();
}

FTRLWorkshopAnswer FTRLSteamWorkshopService::MakeAnswer(ECall Call, EResult Result, bool bUserNeedsToAcceptLegalAgreement, PublishedFileId_t ItemId,
                                                        AppId_t AppId)
{
	FTRLWorkshopAnswer Answer;
	Answer.ItemId = ItemId;
	if (Result == k_EResultOK)
	{
		Answer.Result = bUserNeedsToAcceptLegalAgreement ? ETRLWorkshopResult::LegalAgreementRequired : ETRLWorkshopResult::Success;
		if (bUserNeedsToAcceptLegalAgreement)
		{
			Answer.Message = FText::Format(LOCTEXT("LegalAgreement", "Workshop item {0} was uploaded, but Steam keeps it hidden until you accept the "
			                                                         "Steam Workshop legal agreement. Open "
			                                                         "https://steamcommunity.com/sharedfiles/workshoplegalagreement with the publishing "
			                                                         "account and accept it."),
			                               FText::FromString(LexToString(static_cast<uint64>(ItemId))));
		}
		return Answer;
	}
	const bool bExplained = Call == ECall::CreateItem ? ExplainCreateItem(Result, AppId, Answer) : ExplainSubmitItemUpdate(Result, ItemId, AppId, Answer);
	if (!bExplained)
	{
		ExplainAnyCall(Result, Answer);
	}
	return Answer;
}

#undef LOCTEXT_NAMESPACE
