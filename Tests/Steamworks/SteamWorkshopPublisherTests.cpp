// The plug-in's Workshop publisher on the Steamworks SDK, answered by the offline Workshop and steered by its controls.
#include "OfflineWorkshopTestHelpers.h"

#include "Containers/Ticker.h"
#include "TRLWorkshopPublisher.h"
#include "Tests/TRLPublishCompleteRecorder.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

using namespace OfflineWorkshopTest;
using UE::StandIn::FOfflineWorkshopItem;

namespace
{
	class SteamWorkshopPublisher : public testing::Test
	{
	protected:
		void SetUp() override
		{
			Root = MakeTempFolder("SteamWorkshopPublisher");
			UE::StandIn::SetOfflineWorkshopFolder((Root / "Workshop").string());
			UE::StandIn::ResetOfflineWorkshopControls();
			Content = Root / "Payload";
			WriteFile(Content / "MyMod.uplugin", 100);
			WriteFile(Content / "Content" / "Paks" / "Windows" / "MyMod.pak", 300);
			Preview = Root / "preview.png";
			WriteFile(Preview, 64);
			Publisher = NewObject<UTRLWorkshopPublisher>();
			Publisher->AddToRoot();
			Recorder = NewObject<UTRLPublishCompleteRecorder>();
			Recorder->AddToRoot();
			Recorder->Listen(Publisher);
		}

		void TearDown() override
		{
			UE::StandIn::ReleaseOfflineWorkshopHold();
			if (Publisher->IsPublishing())
			{
				ADD_FAILURE() << "a request was left running";
				WaitForCompletion();
			}
			Recorder->RemoveFromRoot();
			Publisher->RemoveFromRoot();
			std::filesystem::remove_all(Root);
		}

		static FString ToFString(const std::filesystem::path& Path) { return FString::FromUtf8(Path.generic_string()); }

		ETRLWorkshopResult Publish()
		{
			return Publisher->PublishNewMod(ToFString(Content), ToFString(Preview), TEXT("My Mod"), TEXT("Adds things."), {TEXT("Maps"), TEXT("Tools")},
			                                ETRLWorkshopVisibility::FriendsOnly);
		}

		/** Lets the editor's core ticker run until the publisher has broadcast one more completion. */
		const FTRLPublishCompletion& WaitForCompletion()
		{
			const int32 Before = Recorder->Completions.Num();
			const bool bDone = PumpUntil(
			    []() {
				    FTSTicker::GetCoreTicker().Tick(0.01f);
			    },
			    [this, Before]() {
				    return Recorder->Completions.Num() > Before;
			    });
			EXPECT_TRUE(bDone) << "no completion";
			static const FTRLPublishCompletion None;
			return bDone ? Recorder->Completions.Last() : None;
		}

		std::filesystem::path Root;
		std::filesystem::path Content;
		std::filesystem::path Preview;
		UTRLWorkshopPublisher* Publisher = nullptr;
		UTRLPublishCompleteRecorder* Recorder = nullptr;
	};

	TEST_F(SteamWorkshopPublisher, PublishesANewItemWithEverythingItWasGiven)
	{
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		EXPECT_TRUE(Recorder->Completions.IsEmpty());
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::Success);
		EXPECT_TRUE(Completion.bOnGameThread);

