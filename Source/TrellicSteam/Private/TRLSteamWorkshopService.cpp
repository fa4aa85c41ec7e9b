// Copyright Trellic contributors. All Rights Reserved.

#include "TRLSteamWorkshopService.h"

#include "Misc/ScopeLock.h"
#include "Modules/ModuleManager.h"
#include "SteamSharedModule.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLSteamWorkshopService"

namespace
{
	// Steam takes tags of at most 255 characters, none with a comma.
	constexpr int32 MaxTagLength = 255;

	// Characters as the Workshop counts them: a surrogate pair is one.
	int32 CountCharacters(const FString& Text)
	{
		int32 Count = 0;
		for (const TCHAR Char : Text)
		{
			if (Char < 0xDC00 || Char > 0xDFFF)
			{
				++Count;
			}
		}
		return Count;
	}

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

	FString DescribeItem(PublishedFileId_t ItemId)
	{
		return ItemId != k_PublishedFileIdInvalid ? LexToString(static_cast<uint64>(ItemId)) : FString(TEXT("none"));
	}
} // namespace

FTRLSteamWorkshopService::~FTRLSteamWorkshopService()
{
	Disconnect();
}

ETRLWorkshopResult FTRLSteamWorkshopService::CheckUpdate(const FTRLWorkshopItemUpdate& Update, FText& OutMessage) const
{
	const int32 TitleLimit = static_cast<int32>(k_cchPublishedDocumentTitleMax) - 1;
	const int32 DescriptionLimit = static_cast<int32>(k_cchPublishedDocumentDescriptionMax);
	const int32 ChangeNoteLimit = static_cast<int32>(k_cchPublishedDocumentChangeDescriptionMax);
	if (CountCharacters(Update.Title) > TitleLimit)
	{
		OutMessage = FText::Format(
		    LOCTEXT("TitleTooLong", "The title has {0} characters; the Steam Workshop takes at most {1}. Shorten the mod's FriendlyName and try again."),
		    CountCharacters(Update.Title), TitleLimit);
		return ETRLWorkshopResult::TextTooLong;
	}
	if (CountCharacters(Update.Description) > DescriptionLimit)
	{
		OutMessage =
		    FText::Format(LOCTEXT("DescriptionTooLong",
		                          "The description has {0} characters; the Steam Workshop takes at most {1}. Shorten the mod's Description and try again."),
		                  CountCharacters(Update.Description), DescriptionLimit);
		return ETRLWorkshopResult::TextTooLong;
	}
	for (const FString& Tag : Update.Tags)
	{
		if (CountCharacters(Tag) > MaxTagLength || Tag.Contains(TEXT(",")))
		{
			OutMessage = FText::Format(LOCTEXT("TagRefused", "The Steam Workshop refuses the tag '{0}': a tag has at most {1} characters and no comma. "
			                                                 "Change it in the mod's TRLTags and try again."),
			                           FText::FromString(Tag), MaxTagLength);
			return ETRLWorkshopResult::TextTooLong;
		}
	}
	if (CountCharacters(Update.ChangeNote) > ChangeNoteLimit)
	{
		OutMessage =
		    FText::Format(LOCTEXT("ChangeNoteTooLong", "The change note has {0} characters; the Steam Workshop takes at most {1}. Shorten it and try again."),
		                  CountCharacters(Update.ChangeNote), ChangeNoteLimit);
		return ETRLWorkshopResult::TextTooLong;
	}
	return ETRLWorkshopResult::Success;
}

ETRLWorkshopResult FTRLSteamWorkshopService::Connect(FText& OutMessage)
{
	// The editor runs no Steam online subsystem of its own, so the client API is initialised for this request only.
	FSteamSharedModule* SteamShared = FModuleManager::LoadModulePtr<FSteamSharedModule>(TEXT("SteamShared"));
	if (!SteamShared)
	{
		OutMessage = LOCTEXT("NoSteamShared", "Steam support is not loaded in this editor. Enable the Steam Shared plug-in, restart the editor and try again.");
		return ETRLWorkshopResult::SteamNotRunning;
	}
	SteamClient = SteamShared->ObtainSteamClientInstanceHandle();
	if (!SteamClient.IsValid() || !SteamClient->IsInitialized() || !SteamUGC() || !SteamUtils())
	{
		SteamClient.Reset();
		OutMessage = LOCTEXT("SteamNotRunning", "Steam is not running, so nothing was uploaded. Start the Steam client, log in with the account that "
		                                        "publishes this game's mods, and try again.");
		return ETRLWorkshopResult::SteamNotRunning;
	}
	AppId = SteamUtils()->GetAppID();
	return ETRLWorkshopResult::Success;
}

