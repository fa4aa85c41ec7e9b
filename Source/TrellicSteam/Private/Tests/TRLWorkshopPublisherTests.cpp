// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLFakeWorkshopService.h"
#include "TRLPublishCompleteRecorder.h"
#include "TRLScopedWorkshopServiceOverride.h"
#include "TRLTestHelpers.h"
#include "TRLWorkshopPublisher.h"
#include "Templates/SharedPointer.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLWorkshopPublisherSpec, "Trellic.TrellicSteam.TRLWorkshopPublisher",
                  EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ContentFolder;
	TSharedPtr<FTRLFakeWorkshopService> Fake;
	TSharedPtr<FTRLScopedWorkshopServiceOverride> ServiceOverride;
	UTRLWorkshopPublisher* Publisher = nullptr;
	UTRLPublishCompleteRecorder* Recorder = nullptr;
	TSharedPtr<FTRLLogCapture> Log;

	ETRLWorkshopResult PublishSample()
	{
		return Publisher->PublishNewMod(ContentFolder, FString(), TEXT("My Mod"), TEXT("Adds things."), {TEXT("Maps"), TEXT("Tools")},
		                                ETRLWorkshopVisibility::FriendsOnly);
	}

	ETRLWorkshopResult UpdateSample(const FString& ItemId)
	{
		return Publisher->UpdateExistingMod(ItemId, ContentFolder, FString(), TEXT("Fixed a crash"), ETRLWorkshopVisibility::Unlisted, FString(), FString(),
		                                    {});
	}

	/** Updates item 10 with Extras, as far as Steam taking the upload. */
	void UpdateWithExtras(FTRLWorkshopRequestExtras Extras)
	{
		Publisher->SetNextRequestExtras(MoveTemp(Extras));
		TestEqual(TEXT("request accepted"), static_cast<int32>(UpdateSample(TEXT("10"))), static_cast<int32>(ETRLWorkshopResult::Success));
		if (Fake->Calls.Last().StartsWith(TEXT("Query")))
		{
			Fake->AnswerQuery(Ok());
		}
		Fake->AnswerSubmit(Ok());
	}

	/** Compares the LogTrellic lines exactly, one a line: TestEqual on strings ignores case. */
	void TestLog(const TArray<FString>& Expected)
	{
		TRLTest::TestLines(*this, TEXT("log"), Log->TrellicLines(), Expected);
	}

	static FTRLWorkshopAnswer Ok()
	{
		return FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 0);
	}

	static FTRLWorkshopItemDetails WithChildren(TArray<uint64> Children)
	{
		FTRLWorkshopItemDetails Details;
		Details.Children = MoveTemp(Children);
		return Details;
	}

	static TOptional<TArray<FTRLRequiredWorkshopItem>> Requiring(TArray<FTRLRequiredWorkshopItem> Items)
	{
		return MoveTemp(Items);
	}

	/** Checks that exactly one completion was heard, with this result, item id and message. */
	void TestOneCompletion(ETRLWorkshopResult Result, const FString& ItemId, const FString& Message)
	{
		if (!TestEqual(TEXT("completions"), Recorder->Completions.Num(), 1))
		{
			return;
		}
		const FTRLPublishCompletion& Completion = Recorder->Completions[0];
		TestEqual(TEXT("result"), static_cast<int32>(Completion.Result), static_cast<int32>(Result));
		TestEqualSensitive(TEXT("item id"), Completion.ItemId, ItemId);
		TestEqualSensitive(TEXT("status message"), Completion.StatusMessage.ToString(), Message);
		TestTrue(TEXT("broadcast on the game thread"), Completion.bOnGameThread);
	}
END_DEFINE_SPEC(FTRLWorkshopPublisherSpec)

