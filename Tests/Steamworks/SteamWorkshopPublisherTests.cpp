// The plug-in's Workshop publisher on the Steamworks SDK, answered by the offline Workshop and steered by its controls.
#include "OfflineWorkshopTestHelpers.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "HAL/PlatformProcess.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Modules/ModuleManager.h"
#include "TRLWorkshopPublisher.h"
#include "Tests/TRLPublishCompleteRecorder.h"
#include "Trellic.h"
#include "UObject/UObjectGlobals.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>

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
			if (Publisher && Publisher->IsPublishing())
			{
				ADD_FAILURE() << "a request was left running";
				WaitForCompletion();
			}
			Recorder->RemoveFromRoot();
			if (Publisher)
			{
				Publisher->RemoveFromRoot();
			}
			std::filesystem::remove_all(Root);
		}

		static FString ToFString(const std::filesystem::path& Path) { return FString::FromUtf8(Path.generic_string()); }

		ETRLWorkshopResult Publish(const TArray<FString>& Tags = {TEXT("Maps"), TEXT("Tools")})
		{
			return Publisher->PublishNewMod(ToFString(Content), ToFString(Preview), TEXT("My Mod"), TEXT("Adds things."), Tags,
			                                ETRLWorkshopVisibility::FriendsOnly);
		}

		/** Lets the editor's core ticker run until Done answers true. */
		static bool TickUntil(const std::function<bool()>& Done)
		{
			return PumpUntil(
			    []() {
				    FTSTicker::GetCoreTicker().Tick(0.01f);
			    },
			    Done);
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
	}

	TEST_F(SteamWorkshopPublisher, KeepsSteamUpBetweenUploadsUntilTheModuleShutsDown)
	{
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		EXPECT_EQ(WaitForCompletion().Result, ETRLWorkshopResult::Success);
		EXPECT_NE(SteamUGC(), nullptr) << "Steam stays up once the request has ended";

		ASSERT_TRUE(FModuleManager::Get().UnloadModule(TEXT("TrellicSteam")));
		EXPECT_EQ(SteamUGC(), nullptr) << "the module lets go of Steam when it shuts down";
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success) << "and takes it again for the next request";
		EXPECT_EQ(WaitForCompletion().Result, ETRLWorkshopResult::Success);
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

	TEST_F(SteamWorkshopPublisher, NamesBothUsualCausesWhenSteamCannotBeReached)
	{
		const FString Expected = FString::Printf(
		    TEXT("Could not reach Steam, so nothing was uploaded. Either the Steam client is not running or not logged in: start it and log in with "
		         "the account that publishes this game's mods. Or the editor does not know the game's app id: put a steam_appid.txt holding only the "
		         "id in '%s', beside the editor's executable, or start the editor with SteamAppId set to the id in its environment. Then try again."),
		    FPlatformProcess::BaseDir());
		// Once before the SDK is initialised, and once after, when the client has gone away.
		FModuleManager::Get().UnloadModule(TEXT("TrellicSteam"));
		for (const char* When : {"before initialisation", "after initialisation"})
		{
			UE::StandIn::RefuseNextOfflineWorkshopRequest();
			Recorder->Completions.Empty();
			EXPECT_EQ(Publish(), ETRLWorkshopResult::SteamNotRunning) << When;
			ASSERT_EQ(Recorder->Completions.Num(), 1) << When << ": broadcast once, before the call returned";
			EXPECT_TRUE(Recorder->Completions[0].ItemId.IsEmpty());
			EXPECT_EQ(Recorder->Completions[0].StatusMessage.ToString(), Expected) << When;
			EXPECT_FALSE(Publisher->IsPublishing());

			ASSERT_EQ(Publish(), ETRLWorkshopResult::Success) << When << ": the refusal applied to one request only";
			EXPECT_EQ(WaitForCompletion().Result, ETRLWorkshopResult::Success);
		}
	}

	TEST_F(SteamWorkshopPublisher, ExplainsAResultByTheCallThatReturnedIt)
	{
		struct FCase
		{
			EResult SteamResult;
			bool bAfterCreate;
			ETRLWorkshopResult Result;
			FString Message;
		};
		const FCase Cases[] = {
		    {k_EResultLimitExceeded, false, ETRLWorkshopResult::CloudStorageFull,
		     TEXT("The account's Steam Cloud storage is full (Steam result 25, limit exceeded), so Steam made no item. Remove some of the account's "
		          "Workshop items or Cloud files, then try again.")},
		    {k_EResultLimitExceeded, true, ETRLWorkshopResult::PreviewTooLarge,
		     TEXT("Steam refused the update as too large (Steam result 25, limit exceeded): the preview image must be under 1 MB, and the account's "
		          "Steam Cloud storage may be full. Use a smaller preview image or free Cloud storage, then try again.")},
		    {k_EResultAccessDenied, false, ETRLWorkshopResult::AccessDenied,
		     TEXT("Steam denied creating the Workshop item (Steam result 15, access denied): it refused to save the item's title and description, or "
		          "the account does not own the game. Log in with an account that owns the game, check the mod's FriendlyName and Description, then "
		          "try again.")},
		    {k_EResultAccessDenied, true, ETRLWorkshopResult::AccessDenied,
		     TEXT("Steam denied the upload to Workshop item %s (Steam result 15, access denied): the account does not own a licence for the game, or "
		          "did not create the item. Log in with the account that owns the game and created the item, then try again.")},
		    {k_EResultDiskFull, true, ETRLWorkshopResult::DiskFull,
		     TEXT("Steam ran out of disk space while handling the upload (Steam result 54, disk full). Free space on the drive that holds Steam, then "
		          "try again.")},
		};
		for (const FCase& Case : Cases)
		{
			UE::StandIn::FailNextOfflineWorkshopRequest(Case.SteamResult, Case.bAfterCreate);
			ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
			const FTRLPublishCompletion Completion = WaitForCompletion();
			EXPECT_EQ(Completion.Result, Case.Result) << Case.SteamResult << (Case.bAfterCreate ? " after creation" : " at creation");
			EXPECT_EQ(Completion.StatusMessage.ToString(), Case.Message.Replace(TEXT("%s"), *Completion.ItemId));
			EXPECT_EQ(Completion.ItemId.IsEmpty(), !Case.bAfterCreate);
		}

		// What CreateItem documents beyond the common results is explained, not left to the default.
		for (const EResult SteamResult : {k_EResultDuplicateName, k_EResultDuplicateRequest, k_EResultServiceReadOnly})
		{
			UE::StandIn::FailNextOfflineWorkshopRequest(SteamResult, false);
			ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
			const FTRLPublishCompletion Completion = WaitForCompletion();
			EXPECT_NE(Completion.Result, ETRLWorkshopResult::Unknown) << SteamResult;
			EXPECT_TRUE(Completion.StatusMessage.ToString().Contains(FString::Printf(TEXT("(Steam result %d, "), static_cast<int32>(SteamResult))))
			    << Completion.StatusMessage.ToString().ToUtf8();
		}
	}

	TEST_F(SteamWorkshopPublisher, RefusesWhatSteamWouldRefuseBeforeAnItemIsMade)
	{
		const struct
		{
			size_t PreviewBytes;
			FString Tag;
			ETRLWorkshopResult Result;
			FString Named;
		} Cases[] = {
		    {15, TEXT("Maps"), ETRLWorkshopResult::InvalidMod, ToFString(Preview)},
		    {1024 * 1024, TEXT("Maps"), ETRLWorkshopResult::PreviewTooLarge, ToFString(Preview)},
		    {64, TEXT("Maps,Tools"), ETRLWorkshopResult::TextTooLong, TEXT("'Maps,Tools'")},
		    {64, TEXT("Maps\tTools"), ETRLWorkshopResult::TextTooLong, TEXT("'Maps\tTools'")},
		    {64, TEXT("Caf\u00E9"), ETRLWorkshopResult::TextTooLong, TEXT("'Caf\u00E9'")},
		};
		for (const auto& Case : Cases)
		{
			WriteFile(Preview, Case.PreviewBytes);
			EXPECT_EQ(Publish({Case.Tag}), Case.Result) << Case.Named.ToUtf8();
			ASSERT_FALSE(Recorder->Completions.IsEmpty());
			EXPECT_TRUE(Recorder->Completions.Last().StatusMessage.ToString().Contains(Case.Named)) << Case.Named.ToUtf8();
			EXPECT_FALSE(Publisher->IsPublishing());
			EXPECT_TRUE(UE::StandIn::ListOfflineWorkshopItems().empty()) << Case.Named.ToUtf8() << ": no empty item is left behind";
		}
	}

	TEST_F(SteamWorkshopPublisher, ReportsTheNewItemWhenItsUploadFailsAfterCreation)
	{
		UE::StandIn::FailNextOfflineWorkshopRequest(k_EResultTimeout, true);
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		const FTRLPublishCompletion Completion = WaitForCompletion();
		EXPECT_EQ(Completion.Result, ETRLWorkshopResult::Timeout);
		EXPECT_EQ(Completion.StatusMessage.ToString(),
		          FString(TEXT("Steam did not answer in time (Steam result 16, timeout). Check the internet connection and try again.")));
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

	TEST_F(SteamWorkshopPublisher, ReportsProgressThatNeverGoesBackAcrossTheUpdatesStages)
	{
		// Content and preview each counted afresh by Steam, in several steps each, slowly enough to be watched.
		WriteFile(Content / "Content" / "Paks" / "Windows" / "MyMod_2.pak", 4000);
		WriteFile(Preview, 3000);
		UE::StandIn::SetOfflineWorkshopBandwidth(20000);
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		std::vector<float> Seen;
		ASSERT_TRUE(TickUntil([this, &Seen]() {
			if (!Recorder->Completions.IsEmpty())
			{
				return true;
			}
			Seen.push_back(Publisher->GetUploadProgress());
			return false;
		}));
		EXPECT_EQ(Recorder->Completions[0].Result, ETRLWorkshopResult::Success);
		for (size_t Index = 1; Index < Seen.size(); ++Index)
		{
			EXPECT_GE(Seen[Index], Seen[Index - 1]) << "sample " << Index;
		}
		EXPECT_GE(std::set<float>(Seen.begin(), Seen.end()).size(), 4u) << "it moved through the stages";
		EXPECT_LE(Seen.back(), 1.0f);
		EXPECT_EQ(Publisher->GetUploadProgress(), 0.0f) << "nothing runs any more";
	}

	/** Holds the first handler that logs its answer off the game thread, as a slow pump would. */
	class FHandlerHolder : public FOutputDevice
	{
	public:
		std::atomic<bool> bInside = false;
		std::atomic<bool> bLeft = false;

		void Serialize(const TCHAR* V, ELogVerbosity::Type /*Verbosity*/, const FName& /*Category*/) override
		{
			if (!IsInGameThread() && FString(V).Contains(TEXT("Steam answered SubmitItemUpdate")) && !bInside.exchange(true))
			{
				std::this_thread::sleep_for(std::chrono::milliseconds(300));
				bLeft = true;
			}
		}

		bool CanBeUsedOnAnyThread() const override { return true; }
		bool CanBeUsedOnMultipleThreads() const override { return true; }
	};

	TEST_F(SteamWorkshopPublisher, AnAnswerPumpedOnAnotherThreadIsHandledBeforeTheRequestGoesAway)
	{
		FHandlerHolder Holder;
		LogTrellic.SetVerbosity(ELogVerbosity::Verbose);
		GLog->AddOutputDevice(&Holder);
		ASSERT_TRUE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(0.5));
		ASSERT_EQ(Publish(), ETRLWorkshopResult::Success);
		ASSERT_TRUE(TickUntil([]() {
			return UE::StandIn::WaitForOfflineWorkshopHold(0.0);
		}));

		// From here only the second thread pumps Steam, as another system of the editor might.
		std::atomic<bool> bStop = false;
		std::thread Pump([&bStop]() {
			while (!bStop)
			{
				SteamAPI_RunCallbacks();
				std::this_thread::sleep_for(std::chrono::milliseconds(1));
			}
		});
		UE::StandIn::ReleaseOfflineWorkshopHold();
		const bool bHandling = PumpUntil([]() {},
		                                 [&Holder]() {
			                                 return Holder.bInside.load();
		                                 });

		// The publisher goes away while the handler runs: its request must wait for the handler, not leave it behind.
		Publisher->RemoveFromRoot();
		Publisher = nullptr;
		CollectGarbage(RF_NoFlags);
		const bool bHandlerDoneFirst = Holder.bLeft;

		bStop = true;
		Pump.join();
		GLog->RemoveOutputDevice(&Holder);
		LogTrellic.SetVerbosity(ELogVerbosity::Log);
		ASSERT_TRUE(bHandling) << "the answer was not handled on the second thread";
		EXPECT_TRUE(bHandlerDoneFirst) << "the request ended while its handler was still running";
		EXPECT_TRUE(Recorder->Completions.IsEmpty()) << "a publisher that went away broadcasts nothing";
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

} // namespace