void FTRLSteamWorkshopService::Disconnect()
{
	CreateItemCall.Cancel();
	SubmitItemUpdateCall.Cancel();
	{
		FScopeLock Lock(&ArrivedLock);
		Arrived.Empty();
	}
	OnItemCreated.Unbind();
	OnItemSubmitted.Unbind();
	UpdateHandle = k_UGCUpdateHandleInvalid;
	bLegalAgreementPending = false;
	SteamClient.Reset();
}

void FTRLSteamWorkshopService::CreateItem(FTRLOnWorkshopAnswer OnAnswer)
{
	OnItemCreated = MoveTemp(OnAnswer);
	ISteamUGC* UGC = SteamUGC();
	const SteamAPICall_t Call = UGC ? UGC->CreateItem(AppId, k_EWorkshopFileTypeCommunity) : k_uAPICallInvalid;
	if (Call == k_uAPICallInvalid)
	{
		FTRLOnWorkshopAnswer Delegate = MoveTemp(OnItemCreated);
		Delegate.ExecuteIfBound(MakeRefusal(ETRLWorkshopResult::ServiceUnavailable, NotSentMessage(), 0));
		return;
	}
	CreateItemCall.Set(Call, this, &FTRLSteamWorkshopService::HandleItemCreated);
}

void FTRLSteamWorkshopService::SubmitItemUpdate(uint64 ItemId, const FTRLWorkshopItemUpdate& Update, FTRLOnWorkshopAnswer OnAnswer)
{
	OnItemSubmitted = MoveTemp(OnAnswer);
	SubmittedItemId = ItemId;
	const auto RefuseAtCall = [this, ItemId](ETRLWorkshopResult Result, const FText& Message) {
		FTRLOnWorkshopAnswer Delegate = MoveTemp(OnItemSubmitted);
		Delegate.ExecuteIfBound(MakeRefusal(Result, Message, ItemId));
	};

	ISteamUGC* UGC = SteamUGC();
	const UGCUpdateHandle_t Handle = UGC ? UGC->StartItemUpdate(AppId, ItemId) : k_UGCUpdateHandleInvalid;
	if (Handle == k_UGCUpdateHandleInvalid)
	{
		RefuseAtCall(ETRLWorkshopResult::ServiceUnavailable, NotSentMessage());
		return;
	}
	// Texts and tags go only when given, so that an update without them keeps what the item has on Steam.
	if (!Update.Title.IsEmpty() && !UGC->SetItemTitle(Handle, AsSdkString(FTCHARToUTF8(*Update.Title))))
	{
		RefuseAtCall(ETRLWorkshopResult::TextTooLong, LOCTEXT("TitleRefused", "Steam refused the title. Shorten the mod's FriendlyName and try again."));
		return;
	}
	if (!Update.Description.IsEmpty() && !UGC->SetItemDescription(Handle, AsSdkString(FTCHARToUTF8(*Update.Description))))
	{
		RefuseAtCall(ETRLWorkshopResult::TextTooLong,
		             LOCTEXT("DescriptionRefused", "Steam refused the description. Shorten the mod's Description and try again."));
		return;
	}
	if (Update.Tags.Num() > 0)
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
		if (!UGC->SetItemTags(Handle, &TagArray))
		{
			RefuseAtCall(
			    ETRLWorkshopResult::TextTooLong,
			    LOCTEXT("TagsRefused", "Steam refused the tags: each has at most 255 characters and no comma. Change the mod's TRLTags and try again."));
			return;
		}
	}
	const bool bSet = UGC->SetItemVisibility(Handle, ToSteamVisibility(Update.Visibility)) &&
	                  UGC->SetItemContent(Handle, AsSdkString(FTCHARToUTF8(*Update.ContentFolder))) &&
	                  (Update.PreviewImagePath.IsEmpty() || UGC->SetItemPreview(Handle, AsSdkString(FTCHARToUTF8(*Update.PreviewImagePath))));
	const FTCHARToUTF8 ChangeNote(*Update.ChangeNote);
	const SteamAPICall_t Call = bSet ? UGC->SubmitItemUpdate(Handle, Update.ChangeNote.IsEmpty() ? nullptr : AsSdkString(ChangeNote)) : k_uAPICallInvalid;
	if (Call == k_uAPICallInvalid)
	{
		RefuseAtCall(ETRLWorkshopResult::ServiceUnavailable, NotSentMessage());
		return;
	}
	UpdateHandle = Handle;
	SubmitItemUpdateCall.Set(Call, this, &FTRLSteamWorkshopService::HandleItemSubmitted);
}

