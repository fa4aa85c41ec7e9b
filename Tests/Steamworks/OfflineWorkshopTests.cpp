// The offline Workshop through the SDK's calls, as Steam answers them: items, limits, progress and the controls.
#include "OfflineWorkshopTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <set>

using namespace OfflineWorkshopTest;
using UE::StandIn::FOfflineWorkshopItem;

namespace
{
	constexpr AppId_t TestAppId = 4321;

	/** A result's item id, by value: the structure is packed, so a reference to the member would be misaligned. */
	template <typename ResultType>
	PublishedFileId_t IdOf(const ResultType& Result)
	{
		return Result.m_nPublishedFileId;
	}

	class OfflineWorkshop : public testing::Test
	{
	protected:
		void SetUp() override
		{
			Root = MakeTempFolder("OfflineWorkshop");
			UE::StandIn::SetOfflineWorkshopFolder((Root / "Workshop").string());
			UE::StandIn::SetOfflineWorkshopAppId(TestAppId);
			UE::StandIn::ResetOfflineWorkshopControls();
			ASSERT_EQ(SteamAPI_InitEx(nullptr), k_ESteamAPIInitResult_OK);
			Content = Root / "Content";
			WriteFile(Content / "MyMod.uplugin", 40);
			WriteFile(Content / "Content" / "Paks" / "Windows" / "MyMod.pak", 960);
		}

		void TearDown() override
		{
			UE::StandIn::ReleaseOfflineWorkshopHold();
			SteamAPI_Shutdown();
			std::filesystem::remove_all(Root);
		}

		PublishedFileId_t CreateItem()
		{
			FCallWaiter<CreateItemResult_t> Waiter;
			EXPECT_TRUE(Waiter.Wait(SteamUGC()->CreateItem(TestAppId, k_EWorkshopFileTypeCommunity)));
			EXPECT_EQ(Waiter.Result.m_eResult, k_EResultOK);
			return Waiter.Result.m_nPublishedFileId;
		}

		/** Starts an update of Item with Content and the given change note, and waits for its result. */
		SubmitItemUpdateResult_t Submit(UGCUpdateHandle_t Handle, const char* ChangeNote)
		{
			FCallWaiter<SubmitItemUpdateResult_t> Waiter;
			EXPECT_TRUE(Waiter.Wait(SteamUGC()->SubmitItemUpdate(Handle, ChangeNote)));
			return Waiter.Result;
		}

		UGCUpdateHandle_t StartContentUpdate(PublishedFileId_t Item)
		{
			const UGCUpdateHandle_t Handle = SteamUGC()->StartItemUpdate(TestAppId, Item);
			EXPECT_TRUE(SteamUGC()->SetItemContent(Handle, Content.string().c_str()));
			return Handle;
		}

		template <typename ResultType>
		static EResult ChangeDependency(SteamAPICall_t Call)
		{
			FCallWaiter<ResultType> Waiter;
			EXPECT_TRUE(Waiter.Wait(Call));
			return Waiter.Result.m_eResult;
		}

		static EResult AddDependency(PublishedFileId_t Parent, PublishedFileId_t Child)
		{
			return ChangeDependency<AddUGCDependencyResult_t>(SteamUGC()->AddDependency(Parent, Child));
		}

		static EResult RemoveDependency(PublishedFileId_t Parent, PublishedFileId_t Child)
		{
			return ChangeDependency<RemoveUGCDependencyResult_t>(SteamUGC()->RemoveDependency(Parent, Child));
		}

		/** Sends a details query of Item that asks for everything, and waits for its answer. */
		static UGCQueryHandle_t QueryAll(PublishedFileId_t Item, EResult& OutResult)
		{
			const UGCQueryHandle_t Query = SteamUGC()->CreateQueryUGCDetailsRequest(&Item, 1);
			EXPECT_TRUE(SteamUGC()->SetReturnChildren(Query, true));
			EXPECT_TRUE(SteamUGC()->SetReturnAdditionalPreviews(Query, true));
			FCallWaiter<SteamUGCQueryCompleted_t> Waiter;
			EXPECT_TRUE(Waiter.Wait(SteamUGC()->SendQueryUGCRequest(Query)));
			EXPECT_EQ(Waiter.Result.m_handle, Query);
			OutResult = Waiter.Result.m_eResult;
			return Query;
		}

		static FOfflineWorkshopItem FindItem(PublishedFileId_t Id)
		{
			const std::vector<FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
			const auto Found = std::find_if(Items.begin(), Items.end(), [Id](const FOfflineWorkshopItem& Item) {
				return Item.Id == Id;
			});
			return Found != Items.end() ? *Found : FOfflineWorkshopItem();
		}

		std::filesystem::path Root;
		std::filesystem::path Content;
	};

