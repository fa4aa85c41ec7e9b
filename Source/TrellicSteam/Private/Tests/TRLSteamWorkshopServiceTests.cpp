// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "TRLSteamWorkshopService.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLSteamWorkshopServiceSpec, "Trellic.TrellicSteam.TRLSteamWorkshopService",
                  EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	struct FExpectedAnswer
	{
		EResult SteamResult;
		ETRLWorkshopResult Result;
		const TCHAR* Message;
	};

	void TestAnswer(const FExpectedAnswer& Expected, PublishedFileId_t ItemId)
	{
		const FTRLWorkshopAnswer Answer = FTRLSteamWorkshopService::MakeAnswer(Expected.SteamResult, false, ItemId);
		const FString What = FString::Printf(TEXT("EResult %d"), static_cast<int32>(Expected.SteamResult));
		TestEqual(What + TEXT(" result"), static_cast<int32>(Answer.Result), static_cast<int32>(Expected.Result));
		TestEqualSensitive(What + TEXT(" message"), Answer.Message.ToString(), FString(Expected.Message));
		TestEqual(What + TEXT(" item"), Answer.ItemId, static_cast<uint64>(ItemId));
	}

	/** A count as the messages show it: in the editor's culture, with its digit grouping. */
	static FString Number(int32 Value)
	{
		return FText::AsNumber(Value).ToString();
	}

	ETRLWorkshopResult Check(const FTRLWorkshopItemUpdate& Update, FString& OutMessage)
	{
		FText Message;
		const ETRLWorkshopResult Result = FTRLSteamWorkshopService().CheckUpdate(Update, Message);
		OutMessage = Message.ToString();
		return Result;
	}
END_DEFINE_SPEC(FTRLSteamWorkshopServiceSpec)