float FTRLSteamWorkshopService::GetUpdateProgress() const
{
	ISteamUGC* UGC = SteamUGC();
	if (!UGC || UpdateHandle == k_UGCUpdateHandleInvalid)
	{
		return 0.0f;
	}
	uint64 Processed = 0;
	uint64 Total = 0;
	UGC->GetItemUpdateProgress(UpdateHandle, &Processed, &Total);
	return Total > 0 ? static_cast<float>(static_cast<double>(Processed) / static_cast<double>(Total)) : 0.0f;
}

void FTRLSteamWorkshopService::RunCallbacks()
{
	if (!SteamClient.IsValid())
	{
		return;
	}
	SteamAPI_RunCallbacks();
	TArray<FArrivedAnswer> Ready;
	{
		FScopeLock Lock(&ArrivedLock);
		Ready = MoveTemp(Arrived);
		Arrived.Empty();
	}
	for (FArrivedAnswer& Item : Ready)
	{
		// An answer may end the request; what came with it is then dropped.
		if (!SteamClient.IsValid())
		{
			break;
		}
		Item.Delegate.ExecuteIfBound(Item.Answer);
	}
}

void FTRLSteamWorkshopService::HandleItemCreated(CreateItemResult_t* Result, bool bIOFailure)
{
	const EResult Code = bIOFailure ? k_EResultIOFailure : Result->m_eResult;
	const PublishedFileId_t ItemId = bIOFailure ? k_PublishedFileIdInvalid : Result->m_nPublishedFileId;
	UE_LOG(LogTrellic, Verbose, TEXT("Steam answered CreateItem with result %d, item %s."), static_cast<int32>(Code), *DescribeItem(ItemId));
	bLegalAgreementPending = !bIOFailure && Result->m_bUserNeedsToAcceptWorkshopLegalAgreement;
	// The legal agreement does not stop the upload; it is reported once the item has its content.
	Arrive(OnItemCreated, Code == k_EResultOK ? MakeAnswer(Code, false, ItemId) : MakeAnswer(Code, false, k_PublishedFileIdInvalid));
}

void FTRLSteamWorkshopService::HandleItemSubmitted(SubmitItemUpdateResult_t* Result, bool bIOFailure)
{
	const EResult Code = bIOFailure ? k_EResultIOFailure : Result->m_eResult;
	const PublishedFileId_t ItemId = (!bIOFailure && Result->m_nPublishedFileId != k_PublishedFileIdInvalid) ? Result->m_nPublishedFileId : SubmittedItemId;
	UE_LOG(LogTrellic, Verbose, TEXT("Steam answered SubmitItemUpdate with result %d, item %s."), static_cast<int32>(Code), *DescribeItem(ItemId));
	const bool bLegalAgreement = bLegalAgreementPending || (!bIOFailure && Result->m_bUserNeedsToAcceptWorkshopLegalAgreement);
	UpdateHandle = k_UGCUpdateHandleInvalid;
	Arrive(OnItemSubmitted, MakeAnswer(Code, bLegalAgreement, ItemId));
}

void FTRLSteamWorkshopService::Arrive(FTRLOnWorkshopAnswer& Delegate, const FTRLWorkshopAnswer& Answer)
{
	FScopeLock Lock(&ArrivedLock);
	FArrivedAnswer& Item = Arrived.Emplace_GetRef();
	Item.Delegate = MoveTemp(Delegate);
	Item.Answer = Answer;
	Delegate.Unbind();
}