		const std::vector<FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
		ASSERT_EQ(Items.size(), 1u);
		const FOfflineWorkshopItem& Item = Items[0];
		EXPECT_EQ(Completion.ItemId.ToUtf8(), std::to_string(Item.Id));
		EXPECT_EQ(Completion.StatusMessage.ToString().ToUtf8(), "Workshop item " + std::to_string(Item.Id) + " was created and uploaded.");
		EXPECT_EQ(Item.Title, "My Mod");
		EXPECT_EQ(Item.Description, "Adds things.");
		EXPECT_EQ(Item.Tags, (std::vector<std::string>{"Maps", "Tools"}));
		EXPECT_EQ(Item.Visibility, "friends");
		EXPECT_EQ(Item.PreviewFileName, "preview.png");
		EXPECT_TRUE(Item.ChangeNotes.empty());
		EXPECT_EQ(Item.ContentFiles, (std::vector<std::string>{"Content/Paks/Windows/MyMod.pak", "MyMod.uplugin"}));
		EXPECT_EQ(SteamUGC(), nullptr) << "the publisher lets go of Steam once its request has ended";
	}

	TEST_F(SteamWorkshopPublisher, UpdatesAnItemKeepingTheTextsItIsNotGiven)
	{
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		const FString ItemId = WaitForCompletion().ItemId;
		WriteFile(Content / "Content" / "Paks" / "Windows" / "MyMod_2.pak", 10);

		ASSERT_EQ(Publisher->UpdateExistingMod(ItemId, ToFString(Content), FString(), TEXT("Fixed a crash"), ETRLWorkshopVisibility::Unlisted, FString(),
		                                       FString(), {}),
		          ETRLWorkshopResult::Success);
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::Success);
		EXPECT_EQ(Completion.ItemId, ItemId);
		EXPECT_EQ(Completion.StatusMessage.ToString(), FString::Printf(TEXT("Workshop item %s was updated."), *ItemId));

		const std::vector<FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
		ASSERT_EQ(Items.size(), 1u);
		EXPECT_EQ(Items[0].Title, "My Mod");
		EXPECT_EQ(Items[0].Description, "Adds things.");
		EXPECT_EQ(Items[0].Tags, (std::vector<std::string>{"Maps", "Tools"}));
		EXPECT_EQ(Items[0].Visibility, "unlisted");
		EXPECT_EQ(Items[0].PreviewFileName, "preview.png");
		EXPECT_EQ(Items[0].ChangeNotes, (std::vector<std::string>{"Fixed a crash"}));
		EXPECT_EQ(Items[0].ContentFiles.size(), 3u);
	}

	TEST_F(SteamWorkshopPublisher, RefusesAtTheCallWhenSteamIsNotRunning)
	{
		UE::StandIn::RefuseNextOfflineWorkshopRequest();
		EXPECT_EQ(Publish(), ETRLWorkshopResult::SteamNotRunning);
		ASSERT_EQ(Recorder->Completions.Num(), 1) << "broadcast before the call returned";
		EXPECT_EQ(Recorder->Completions[0].Result, ETRLWorkshopResult::SteamNotRunning);
		EXPECT_TRUE(Recorder->Completions[0].ItemId.IsEmpty());
		EXPECT_EQ(
		    Recorder->Completions[0].StatusMessage.ToString(),
		    FString(TEXT("Steam is not running, so nothing was uploaded. Start the Steam client, log in with the account that publishes this game's mods, "
		                 "and try again.")));
		EXPECT_FALSE(Publisher->IsPublishing());
		EXPECT_TRUE(UE::StandIn::ListOfflineWorkshopItems().empty());

		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success) << "the refusal applied to one request only";
		EXPECT_EQ(WaitForCompletion().Result, ETRLWorkshopResult::Success);
	}

	TEST_F(SteamWorkshopPublisher, ReportsEachSteamResultAsItsOwnResult)
	{
		const struct
		{
			const char* Name;
			ETRLWorkshopResult Result;
		} Cases[] = {
		    {"k_EResultFail", ETRLWorkshopResult::Unknown},
		    {"k_EResultNoConnection", ETRLWorkshopResult::ServiceUnavailable},
		    {"k_EResultInvalidParam", ETRLWorkshopResult::Unknown},
		    {"k_EResultFileNotFound", ETRLWorkshopResult::ItemNotFound},
		    {"k_EResultBusy", ETRLWorkshopResult::ServiceUnavailable},
		    {"k_EResultAccessDenied", ETRLWorkshopResult::AccessDenied},
		    {"k_EResultTimeout", ETRLWorkshopResult::Timeout},
		    {"k_EResultBanned", ETRLWorkshopResult::AccessDenied},
		    {"k_EResultServiceUnavailable", ETRLWorkshopResult::ServiceUnavailable},
		    {"k_EResultNotLoggedOn", ETRLWorkshopResult::NotLoggedOn},
		    {"k_EResultInsufficientPrivilege", ETRLWorkshopResult::AccessDenied},
		    {"k_EResultLimitExceeded", ETRLWorkshopResult::PreviewTooLarge},
		    {"k_EResultLockingFailed", ETRLWorkshopResult::ServiceUnavailable},
		    {"k_EResultIOFailure", ETRLWorkshopResult::ServiceUnavailable},
		    {"k_EResultDiskFull", ETRLWorkshopResult::Unknown},
		    {"k_EResultRemoteCallFailed", ETRLWorkshopResult::ServiceUnavailable},
		};
		for (const auto& Case : Cases)
		{
			EResult SteamResult = k_EResultOK;
			ASSERT_TRUE(UE::StandIn::FindOfflineWorkshopResult(Case.Name, SteamResult)) << Case.Name;
			UE::StandIn::FailNextOfflineWorkshopRequest(SteamResult, false);
			ASSERT_EQ(Publish(), ETRLWorkshopResult::Success) << Case.Name;
			const FTRLPublishCompletion Completion = WaitForCompletion();
			EXPECT_EQ(Completion.Result, Case.Result) << Case.Name;
			EXPECT_TRUE(Completion.ItemId.IsEmpty()) << Case.Name << ": no item was made";
			EXPECT_FALSE(Completion.StatusMessage.IsEmpty()) << Case.Name;
		}
		EXPECT_TRUE(UE::StandIn::ListOfflineWorkshopItems().empty());
	}

	TEST_F(SteamWorkshopPublisher, ReportsTheNewItemWhenItsUploadFailsAfterCreation)
	{
		UE::StandIn::FailNextOfflineWorkshopRequest(k_EResultTimeout, true);
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::Timeout);
		EXPECT_EQ(Completion.StatusMessage.ToString(), FString(TEXT("Steam did not answer in time. Check the internet connection and try again.")));
		const std::vector<FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
		ASSERT_EQ(Items.size(), 1u);
		EXPECT_EQ(Completion.ItemId.ToUtf8(), std::to_string(Items[0].Id));
		EXPECT_TRUE(Items[0].ContentFiles.empty());
	}

	TEST_F(SteamWorkshopPublisher, AsksForTheLegalAgreementWhenTheAccountHasNotAcceptedIt)
	{
		UE::StandIn::SetOfflineWorkshopLegalAgreementAccepted(false);
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::LegalAgreementRequired);
		const std::vector<FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
		ASSERT_EQ(Items.size(), 1u);
		EXPECT_EQ(Completion.ItemId.ToUtf8(), std::to_string(Items[0].Id));
		EXPECT_TRUE(Completion.StatusMessage.ToString().Contains(TEXT("Steam Workshop legal agreement"), ESearchCase::CaseSensitive));
		EXPECT_EQ(Items[0].ContentFiles.size(), 2u) << "the content went up all the same";
	}

	TEST_F(SteamWorkshopPublisher, ShowsProgressAsBytesProcessedOverBytesTotal)
	{
		ASSERT_TRUE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(0.25));
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		EXPECT_EQ(Publisher->GetUploadProgress(), 0.0f) << "nothing is known while the item is made";
		ASSERT_TRUE(PumpUntil(
		    []() {
			    FTSTicker::GetCoreTicker().Tick(0.01f);
		    },
		    []() {
			    return UE::StandIn::WaitForOfflineWorkshopHold(0.0);
		    }));
		EXPECT_EQ(Publisher->GetUploadProgress(), 0.25f);
		EXPECT_TRUE(Recorder->Completions.IsEmpty());
		UE::StandIn::ReleaseOfflineWorkshopHold();
		EXPECT_EQ(WaitForCompletion().Result, ETRLWorkshopResult::Success);
		EXPECT_EQ(Publisher->GetUploadProgress(), 0.0f);
	}

	TEST_F(SteamWorkshopPublisher, ReportsAnItemThatSteamDoesNotKnow)
	{
		ASSERT_EQ(Publisher->UpdateExistingMod(TEXT("123456789"), ToFString(Content), FString(), TEXT("note"), ETRLWorkshopVisibility::Public, FString(),
		                                       FString(), {}),
		          ETRLWorkshopResult::Success);
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::ItemNotFound);
		EXPECT_EQ(Completion.ItemId, FString(TEXT("123456789")));
		EXPECT_TRUE(Completion.StatusMessage.ToString().StartsWith(TEXT("Steam could not find Workshop item 123456789,"), ESearchCase::CaseSensitive));
	}

	TEST_F(SteamWorkshopPublisher, ReportsAPreviewOfAMegabyteAsTooLarge)
	{
		WriteFile(Preview, 1024 * 1024);
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::PreviewTooLarge);
		EXPECT_FALSE(Completion.ItemId.IsEmpty()) << "the item was made before its upload was refused";
	}
} // namespace
