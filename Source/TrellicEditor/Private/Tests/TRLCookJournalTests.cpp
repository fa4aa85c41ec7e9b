// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLCookJournal.h"
#include "TRLModPackager.h"
#include "TRLPackagingSpecProject.h"
#include "TRLTestHelpers.h"
#include "Templates/SharedPointer.h"

#if WITH_DEV_AUTOMATION_TESTS

// An editor that dies during a cook is simulated by preparing a cook whose UAT job is held, then calling the start-up
// restore as the next editor would; the held job is ended afterwards, so that nothing stays running.
BEGIN_DEFINE_SPEC(FTRLCookJournalSpec, "Trellic.TrellicEditor.TRLCookJournal", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ProjectDir;
	FString IniPath;
	FString Descriptor;
	FString JournalPath;
	TArray<IUATHelperModule::UatTaskResultCallack> HeldJobs;
	TSharedPtr<FTRLPackagingSpecProject> Project;
	TSharedPtr<FTRLLogCapture> Log;

	/** A descriptor whose name is not plain ASCII, so that it is saved as UTF-16 with a byte-order mark. */
	static FString Utf16DescriptorText()
	{
		return TEXT("{\r\n\t\"FileVersion\": 3,\r\n\t\"FriendlyName\": \"Caf\u00E9 \u6A21\u7EC4\",\r\n\t\"ExplicitlyLoaded\": true,\r\n\t\"Modules\": []\r\n}");
	}

	void WriteText(const FString& Path, const FString& Text)
	{
		TestTrue(FString::Printf(TEXT("%s is written"), *Path), TRLTest::WriteTextFile(Path, Text));
	}

	/** Packages the mod; its job is held until the spec ends it. */
	void StartCook()
	{
		FText Error;
		TestTrue(TEXT("the cook starts"), UTRLModPackager::PackageMod(Descriptor, Error) == ETRLPackageStartResult::Started);
	}

	void EndHeldJobs()
	{
		TArray<IUATHelperModule::UatTaskResultCallack> Jobs = MoveTemp(HeldJobs);
		HeldJobs.Empty();
		if (!Jobs.IsEmpty())
		{
			// A held job stages nothing, which the check after a completed cook reports.
			AddExpectedErrorPlain(TRLTest::NothingStagedError, EAutomationExpectedErrorFlags::Contains, Jobs.Num());
		}
		for (IUATHelperModule::UatTaskResultCallack& Job : Jobs)
		{
			Job(TEXT("Completed"), 1.0);
		}
	}

	/** The restore's lines: every LogTrellic line after the packaging ones. */
	void TestRestoreLines(const TArray<FString>& Expected)
	{
		TArray<FString> Lines = Log->TrellicLines();
		Lines.RemoveAll([](const FString& Line) {
			return Line.StartsWith(TEXT("Log: Prepared '"), ESearchCase::CaseSensitive) ||
			       Line.StartsWith(TEXT("Log: Starting UAT: "), ESearchCase::CaseSensitive);
		});
		TRLTest::TestLines(*this, TEXT("the restore's log lines"), Lines, Expected);
	}
END_DEFINE_SPEC(FTRLCookJournalSpec)

void FTRLCookJournalSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLCookJournal"));
		ProjectDir = TempDir / TEXT("Game") / TEXT("");
		Project = MakeShared<FTRLPackagingSpecProject>(ProjectDir, [this](const FString&, const FText&, const FText&, const FText&, const FSlateBrush*,
		                                                                  const TArray<FAnalyticsEventAttribute>*,
		                                                                  IUATHelperModule::UatTaskResultCallack ResultCallback, const FString&) {
			HeldJobs.Add(MoveTemp(ResultCallback));
		});
		TestFalse(TEXT("the project is written"), Project->ProjectFile.IsEmpty());
		IniPath = ProjectDir + TEXT("Config/DefaultGame.ini");
		JournalPath = ProjectDir + TEXT("Saved/Trellic/PendingCook.json");
		Descriptor = TRLTest::WriteMod(ProjectDir / TEXT("Mods"), TEXT("MyMod"), TEXT("MyMod"));
		WriteText(ProjectDir / TEXT("Mods/MyMod/Content/Hero.uasset"), TEXT("asset"));
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		// A job left running would refuse every later request of this editor session.
		EndHeldJobs();
		TestFalse(TEXT("no journal is left"), IFileManager::Get().FileExists(*JournalPath));
		Log.Reset();
		Project.Reset();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("Begin", [this]() {
		It("refuses to prepare, changing no file, when the journal cannot be written", [this]() {
			// A file where the journal's folder must go.
			WriteText(ProjectDir / TEXT("Saved/Trellic"), TEXT("in the way"));
			const TMap<FString, TArray<uint8>> Before = TRLTest::SnapshotFolder(TempDir);
			const FString Warning = FString::Printf(TEXT("Could not write the cook journal '%s', so 'MyMod' was not prepared for cooking (an editor that "
			                                             "ended during the cook would leave the mod's changes in the project): the file '%sSaved/Trellic' is "
			                                             "where a folder of its path must go. Move that file away, then package again."),
			                                        *JournalPath, *ProjectDir);
			AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
			FText Error;
			TestTrue(TEXT("refused"), UTRLModPackager::PackageMod(Descriptor, Error) == ETRLPackageStartResult::InvalidMod);
			TRLTest::TestLocalizationId(*this, TEXT("reason"), Error, TEXT("TRLModPackager"), TEXT("PrepareFailed"));
			TestEqualSensitive(TEXT("files and folders changed"), TRLTest::DescribeChanges(Before, TRLTest::SnapshotFolder(TempDir)), FString());
			TestRestoreLines({TEXT("Warning: ") + Warning});
		});

		It("sets a journal found in its place aside before writing its own", [this]() {
			WriteText(JournalPath, TEXT("not a journal"));
			const TArray<uint8> OldJournal = TRLTest::ReadBytes(JournalPath);
			AddExpectedError(TEXT("cannot be read, so no file was put back"), EAutomationExpectedErrorFlags::Contains, 1);
			StartCook();
			TestTrue(TEXT("the old journal is set aside whole"), TRLTest::ReadBytes(JournalPath + TEXT(".set-aside")) == OldJournal);
			TestTrue(TEXT("the cook's own journal is in its place"), TRLTest::ReadText(JournalPath).Contains(TEXT("\"ModName\": \"MyMod\"")));
		});
	});

	Describe("RestoreLeftBehind", [this]() {
		It("puts back a UTF-16 descriptor and a DefaultGame.ini without a final newline byte for byte, and removes the journal", [this]() {
			WriteText(Descriptor, Utf16DescriptorText());
			WriteText(IniPath, TEXT("[X]\r\nA=1"));
			const TMap<FString, TArray<uint8>> Before = TRLTest::SnapshotFolder(TempDir);
			StartCook();
			TestNotEqual(TEXT("the descriptor is prepared"), TRLTest::ReadBytes(Descriptor).Num(), Before.FindRef(Descriptor).Num());

			const FString PutBack =
			    FString::Printf(TEXT("The editor ended during a cook of 'MyMod'; put back as before the cook: %s, %s."), *Descriptor, *IniPath);
			AddExpectedErrorPlain(PutBack, EAutomationExpectedErrorFlags::Exact, 1);
			FTRLCookJournal::RestoreLeftBehind();
			TestEqualSensitive(TEXT("files and folders changed"), TRLTest::DescribeChanges(Before, TRLTest::SnapshotFolder(TempDir)), FString());
			TestRestoreLines({TEXT("Warning: ") + PutBack});

			// Nothing is left to do for a second start.
			FTRLCookJournal::RestoreLeftBehind();
			TestEqual(TEXT("no more lines"), Log->TrellicLines().Num(), 3);
		});

		It("removes a DefaultGame.ini that did not exist before the cook", [this]() {
			IFileManager::Get().Delete(*IniPath);
			const TMap<FString, TArray<uint8>> Before = TRLTest::SnapshotFolder(TempDir);
			StartCook();
			TestTrue(TEXT("the cook made one"), IFileManager::Get().FileExists(*IniPath));

			AddExpectedError(TEXT("The editor ended during a cook of 'MyMod'"), EAutomationExpectedErrorFlags::Contains, 1);
			FTRLCookJournal::RestoreLeftBehind();
			TestEqualSensitive(TEXT("files and folders changed"), TRLTest::DescribeChanges(Before, TRLTest::SnapshotFolder(TempDir)), FString());
		});

		It("leaves a file changed since alone, with a copy of its bytes from before beside it that overwrites nothing", [this]() {
			const TArray<uint8> DescriptorBefore = TRLTest::ReadBytes(Descriptor);
			const TArray<uint8> IniBefore = TRLTest::ReadBytes(IniPath);
			WriteText(Descriptor + TEXT(".trellic-backup"), TEXT("an older backup"));
			StartCook();
			WriteText(Descriptor, TEXT("{ \"Edited\": true }"));
			const TArray<uint8> Edited = TRLTest::ReadBytes(Descriptor);

			const FString Backup = Descriptor + TEXT(".2.trellic-backup");
			const FString Warning = FString::Printf(TEXT("'%s' was changed after it was prepared for a cook that did not finish, so it was left as it is. Its "
			                                             "content from before the cook is in '%s': compare the two and keep what you need."),
			                                        *Descriptor, *Backup);
			const FString PutBack = FString::Printf(TEXT("The editor ended during a cook of 'MyMod'; put back as before the cook: %s."), *IniPath);
			AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
			AddExpectedErrorPlain(PutBack, EAutomationExpectedErrorFlags::Exact, 1);
			FTRLCookJournal::RestoreLeftBehind();
			TestTrue(TEXT("the edited descriptor is left alone"), TRLTest::ReadBytes(Descriptor) == Edited);
			TestTrue(TEXT("its bytes from before are beside it"), TRLTest::ReadBytes(Backup) == DescriptorBefore);
			FString OlderBackup;
			FFileHelper::LoadFileToString(OlderBackup, *(Descriptor + TEXT(".trellic-backup")));
			TestEqualSensitive(TEXT("the older backup"), OlderBackup, FString(TEXT("an older backup")));
			TestTrue(TEXT("DefaultGame.ini is put back"), TRLTest::ReadBytes(IniPath) == IniBefore);
			TestRestoreLines({TEXT("Warning: ") + PutBack, TEXT("Warning: ") + Warning});
		});

		It("says of a file deleted since that it was deleted, and keeps its bytes from before beside where it was", [this]() {
			const TArray<uint8> IniBefore = TRLTest::ReadBytes(IniPath);
			StartCook();
			IFileManager::Get().Delete(*IniPath);

			const FString Backup = IniPath + TEXT(".trellic-backup");
			const FString Warning = FString::Printf(TEXT("'%s' was deleted after it was prepared for a cook that did not finish, so it was left deleted. Its "
			                                             "content from before the cook is in '%s': copy it back if the file should still be there."),
			                                        *IniPath, *Backup);
			AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
			AddExpectedError(TEXT("The editor ended during a cook of 'MyMod'"), EAutomationExpectedErrorFlags::Contains, 1);
			FTRLCookJournal::RestoreLeftBehind();
			TestFalse(TEXT("DefaultGame.ini is left deleted"), IFileManager::Get().FileExists(*IniPath));
			TestTrue(TEXT("its bytes from before are beside it"), TRLTest::ReadBytes(Backup) == IniBefore);
		});

		It("sets aside a journal that cannot be read or names an absolute path, never deleting it and touching no file", [this]() {
			const FString Entry =
			    FString::Printf(TEXT("\"Path\": \"Config/DefaultGame.ini\", \"Existed\": true, \"PreparedSHA1\": \"%s\""), *FString::ChrN(40, TEXT('A')));
			// Not JSON at all; a file without its bytes from before; an absolute path, as journals once held them.
			const FString Journals[] = {
			    TEXT("{ \"ModName\": \"MyMod\", \"Files\": [ { "),
			    FString::Printf(TEXT("{ \"ModName\": \"MyMod\", \"Files\": [ { %s } ] }"), *Entry),
			    FString::Printf(TEXT("{ \"ModName\": \"MyMod\", \"Files\": [ { %s, \"OriginalBytes\": \"\" } ] }"),
			                    *Entry.Replace(TEXT("Config/DefaultGame.ini"), *IniPath)),
			};
			int32 Number = 1;
			for (const FString& Text : Journals)
			{
				WriteText(JournalPath, Text);
				const TArray<uint8> JournalBytes = TRLTest::ReadBytes(JournalPath);
				const TMap<FString, TArray<uint8>> Before = TRLTest::SnapshotFolder(ProjectDir + TEXT("Mods"));
				const TArray<uint8> IniBefore = TRLTest::ReadBytes(IniPath);
				const FString Aside = JournalPath + (Number == 1 ? FString() : FString::Printf(TEXT(".%d"), Number)) + TEXT(".set-aside");
				const FString Warning =
				    Number < 3 ? FString::Printf(TEXT("The cook journal '%s' cannot be read, so no file was put back. It is kept as '%s'; check the "
				                                      "descriptor of the mod packaged last and the project's DefaultGame.ini."),
				                                 *JournalPath, *Aside)
				               : FString::Printf(TEXT("The cook journal '%s' names '%s', which is not a path relative to the project, so no file was put back. "
				                                      "It is kept as '%s'. A journal that came with a project from elsewhere can be deleted; otherwise check "
				                                      "the descriptor of the mod packaged last and the project's DefaultGame.ini."),
				                                 *JournalPath, *IniPath, *Aside);
				AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
				FTRLCookJournal::RestoreLeftBehind();
				TestTrue(Text + TEXT(": set aside whole"), TRLTest::ReadBytes(Aside) == JournalBytes);
				TestFalse(Text + TEXT(": gone from its place"), IFileManager::Get().FileExists(*JournalPath));
				TestEqualSensitive(Text + TEXT(": mod files changed"), TRLTest::DescribeChanges(Before, TRLTest::SnapshotFolder(ProjectDir + TEXT("Mods"))),
				                   FString());
				TestTrue(Text + TEXT(": DefaultGame.ini as it was"), TRLTest::ReadBytes(IniPath) == IniBefore);
				++Number;
			}
		});
	});
}

#endif
