// The plug-in's Workshop publisher on the Steamworks SDK, answered by the offline Workshop and steered by its controls.
#include "OfflineWorkshopTestHelpers.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "HAL/PlatformProcess.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Modules/ModuleManager.h"
#include "TRLPublishCompleteRecorder.h"
#include "TRLWorkshopPublisher.h"
#include "Trellic.h"
#include "UObject/UObjectGlobals.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <utility>

using namespace OfflineWorkshopTest;
using UE::StandIn::FOfflineWorkshopItem;

namespace
{
	/** Keeps the LogTrellic lines at Log and Warning, as "Verbosity: message", while it lives. */
	class FTrellicLines : public FOutputDevice
	{
	public:
		FTrellicLines() { GLog->AddOutputDevice(this); }
		~FTrellicLines() override { GLog->RemoveOutputDevice(this); }

		void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override
		{
			const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
			if (Category == LogTrellic.GetCategoryName() && Level <= ELogVerbosity::Log)
			{
				std::lock_guard Lock(Mutex);
				Lines.push_back((FString(ToString(Level)) + TEXT(": ") + V).ToUtf8());
			}
		}

		bool CanBeUsedOnAnyThread() const override { return true; }
		bool CanBeUsedOnMultipleThreads() const override { return true; }

		/** @return the lines kept so far, and forgets them */
		std::vector<std::string> Take()
		{
			std::lock_guard Lock(Mutex);
			return std::exchange(Lines, {});
		}

	private:
		std::mutex Mutex;
		std::vector<std::string> Lines;
	};

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

		/** Uploads Content, with Extras, as a new item or as an update of ItemId, and waits for the end. */
		FTRLPublishCompletion Upload(FTRLWorkshopRequestExtras Extras = FTRLWorkshopRequestExtras(), const FString& ItemId = FString())
		{
			Publisher->SetNextRequestExtras(MoveTemp(Extras));
			const ETRLWorkshopResult Result = ItemId.IsEmpty() ? Publish()
			                                                   : Publisher->UpdateExistingMod(ItemId, ToFString(Content), FString(), FString(),
			                                                                                  ETRLWorkshopVisibility::Public, FString(), FString(), {});
			EXPECT_EQ(Result, ETRLWorkshopResult::Success);
			return Result == ETRLWorkshopResult::Success ? WaitForCompletion() : Recorder->Completions.Last();
		}

		static FOfflineWorkshopItem FindItem(const FString& ItemId)
		{
			for (const FOfflineWorkshopItem& Item : UE::StandIn::ListOfflineWorkshopItems())
			{
				if (std::to_string(Item.Id) == ItemId.ToUtf8())
				{
					return Item;
				}
			}
			return FOfflineWorkshopItem();
		}

