// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLCookRecord.h"
#include "TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLCookRecordSpec, "Trellic.TrellicEditor.TRLCookRecord", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString RecordPath;

	/** A record of a build that failed its check, with a content file whose time needs more than a double's 53 bits in ticks. */
	static FTRLCookRecord MakeRecord()
	{
		FTRLCookRecord Record;
		Record.ModName = TEXT("MyMod");
		Record.ReleaseVersion = TEXT("1.0");
		Record.RegistryPath = TEXT("/P/Releases/1.0/Windows/AssetRegistry.bin");
		Record.Registry = FTRLFileFingerprint{12, 1765000000123};
		Record.Platform = TEXT("Win64");
		Record.Configuration = TEXT("Shipping");
		Record.DescriptorHash = TEXT("0123456789ABCDEF0123456789ABCDEF01234567");
		TMap<FString, FTRLFileFingerprint> Content;
		Content.Add(TEXT("Maps/Caf\u00E9.umap"), FTRLFileFingerprint{4096, 1765000000999});
		Content.Add(TEXT("Hero.uasset"), FTRLFileFingerprint{74, -1});
		Record.SetContent(MoveTemp(Content));
		Record.CheckFailures.Add(TEXT("The pak 'P.pak' is empty."));
		return Record;
	}
END_DEFINE_SPEC(FTRLCookRecordSpec)

void FTRLCookRecordSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLCookRecord"));
		RecordPath = TempDir / TEXT("Staged.trellic-build.json");
	});

	AfterEach([this]() {
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("Load", [this]() {
		It("reads back what Save wrote, every fingerprint to the millisecond, and leaves no file beside it", [this]() {
			FString Reason;
			TestTrue(TEXT("saved"), MakeRecord().Save(RecordPath, Reason));
			const TOptional<FTRLCookRecord> Loaded = FTRLCookRecord::Load(RecordPath);
			if (!TestTrue(TEXT("loaded"), Loaded.IsSet()))
			{
				return;
			}
			TestEqualSensitive(TEXT("text"), Loaded->ToText(), MakeRecord().ToText());
			FTRLCookRecord Read = Loaded.GetValue();
			TestTrue(TEXT("content read"), Read.ReadContent());
			TestTrue(TEXT("a content file"), Read.Content.FindRef(TEXT("Maps/Caf\u00E9.umap")) == FTRLFileFingerprint{4096, 1765000000999});
			TestTrue(TEXT("a file changed during the cook"), Read.Content.FindRef(TEXT("Hero.uasset")) == FTRLFileFingerprint{74, -1});
			TestFalse(TEXT("nothing written beside it"), FPaths::FileExists(RecordPath + TEXT(".writing")));
		});

		It("answers none for a record that is cut short, of another shape, or failed without saying why", [this]() {
			FTRLCookRecord Silent = MakeRecord();
			Silent.CheckFailures.Empty();
			const FString Whole = MakeRecord().ToText();
			const TPair<const TCHAR*, FString> Cases[] = {
			    {TEXT("cut short"), Whole.Left(Whole.Len() / 2)},
			    {TEXT("no content digest"), Whole.Replace(TEXT("\"ContentDigest\""), TEXT("\"Digest\""))},
			    {TEXT("failed without a reason"), Silent.ToText()},
			};
			for (const TPair<const TCHAR*, FString>& Case : Cases)
			{
				TestTrue(Case.Key, FFileHelper::SaveStringToFile(Case.Value, *RecordPath));
				TestFalse(Case.Key, FTRLCookRecord::Load(RecordPath).IsSet());
			}
			TestFalse(TEXT("no file"), FTRLCookRecord::Load(TempDir / TEXT("None.json")).IsSet());
			FTRLCookRecord Garbled = MakeRecord();
			Garbled.ContentText = TEXT("74\tsoon\tHero.uasset\n");
			TestFalse(TEXT("content that is no list of fingerprints"), Garbled.ReadContent());
		});
	});

	Describe("ListingDigestOf", [this]() {
		It("is the digest of the listing fingerprinted until an entry is added, changed or removed", [this]() {
			const FString Folder = TempDir / TEXT("Content");
			TestTrue(TEXT("a file"), TRLTest::WriteTextFile(Folder / TEXT("Hero.uasset"), TEXT("hero")));
			TestTrue(TEXT("another"), TRLTest::WriteTextFile(Folder / TEXT("Maps/Arena.umap"), TEXT("arena")));
			FTRLCookRecord Record;
			Record.FingerprintContent(Folder);
			TestEqualSensitive(TEXT("as fingerprinted"), FTRLCookRecord::ListingDigestOf(Folder), Record.ListingDigest);

			TestTrue(TEXT("changed"), TRLTest::WriteTextFile(Folder / TEXT("Maps/Arena.umap"), TEXT("a bigger arena")));
			const FString Changed = FTRLCookRecord::ListingDigestOf(Folder);
			TestNotEqual(TEXT("after a change"), Changed, Record.ListingDigest);
			TestTrue(TEXT("added"), TRLTest::WriteTextFile(Folder / TEXT("New.uasset"), TEXT("new")));
			TestNotEqual(TEXT("after an addition"), FTRLCookRecord::ListingDigestOf(Folder), Changed);
		});
	});
}

#endif