	TEST_F(OfflineWorkshop, RefusesOneInitialisationAsThoughSteamWereNotRunning)
	{
		SteamAPI_Shutdown();
		UE::StandIn::RefuseNextOfflineWorkshopRequest();
		SteamErrMsg Message = "";
		EXPECT_EQ(SteamAPI_InitEx(&Message), k_ESteamAPIInitResult_NoSteamClient);
		EXPECT_NE(std::string(Message).find("not running"), std::string::npos) << Message;
		EXPECT_EQ(SteamUGC(), nullptr);
		EXPECT_EQ(SteamUtils(), nullptr);

		EXPECT_EQ(SteamAPI_InitEx(&Message), k_ESteamAPIInitResult_OK);
		ASSERT_NE(SteamUtils(), nullptr);
		EXPECT_EQ(SteamUtils()->GetAppID(), TestAppId);

		// Once initialised, the SDK stays so; a client that goes away shows in SteamAPI_IsSteamRunning.
		UE::StandIn::RefuseNextOfflineWorkshopRequest();
		EXPECT_FALSE(SteamAPI_IsSteamRunning());
		EXPECT_TRUE(SteamAPI_IsSteamRunning());
		EXPECT_NE(SteamUGC(), nullptr);
	}

	TEST_F(OfflineWorkshop, RefusesInterfaceVersionsItDoesNotImplement)
	{
		SteamAPI_Shutdown();
		SteamErrMsg Message = "";
		EXPECT_EQ(SteamInternal_SteamAPI_Init(STEAMUTILS_INTERFACE_VERSION "\0STEAMUGC_INTERFACE_VERSION999\0", &Message),
		          k_ESteamAPIInitResult_VersionMismatch);
		EXPECT_NE(std::string(Message).find("STEAMUGC_INTERFACE_VERSION999"), std::string::npos) << Message;
		EXPECT_EQ(SteamAPI_GetHSteamUser(), 0);
		EXPECT_EQ(SteamInternal_FindOrCreateUserInterface(1, STEAMUGC_INTERFACE_VERSION), nullptr);
		ASSERT_EQ(SteamAPI_InitEx(nullptr), k_ESteamAPIInitResult_OK);
		EXPECT_EQ(SteamInternal_FindOrCreateUserInterface(SteamAPI_GetHSteamUser(), "STEAMUGC_INTERFACE_VERSION999"), nullptr);
	}

	TEST(OfflineWorkshopLayout, PacksCallbackStructuresAsTheSdkDoesOnThisPlatform)
	{
		// 4-byte packing on Linux and macOS: the 64-bit id follows the 4-byte result without a gap.
		EXPECT_EQ(offsetof(CreateItemResult_t, m_nPublishedFileId), 4u);
		EXPECT_EQ(sizeof(CreateItemResult_t), 16u);
		EXPECT_EQ(offsetof(SubmitItemUpdateResult_t, m_nPublishedFileId), 8u);
		EXPECT_EQ(sizeof(SubmitItemUpdateResult_t), 16u);
	}

	TEST_F(OfflineWorkshop, AnswersCreateItemOnlyInsideRunCallbacksWithAFreshIdEachTime)
	{
		FCallWaiter<CreateItemResult_t> First;
		First.CallResult.Set(SteamUGC()->CreateItem(TestAppId, k_EWorkshopFileTypeCommunity), &First, &FCallWaiter<CreateItemResult_t>::Handle);
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		EXPECT_FALSE(First.bArrived) << "a result arrived without SteamAPI_RunCallbacks";
		SteamAPI_RunCallbacks();
		ASSERT_TRUE(First.bArrived);
		EXPECT_EQ(First.ThreadId, std::this_thread::get_id());
		EXPECT_FALSE(First.bIOFailure);
		EXPECT_EQ(First.Result.m_eResult, k_EResultOK);
		EXPECT_FALSE(First.Result.m_bUserNeedsToAcceptWorkshopLegalAgreement);

		const PublishedFileId_t Second = CreateItem();
		EXPECT_NE(IdOf(First.Result), k_PublishedFileIdInvalid);
		EXPECT_NE(Second, k_PublishedFileIdInvalid);
		EXPECT_NE(IdOf(First.Result), Second);

		const std::vector<FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
		ASSERT_EQ(Items.size(), 2u);
		EXPECT_EQ(Items[0].Id, IdOf(First.Result)) << "listed oldest first";
		EXPECT_EQ(Items[1].Id, Second);
		EXPECT_EQ(Items[0].Visibility, "private");
		EXPECT_TRUE(Items[0].Title.empty());
		EXPECT_TRUE(Items[0].ContentFiles.empty());
		EXPECT_TRUE(Items[0].PreviewFileName.empty());
	}

	TEST_F(OfflineWorkshop, StoresWhatAnUpdateSetsAndKeepsWhatALaterOneLeavesOut)
	{
		const PublishedFileId_t Item = CreateItem();
		WriteFile(Root / "preview.png", 500);
		UGCUpdateHandle_t Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->SetItemTitle(Handle, "My Mod"));
		ASSERT_TRUE(SteamUGC()->SetItemDescription(Handle, "Line one\nLine two \\ with a backslash"));
		const char* Tags[] = {"Maps", "Tools"};
		const SteamParamStringArray_t TagArray{Tags, 2};
		ASSERT_TRUE(SteamUGC()->SetItemTags(Handle, &TagArray));
		ASSERT_TRUE(SteamUGC()->SetItemVisibility(Handle, k_ERemoteStoragePublishedFileVisibilityFriendsOnly));
		ASSERT_TRUE(SteamUGC()->SetItemPreview(Handle, (Root / "preview.png").string().c_str()));
		SubmitItemUpdateResult_t Result = Submit(Handle, nullptr);
		EXPECT_EQ(Result.m_eResult, k_EResultOK);
		EXPECT_EQ(IdOf(Result), Item);

