// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "TRLCookRecord.h"
#include "TRLFakeWorkshopService.h"
#include "TRLModPackager.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLScopedOverrides.h"
#include "TRLScopedWorkshopServiceOverride.h"
#include "TRLSettings.h"
#include "TRLTestHelpers.h"
#include "TRLUploadJob.h"
#include "TRLWorkshopUpload.h"
#include "Templates/SharedPointer.h"
#include "UObject/UObjectIterator.h"
#include "UObject/WeakObjectPtr.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/Notifications/SNotificationList.h"

#if WITH_DEV_AUTOMATION_TESTS

/** A notification that keeps what it is told, since the editor's own does not say what it shows. */
class STRLRecordingNotificationItem : public SNotificationItem
{
public:
	SLATE_BEGIN_ARGS(STRLRecordingNotificationItem)
		{
		}
	SLATE_END_ARGS()

	void Construct(const FArguments& /*InArgs*/) {}

	FText Text;
	FText SubText;
	int32 NumSubTextChanges = 0;
	ECompletionState State = CS_None;
	bool bExpiring = false;
	bool bHasHyperlink = false;

	virtual void SetText(const TAttribute<FText>& InText) override { Text = InText.Get(); }
	virtual void SetSubText(const TAttribute<FText>& InSubText) override
	{
		SubText = InSubText.Get();
		++NumSubTextChanges;
	}
	virtual void SetHyperlink(const FSimpleDelegate& /*InHyperlink*/, const TAttribute<FText>& /*InHyperlinkText*/) override { bHasHyperlink = true; }
	virtual void SetExpireDuration(float /*InExpireDuration*/) override {}
	virtual void SetFadeInDuration(float /*InFadeInDuration*/) override {}
	virtual void SetFadeOutDuration(float /*InFadeOutDuration*/) override {}
	virtual ECompletionState GetCompletionState() const override { return State; }
	virtual void SetCompletionState(ECompletionState InState) override { State = InState; }
	virtual void ExpireAndFadeout() override { bExpiring = true; }
	virtual void Fadeout() override { bExpiring = true; }
	virtual void Pulse(const FLinearColor& /*GlowColor*/) override {}
};