FTRLWorkshopAnswer FTRLSteamWorkshopService::MakeAnswer(EResult Result, bool bUserNeedsToAcceptLegalAgreement, PublishedFileId_t ItemId)
{
	const FText Item = FText::FromString(ItemId != k_PublishedFileIdInvalid ? LexToString(static_cast<uint64>(ItemId)) : FString());
	FTRLWorkshopAnswer Answer;
	Answer.ItemId = ItemId;
	switch (Result)
	{
		case k_EResultOK:
			if (!bUserNeedsToAcceptLegalAgreement)
			{
				Answer.Result = ETRLWorkshopResult::Success;
				break;
			}
			Answer.Result = ETRLWorkshopResult::LegalAgreementRequired;
			Answer.Message = FText::Format(LOCTEXT("LegalAgreement", "Workshop item {0} was uploaded, but Steam keeps it hidden until you accept the Steam "
			                                                         "Workshop legal agreement. Open "
			                                                         "https://steamcommunity.com/sharedfiles/workshoplegalagreement with the publishing "
			                                                         "account and accept it."),
			                               Item);
			break;
		case k_EResultNotLoggedOn:
			Answer.Result = ETRLWorkshopResult::NotLoggedOn;
			Answer.Message =
			    LOCTEXT("NotLoggedOn", "The Steam client is not logged in. Log in with the account that publishes this game's mods and try again.");
			break;
		case k_EResultFileNotFound:
			Answer.Result = ETRLWorkshopResult::ItemNotFound;
			Answer.Message = ItemId != k_PublishedFileIdInvalid
			                     ? FText::Format(LOCTEXT("ItemNotFound", "Steam could not find Workshop item {0}, or could not read the content or the preview "
			                                                             "image. If the item was deleted on Steam, delete the mod's workshop.json so that the "
			                                                             "next upload creates a new item."),
			                                     Item)
			                     : LOCTEXT("ContentNotFound", "Steam could not read the content or the preview image. Check that both exist, then try again.");
			break;
		case k_EResultAccessDenied:
			Answer.Result = ETRLWorkshopResult::AccessDenied;
			Answer.Message = LOCTEXT("AccessDenied", "Steam denied the upload. Log in to Steam with an account that owns the game (an item can only be "
			                                         "updated by the account that created it), then try again.");
			break;
		case k_EResultInsufficientPrivilege:
		case k_EResultBanned:
			Answer.Result = ETRLWorkshopResult::AccessDenied;
			Answer.Message = LOCTEXT("Restricted", "This Steam account may not publish Workshop items: it is restricted or banned. Publish with another "
			                                       "account, or ask Steam Support.");
			break;
		case k_EResultLimitExceeded:
			Answer.Result = ETRLWorkshopResult::PreviewTooLarge;
			Answer.Message = LOCTEXT("PreviewTooLarge", "Steam refused the upload as too large: the preview image must be smaller than 1 MB, and the account's "
			                                            "Steam Cloud storage may be full. Use a smaller preview image and try again.");
			break;
		case k_EResultTimeout:
			Answer.Result = ETRLWorkshopResult::Timeout;
			Answer.Message = LOCTEXT("Timeout", "Steam did not answer in time. Check the internet connection and try again.");
			break;
		case k_EResultNoConnection:
		case k_EResultServiceUnavailable:
		case k_EResultBusy:
		case k_EResultRemoteCallFailed:
		case k_EResultIOFailure:
		case k_EResultLockingFailed:
			Answer.Result = ETRLWorkshopResult::ServiceUnavailable;
			Answer.Message = LOCTEXT("ServiceUnavailable", "The Steam Workshop cannot be reached right now. Check the internet connection and try again in a "
			                                               "few minutes.");
			break;
		case k_EResultInvalidParam:
			Answer.Result = ETRLWorkshopResult::Unknown;
			Answer.Message = LOCTEXT("InvalidParam", "Steam refused the request as invalid. Check that the Workshop is enabled for the game's app id in "
			                                         "Steamworks and that the preview image is a PNG or JPEG file, then try again.");
			break;
		default:
			Answer.Result = ETRLWorkshopResult::Unknown;
			Answer.Message =
			    FText::Format(LOCTEXT("Unknown", "Steam refused the upload with result {0}. Try again; if it keeps failing, restart the Steam client."),
			                  FText::FromString(LexToString(static_cast<int32>(Result))));
			break;
	}
	return Answer;
}

#undef LOCTEXT_NAMESPACE