void FTRLWorkshopPublisherSpec::Define()
{
	BeforeEach([this]() {
		Log = MakeShared<FTRLLogCapture>();
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLWorkshopPublisher"));
		ContentFolder = TempDir / TEXT("Payload");
		IFileManager::Get().MakeDirectory(*(ContentFolder / TEXT("Content/Paks/Windows")), true);
		FFileHelper::SaveStringToFile(TEXT("pak"), *(ContentFolder / TEXT("Content/Paks/Windows/MyMod.pak")));
		Fake = MakeShared<FTRLFakeWorkshopService>();
		ServiceOverride = MakeShared<FTRLScopedWorkshopServiceOverride>(Fake.ToSharedRef());
		Publisher = NewObject<UTRLWorkshopPublisher>();
		Publisher->AddToRoot();
		Recorder = NewObject<UTRLPublishCompleteRecorder>();
		Recorder->AddToRoot();
		Recorder->Listen(Publisher);
	});

	AfterEach([this]() {
		TestFalse(TEXT("no request left running"), Publisher->IsPublishing());
		Recorder->RemoveFromRoot();
		Publisher->RemoveFromRoot();
		ServiceOverride.Reset();
		Fake.Reset();
		TRLTest::DeleteFolder(TempDir);
		Log.Reset();
	});

	Describe("PublishNewMod", [this]() {
		It("creates the item, then sends the update to it, and reports the new item once it is uploaded", [this]() {
			TestEqual(TEXT("request accepted"), static_cast<int32>(PublishSample()), static_cast<int32>(ETRLWorkshopResult::Success));
			TestTrue(TEXT("publishing"), Publisher->IsPublishing());
			TestEqual(TEXT("items asked for"), Fake->NumCreates, 1);
			TestEqual(TEXT("nothing sent before the item exists"), Fake->NumSubmits, 0);

			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 18446744073709551557ull));
			TestEqual(TEXT("updates sent"), Fake->NumSubmits, 1);
			TestEqual(TEXT("sent to the new item"), Fake->SubmittedItemId, 18446744073709551557ull);
			TestEqualSensitive(TEXT("content folder"), Fake->SubmittedUpdate.ContentFolder, ContentFolder);
			TestEqualSensitive(TEXT("title"), Fake->SubmittedUpdate.Title, FString(TEXT("My Mod")));
			TestEqualSensitive(TEXT("description"), Fake->SubmittedUpdate.Description, FString(TEXT("Adds things.")));
			TestEqual(TEXT("tags"), Fake->SubmittedUpdate.Tags.Num(), 2);
			TestEqual(TEXT("visibility"), static_cast<int32>(Fake->SubmittedUpdate.Visibility), static_cast<int32>(ETRLWorkshopVisibility::FriendsOnly));
			TestTrue(TEXT("no change note for a new item"), Fake->SubmittedUpdate.ChangeNote.IsEmpty());
			TestEqual(TEXT("nothing heard while it runs"), Recorder->Completions.Num(), 0);

			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 18446744073709551557ull));
			TestOneCompletion(ETRLWorkshopResult::Success, TEXT("18446744073709551557"), TEXT("Workshop item 18446744073709551557 was created and uploaded."));
			TestFalse(TEXT("publishing after the completion"), Publisher->IsPublishing());
			TestEqual(TEXT("service let go"), Fake->NumDisconnects, 1);
		});

		It("reports the item it made when the upload to it fails", [this]() {
			PublishSample();
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 4242));
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::AccessDenied, 0, FText::FromString(TEXT("Log in as the owner."))));
			TestOneCompletion(ETRLWorkshopResult::AccessDenied, TEXT("4242"), TEXT("Log in as the owner."));
		});

		It("reports no item when making it fails, and sends nothing", [this]() {
			PublishSample();
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::NotLoggedOn, 0, FText::FromString(TEXT("Log in."))));
			TestOneCompletion(ETRLWorkshopResult::NotLoggedOn, FString(), TEXT("Log in."));
			TestEqual(TEXT("updates sent"), Fake->NumSubmits, 0);
		});

		It("broadcasts a refusal of the service before the call returns it", [this]() {
			Fake->ConnectResult = ETRLWorkshopResult::SteamNotRunning;
			Fake->RefusalMessage = FText::FromString(TEXT("Start Steam."));
			bool bReturned = false;
			bool bHeardBeforeReturn = false;
			Recorder->OnCompletion = [&bReturned, &bHeardBeforeReturn](const FTRLPublishCompletion&) {
				bHeardBeforeReturn = !bReturned;
			};
			const ETRLWorkshopResult Result = PublishSample();
			bReturned = true;
			TestEqual(TEXT("result"), static_cast<int32>(Result), static_cast<int32>(ETRLWorkshopResult::SteamNotRunning));
			TestTrue(TEXT("heard before the call returned"), bHeardBeforeReturn);
			TestOneCompletion(ETRLWorkshopResult::SteamNotRunning, FString(), TEXT("Start Steam."));
			TestEqual(TEXT("items asked for"), Fake->NumCreates, 0);
			TestFalse(TEXT("publishing"), Publisher->IsPublishing());
		});

		It("takes texts up to Steam's limits in bytes of UTF-8, and refuses one byte more before connecting", [this]() {
			// 32 emoji of four bytes each: 128 bytes, though 64 UTF-16 units.
			const FString Emoji = FString::ChrN(32, TEXT('x')).Replace(TEXT("x"), TEXT("\U0001F600"));
			TestEqual(TEXT("a title of 128 bytes"),
			          static_cast<int32>(
			              Publisher->PublishNewMod(ContentFolder, FString(), Emoji, FString::ChrN(7999, TEXT('d')), {}, ETRLWorkshopVisibility::Public)),
			          static_cast<int32>(ETRLWorkshopResult::Success));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 5));
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 5));

			const struct
			{
				FString Title;
				FString Description;
				FString ChangeNote;
				FString Message;
			} Refused[] = {
			    {Emoji + TEXT("!"), FString(), FString(),
			     TEXT("The title is 129 bytes long in UTF-8; the Steam Workshop takes at most 128. Shorten the mod's FriendlyName and try again.")},
			    {TEXT("T"), FString::ChrN(7999, TEXT('d')) + TEXT("\u00E9"), FString(),
			     FString::Printf(TEXT("The description is %s bytes long in UTF-8; the Steam Workshop takes at most %s. Shorten the mod's Description "
			                          "and try again."),
			                     *FText::AsNumber(8001).ToString(), *FText::AsNumber(7999).ToString())},
			    {FString(), FString(), FString::ChrN(8000, TEXT('c')),
			     FString::Printf(TEXT("The change note is %s bytes long in UTF-8; the Steam Workshop takes at most %s. Shorten it and try again."),
			                     *FText::AsNumber(8000).ToString(), *FText::AsNumber(7999).ToString())},
			};
			for (const auto& Case : Refused)
			{
				const ETRLWorkshopResult Result = Publisher->UpdateExistingMod(TEXT("5"), ContentFolder, FString(), Case.ChangeNote,
				                                                               ETRLWorkshopVisibility::Public, Case.Title, Case.Description, {});
				TestEqual(Case.Message, static_cast<int32>(Result), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
				TestEqualSensitive(TEXT("message"), Recorder->Completions.Last().StatusMessage.ToString(), Case.Message);
			}
			TestEqual(TEXT("connections"), Fake->NumConnects, 1);
		});

		It("refuses an empty tag, one over 255 bytes, and one with a comma, a tab or a letter past ASCII, naming it, before connecting", [this]() {
			const FString Longest = FString::ChrN(255, TEXT('t'));
			TestEqual(TEXT("tags Steam takes"),
			          static_cast<int32>(Publisher->PublishNewMod(ContentFolder, FString(), TEXT("T"), FString(), {Longest, TEXT("Maps & Tools (v2)")},
			                                                      ETRLWorkshopVisibility::Public)),
			          static_cast<int32>(ETRLWorkshopResult::Success));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 5));
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 5));

			const TPair<FString, FString> Refused[] = {
			    {FString(), TEXT("The Steam Workshop refuses an empty tag. Remove it from the mod's TRLTags and try again.")},
			    {Longest + TEXT("t"), FString::Printf(TEXT("The tag '%st' is 256 bytes long in UTF-8; the Steam Workshop takes tags of at most 255. "
			                                               "Shorten it in the mod's TRLTags and try again."),
			                                          *Longest)},
			    {TEXT("Maps,Tools"), TEXT("The Steam Workshop refuses the tag 'Maps,Tools': a tag may not hold a comma. Split it into two tags in the mod's "
			                              "TRLTags and try again.")},
			    {TEXT("Maps\tTools"), TEXT("The Steam Workshop refuses the tag 'Maps\tTools': a tag holds printable ASCII characters only (letters, "
			                               "digits, spaces and punctuation; no tabs, line breaks or accented letters). Change it in the mod's TRLTags "
			                               "and try again.")},
			    {TEXT("Caf\u00E9"), TEXT("The Steam Workshop refuses the tag 'Caf\u00E9': a tag holds printable ASCII characters only (letters, digits, "
			                             "spaces and punctuation; no tabs, line breaks or accented letters). Change it in the mod's TRLTags and try "
			                             "again.")},
			};
			for (const TPair<FString, FString>& Case : Refused)
			{
				const ETRLWorkshopResult Result =
				    Publisher->PublishNewMod(ContentFolder, FString(), TEXT("T"), FString(), {TEXT("Maps"), Case.Key}, ETRLWorkshopVisibility::Public);
				TestEqual(Case.Value, static_cast<int32>(Result), static_cast<int32>(ETRLWorkshopResult::TextTooLong));
				TestEqualSensitive(TEXT("message"), Recorder->Completions.Last().StatusMessage.ToString(), Case.Value);
			}
			TestEqual(TEXT("connections"), Fake->NumConnects, 1);
			TestEqual(TEXT("items asked for"), Fake->NumCreates, 1);
		});

		It("refuses a preview under 16 bytes or of 1 MB, naming the file and the limit, before connecting", [this]() {
			const FString Preview = TempDir / TEXT("preview.png");
			const auto PublishWithPreview = [this, &Preview](int32 Bytes) {
				FFileHelper::SaveStringToFile(FString::ChrN(Bytes, TEXT('p')), *Preview);
				return Publisher->PublishNewMod(ContentFolder, Preview, TEXT("T"), FString(), {}, ETRLWorkshopVisibility::Public);
			};
			TestEqual(TEXT("15 bytes"), static_cast<int32>(PublishWithPreview(15)), static_cast<int32>(ETRLWorkshopResult::InvalidMod));
			TestEqualSensitive(TEXT("15 bytes message"), Recorder->Completions.Last().StatusMessage.ToString(),
			                   FString::Printf(TEXT("The preview image '%s' is 15 bytes; Steam takes a preview of at least 16 bytes. Use a real PNG or "
			                                        "JPEG image and try again."),
			                                   *Preview));
			TestEqual(TEXT("1 MB"), static_cast<int32>(PublishWithPreview(1024 * 1024)), static_cast<int32>(ETRLWorkshopResult::PreviewTooLarge));
			const FString Limit = FText::AsNumber(1024 * 1024).ToString();
			TestEqualSensitive(TEXT("1 MB message"), Recorder->Completions.Last().StatusMessage.ToString(),
			                   FString::Printf(TEXT("The preview image '%s' is %s bytes; Steam takes a preview under 1 MB (%s bytes). Make it smaller "
			                                        "and try again."),
			                                   *Preview, *Limit, *Limit));
			TestEqual(TEXT("connections"), Fake->NumConnects, 0);

			TestEqual(TEXT("16 bytes"), static_cast<int32>(PublishWithPreview(16)), static_cast<int32>(ETRLWorkshopResult::Success));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Timeout, 0));
		});

		It("refuses a content folder without files, and a preview image that does not exist", [this]() {
			const FString EmptyFolder = TempDir / TEXT("Empty");
			IFileManager::Get().MakeDirectory(*EmptyFolder, true);
			const ETRLWorkshopResult EmptyResult = Publisher->PublishNewMod(EmptyFolder, FString(), TEXT("T"), FString(), {}, ETRLWorkshopVisibility::Public);
			TestEqual(TEXT("empty folder"), static_cast<int32>(EmptyResult), static_cast<int32>(ETRLWorkshopResult::InvalidMod));
			TestOneCompletion(ETRLWorkshopResult::InvalidMod, FString(),
			                  FString::Printf(TEXT("'%s' holds no files to upload. Package the mod, then upload it again."), *EmptyFolder));

			const FString Preview = TempDir / TEXT("preview.png");
			const ETRLWorkshopResult PreviewResult = Publisher->PublishNewMod(ContentFolder, Preview, TEXT("T"), FString(), {}, ETRLWorkshopVisibility::Public);
			TestEqual(TEXT("missing preview"), static_cast<int32>(PreviewResult), static_cast<int32>(ETRLWorkshopResult::InvalidMod));
			if (TestEqual(TEXT("completions"), Recorder->Completions.Num(), 2))
			{
				TestEqualSensitive(TEXT("preview message"), Recorder->Completions[1].StatusMessage.ToString(),
				                   FString::Printf(TEXT("The preview image '%s' does not exist."), *Preview));
			}
			TestEqual(TEXT("connections"), Fake->NumConnects, 0);
		});

		It("answers Busy while a request runs, and lets that request finish", [this]() {
			PublishSample();
			TestEqual(TEXT("second request"), static_cast<int32>(PublishSample()), static_cast<int32>(ETRLWorkshopResult::Busy));
			TestOneCompletion(ETRLWorkshopResult::Busy, FString(), TEXT("This publisher is still uploading. Wait for that upload to finish."));
			TestEqual(TEXT("items asked for"), Fake->NumCreates, 1);
			TestTrue(TEXT("first request still running"), Publisher->IsPublishing());

			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 7));
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 7));
			if (TestEqual(TEXT("completions"), Recorder->Completions.Num(), 2))
			{
				TestEqual(TEXT("first request's result"), static_cast<int32>(Recorder->Completions[1].Result), static_cast<int32>(ETRLWorkshopResult::Success));
				TestEqualSensitive(TEXT("first request's item"), Recorder->Completions[1].ItemId, FString(TEXT("7")));
			}
		});

		It("ignores answers that come after the request has ended", [this]() {
			PublishSample();
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 9));
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 9));
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Timeout, 9));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 10));
			TestOneCompletion(ETRLWorkshopResult::Success, TEXT("9"), TEXT("Workshop item 9 was created and uploaded."));
			TestEqual(TEXT("updates sent"), Fake->NumSubmits, 1);
		});
	});

	Describe("UpdateExistingMod", [this]() {
		It("sends the update with its change note to the item, leaving out what is empty", [this]() {
			TestEqual(TEXT("request accepted"), static_cast<int32>(UpdateSample(TEXT("123456789012"))), static_cast<int32>(ETRLWorkshopResult::Success));
			TestEqual(TEXT("items asked for"), Fake->NumCreates, 0);
			TestEqual(TEXT("sent to"), Fake->SubmittedItemId, 123456789012ull);
			TestEqualSensitive(TEXT("change note"), Fake->SubmittedUpdate.ChangeNote, FString(TEXT("Fixed a crash")));
			TestTrue(TEXT("no title"), Fake->SubmittedUpdate.Title.IsEmpty());
			TestEqual(TEXT("no tags"), Fake->SubmittedUpdate.Tags.Num(), 0);

			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 123456789012ull));
			TestOneCompletion(ETRLWorkshopResult::Success, TEXT("123456789012"), TEXT("Workshop item 123456789012 was updated."));
		});

		It("refuses an item id that is not a number before connecting", [this]() {
			const TCHAR* BadIds[] = {TEXT(""), TEXT(" 12"), TEXT("12a"), TEXT("0"), TEXT("18446744073709551616")};
			for (const TCHAR* BadId : BadIds)
			{
				TestEqual(FString::Printf(TEXT("result for '%s'"), BadId), static_cast<int32>(UpdateSample(BadId)),
				          static_cast<int32>(ETRLWorkshopResult::ItemNotFound));
			}
			TestEqual(TEXT("completions"), Recorder->Completions.Num(), 5);
			TestEqualSensitive(TEXT("message"), Recorder->Completions[1].StatusMessage.ToString(),
			                   FString(TEXT("' 12' is not a Workshop item id. Correct ItemId in the mod's workshop.json, or delete the file to publish the "
			                                "mod as a new item.")));
			TestEqual(TEXT("connections"), Fake->NumConnects, 0);
		});

		It("returns and broadcasts a refusal that the service gives inside the call", [this]() {
			Fake->SubmitRefusal = FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::ServiceUnavailable, 0, FText::FromString(TEXT("Try later.")));
			TestEqual(TEXT("result"), static_cast<int32>(UpdateSample(TEXT("55"))), static_cast<int32>(ETRLWorkshopResult::ServiceUnavailable));
			TestOneCompletion(ETRLWorkshopResult::ServiceUnavailable, FString(), TEXT("Try later."));
			TestFalse(TEXT("publishing"), Publisher->IsPublishing());
			TestEqual(TEXT("service let go"), Fake->NumDisconnects, 1);
		});
	});

	Describe("SetNextRequestExtras", [this]() {
		It("brings the item's dependencies in line once Steam has the upload, logging each change by id and name", [this]() {
			FTRLWorkshopRequestExtras Extras;
			Extras.RequiredItems = Requiring({{TEXT("20"), TEXT("Base")}, {TEXT("30"), TEXT("Maps")}, {TEXT("20"), TEXT("Base")}});
			UpdateWithExtras(Extras);
			TestEqual(TEXT("still running"), Recorder->Completions.Num(), 0);
			Fake->AnswerQuery(Ok(), WithChildren({30, 40}));
			Fake->AnswerDependency(Ok());
			Fake->AnswerDependency(Ok());
			TestEqual(TEXT("calls"), Fake->Calls, TArray<FString>{TEXT("Submit 10"), TEXT("Query 10"), TEXT("Add 10 20"), TEXT("Remove 10 40")});
			TestOneCompletion(ETRLWorkshopResult::Success, TEXT("10"), TEXT("Workshop item 10 was updated."));

			UpdateWithExtras(Extras);
			Fake->AnswerQuery(Ok(), WithChildren({20, 30}));
			TestEqual(TEXT("nothing to change"), Fake->Calls.Last(), FString(TEXT("Query 10")));
			TestLog({TEXT("Log: Workshop item 10 now requires item 20 (Base)."), TEXT("Log: Workshop item 10 no longer requires item 40."),
			         TEXT("Log: Required items of Workshop item 10 unchanged: 20 (Base), 30 (Maps).")});
		});

		It("gives a new item its required items without reading them first, and leaves alone what a request does not give", [this]() {
			FTRLWorkshopRequestExtras Extras;
			Extras.RequiredItems = Requiring({{TEXT("20"), FString()}});
			Publisher->SetNextRequestExtras(Extras);
			PublishSample();
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 5));
			Fake->AnswerSubmit(Ok());
			Fake->AnswerDependency(Ok());
			TestEqual(TEXT("calls"), Fake->Calls, TArray<FString>{TEXT("CreateItem"), TEXT("Submit 5"), TEXT("Add 5 20")});

			// An empty set reads the item's and finds nothing to do; no set reads nothing. Neither logs a line.
			Extras.RequiredItems = Requiring({});
			UpdateWithExtras(Extras);
			Fake->AnswerQuery(Ok());
			UpdateWithExtras(FTRLWorkshopRequestExtras());
			TestEqual(TEXT("calls"), Fake->Calls,
			          TArray<FString>{TEXT("CreateItem"), TEXT("Submit 5"), TEXT("Add 5 20"), TEXT("Submit 10"), TEXT("Query 10"), TEXT("Submit 10")});
			TestEqual(TEXT("completions"), Recorder->Completions.Num(), 3);
			TestLog({TEXT("Log: Workshop item 5 now requires item 20.")});
		});

		It("sends key-value tags and extra images, replacing an item's earlier images by what Steam lists", [this]() {
			const FString Shot = TempDir / TEXT("Shot.png");
			FFileHelper::SaveStringToFile(FString::ChrN(64, TEXT('p')), *Shot);
			FTRLWorkshopRequestExtras Extras;
			Extras.KeyValueTags.Add(TEXT("TRLBaseRelease"), TEXT("1.2"));
			Extras.ExtraPreviewPaths = {Shot};
			Publisher->SetNextRequestExtras(Extras);
			UpdateSample(TEXT("10"));
			TestEqual(TEXT("read before the update"), Fake->Calls, TArray<FString>{TEXT("Query 10")});
			FTRLWorkshopItemDetails Details;
			Details.ImagePreviewIndices = {0, 2};
			Fake->AnswerQuery(Ok(), Details);
			TestEqual(TEXT("images removed"), Fake->SubmittedUpdate.ExtraPreviewIndicesToRemove, TArray<uint32>{0, 2});
			TestEqual(TEXT("images added"), Fake->SubmittedUpdate.ExtraPreviewPaths, TArray<FString>{Shot});
			TestEqualSensitive(TEXT("tag"), Fake->SubmittedUpdate.KeyValueTags.FindRef(TEXT("TRLBaseRelease")), FString(TEXT("1.2")));
			Fake->AnswerSubmit(Ok());

			// A new item has no earlier images to read.
			Publisher->SetNextRequestExtras(Extras);
			PublishSample();
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 5));
			TestEqual(TEXT("images of a new item"), Fake->SubmittedUpdate.ExtraPreviewPaths, TArray<FString>{Shot});
			Fake->AnswerSubmit(Ok());
			TestEqual(TEXT("calls"), Fake->Calls.Num(), 4);
		});

		It("refuses, before connecting, extras Steam would refuse, naming each, and takes an image by its content or its extension", [this]() {
			TArray<uint8> PngBytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
			PngBytes.AddZeroed(56);
			const FString PngByContent = TempDir / TEXT("Shot.dat");
			FFileHelper::SaveArrayToFile(PngBytes, *PngByContent);
			const auto WriteText = [this](const TCHAR* Name, int32 Bytes) {
				const FString Path = TempDir / Name;
				FFileHelper::SaveStringToFile(FString::ChrN(Bytes, TEXT('t')), *Path);
				return Path;
			};
			const FString JpgByName = WriteText(TEXT("Shot.JPG"), 64);
			const FString NotAnImage = WriteText(TEXT("Notes.txt"), 64);
			const FString Tiny = WriteText(TEXT("Tiny.png"), 3);
			const auto WithImages = [](TArray<FString> Paths) {
				FTRLWorkshopRequestExtras Extras;
				Extras.ExtraPreviewPaths = MoveTemp(Paths);
				return Extras;
			};
			const auto WithTag = [](const TCHAR* Key, const FString& Value) {
				FTRLWorkshopRequestExtras Extras;
				Extras.KeyValueTags.Add(Key, Value);
				return Extras;
			};
			FTRLWorkshopRequestExtras BadRequired;
			BadRequired.RequiredItems = Requiring({{TEXT("20"), TEXT("Base")}, {TEXT("12a"), TEXT("Maps")}});
			TArray<FString> TenImages;
			for (int32 Index = 0; Index < 10; ++Index)
			{
				TenImages.Add(PngByContent);
			}

			struct FCase
			{
				FTRLWorkshopRequestExtras Extras;
				ETRLWorkshopResult Result;
				FString Message;
			};
			const FCase Cases[] = {
			    {WithImages(TenImages), ETRLWorkshopResult::InvalidMod,
			     TEXT("10 extra preview images were given; the upload shows at most 9 beside the preview. Keep 9 or fewer and try again.")},
			    {WithImages({PngByContent, NotAnImage}), ETRLWorkshopResult::InvalidMod,
			     FString::Printf(TEXT("The preview image '%s' is not a PNG, JPG or GIF image, by its content or by its name's extension; Steam shows only "
			                          "those beside the preview. Convert it or take it out, then try again."),
			                     *NotAnImage)},
			    {WithImages({Tiny}), ETRLWorkshopResult::InvalidMod,
			     FString::Printf(TEXT("The preview image '%s' is 3 bytes; Steam takes a preview of at least 16 bytes. Use a real PNG or JPEG image and try "
			                          "again."),
			                     *Tiny)},
			    {WithTag(TEXT("Base-Release"), TEXT("1")), ETRLWorkshopResult::TextTooLong,
			     TEXT("The Steam Workshop refuses the key-value tag key 'Base-Release': a key holds 1 to 255 ASCII letters, digits and underscores. Rename "
			          "it and try again.")},
			    {WithTag(TEXT("Version"), FString::ChrN(128, TEXT('\u00E9'))), ETRLWorkshopResult::TextTooLong,
			     TEXT("The value of the key-value tag 'Version' is 256 bytes long in UTF-8; the Steam Workshop takes at most 255. Shorten it and try "
			          "again.")},
			    {BadRequired, ETRLWorkshopResult::ItemNotFound,
			     TEXT("'12a' is not a Workshop item id, so the item cannot be made to require it. Correct ItemId in the required mod's workshop.json, or "
			          "upload that mod first, then try again.")},
			};
			for (const FCase& Case : Cases)
			{
				Publisher->SetNextRequestExtras(Case.Extras);
				TestEqual(Case.Message, static_cast<int32>(PublishSample()), static_cast<int32>(Case.Result));
				TestEqualSensitive(TEXT("message"), Recorder->Completions.Last().StatusMessage.ToString(), Case.Message);
			}
			TestEqual(TEXT("connections"), Fake->NumConnects, 0);

			FTRLWorkshopRequestExtras Images;
			Images.ExtraPreviewPaths = {PngByContent, JpgByName};
			Publisher->SetNextRequestExtras(Images);
			TestEqual(TEXT("images by content and by name"), static_cast<int32>(PublishSample()), static_cast<int32>(ETRLWorkshopResult::Success));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Timeout, 0));
		});
	});

	Describe("GetUploadProgress", [this]() {
		It("reads the service's progress while a request runs, and 0 otherwise", [this]() {
			Fake->Progress = 0.375f;
			TestEqual(TEXT("before a request"), Publisher->GetUploadProgress(), 0.0f);
			UpdateSample(TEXT("55"));
			TestEqual(TEXT("while it runs"), Publisher->GetUploadProgress(), 0.375f);
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 55));
			TestEqual(TEXT("after it ended"), Publisher->GetUploadProgress(), 0.0f);
		});
	});
}

#endif