		FOfflineWorkshopItem Stored = FindItem(Item);
		EXPECT_EQ(Stored.Title, "My Mod");
		EXPECT_EQ(Stored.Description, "Line one\nLine two \\ with a backslash");
		EXPECT_EQ(Stored.Tags, (std::vector<std::string>{"Maps", "Tools"}));
		EXPECT_EQ(Stored.Visibility, "friends");
		EXPECT_EQ(Stored.PreviewFileName, "preview.png");
		EXPECT_TRUE(Stored.ChangeNotes.empty());
		EXPECT_EQ(Stored.ContentFiles, (std::vector<std::string>{"Content/Paks/Windows/MyMod.pak", "MyMod.uplugin"}));

		std::filesystem::remove(Content / "MyMod.uplugin");
		WriteFile(Content / "Extra.txt", 3);
		Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->SetItemVisibility(Handle, k_ERemoteStoragePublishedFileVisibilityUnlisted));
		EXPECT_EQ(Submit(Handle, "First fix").m_eResult, k_EResultOK);
		Handle = StartContentUpdate(Item);
		EXPECT_EQ(Submit(Handle, "Second fix").m_eResult, k_EResultOK);

		Stored = FindItem(Item);
		EXPECT_EQ(Stored.Title, "My Mod");
		EXPECT_EQ(Stored.Description, "Line one\nLine two \\ with a backslash");
		EXPECT_EQ(Stored.Tags, (std::vector<std::string>{"Maps", "Tools"}));
		EXPECT_EQ(Stored.Visibility, "unlisted");
		EXPECT_EQ(Stored.PreviewFileName, "preview.png");
		EXPECT_EQ(Stored.ChangeNotes, (std::vector<std::string>{"First fix", "Second fix"}));
		EXPECT_EQ(Stored.ContentFiles, (std::vector<std::string>{"Content/Paks/Windows/MyMod.pak", "Extra.txt"}));
	}

	TEST_F(OfflineWorkshop, RefusesTextsAndTagsThatBreakSteamsRulesCountingBytes)
	{
		const UGCUpdateHandle_t Handle = SteamUGC()->StartItemUpdate(TestAppId, CreateItem());
		std::string Title;
		for (int Index = 0; Index < 64; ++Index)
		{
			Title += "\xC3\xA9"; // one character, two bytes
		}
		EXPECT_TRUE(SteamUGC()->SetItemTitle(Handle, Title.c_str())) << "128 bytes";
		EXPECT_FALSE(SteamUGC()->SetItemTitle(Handle, (Title + "x").c_str())) << "129 bytes in 65 characters";
		EXPECT_TRUE(SteamUGC()->SetItemDescription(Handle, std::string(7999, 'd').c_str()));
		EXPECT_FALSE(SteamUGC()->SetItemDescription(Handle, std::string(8000, 'd').c_str()));

		const std::string LongestTag(255, 't');
		const char* Fine[] = {LongestTag.c_str(), "Maps & Tools", "~"};
		const SteamParamStringArray_t FineTags{Fine, 3};
		EXPECT_TRUE(SteamUGC()->SetItemTags(Handle, &FineTags));
		const std::string TooLongTag(256, 't');
		for (const char* Refused : {TooLongTag.c_str(), "Maps,Tools", "Maps\tTools", "Caf\xC3\xA9", ""})
		{
			const char* Tags[] = {"Maps", Refused};
			const SteamParamStringArray_t TagArray{Tags, 2};
			EXPECT_FALSE(SteamUGC()->SetItemTags(Handle, &TagArray)) << "'" << Refused << "'";
		}
		EXPECT_FALSE(SteamUGC()->SetItemTitle(k_UGCUpdateHandleInvalid, "Title")) << "an unknown handle";
	}

	TEST_F(OfflineWorkshop, KeepsDependenciesAndAnswersADetailsQueryWithWhatItAsksFor)
	{
		const PublishedFileId_t Parent = CreateItem();
		const PublishedFileId_t First = CreateItem();
		const PublishedFileId_t Second = CreateItem();
		EXPECT_EQ(AddDependency(Parent, First), k_EResultOK);
		EXPECT_EQ(AddDependency(Parent, Second), k_EResultOK);
		EXPECT_EQ(AddDependency(Parent, First), k_EResultOK) << "a child added twice is kept once";
		EXPECT_EQ(AddDependency(Parent, Parent), k_EResultInvalidParam);
		EXPECT_EQ(AddDependency(Parent, Second + First), k_EResultFileNotFound) << "a child that does not exist";
		EXPECT_EQ(RemoveDependency(Parent, First), k_EResultOK);
		EXPECT_EQ(AddDependency(Parent, First), k_EResultOK);

		WriteFile(Root / "a.png", 100);
		const UGCUpdateHandle_t Handle = StartContentUpdate(Parent);
		ASSERT_TRUE(SteamUGC()->AddItemKeyValueTag(Handle, "TRLBaseRelease", "1.2"));
		ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / "a.png").string().c_str(), k_EItemPreviewType_Image));
		ASSERT_EQ(Submit(Handle, nullptr).m_eResult, k_EResultOK);

		PublishedFileId_t Ids[] = {Parent, Second + First};
		const UGCQueryHandle_t Query = SteamUGC()->CreateQueryUGCDetailsRequest(Ids, 2);
		ASSERT_TRUE(SteamUGC()->SetReturnChildren(Query, true));
		ASSERT_TRUE(SteamUGC()->SetAllowCachedResponse(Query, 0));
		FCallWaiter<SteamUGCQueryCompleted_t> Waiter;
		const SteamAPICall_t Call = SteamUGC()->SendQueryUGCRequest(Query);
		SteamUGCDetails_t Details{};
		EXPECT_FALSE(SteamUGC()->GetQueryUGCResult(Query, 0, &Details)) << "nothing to read before the answer";
		EXPECT_FALSE(SteamUGC()->SetReturnAdditionalPreviews(Query, true)) << "a sent query is not changed";
		ASSERT_TRUE(Waiter.Wait(Call));
		EXPECT_EQ(Waiter.Result.m_eResult, k_EResultOK);
		EXPECT_EQ(Waiter.Result.m_unNumResultsReturned, 2u);
		ASSERT_TRUE(SteamUGC()->GetQueryUGCResult(Query, 0, &Details));
		EXPECT_EQ(Details.m_nPublishedFileId, Parent);
		EXPECT_EQ(Details.m_eResult, k_EResultOK);
		ASSERT_EQ(Details.m_unNumChildren, 2u);
		PublishedFileId_t Children[2] = {};
		ASSERT_TRUE(SteamUGC()->GetQueryUGCChildren(Query, 0, Children, 2));
		EXPECT_EQ(Children[0], Second);
		EXPECT_EQ(Children[1], First);
		EXPECT_EQ(SteamUGC()->GetQueryUGCNumAdditionalPreviews(Query, 0), 0u) << "not asked for";
		ASSERT_TRUE(SteamUGC()->GetQueryUGCResult(Query, 1, &Details));
		EXPECT_EQ(Details.m_eResult, k_EResultFileNotFound);
		EXPECT_FALSE(SteamUGC()->GetQueryUGCResult(Query, 2, &Details));
		EXPECT_TRUE(SteamUGC()->ReleaseQueryUGCRequest(Query));
		EXPECT_FALSE(SteamUGC()->GetQueryUGCResult(Query, 0, &Details)) << "a released query holds nothing";
		EXPECT_EQ(SteamUGC()->CreateQueryUGCDetailsRequest(Ids, 0), k_UGCQueryHandleInvalid);

		EResult Result = k_EResultFail;
		const UGCQueryHandle_t All = QueryAll(Parent, Result);
		ASSERT_EQ(Result, k_EResultOK);
		ASSERT_EQ(SteamUGC()->GetQueryUGCNumAdditionalPreviews(All, 0), 1u);
		char Location[512];
		char FileName[4];
		EItemPreviewType Type = k_EItemPreviewType_ReservedMax;
		ASSERT_TRUE(SteamUGC()->GetQueryUGCAdditionalPreview(All, 0, 0, Location, sizeof(Location), FileName, sizeof(FileName), &Type));
		EXPECT_EQ(std::string(FileName), "a.p") << "cut to fit the buffer";
		EXPECT_EQ(Type, k_EItemPreviewType_Image);
		EXPECT_EQ(ReadFile(Location), std::string(100, 'x'));
		SteamUGC()->ReleaseQueryUGCRequest(All);

		const FOfflineWorkshopItem Stored = FindItem(Parent);
		EXPECT_EQ(Stored.Children, (std::vector<PublishedFileId_t>{Second, First}));
		EXPECT_EQ(Stored.KeyValueTags, (std::vector<std::pair<std::string, std::string>>{{"TRLBaseRelease", "1.2"}}));
		EXPECT_EQ(Stored.ExtraPreviewFileNames, (std::vector<std::string>{"a.png"}));
	}

	TEST_F(OfflineWorkshop, KeepsADependencyAddedWhileAnUpdateOfTheItemIsSent)
	{
		const PublishedFileId_t Parent = CreateItem();
		const PublishedFileId_t Child = CreateItem();
		ASSERT_TRUE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(0.5));
		FCallWaiter<SubmitItemUpdateResult_t> Waiter;
		Waiter.CallResult.Set(SteamUGC()->SubmitItemUpdate(StartContentUpdate(Parent), nullptr), &Waiter, &FCallWaiter<SubmitItemUpdateResult_t>::Handle);
		ASSERT_TRUE(UE::StandIn::WaitForOfflineWorkshopHold(10.0));
		EXPECT_EQ(AddDependency(Parent, Child), k_EResultOK);
		UE::StandIn::ReleaseOfflineWorkshopHold();
		ASSERT_TRUE(PumpUntil(
		    []() {
			    SteamAPI_RunCallbacks();
		    },
		    [&Waiter]() {
			    return Waiter.bArrived;
		    }));
		EXPECT_EQ(Waiter.Result.m_eResult, k_EResultOK);
		const FOfflineWorkshopItem Stored = FindItem(Parent);
		EXPECT_EQ(Stored.ContentFiles.size(), 2u);
		EXPECT_EQ(Stored.Children, (std::vector<PublishedFileId_t>{Child}));
	}

	TEST_F(OfflineWorkshop, ReplacesKeyValueTagsAndExtraPreviewsAsAnUpdateSaysAndChecksThemAsSteamDoes)
	{
		const PublishedFileId_t Item = CreateItem();
		for (const char* Name : {"a.png", "b.png", "c.png"})
		{
			WriteFile(Root / Name, 100, Name[0]);
		}
		UGCUpdateHandle_t Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->AddItemKeyValueTag(Handle, "Version", "1"));
		ASSERT_TRUE(SteamUGC()->AddItemKeyValueTag(Handle, "Other", "x"));
		ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / "a.png").string().c_str(), k_EItemPreviewType_Image));
		ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / "b.png").string().c_str(), k_EItemPreviewType_Image));
		ASSERT_EQ(Submit(Handle, nullptr).m_eResult, k_EResultOK);

		Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->RemoveItemKeyValueTags(Handle, "Version"));
		ASSERT_TRUE(SteamUGC()->AddItemKeyValueTag(Handle, "Version", "2"));
		// Indices count the previews as they were, whatever order they are removed in.
		ASSERT_TRUE(SteamUGC()->RemoveItemPreview(Handle, 0));
		ASSERT_TRUE(SteamUGC()->RemoveItemPreview(Handle, 1));
		ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / "c.png").string().c_str(), k_EItemPreviewType_Image));
		ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / "a.png").string().c_str(), k_EItemPreviewType_Image));
		ASSERT_EQ(Submit(Handle, nullptr).m_eResult, k_EResultOK);
		FOfflineWorkshopItem Stored = FindItem(Item);
		EXPECT_EQ(Stored.KeyValueTags, (std::vector<std::pair<std::string, std::string>>{{"Other", "x"}, {"Version", "2"}}));
		EXPECT_EQ(Stored.ExtraPreviewFileNames, (std::vector<std::string>{"c.png", "a.png"}));
		EXPECT_EQ(ListFileNames(Root / "Workshop" / std::to_string(Item) / "extra-previews"), (std::vector<std::string>{"3-c.png", "4-a.png"}))
		    << "the removed images' files are gone";

		// Each refused at submission, leaving the item as it was.
		WriteFile(Root / "tiny.png", 15);
		WriteFile(Root / "big.png", 1024 * 1024);
		const struct
		{
			const char* File;
			uint32 RemovedIndex;
			EResult Result;
		} Refused[] = {{"tiny.png", 0, k_EResultInvalidParam},
		               {"big.png", 0, k_EResultLimitExceeded},
		               {"missing.png", 0, k_EResultFileNotFound},
		               {"b.png", 2, k_EResultInvalidParam}};
		for (const auto& Case : Refused)
		{
			Handle = StartContentUpdate(Item);
			ASSERT_TRUE(SteamUGC()->RemoveItemPreview(Handle, Case.RemovedIndex));
			ASSERT_TRUE(SteamUGC()->AddItemPreviewFile(Handle, (Root / Case.File).string().c_str(), k_EItemPreviewType_Image));
			EXPECT_EQ(Submit(Handle, nullptr).m_eResult, Case.Result) << Case.File << ", removing " << Case.RemovedIndex;
		}
		EXPECT_EQ(FindItem(Item).ExtraPreviewFileNames, Stored.ExtraPreviewFileNames);

		// Refused at the call.
		Handle = StartContentUpdate(Item);
		const std::string LongestKey(255, 'k');
		const std::string LongestValue(255, 'v');
		EXPECT_TRUE(SteamUGC()->AddItemKeyValueTag(Handle, LongestKey.c_str(), LongestValue.c_str()));
		for (const std::string& Key : {std::string(), LongestKey + "k", std::string("a-b"), std::string("Caf\xC3\xA9")})
		{
			EXPECT_FALSE(SteamUGC()->AddItemKeyValueTag(Handle, Key.c_str(), "v")) << "key '" << Key << "'";
		}
		EXPECT_FALSE(SteamUGC()->AddItemKeyValueTag(Handle, "Key", (LongestValue + "v").c_str()));
		for (int Index = 1; Index < 100; ++Index)
		{
			ASSERT_TRUE(SteamUGC()->AddItemKeyValueTag(Handle, "Key", "v"));
			ASSERT_TRUE(SteamUGC()->RemoveItemKeyValueTags(Handle, "Key"));
		}
		EXPECT_FALSE(SteamUGC()->AddItemKeyValueTag(Handle, "Key", "v")) << "a 101st tag in one update";
		EXPECT_TRUE(SteamUGC()->RemoveItemKeyValueTags(Handle, "Key"));
		EXPECT_FALSE(SteamUGC()->RemoveItemKeyValueTags(Handle, "Key")) << "a 101st key in one update";
		EXPECT_FALSE(SteamUGC()->AddItemPreviewFile(Handle, "dQw4w9WgXcQ", k_EItemPreviewType_YouTubeVideo));
		EXPECT_FALSE(SteamUGC()->AddItemKeyValueTag(k_UGCUpdateHandleInvalid, "Key", "v")) << "an unknown handle";
		EXPECT_FALSE(SteamUGC()->RemoveItemPreview(k_UGCUpdateHandleInvalid, 0)) << "an unknown handle";
	}

	TEST_F(OfflineWorkshop, AnswersUpdatesThatSteamRefusesWithSteamsResults)
	{
		const PublishedFileId_t Item = CreateItem();

		UGCUpdateHandle_t Handle = StartContentUpdate(Item);
		EXPECT_EQ(Submit(Handle, std::string(8000, 'c').c_str()).m_eResult, k_EResultInvalidParam) << "a change note of 8,000 bytes";

		WriteFile(Root / "tiny.png", 15);
		Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->SetItemPreview(Handle, (Root / "tiny.png").string().c_str()));
		EXPECT_EQ(Submit(Handle, nullptr).m_eResult, k_EResultInvalidParam) << "a preview of 15 bytes";

		WriteFile(Root / "big.png", 1024 * 1024);
		Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->SetItemPreview(Handle, (Root / "big.png").string().c_str()));
		EXPECT_EQ(Submit(Handle, nullptr).m_eResult, k_EResultLimitExceeded) << "a preview of 1 MB";

		for (const size_t Size : {size_t{16}, size_t{1024 * 1024 - 1}})
		{
			WriteFile(Root / "fits.png", Size);
			Handle = StartContentUpdate(Item);
			ASSERT_TRUE(SteamUGC()->SetItemPreview(Handle, (Root / "fits.png").string().c_str()));
			EXPECT_EQ(Submit(Handle, std::string(7999, 'c').c_str()).m_eResult, k_EResultOK) << "a preview of " << Size << " bytes";
		}

		Handle = StartContentUpdate(Item + 1);
		const SubmitItemUpdateResult_t Unknown = Submit(Handle, nullptr);
		EXPECT_EQ(Unknown.m_eResult, k_EResultFileNotFound) << "an item that does not exist";
		EXPECT_EQ(IdOf(Unknown), Item + 1);

		std::filesystem::create_directories(Root / "Empty");
		Handle = SteamUGC()->StartItemUpdate(TestAppId, Item);
		ASSERT_TRUE(SteamUGC()->SetItemContent(Handle, (Root / "Empty").string().c_str()));
		EXPECT_EQ(Submit(Handle, nullptr).m_eResult, k_EResultFileNotFound) << "an empty content folder";
		EXPECT_EQ(FindItem(Item).ContentFiles.size(), 2u) << "a refused update leaves the item as it was";
	}

	TEST_F(OfflineWorkshop, AnswersDiskFullWhenItsDiskIsFull)
	{
		const PublishedFileId_t Item = CreateItem();
		// The item's record is written beside and moved into place; there, a write finds no space left.
		const std::filesystem::path Pending = Root / "Workshop" / std::to_string(Item) / "item.txt.new";
		std::filesystem::create_symlink("/dev/full", Pending);
		EXPECT_EQ(Submit(StartContentUpdate(Item), "note").m_eResult, k_EResultDiskFull);
		std::filesystem::remove(Pending);
		EXPECT_TRUE(FindItem(Item).ChangeNotes.empty()) << "nothing of the update was recorded";
	}

	TEST_F(OfflineWorkshop, FailsTheNextCreateItemWhenToldToFailBeforeCreation)
	{
		UE::StandIn::FailNextOfflineWorkshopRequest(k_EResultAccessDenied, false);
		FCallWaiter<CreateItemResult_t> Failed;
		ASSERT_TRUE(Failed.Wait(SteamUGC()->CreateItem(TestAppId, k_EWorkshopFileTypeCommunity)));
		EXPECT_EQ(Failed.Result.m_eResult, k_EResultAccessDenied);
		EXPECT_EQ(IdOf(Failed.Result), k_PublishedFileIdInvalid);
		EXPECT_TRUE(UE::StandIn::ListOfflineWorkshopItems().empty());

		const PublishedFileId_t Item = CreateItem();
		EXPECT_EQ(Submit(StartContentUpdate(Item), nullptr).m_eResult, k_EResultOK) << "the control applies to one request only";
	}

	TEST_F(OfflineWorkshop, FailsTheUpdateOfANewItemWhenToldToFailAfterCreation)
	{
		UE::StandIn::FailNextOfflineWorkshopRequest(k_EResultTimeout, true);
		const PublishedFileId_t Item = CreateItem();
		ASSERT_NE(Item, k_PublishedFileIdInvalid);
		const SubmitItemUpdateResult_t Result = Submit(StartContentUpdate(Item), "note");
		EXPECT_EQ(Result.m_eResult, k_EResultTimeout);
		EXPECT_EQ(IdOf(Result), Item);
		const FOfflineWorkshopItem Stored = FindItem(Item);
		EXPECT_EQ(Stored.Id, Item) << "the item stays made";
		EXPECT_TRUE(Stored.ContentFiles.empty());
		EXPECT_TRUE(Stored.ChangeNotes.empty());
	}

	TEST_F(OfflineWorkshop, FailsAnUpdateWithoutCreationWhenToldToFailBeforeCreation)
	{
		const PublishedFileId_t Item = CreateItem();
		UE::StandIn::FailNextOfflineWorkshopRequest(k_EResultNotLoggedOn, false);
		EXPECT_EQ(Submit(StartContentUpdate(Item), nullptr).m_eResult, k_EResultNotLoggedOn);
		EXPECT_EQ(Submit(StartContentUpdate(Item), nullptr).m_eResult, k_EResultOK);
	}

	TEST_F(OfflineWorkshop, HoldsAnUpdateAtExactlyTheFractionAskedFor)
	{
		const PublishedFileId_t Item = CreateItem();
		ASSERT_TRUE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(0.3));
		FCallWaiter<SubmitItemUpdateResult_t> Waiter;
		const UGCUpdateHandle_t Handle = StartContentUpdate(Item);
		Waiter.CallResult.Set(SteamUGC()->SubmitItemUpdate(Handle, nullptr), &Waiter, &FCallWaiter<SubmitItemUpdateResult_t>::Handle);
		ASSERT_TRUE(UE::StandIn::WaitForOfflineWorkshopHold(10.0));

		uint64 Processed = 0;
		uint64 Total = 0;
		EXPECT_EQ(SteamUGC()->GetItemUpdateProgress(Handle, &Processed, &Total), k_EItemUpdateStatusUploadingContent);
		EXPECT_EQ(Processed, 300u);
		EXPECT_EQ(Total, 1000u);
		SteamAPI_RunCallbacks();
		EXPECT_FALSE(Waiter.bArrived) << "a held update has no result yet";
		EXPECT_TRUE(FindItem(Item).ContentFiles.empty()) << "nothing is committed while held";

		EXPECT_TRUE(UE::StandIn::ReleaseOfflineWorkshopHold());
		ASSERT_TRUE(PumpUntil(
		    []() {
			    SteamAPI_RunCallbacks();
		    },
		    [&Waiter]() {
			    return Waiter.bArrived;
		    }));
		EXPECT_EQ(Waiter.Result.m_eResult, k_EResultOK);
		EXPECT_EQ(SteamUGC()->GetItemUpdateProgress(Handle, &Processed, &Total), k_EItemUpdateStatusInvalid);
		EXPECT_FALSE(UE::StandIn::ReleaseOfflineWorkshopHold()) << "nothing left to release";

		Submit(StartContentUpdate(Item), nullptr);
		EXPECT_FALSE(UE::StandIn::WaitForOfflineWorkshopHold(0.0)) << "the hold applied to one update only";
	}

	TEST_F(OfflineWorkshop, ScalesBytesWhenTheContentIsTooSmallToLandOnTheFraction)
	{
		std::filesystem::remove_all(Content);
		WriteFile(Content / "tiny.bin", 7);
		const struct
		{
			double Fraction;
			uint64 Processed;
			uint64 Total;
		} Cases[] = {{0.3, 21, 70}, {0.5, 7, 14}, {0.0, 0, 7}, {1.0, 7, 7}};
		const PublishedFileId_t Item = CreateItem();
		for (const auto& Case : Cases)
		{
			ASSERT_TRUE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(Case.Fraction));
			FCallWaiter<SubmitItemUpdateResult_t> Waiter;
			const UGCUpdateHandle_t Handle = StartContentUpdate(Item);
			Waiter.CallResult.Set(SteamUGC()->SubmitItemUpdate(Handle, nullptr), &Waiter, &FCallWaiter<SubmitItemUpdateResult_t>::Handle);
			ASSERT_TRUE(UE::StandIn::WaitForOfflineWorkshopHold(10.0));
			uint64 Processed = 0;
			uint64 Total = 0;
			SteamUGC()->GetItemUpdateProgress(Handle, &Processed, &Total);
			EXPECT_EQ(Processed, Case.Processed) << "at " << Case.Fraction;
			EXPECT_EQ(Total, Case.Total) << "at " << Case.Fraction;
			EXPECT_EQ(static_cast<double>(Processed) / static_cast<double>(Total), Case.Fraction);
			UE::StandIn::ReleaseOfflineWorkshopHold();
			ASSERT_TRUE(PumpUntil(
			    []() {
				    SteamAPI_RunCallbacks();
			    },
			    [&Waiter]() {
				    return Waiter.bArrived;
			    }));
		}
		EXPECT_FALSE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(1.5));
		EXPECT_FALSE(UE::StandIn::HoldNextOfflineWorkshopUpdateAt(-0.1));
	}

	TEST_F(OfflineWorkshop, CountsEachStagesBytesAfreshAtTheBandwidthAsked)
	{
		const PublishedFileId_t Item = CreateItem();
		WriteFile(Root / "preview.png", 2000);
		UE::StandIn::SetOfflineWorkshopBandwidth(20000);
		const UGCUpdateHandle_t Handle = StartContentUpdate(Item);
		ASSERT_TRUE(SteamUGC()->SetItemPreview(Handle, (Root / "preview.png").string().c_str()));

		FCallWaiter<SubmitItemUpdateResult_t> Waiter;
		const auto Start = std::chrono::steady_clock::now();
		Waiter.CallResult.Set(SteamUGC()->SubmitItemUpdate(Handle, nullptr), &Waiter, &FCallWaiter<SubmitItemUpdateResult_t>::Handle);
		struct FSample
		{
			EItemUpdateStatus Status;
			uint64 Processed;
			uint64 Total;
		};
		std::vector<FSample> Samples;
		const bool bDone = PumpUntil(
		    [&]() {
			    FSample Sample{};
			    Sample.Status = SteamUGC()->GetItemUpdateProgress(Handle, &Sample.Processed, &Sample.Total);
			    if (Sample.Status != k_EItemUpdateStatusInvalid)
			    {
				    Samples.push_back(Sample);
			    }
			    SteamAPI_RunCallbacks();
		    },
		    [&Waiter]() {
			    return Waiter.bArrived;
		    });
		const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
		ASSERT_TRUE(bDone);
		EXPECT_EQ(Waiter.Result.m_eResult, k_EResultOK);
		std::set<EItemUpdateStatus> Seen;
		bool bSawContentPart = false;
		bool bSawPreviewPart = false;
		for (size_t Index = 0; Index < Samples.size(); ++Index)
		{
			const FSample& Sample = Samples[Index];
			Seen.insert(Sample.Status);
			if (Index > 0)
			{
				const FSample& Before = Samples[Index - 1];
				EXPECT_GE(Sample.Status, Before.Status) << "stages come in Steam's order";
				EXPECT_TRUE(Sample.Status != Before.Status || Sample.Processed >= Before.Processed) << "within a stage, bytes only grow";
			}
			EXPECT_EQ(Sample.Total, Sample.Status == k_EItemUpdateStatusUploadingPreviewFile                                                       ? 2000u
			                        : Sample.Status == k_EItemUpdateStatusCommittingChanges || Sample.Status == k_EItemUpdateStatusPreparingConfig ? 0u
			                                                                                                                                       : 1000u)
			    << "stage " << Sample.Status;
			bSawContentPart = bSawContentPart || (Sample.Status == k_EItemUpdateStatusUploadingContent && Sample.Processed > 0 && Sample.Processed < 1000);
			bSawPreviewPart = bSawPreviewPart || (Sample.Status == k_EItemUpdateStatusUploadingPreviewFile && Sample.Processed <= 1000);
		}
		EXPECT_TRUE(Seen.contains(k_EItemUpdateStatusUploadingContent));
		EXPECT_TRUE(Seen.contains(k_EItemUpdateStatusUploadingPreviewFile));
		EXPECT_TRUE(bSawContentPart) << "the content's bytes part way through";
		EXPECT_TRUE(bSawPreviewPart) << "the preview's bytes counted from 0 again";
		EXPECT_GE(Seconds, 0.12) << "3,000 bytes at 20,000 bytes a second take 0.15 seconds";
	}

	TEST_F(OfflineWorkshop, SaysInEveryResultThatTheLegalAgreementIsNotAccepted)
	{
		UE::StandIn::SetOfflineWorkshopLegalAgreementAccepted(false);
		FCallWaiter<CreateItemResult_t> Created;
		ASSERT_TRUE(Created.Wait(SteamUGC()->CreateItem(TestAppId, k_EWorkshopFileTypeCommunity)));
		EXPECT_EQ(Created.Result.m_eResult, k_EResultOK);
		EXPECT_TRUE(Created.Result.m_bUserNeedsToAcceptWorkshopLegalAgreement);
		const SubmitItemUpdateResult_t Submitted = Submit(StartContentUpdate(Created.Result.m_nPublishedFileId), nullptr);
		EXPECT_EQ(Submitted.m_eResult, k_EResultOK);
		EXPECT_TRUE(Submitted.m_bUserNeedsToAcceptWorkshopLegalAgreement);
	}

	TEST_F(OfflineWorkshop, DropsResultsThatWereNotDeliveredBeforeShutdown)
	{
		FCallWaiter<CreateItemResult_t> Waiter;
		Waiter.CallResult.Set(SteamUGC()->CreateItem(TestAppId, k_EWorkshopFileTypeCommunity), &Waiter, &FCallWaiter<CreateItemResult_t>::Handle);
		SteamAPI_Shutdown();
		ASSERT_EQ(SteamAPI_InitEx(nullptr), k_ESteamAPIInitResult_OK);
		SteamAPI_RunCallbacks();
		EXPECT_FALSE(Waiter.bArrived);
		EXPECT_NE(SteamUGC()->CreateItem(TestAppId, k_EWorkshopFileTypeCommunity), k_uAPICallInvalid);
		SteamAPI_Shutdown();
		EXPECT_EQ(SteamUGC(), nullptr);
	}

	TEST(OfflineWorkshopHooks, FindResultsByTheSdksNames)
	{
		EResult Result = k_EResultOK;
		EXPECT_TRUE(UE::StandIn::FindOfflineWorkshopResult("k_EResultAccessDenied", Result));
		EXPECT_EQ(Result, k_EResultAccessDenied);
		EXPECT_TRUE(UE::StandIn::FindOfflineWorkshopResult("k_EResultLimitExceeded", Result));
		EXPECT_EQ(Result, k_EResultLimitExceeded);
		EXPECT_FALSE(UE::StandIn::FindOfflineWorkshopResult("AccessDenied", Result));
		EXPECT_FALSE(UE::StandIn::FindOfflineWorkshopResult("k_EResultaccessdenied", Result));
	}

	TEST(OfflineWorkshopHooks, PutTheWorkshopUnderTheProjectOrTheWorkingFolder)
	{
		EXPECT_EQ(UE::StandIn::MakeDefaultOfflineWorkshopFolder("/games/Demo"), "/games/Demo/Saved/OfflineWorkshop");
		UE::StandIn::SetOfflineWorkshopFolder("");
		EXPECT_EQ(UE::StandIn::GetOfflineWorkshopFolder(), (std::filesystem::current_path() / "Saved" / "OfflineWorkshop").generic_string());
	}
} // namespace