		/** A PNG's signature and Size bytes in all, in the test's folder. */
		FString WriteImage(const char* Name, size_t Size = 64) const
		{
			WriteFile(Root / Name, Size);
			std::fstream File(Root / Name, std::ios::binary | std::ios::in | std::ios::out);
			File.write("\x89PNG\r\n\x1A\n", 8);
			return ToFString(Root / Name);
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

	TEST_F(SteamWorkshopPublisher, LinksRequiredItemsAndReplacesVersionTagsAndImagesAsEachUploadSays)
	{
		FTrellicLines Log;
		const FString Base = Upload().ItemId;
		const FString Maps = Upload().ItemId;
		FTRLWorkshopRequestExtras Extras;
		Extras.RequiredItems = TArray<FTRLRequiredWorkshopItem>{{Base, TEXT("Base")}};
		Extras.KeyValueTags = {{TEXT("TRLBaseRelease"), TEXT("1.0")}, {TEXT("TRLModApiVersion"), TEXT("1")}};
		Extras.ExtraPreviewPaths = {WriteImage("one.png"), WriteImage("two.png")};
		const FTRLPublishCompletion First = Upload(Extras);
		ASSERT_EQ(First.Result, ETRLWorkshopResult::Success);
		const FString Item = First.ItemId;
		FOfflineWorkshopItem Stored = FindItem(Item);
		EXPECT_EQ(Stored.Children, (std::vector<PublishedFileId_t>{std::stoull(Base.ToUtf8())}));
		std::sort(Stored.KeyValueTags.begin(), Stored.KeyValueTags.end());
		EXPECT_EQ(Stored.KeyValueTags, (std::vector<std::pair<std::string, std::string>>{{"TRLBaseRelease", "1.0"}, {"TRLModApiVersion", "1"}}));
		EXPECT_EQ(Stored.ExtraPreviewFileNames, (std::vector<std::string>{"one.png", "two.png"}));

		// A panorama added on the Workshop page is not one of the upload's images, and stays.
		WriteFile(Root / "panorama.jpg", 64);
		const UGCUpdateHandle_t Handle = SteamUGC()->StartItemUpdate(SteamUtils()->GetAppID(), std::stoull(Item.ToUtf8()));
		ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / "panorama.jpg").string().c_str(), k_EItemPreviewType_EnvironmentMap_LatLong));
		FCallWaiter<SubmitItemUpdateResult_t> Panorama;
		ASSERT_TRUE(Panorama.Wait(SteamUGC()->SubmitItemUpdate(Handle, nullptr)));

		Extras.RequiredItems = TArray<FTRLRequiredWorkshopItem>{{Maps, TEXT("Maps")}};
		Extras.KeyValueTags = {{TEXT("TRLBaseRelease"), TEXT("1.1")}};
		Extras.ExtraPreviewPaths = {WriteImage("three.png")};
		EXPECT_EQ(Upload(Extras, Item).Result, ETRLWorkshopResult::Success);
		Stored = FindItem(Item);
		EXPECT_EQ(Stored.Children, (std::vector<PublishedFileId_t>{std::stoull(Maps.ToUtf8())}));
		std::sort(Stored.KeyValueTags.begin(), Stored.KeyValueTags.end());
		EXPECT_EQ(Stored.KeyValueTags, (std::vector<std::pair<std::string, std::string>>{{"TRLBaseRelease", "1.1"}, {"TRLModApiVersion", "1"}}))
		    << "replaced, not added twice";
		EXPECT_EQ(Stored.ExtraPreviewFileNames, (std::vector<std::string>{"panorama.jpg", "three.png"}));

		// An upload that gives neither images nor required items leaves both as they are.
		EXPECT_EQ(Upload(FTRLWorkshopRequestExtras(), Item).Result, ETRLWorkshopResult::Success);
		EXPECT_EQ(FindItem(Item).ExtraPreviewFileNames, Stored.ExtraPreviewFileNames);
		EXPECT_EQ(FindItem(Item).Children, Stored.Children);

		const std::string Id = Item.ToUtf8();
		EXPECT_EQ(Log.Take(), (std::vector<std::string>{"Log: Workshop item " + Id + " now requires item " + Base.ToUtf8() + " (Base).",
		                                                "Log: Workshop item " + Id + " now requires item " + Maps.ToUtf8() + " (Maps).",
		                                                "Log: Workshop item " + Id + " no longer requires item " + Base.ToUtf8() + "."}))
		    << "and uploads without any of this log nothing of their own";
	}

	TEST_F(SteamWorkshopPublisher, EachStepAfterTheUploadThatSteamRefusesIsAWarningAndTheUploadStillSucceeds)
	{
		const FString Base = Upload().ItemId;
		const FString Item = Upload().ItemId;
		const std::string Id = Item.ToUtf8();
		const FString Image = WriteImage("shot.png");
		FTRLWorkshopRequestExtras Requiring;
		Requiring.RequiredItems = TArray<FTRLRequiredWorkshopItem>{{Base, TEXT("Base")}};
		FTRLWorkshopRequestExtras RequiringNone;
		RequiringNone.RequiredItems = TArray<FTRLRequiredWorkshopItem>();
		FTRLWorkshopRequestExtras Tagged;
		Tagged.KeyValueTags = {{TEXT("TRLBaseRelease"), TEXT("1.0")}};
		FTRLWorkshopRequestExtras WithImage;
		WithImage.ExtraPreviewPaths = {Image};

		struct FCase
		{
			std::function<void()> Control;
			const FTRLWorkshopRequestExtras& Extras;
			std::string Warning;
		};
		const FCase Cases[] = {
		    {[]() {
			     UE::StandIn::FailNextOfflineWorkshopDetailsQuery(k_EResultTimeout);
		     },
		     Requiring,
		     "Could not read which items Workshop item " + Id +
		         " requires, so they were left as they are. Steam answered with result 16. Upload again "
		         "to bring them in line."},
		    {[]() {
			     UE::StandIn::FailNextOfflineWorkshopAddDependency(k_EResultAccessDenied);
		     },
		     Requiring,
		     "Could not make Workshop item " + Id + " require item " + Base.ToUtf8() +
		         " (Base). Steam answered with result 15. Upload again, or add it on the item's Workshop page."},
		    {[]() {}, Requiring, std::string()},
		    {[]() {
			     UE::StandIn::FailNextOfflineWorkshopRemoveDependency(k_EResultLockingFailed);
		     },
		     RequiringNone,
		     "Could not make Workshop item " + Id + " stop requiring item " + Base.ToUtf8() +
		         ". Steam answered with result 33. Upload again, or remove it on the item's Workshop page."},
		    {[]() {
			     UE::StandIn::RefuseNextOfflineWorkshopKeyValueTag();
		     },
		     Tagged,
		     "Steam refused to replace the key-value tag 'TRLBaseRelease' of Workshop item " + Id +
		         ", so it keeps its earlier value. Upload again to set "
		         "it."},
		    {[]() {
			     UE::StandIn::FailNextOfflineWorkshopDetailsQuery(k_EResultServiceUnavailable);
		     },
		     WithImage,
		     "Could not read the extra preview images of Workshop item " + Id +
		         ", so they were left as they are and the new ones were not added. Steam "
		         "answered with result 20. Upload again to replace them."},
		    {[]() {
			     UE::StandIn::RefuseNextOfflineWorkshopPreview();
		     },
		     WithImage,
		     "Steam refused the extra preview image '" + Image.ToUtf8() + "' for Workshop item " + Id +
		         ", so its page does not show it. Upload again to add "
		         "it."},
		};
		for (const FCase& Case : Cases)
		{
			FTrellicLines Log;
			Case.Control();
			const FTRLPublishCompletion Completion = Upload(Case.Extras, Item);
			EXPECT_EQ(Completion.Result, ETRLWorkshopResult::Success) << Case.Warning;
			EXPECT_EQ(Completion.StatusMessage.ToString().ToUtf8(), "Workshop item " + Id + " was updated.");
			const std::vector<std::string> Lines = Log.Take();
			if (!Case.Warning.empty())
			{
				EXPECT_EQ(Lines, (std::vector<std::string>{"Warning: " + Case.Warning}));
			}
		}
		EXPECT_TRUE(FindItem(Item).KeyValueTags.empty());
		EXPECT_TRUE(FindItem(Item).ExtraPreviewFileNames.empty());
		EXPECT_EQ(FindItem(Item).Children.size(), 1u) << "the removal failed";
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

		WriteFile(Preview, 64);
		FTRLWorkshopRequestExtras Extras;
		Extras.ExtraPreviewPaths = {WriteImage("shot.png"), WriteImage("huge.png", 1024 * 1024)};
		Publisher->SetNextRequestExtras(Extras);
		EXPECT_EQ(Publish(), ETRLWorkshopResult::PreviewTooLarge);
		EXPECT_TRUE(Recorder->Completions.Last().StatusMessage.ToString().Contains(ToFString(Root / "huge.png")));
		EXPECT_TRUE(UE::StandIn::ListOfflineWorkshopItems().empty()) << "an extra image over 1 MB: no empty item is left behind";
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