BEGIN_DEFINE_SPEC(FTRLWorkshopUploadSpec, "Trellic.TrellicEditor.TRLWorkshopUpload", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModDir;
	FString Descriptor;
	FString RecordPath;
	FString PendingItemPath;
	UTRLSettings* Settings = nullptr;
	TSharedPtr<FTRLFakeWorkshopService> Fake;
	TSharedPtr<FTRLScopedProjectOverride> ProjectOverride;
	TSharedPtr<FTRLScopedSettingsOverride> SettingsOverride;
	TSharedPtr<FTRLScopedWorkshopServiceOverride> ServiceOverride;
	TSharedPtr<FTRLScopedNotificationOverride> NotificationOverride;
	TSharedPtr<FTRLLogCapture> Log;
	TArray<FNotificationInfo> Infos;
	TArray<TSharedRef<STRLRecordingNotificationItem>> Items;

	/** A descriptor of the module's own layout with these members after "FileVersion", one a line. */
	static FString DescriptorText(std::initializer_list<const TCHAR*> Members)
	{
		FString Text = FString(TEXT("{")) + TEXT("\r\n") + TEXT("\t\"FileVersion\": 3");
		for (const TCHAR* Member : Members)
		{
			Text += FString(TEXT(",")) + TEXT("\r\n") + TEXT("\t") + Member;
		}
		return Text + TEXT("\r\n") + TEXT("}");
	}

	/** A descriptor that gives the preflight nothing to say. */
	static FString CompleteDescriptorText()
	{
		return DescriptorText({TEXT("\"FriendlyName\": \"My Mod\""), TEXT("\"Description\": \"Bridges over rivers.\""), TEXT("\"ExplicitlyLoaded\": true"),
		                       TEXT("\"TRLTags\": [\"Maps\", \"\", null, \"Maps\", {}, \"Tools\"]")});
	}

	void WriteText(const FString& Path, const FString& Text)
	{
		TestTrue(FString::Printf(TEXT("%s is written"), *Path), TRLTest::WriteTextFile(Path, Text));
	}

	FString StagingDir() const
	{
		return UTRLModPackager::GetModStagingDirectory(Descriptor);
	}

	/**
	 * Stages a cooked archive where packaging would, and records it, as a completed cook would, as a build of the mod as
	 * it is now that passed its check: an upload takes only such a build.
	 */
	void Package()
	{
		WriteText(StagingDir() / TEXT("Content/Paks/Windows/MyModWindows.pak"), TEXT("TRLPAK01"));
		FTRLCookRecord Record = FTRLCookRecord::Take(Descriptor);
		Record.FingerprintContent(ModDir / TEXT("Content"));
		Record.bPassedCheck = true;
		FString Reason;
		TestTrue(TEXT("the build is recorded"), Record.Save(FTRLCookRecord::GetRecordPath(Descriptor), Reason));
	}

	FString PayloadDir() const
	{
		return ModDir / TEXT("Saved/WorkshopUpload");
	}

	static FString NoPreviewWarning()
	{
		return TEXT("'MyMod' has no preview image. Put a square preview.png (under 1 MB) next to the .uplugin, or the Workshop tile stays blank.");
	}

	void TestLines(const FString& What, const TArray<FString>& Expected)
	{
		TRLTest::TestLines(*this, What, Log->TrellicLines(), Expected);
	}

	void TestText(const FString& What, const FText& Text, const TCHAR* Key, const FString& Expected)
	{
		TestEqualSensitive(What, Text.ToString(), Expected);
		TRLTest::TestLocalizationId(*this, What, Text, TEXT("TRLWorkshopUpload"), Key);
	}

	ETRLWorkshopResult Upload(FText & OutError, const FString& ChangeNote = FString())
	{
		return UTRLWorkshopUpload::UploadMod(Descriptor, ChangeNote, OutError);
	}

	ETRLWorkshopResult Upload()
	{
		FText Error;
		return Upload(Error);
	}

	/**
	 * Answers the running request as Steam would: the new item made, then the update's result. For an update the
	 * publisher takes the item's answer as one to an earlier request, and ignores it.
	 */
	void Answer(ETRLWorkshopResult Result, uint64 ItemId, const FText& Message = FText::GetEmpty())
	{
		Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, ItemId));
		Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(Result, Result == ETRLWorkshopResult::Success ? ItemId : 0, Message));
	}

	/**
	 * Checks the record's exact text: these members, one a line in the module's JSON text form, with the
	 * "LastUploaded" that the file holds, once that is seen to be UTC ISO 8601 with milliseconds.
	 */
	void TestRecord(const FString& What, std::initializer_list<const TCHAR*> Members)
	{
		const FString Text = TRLTest::ReadText(RecordPath);
		const FString Key = TEXT("\"LastUploaded\": \"");
		const int32 At = Text.Find(Key, ESearchCase::CaseSensitive);
		const FString Uploaded = At == INDEX_NONE ? FString() : Text.Mid(At + Key.Len(), 24);
		TestTrue(What + TEXT(": LastUploaded ") + Uploaded,
		         Uploaded.Len() == 24 && Uploaded[10] == TEXT('T') && Uploaded[19] == TEXT('.') && Uploaded.EndsWith(TEXT("Z")));
		FString Expected = TEXT("{");
		for (const TCHAR* Member : Members)
		{
			const FString Line = FString(Member).Replace(TEXT("<time>"), *Uploaded, ESearchCase::CaseSensitive);
			Expected += FString(Expected.Len() > 1 ? TEXT(",") : TEXT("")) + TEXT("\r\n") + TEXT("\t") + Line;
		}
		TestEqualSensitive(What, Text, Expected + TEXT("\r\n") + TEXT("}"));
	}
END_DEFINE_SPEC(FTRLWorkshopUploadSpec)

void FTRLWorkshopUploadSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLWorkshopUpload"));
		const FString ProjectDir = TempDir / TEXT("Game");
		WriteText(ProjectDir / TEXT("Game.uproject"), TEXT("{}"));
		ModDir = ProjectDir / TEXT("Mods/MyMod");
		Descriptor = TRLTest::WriteMod(ProjectDir / TEXT("Mods"), TEXT("MyMod"), TEXT("MyMod"), CompleteDescriptorText());
		RecordPath = ModDir / TEXT("workshop.json");
		PendingItemPath = ProjectDir / TEXT("Saved/Trellic/PendingWorkshopItem.json");
		WriteText(ModDir / TEXT("preview.png"), TEXT("png: a preview image of more than 16 bytes"));

		// A new settings object copies the project's configured values; the specs state the ones they rely on.
		Settings = NewObject<UTRLSettings>();
		Settings->AddToRoot();
		Settings->TargetPlatform = TEXT("Win64");
		Settings->WorkshopDefaultVisibility = ETRLWorkshopVisibility::Unlisted;
		ProjectOverride = MakeShared<FTRLScopedProjectOverride>(ProjectDir / TEXT("Game.uproject"));
		SettingsOverride = MakeShared<FTRLScopedSettingsOverride>(Settings);
		Fake = MakeShared<FTRLFakeWorkshopService>();
		ServiceOverride = MakeShared<FTRLScopedWorkshopServiceOverride>(Fake.ToSharedRef());
		Infos.Empty();
		Items.Empty();
		NotificationOverride = MakeShared<FTRLScopedNotificationOverride>([this](const FNotificationInfo& Info) {
			Infos.Add(Info);
			const TSharedRef<STRLRecordingNotificationItem> Item = SNew(STRLRecordingNotificationItem);
			Items.Add(Item);
			return TSharedPtr<SNotificationItem>(Item);
		});
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		// An upload left running would keep its ticker and its root-set entry, and refuse every later upload.
		if (UTRLWorkshopUpload::IsUploadInProgress())
		{
			AddError(TEXT("The spec left an upload running."));
			AddExpectedError(TEXT("Uploading 'MyMod' failed"), EAutomationExpectedErrorFlags::Contains, 1);
			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Timeout, 0));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Timeout, 0));
		}
		Log.Reset();
		NotificationOverride.Reset();
		ServiceOverride.Reset();
		Fake.Reset();
		SettingsOverride.Reset();
		ProjectOverride.Reset();
		Settings->RemoveFromRoot();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("GetWorkshopRecordPath", [this]() {
		It("puts workshop.json beside the descriptor, keeps a relative path relative, and gives nothing for an empty path", [this]() {
			TestEqualSensitive(TEXT("absolute"), UTRLWorkshopUpload::GetWorkshopRecordPath(Descriptor), RecordPath);
			TestEqualSensitive(TEXT("relative"), UTRLWorkshopUpload::GetWorkshopRecordPath(TEXT("Mods/A/A.uplugin")), FString(TEXT("Mods/A/workshop.json")));
			TestEqualSensitive(TEXT("empty"), UTRLWorkshopUpload::GetWorkshopRecordPath(FString()), FString());
		});
	});

	Describe("GetRecordedItemId, GetRecordedVisibility and ShouldSyncDescription", [this]() {
		It("give no id, the project's default visibility and sync on, silently, without a usable record", [this]() {
			const auto TestDefaults = [this](const FString& What, const FString& Path) {
				TestEqualSensitive(What + TEXT(": id"), UTRLWorkshopUpload::GetRecordedItemId(Path), FString());
				TestTrue(What + TEXT(": visibility"), UTRLWorkshopUpload::GetRecordedVisibility(Path) == ETRLWorkshopVisibility::Unlisted);
				TestTrue(What + TEXT(": sync"), UTRLWorkshopUpload::ShouldSyncDescription(Path));
			};
			TestDefaults(TEXT("no record"), Descriptor);
			TestDefaults(TEXT("empty path"), FString());
			WriteText(RecordPath, TEXT("{\"ItemId\": \"12\", \"Visibility\": \"private\", \"SyncDescription\": false"));
			TestDefaults(TEXT("a record that does not parse"), Descriptor);
			WriteText(RecordPath, TEXT("[\"12\"]"));
			TestDefaults(TEXT("a record that is not an object"), Descriptor);
			WriteText(RecordPath, TEXT("{\"Visibility\": \"\", \"SyncDescription\": \"no\"}"));
			TestDefaults(TEXT("an empty word and a sync switch that is not a boolean"), Descriptor);
			TestLines(TEXT("nothing logged"), {});

			FTRLScopedSettingsOverride NoSettings(nullptr);
			TestTrue(TEXT("Public without settings"), UTRLWorkshopUpload::GetRecordedVisibility(Descriptor) == ETRLWorkshopVisibility::Public);
		});

		It("read the id unchanged, every visibility word in any case with blanks around it, and sync off", [this]() {
			const TPair<const TCHAR*, ETRLWorkshopVisibility> Words[] = {{TEXT(" PUBLIC "), ETRLWorkshopVisibility::Public},
			                                                             {TEXT("Friends"), ETRLWorkshopVisibility::FriendsOnly},
			                                                             {TEXT("FRIENDSONLY"), ETRLWorkshopVisibility::FriendsOnly},
			                                                             {TEXT("\\tprivate"), ETRLWorkshopVisibility::Private},
			                                                             {TEXT("unListed\\n"), ETRLWorkshopVisibility::Unlisted}};
			for (const TPair<const TCHAR*, ETRLWorkshopVisibility>& Word : Words)
			{
				WriteText(RecordPath, FString::Printf(TEXT("{\"ItemId\": \" 0042\", \"Visibility\": \"%s\", \"SyncDescription\": false}"), Word.Key));
				TestTrue(Word.Key, UTRLWorkshopUpload::GetRecordedVisibility(Descriptor) == Word.Value);
			}
			TestEqualSensitive(TEXT("id"), UTRLWorkshopUpload::GetRecordedItemId(Descriptor), FString(TEXT(" 0042")));
			TestFalse(TEXT("sync"), UTRLWorkshopUpload::ShouldSyncDescription(Descriptor));
			TestLines(TEXT("nothing logged"), {});
		});

		It("warn with the record's path and the trimmed word for a word outside the list, even one of blanks alone", [this]() {
			const FString Tail = TEXT(", which is not one of public/unlisted/friends/private. Using the project default instead.");
			const FString Hidden = FString::Printf(TEXT("'%s' asks for visibility 'hidden'%s"), *RecordPath, *Tail);
			const FString Blanks = FString::Printf(TEXT("'%s' asks for visibility ''%s"), *RecordPath, *Tail);
			AddExpectedErrorPlain(Hidden, EAutomationExpectedErrorFlags::Exact, 1);
			AddExpectedErrorPlain(Blanks, EAutomationExpectedErrorFlags::Exact, 1);
			WriteText(RecordPath, TEXT("{\"Visibility\": \"  hidden \"}"));
			TestTrue(TEXT("hidden"), UTRLWorkshopUpload::GetRecordedVisibility(Descriptor) == ETRLWorkshopVisibility::Unlisted);
			WriteText(RecordPath, TEXT("{\"Visibility\": \"   \"}"));
			TestTrue(TEXT("blanks"), UTRLWorkshopUpload::GetRecordedVisibility(Descriptor) == ETRLWorkshopVisibility::Unlisted);
			TestLines(TEXT("warnings"), {TEXT("Warning: ") + Hidden, TEXT("Warning: ") + Blanks});
		});
	});

	Describe("BuildUploadPayload", [this]() {
		It("refuses a mod that was never packaged, naming it, and touches no payload folder", [this]() {
			WriteText(PayloadDir() / TEXT("Earlier.pak"), TEXT("earlier"));
			IFileManager::Get().MakeDirectory(*(StagingDir() / TEXT("Content/Paks")), true);
			FText Error;
			TestEqualSensitive(TEXT("result"), UTRLWorkshopUpload::BuildUploadPayload(Descriptor, Error), FString());
			TestText(TEXT("error"), Error, TEXT("NotPackaged"),
			         TEXT("'MyMod' has not been packaged yet, so there is nothing to upload. Run Tools > Trellic > Package Mod first."));
			TestTrue(TEXT("the earlier payload is still there"), IFileManager::Get().FileExists(*(PayloadDir() / TEXT("Earlier.pak"))));
		});

		It("holds the staged tree and the descriptor alone, replaces an earlier payload, and counts every file", [this]() {
			Package();
			WriteText(StagingDir() / TEXT("Content/Paks/Windows/Extra/Notes.txt"), TEXT("notes"));
			WriteText(PayloadDir() / TEXT("Stale.pak"), TEXT("stale"));
			WriteText(ModDir / TEXT("Source art.psd"), TEXT("art"));
			WriteText(RecordPath, TEXT("{}"));

			FText Error = FText::FromString(TEXT("untouched"));
			TestEqualSensitive(TEXT("result"), UTRLWorkshopUpload::BuildUploadPayload(Descriptor, Error), PayloadDir());
			TestEqualSensitive(TEXT("error untouched"), Error.ToString(), FString(TEXT("untouched")));
			TArray<FString> Files;
			IFileManager::Get().FindFilesRecursive(Files, *PayloadDir(), TEXT("*.*"), true, false);
			Files.Sort();
			TestEqual(TEXT("files"), Files.Num(), 3);
			if (Files.Num() == 3)
			{
				TestEqualSensitive(TEXT("archive"), Files[0], PayloadDir() / TEXT("Content/Paks/Windows/Extra/Notes.txt"));
				TestEqualSensitive(TEXT("nested"), Files[1], PayloadDir() / TEXT("Content/Paks/Windows/MyModWindows.pak"));
				TestEqualSensitive(TEXT("descriptor"), Files[2], PayloadDir() / TEXT("MyMod.uplugin"));
			}
			TestTrue(TEXT("the descriptor's bytes"), TRLTest::ReadBytes(PayloadDir() / TEXT("MyMod.uplugin")) == TRLTest::ReadBytes(Descriptor));
			TestLines(TEXT("log"), {FString::Printf(TEXT("Log: Upload payload assembled in '%s' (3 file(s))."), *PayloadDir())});
		});

		It("says which folder it could not make, or which descriptor it could not copy, keeping what was staged", [this]() {
			Package();
			WriteText(PayloadDir(), TEXT("a file where the payload folder goes"));
			FText Error;
			TestEqualSensitive(TEXT("no folder"), UTRLWorkshopUpload::BuildUploadPayload(Descriptor, Error), FString());
			TestText(TEXT("no folder"), Error, TEXT("NoPayloadDir"), FString::Printf(TEXT("Could not create '%s'."), *PayloadDir()));

			IFileManager::Get().Delete(*PayloadDir());
			IFileManager::Get().MakeDirectory(*(StagingDir() / TEXT("MyMod.uplugin")), true);
			TestEqualSensitive(TEXT("no descriptor copy"), UTRLWorkshopUpload::BuildUploadPayload(Descriptor, Error), FString());
			TestText(TEXT("no descriptor copy"), Error, TEXT("CopyDescriptorFailed"),
			         FString::Printf(TEXT("Could not copy 'MyMod.uplugin' into the upload folder: the folder '%s/MyMod.uplugin' is in its way. Take the "
			                              "folder of that name out of the staged build, or package the mod again, then upload it."),
			                         *PayloadDir()));
			TestTrue(TEXT("the staged archive stays"), IFileManager::Get().FileExists(*(StagingDir() / TEXT("Content/Paks/Windows/MyModWindows.pak"))));
			TestEqualSensitive(TEXT("the descriptor stays"), TRLTest::ReadText(Descriptor), CompleteDescriptorText());
		});
	});

	Describe("FindPreviewImage", [this]() {
		It("takes preview.png, then preview.jpg, then Resources/Icon128.png, and nothing without any", [this]() {
			WriteText(ModDir / TEXT("Resources/Icon128.png"), TEXT("icon"));
			TestEqualSensitive(TEXT("png first"), UTRLWorkshopUpload::FindPreviewImage(Descriptor), ModDir / TEXT("preview.png"));
			IFileManager::Get().Delete(*(ModDir / TEXT("preview.png")));
			WriteText(ModDir / TEXT("preview.jpg"), TEXT("jpg"));
			TestEqualSensitive(TEXT("then jpg"), UTRLWorkshopUpload::FindPreviewImage(Descriptor), ModDir / TEXT("preview.jpg"));
			IFileManager::Get().Delete(*(ModDir / TEXT("preview.jpg")));
			TestEqualSensitive(TEXT("then the icon"), UTRLWorkshopUpload::FindPreviewImage(Descriptor), ModDir / TEXT("Resources/Icon128.png"));
			IFileManager::Get().Delete(*(ModDir / TEXT("Resources/Icon128.png")));
			TestEqualSensitive(TEXT("none"), UTRLWorkshopUpload::FindPreviewImage(Descriptor), FString());
		});
	});

	Describe("Preflight", [this]() {
		It("says nothing and leaves the descriptor byte for byte as it was for a mod with a preview, a description and a tag", [this]() {
			const FString Text = TEXT("{ \"Description\": \"x\",\n  \"TRLTags\": [\"\"], \"ExplicitlyLoaded\": true }");
			WriteText(Descriptor, Text);
			const TArray<uint8> Before = TRLTest::ReadBytes(Descriptor);
			UTRLWorkshopUpload::Preflight(Descriptor);
			TestLines(TEXT("log"), {});
			TestTrue(TEXT("bytes"), TRLTest::ReadBytes(Descriptor) == Before);
		});

		It("warns about the preview, the description and the tags in that order, then sets ExplicitlyLoaded back to true", [this]() {
			IFileManager::Get().Delete(*(ModDir / TEXT("preview.png")));
			WriteText(Descriptor, DescriptorText({TEXT("\"Description\": \"\""), TEXT("\"ExplicitlyLoaded\": false"), TEXT("\"TRLTags\": []")}));
			const FString Warnings[] = {NoPreviewWarning(), TEXT("'MyMod' has an empty Description. That text IS the Workshop page - fill it in the .uplugin."),
			                            TEXT("'MyMod' has no TRLTags. Nobody will find the mod by browsing - add a couple to the .uplugin.")};
			for (const FString& Warning : Warnings)
			{
				AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
			}
			UTRLWorkshopUpload::Preflight(Descriptor);
			TestLines(
			    TEXT("log"),
			    {TEXT("Warning: ") + Warnings[0], TEXT("Warning: ") + Warnings[1], TEXT("Warning: ") + Warnings[2],
			     TEXT("Log: 'MyMod' had ExplicitlyLoaded=false, which packaging sets only while a cook runs, so a cook did not finish or the descriptor "
			          "was edited by hand. It is set back to true before upload, so the mod only runs when the player switches it on; if its last cook did "
			          "not finish, package it again.")});
			TestEqualSensitive(TEXT("descriptor"), TRLTest::ReadText(Descriptor),
			                   DescriptorText({TEXT("\"Description\": \"\""), TEXT("\"ExplicitlyLoaded\": true"), TEXT("\"TRLTags\": []")}));
		});

		It("counts blanks as a description, leaves a descriptor without ExplicitlyLoaded alone, and stops at one that does not parse", [this]() {
			const FString Blanks = TEXT("{\"Description\": \"  \", \"TRLTags\": [1]}");
			WriteText(Descriptor, Blanks);
			UTRLWorkshopUpload::Preflight(Descriptor);
			TestLines(TEXT("blanks"), {});
			TestEqualSensitive(TEXT("left alone"), TRLTest::ReadText(Descriptor), Blanks);

			IFileManager::Get().Delete(*(ModDir / TEXT("preview.png")));
			const FString Broken = TEXT("{\"Description\": \"\", \"ExplicitlyLoaded\": false");
			WriteText(Descriptor, Broken);
			AddExpectedErrorPlain(NoPreviewWarning(), EAutomationExpectedErrorFlags::Exact, 1);
			UTRLWorkshopUpload::Preflight(Descriptor);
			TestLines(TEXT("broken"), {TEXT("Warning: ") + NoPreviewWarning()});
			TestEqualSensitive(TEXT("broken descriptor unchanged"), TRLTest::ReadText(Descriptor), Broken);
		});
	});

	Describe("UploadMod", [this]() {
		// The host's uploads check the item's texts, the record and the log lines end to end; this checks what they cannot set.
		It("publishes a new item with the descriptor's string tags, the preview and the project's visibility, and shows the outcome", [this]() {
			Package();
			TestEqual(TEXT("result"), static_cast<int32>(Upload()), static_cast<int32>(ETRLWorkshopResult::Success));
			Fake->AnswerCreate(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 123));
			const FTRLWorkshopItemUpdate& Sent = Fake->SubmittedUpdate;
			TestEqualSensitive(TEXT("preview"), Sent.PreviewImagePath, ModDir / TEXT("preview.png"));
			TestEqualSensitive(TEXT("tags"), FString::Join(Sent.Tags, TEXT("|")), FString(TEXT("Maps|Maps|Tools")));
			TestTrue(TEXT("visibility"), Sent.Visibility == ETRLWorkshopVisibility::Unlisted);
			if (!TestEqual(TEXT("one notification"), Infos.Num(), 1))
			{
				return;
			}
			TestText(TEXT("notification"), Infos[0].Text.Get(), TEXT("UploadStarted"), TEXT("Uploading MyMod to the Steam Workshop"));
			TestTrue(TEXT("stays 6 s once finished"), Infos[0].ExpireDuration == 6.0f && !Infos[0].bFireAndForget);

			Fake->AnswerSubmit(FTRLFakeWorkshopService::MakeAnswer(ETRLWorkshopResult::Success, 123));
			TestFalse(TEXT("not in progress"), UTRLWorkshopUpload::IsUploadInProgress());
			TestText(TEXT("notification"), Items[0]->Text, TEXT("UploadDone"), TEXT("MyMod is on the Steam Workshop (item 123)."));
			TestTrue(TEXT("sub-text cleared"), Items[0]->SubText.IsEmpty() && Items[0]->NumSubTextChanges == 1);
			TestTrue(TEXT("success, expiring"), Items[0]->State == SNotificationItem::CS_Success && Items[0]->bExpiring);
		});

		It("updates the recorded item with \"Updated\" for an empty note, writes back the visibility as its word and keeps the modder's keys", [this]() {
			Package();
			WriteText(RecordPath, TEXT("{\"ItemId\": \"77\", \"Visibility\": \" FriendsOnly \", \"Note\": [1]}"));
			Upload();
			TestEqual(TEXT("nothing created"), Fake->NumCreates, 0);
			TestEqual(TEXT("item"), Fake->SubmittedItemId, static_cast<uint64>(77));
			TestEqualSensitive(TEXT("note"), Fake->SubmittedUpdate.ChangeNote, FString(TEXT("Updated")));
			TestEqualSensitive(TEXT("title"), Fake->SubmittedUpdate.Title, FString(TEXT("My Mod")));
			TestEqual(TEXT("tags"), Fake->SubmittedUpdate.Tags.Num(), 3);
			Answer(ETRLWorkshopResult::Success, 77);
			TestRecord(TEXT("record"), {TEXT("\"ItemId\": \"77\""), TEXT("\"Visibility\": \"friends\""),
			                            TEXT("\"Note\": [") TEXT("\r\n") TEXT("\t\t1") TEXT("\r\n") TEXT("\t]"), TEXT("\"Mod\": \"MyMod\""),
			                            TEXT("\"LastUploaded\": \"<time>\"")});
		});

		It("warns about an item id that is not a string, updates the item a number names exactly, and refuses one too long to be read", [this]() {
			Package();
			WriteText(RecordPath, TEXT("{\"ItemId\": 77}"));
			AddExpectedErrorPlain(FString::Printf(TEXT("'%s' holds ItemId as a number, not as a string. Write it in quotes, \"ItemId\": \"77\": a long id "
			                                           "written as a number loses digits, and the upload would then update another item or make a duplicate."),
			                                      *RecordPath),
			                      EAutomationExpectedErrorFlags::Exact, 1);
			Upload();
			TestEqual(TEXT("the item the number names"), Fake->SubmittedItemId, static_cast<uint64>(77));
			Answer(ETRLWorkshopResult::Success, 77);
			TestTrue(TEXT("written back as a string"), TRLTest::ReadText(RecordPath).Contains(TEXT("\"ItemId\": \"77\""), ESearchCase::CaseSensitive));

			// Read through a double this id becomes 13476147289000075264, another item's id or none.
			const FString TooLong = TEXT("{\"ItemId\": 13476147289000075457}");
			WriteText(RecordPath, TooLong);
			AddExpectedErrorPlain(FString::Printf(TEXT("'%s' holds ItemId as a number too long to be read exactly, so it cannot tell which Workshop item to "
			                                           "update. Write the item's id as a string, in quotes, as its Workshop page shows it: \"ItemId\": "
			                                           "\"1234567890\"."),
			                                      *RecordPath),
			                      EAutomationExpectedErrorFlags::Exact, 1);
			const int32 Connects = Fake->NumConnects;
			FText Error;
			TestEqual(TEXT("refused"), static_cast<int32>(Upload(Error)), static_cast<int32>(ETRLWorkshopResult::InvalidMod));
			TestText(TEXT("refusal"), Error, TEXT("ItemIdNotExact"),
			         FString::Printf(TEXT("'%s' gives the Workshop item id as a number too long to be read exactly, so nothing was uploaded: it could update "
			                              "the wrong item or make a duplicate. Write the id as a string, in quotes, then upload again."),
			                         *RecordPath));
			TestEqual(TEXT("nothing sent"), Fake->NumConnects, Connects);
			TestEqualSensitive(TEXT("the record as it was"), TRLTest::ReadText(RecordPath), TooLong);
			TestEqualSensitive(TEXT("no id to word the menu with"), UTRLWorkshopUpload::GetRecordedItemId(Descriptor), FString());

			WriteText(RecordPath, TEXT("{\"ItemId\": null}"));
			AddExpectedErrorPlain(FString::Printf(TEXT("'%s' holds ItemId as null, which names no Workshop item, so the upload makes a new item. If the mod is "
			                                           "on the Workshop already, write its item id as a string, in quotes: \"ItemId\": \"1234567890\"."),
			                                      *RecordPath),
			                      EAutomationExpectedErrorFlags::Exact, 1);
			Upload();
			TestEqual(TEXT("a new item for null"), Fake->NumCreates, 1);
			Answer(ETRLWorkshopResult::Success, 78);
		});

		It("answers Busy while an upload runs, and starts nothing for the second", [this]() {
			Package();
			Upload();
			FText Error;
			TestEqual(TEXT("second"), static_cast<int32>(Upload(Error)), static_cast<int32>(ETRLWorkshopResult::Busy));
			TestText(TEXT("error"), Error, TEXT("UploadBusy"), TEXT("An upload is already running. Wait for it to finish."));
			TestEqual(TEXT("one notification"), Infos.Num(), 1);
			TestEqual(TEXT("one connection"), Fake->NumConnects, 1);
			Answer(ETRLWorkshopResult::Success, 5);
		});

		It("refuses an unpackaged mod with InvalidMod after the preflight has run, and shows nothing", [this]() {
			WriteText(Descriptor, DescriptorText({TEXT("\"Description\": \"d\""), TEXT("\"TRLTags\": [\"a\"]"), TEXT("\"ExplicitlyLoaded\": false")}));
			FText Error;
			TestEqual(TEXT("result"), static_cast<int32>(Upload(Error)), static_cast<int32>(ETRLWorkshopResult::InvalidMod));
			TRLTest::TestLocalizationId(*this, TEXT("error"), Error, TEXT("TRLWorkshopUpload"), TEXT("NotPackaged"));
			TestEqual(TEXT("no notification"), Infos.Num(), 0);
			TestEqual(TEXT("no request"), Fake->NumConnects, 0);
			TestEqual(TEXT("the preflight's line"), Log->TrellicLines().Num(), 1);
			TestTrue(TEXT("corrected"), TRLTest::ReadText(Descriptor).Contains(TEXT("\"ExplicitlyLoaded\": true")));

			const FString Missing = ModDir / TEXT("Missing.uplugin");
			TestEqual(TEXT("missing"), static_cast<int32>(UTRLWorkshopUpload::UploadMod(Missing, FString(), Error)),
			          static_cast<int32>(ETRLWorkshopResult::InvalidMod));
			TestEqualSensitive(TEXT("missing"), Error.ToString(), FString::Printf(TEXT("No plugin descriptor at '%s'."), *Missing));
		});

		It("uploads a mod whose descriptor does not parse under the mod name, leaving the descriptor as it was", [this]() {
			const FString Broken = TEXT("{\"FriendlyName\": \"My Mod\",");
			WriteText(Descriptor, Broken);
			Package();
			Upload();
			Answer(ETRLWorkshopResult::Success, 9);
			TestEqualSensitive(TEXT("title"), Fake->SubmittedUpdate.Title, FString(TEXT("MyMod")));
			TestTrue(TEXT("no description or tags"), Fake->SubmittedUpdate.Description.IsEmpty() && Fake->SubmittedUpdate.Tags.IsEmpty());
			TestEqualSensitive(TEXT("descriptor"), TRLTest::ReadText(Descriptor), Broken);
			TestEqualSensitive(TEXT("payload copy"), TRLTest::ReadText(PayloadDir() / TEXT("MyMod.uplugin")), Broken);
		});
	});

	Describe("FTRLUploadJob::TickProgress", [this]() {
		It("shows nothing until progress is known, then the percentage rounded half up", [this]() {
			const TSharedRef<FTRLUploadJob> Running = MakeShared<FTRLUploadJob>(Descriptor, ETRLWorkshopVisibility::Public, [this]() {
				return Fake->Progress;
			});
			Running->Start();
			Running->TickProgress(0.5f);
			TestEqual(TEXT("nothing at 0"), Items[0]->NumSubTextChanges, 0);
			const TPair<float, const TCHAR*> Cases[] = {{0.125f, TEXT("13% uploaded")}, {0.994f, TEXT("99% uploaded")}, {0.995f, TEXT("100% uploaded")}};
			for (const TPair<float, const TCHAR*>& Case : Cases)
			{
				Fake->Progress = Case.Key;
				TestTrue(TEXT("keeps ticking"), Running->TickProgress(0.5f));
				TestText(Case.Value, Items[0]->SubText, TEXT("UploadProgress"), Case.Value);
			}
		});
	});

	Describe("HandlePublishComplete", [this]() {
		It("keeps the item id in the error line when the record cannot be written, and still shows the success", [this]() {
			Package();
			IFileManager::Get().MakeDirectory(*RecordPath, true);
			Upload();
			const FString Line =
			    FString::Printf(TEXT("Could not write '%s'. Keep Workshop item id 123 safe, or the next upload will create a duplicate."), *RecordPath);
			AddExpectedErrorPlain(Line, EAutomationExpectedErrorFlags::Exact, 1);
			Answer(ETRLWorkshopResult::Success, 123);
			TestTrue(TEXT("error line"), Log->TrellicLines().Contains(TEXT("Error: ") + Line));
			TestTrue(TEXT("success shown"), Items[0]->State == SNotificationItem::CS_Success);
			TestTrue(TEXT("still kept for the next start"), TRLTest::ReadText(PendingItemPath).Contains(TEXT("\"ItemId\": \"123\"")));
		});

		It("keeps a record that cannot be read beside the new one, under a name no earlier copy has", [this]() {
			Package();
			const FString Broken = TEXT("{\"ItemId\": 12,, \"SyncDescription\": false}");
			WriteText(RecordPath, Broken);
			WriteText(RecordPath + TEXT(".bak"), TEXT("an earlier copy"));
			const FString Warning = FString::Printf(TEXT("'%s' could not be read as a Workshop record. It is kept as '%s.2.bak', and a new record is written."),
			                                        *RecordPath, *RecordPath);
			AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
			Upload();
			TestEqual(TEXT("a new item"), Fake->NumCreates, 1);
			Answer(ETRLWorkshopResult::Success, 31);
			TestEqualSensitive(TEXT("kept"), TRLTest::ReadText(RecordPath + TEXT(".2.bak")), Broken);
			TestEqualSensitive(TEXT("the earlier copy stays"), TRLTest::ReadText(RecordPath + TEXT(".bak")), FString(TEXT("an earlier copy")));
			TestEqualSensitive(TEXT("new record"), UTRLWorkshopUpload::GetRecordedItemId(Descriptor), FString(TEXT("31")));
			TestTrue(TEXT("warned"), Log->TrellicLines().Contains(TEXT("Warning: ") + Warning));
		});

		It("is not reached by a broadcast after its own, even while the next upload runs", [this]() {
			Package();
			Upload();
			// The running upload's publisher is the one publishing.
			TWeakObjectPtr<UTRLWorkshopPublisher> FirstPublisher;
			for (TObjectIterator<UTRLWorkshopPublisher> It; It; ++It)
			{
				FirstPublisher = It->IsPublishing() ? *It : FirstPublisher.Get();
			}
			Answer(ETRLWorkshopResult::Success, 40);
			Upload();
			const TArray<FString> Before = Log->TrellicLines();
			FirstPublisher->OnPublishComplete.Broadcast(ETRLWorkshopResult::AccessDenied, TEXT("41"), FText::FromString(TEXT("late")));
			TestTrue(TEXT("the next upload still runs"), UTRLWorkshopUpload::IsUploadInProgress());
			TestEqualSensitive(TEXT("record"), UTRLWorkshopUpload::GetRecordedItemId(Descriptor), FString(TEXT("40")));
			TestEqual(TEXT("nothing logged"), Log->TrellicLines().Num(), Before.Num());
			TestTrue(TEXT("the next notification still pending"), Items[1]->State == SNotificationItem::CS_Pending);
			Answer(ETRLWorkshopResult::Success, 40);
		});
	});
}

#endif // WITH_DEV_AUTOMATION_TESTS