void FTRLSteamWorkshopServiceSpec::Define()
{
	Describe("MakeAnswer", [this]() {
		It("turns each Steam result into a result and a message that says what to do", [this]() {
			const FExpectedAnswer Expected[] = {
			    {k_EResultOK, ETRLWorkshopResult::Success, TEXT("")},
			    {k_EResultNotLoggedOn, ETRLWorkshopResult::NotLoggedOn,
			     TEXT("The Steam client is not logged in. Log in with the account that publishes this game's mods and try again.")},
			    {k_EResultFileNotFound, ETRLWorkshopResult::ItemNotFound,
			     TEXT("Steam could not find Workshop item 3141592653, or could not read the content or the preview image. If the item was deleted on "
			          "Steam, delete the mod's workshop.json so that the next upload creates a new item.")},
			    {k_EResultAccessDenied, ETRLWorkshopResult::AccessDenied,
			     TEXT("Steam denied the upload. Log in to Steam with an account that owns the game (an item can only be updated by the account that "
			          "created it), then try again.")},
			    {k_EResultInsufficientPrivilege, ETRLWorkshopResult::AccessDenied,
			     TEXT("This Steam account may not publish Workshop items: it is restricted or banned. Publish with another account, or ask Steam Support.")},
			    {k_EResultBanned, ETRLWorkshopResult::AccessDenied,
			     TEXT("This Steam account may not publish Workshop items: it is restricted or banned. Publish with another account, or ask Steam Support.")},
			    {k_EResultLimitExceeded, ETRLWorkshopResult::PreviewTooLarge,
			     TEXT("Steam refused the upload as too large: the preview image must be smaller than 1 MB, and the account's Steam Cloud storage may be "
			          "full. Use a smaller preview image and try again.")},
			    {k_EResultTimeout, ETRLWorkshopResult::Timeout, TEXT("Steam did not answer in time. Check the internet connection and try again.")},
			    {k_EResultInvalidParam, ETRLWorkshopResult::Unknown,
			     TEXT("Steam refused the request as invalid. Check that the Workshop is enabled for the game's app id in Steamworks and that the preview "
			          "image is a PNG or JPEG file, then try again.")},
			    {k_EResultFail, ETRLWorkshopResult::Unknown,
			     TEXT("Steam refused the upload with result 2. Try again; if it keeps failing, restart the Steam client.")},
			    {k_EResultDiskFull, ETRLWorkshopResult::Unknown,
			     TEXT("Steam refused the upload with result 54. Try again; if it keeps failing, restart the Steam client.")},
			};
			for (const FExpectedAnswer& Each : Expected)
			{
				TestAnswer(Each, 3141592653ull);
			}
			const EResult Unreachable[] = {k_EResultNoConnection,     k_EResultServiceUnavailable, k_EResultBusy,
			                               k_EResultRemoteCallFailed, k_EResultIOFailure,          k_EResultLockingFailed};
			for (const EResult Each : Unreachable)
			{
				TestAnswer({Each, ETRLWorkshopResult::ServiceUnavailable,
				            TEXT("The Steam Workshop cannot be reached right now. Check the internet connection and try again in a few minutes.")},
				           3141592653ull);
			}
		});

		It("names no item when none was made", [this]() {
			TestAnswer({k_EResultFileNotFound, ETRLWorkshopResult::ItemNotFound,
			            TEXT("Steam could not read the content or the preview image. Check that both exist, then try again.")},
			           k_PublishedFileIdInvalid);
		});

		It("names the Workshop legal agreement when the account has not accepted it, and only on an upload that went through", [this]() {
			const FTRLWorkshopAnswer Uploaded = FTRLSteamWorkshopService::MakeAnswer(k_EResultOK, true, 77);
			TestEqual(TEXT("result"), static_cast<int32>(Uploaded.Result), static_cast<int32>(ETRLWorkshopResult::LegalAgreementRequired));
			TestEqualSensitive(TEXT("message"), Uploaded.Message.ToString(),
			                   FString(TEXT("Workshop item 77 was uploaded, but Steam keeps it hidden until you accept the Steam Workshop legal agreement. "
			                                "Open https://steamcommunity.com/sharedfiles/workshoplegalagreement with the publishing account and accept it.")));
			TestEqual(TEXT("item"), Uploaded.ItemId, 77ull);

			const FTRLWorkshopAnswer Failed = FTRLSteamWorkshopService::MakeAnswer(k_EResultTimeout, true, 77);
			TestEqual(TEXT("a failure stays that failure"), static_cast<int32>(Failed.Result), static_cast<int32>(ETRLWorkshopResult::Timeout));
		});
	});

	Describe("CheckUpdate", [this]() {
		It("takes texts up to the Workshop's limits, counting characters rather than bytes", [this]() {
			FTRLWorkshopItemUpdate Update;
			// 128 characters that are two UTF-16 units and four UTF-8 bytes each.
			for (int32 Index = 0; Index < 128; ++Index)
			{
				Update.Title += TEXT("\U0001F600");
			}
			Update.Description = FString::ChrN(8000, TEXT('d'));
			Update.ChangeNote = FString::ChrN(8000, TEXT('c'));
			Update.Tags = {FString::ChrN(255, TEXT('t')), TEXT("Maps")};
			FString Message;
			TestEqual(TEXT("result"), static_cast<int32>(Check(Update, Message)), static_cast<int32>(ETRLWorkshopResult::Success));
			TestTrue(TEXT("no message"), Message.IsEmpty());
		});

		It("refuses each text over its limit with a message that says which and what to do", [this]() {
			FString Message;
			FTRLWorkshopItemUpdate LongTitle;
			LongTitle.Title = FString::ChrN(129, TEXT('t'));
			TestEqual(TEXT("title"), static_cast<int32>(Check(LongTitle, Message)), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
			TestEqualSensitive(
			    TEXT("title message"), Message,
			    FString(TEXT("The title has 129 characters; the Steam Workshop takes at most 128. Shorten the mod's FriendlyName and try again.")));

			FTRLWorkshopItemUpdate LongDescription;
			LongDescription.Description = FString::ChrN(8001, TEXT('d'));
			TestEqual(TEXT("description"), static_cast<int32>(Check(LongDescription, Message)), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
			TestEqualSensitive(TEXT("description message"), Message,
			                   FString::Printf(TEXT("The description has %s characters; the Steam Workshop takes at most %s. Shorten the mod's Description "
			                                        "and try again."),
			                                   *Number(8001), *Number(8000)));

			FTRLWorkshopItemUpdate LongNote;
			LongNote.ChangeNote = FString::ChrN(8001, TEXT('c'));
			TestEqual(TEXT("change note"), static_cast<int32>(Check(LongNote, Message)), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
			TestEqualSensitive(TEXT("change note message"), Message,
			                   FString::Printf(TEXT("The change note has %s characters; the Steam Workshop takes at most %s. Shorten it and try again."),
			                                   *Number(8001), *Number(8000)));
		});

		It("refuses a tag over 255 characters or with a comma", [this]() {
			FString Message;
			FTRLWorkshopItemUpdate Comma;
			Comma.Tags = {TEXT("Maps"), TEXT("Maps,Tools")};
			TestEqual(TEXT("comma"), static_cast<int32>(Check(Comma, Message)), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
			TestEqualSensitive(TEXT("comma message"), Message,
			                   FString(TEXT("The Steam Workshop refuses the tag 'Maps,Tools': a tag has at most 255 characters and no comma. Change it in the "
			                                "mod's TRLTags and try again.")));

			FTRLWorkshopItemUpdate Long;
			Long.Tags = {FString::ChrN(256, TEXT('t'))};
			TestEqual(TEXT("long tag"), static_cast<int32>(Check(Long, Message)), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
		});
	});
}

#endif
