// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLPendingWorkshopItem.h"
#include "TRLScopedOverrides.h"
#include "TRLTestHelpers.h"
#include "Templates/SharedPointer.h"

#if WITH_DEV_AUTOMATION_TESTS

// What a start does with an item that an earlier editor kept and did not record; the item kept and dropped by an
// upload is the upload spec's, and paths that lead out of the project through links are the host tests'.
BEGIN_DEFINE_SPEC(FTRLPendingWorkshopItemSpec, "Trellic.TrellicEditor.TRLPendingWorkshopItem",
                  EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString Descriptor;
	FString RecordPath;
	FString KeptPath;
	TSharedPtr<FTRLScopedProjectOverride> ProjectOverride;
	TSharedPtr<FTRLLogCapture> Log;

	void WriteText(const FString& Path, const FString& Text)
	{
		TestTrue(FString::Printf(TEXT("%s is written"), *Path), TRLTest::WriteTextFile(Path, Text));
	}

	static FString ReadText(const FString& Path)
	{
		FString Text;
		FFileHelper::LoadFileToString(Text, *Path);
		return Text;
	}

	/** Runs the start-up step on a kept file of this text, expecting it set aside with this Warning. */
	void TestSetAside(const FString& What, const FString& KeptText, const FString& Warning)
	{
		WriteText(KeptPath, KeptText);
		AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
		FTRLPendingWorkshopItem::RecordLeftBehind();
		TestTrue(What + TEXT(": warned"), Log->TrellicLines().Contains(TEXT("Warning: ") + Warning));
		TestFalse(What + TEXT(": no longer kept"), IFileManager::Get().FileExists(*KeptPath));
	}
END_DEFINE_SPEC(FTRLPendingWorkshopItemSpec)

void FTRLPendingWorkshopItemSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLPendingWorkshopItem"));
		WriteText(TempDir / TEXT("Game.uproject"), TEXT("{}"));
		Descriptor = TRLTest::WriteMod(TempDir / TEXT("Mods"), TEXT("MyMod"), TEXT("MyMod"));
		RecordPath = TempDir / TEXT("Mods/MyMod/workshop.json");
		KeptPath = TempDir / TEXT("Saved/Trellic/PendingWorkshopItem.json");
		ProjectOverride = MakeShared<FTRLScopedProjectOverride>(TempDir / TEXT("Game.uproject"));
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		Log.Reset();
		ProjectOverride.Reset();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("RecordLeftBehind", [this]() {
		It("sets aside a kept item it cannot read, whose mod is gone, or whose record names another item, and writes no record", [this]() {
			const FString Unreadable = TEXT("{\"Mod\": \"Mods/MyMod/MyMod.uplugin\", \"ItemId\": \"12 34\"}");
			TestSetAside(TEXT("not an item id"), Unreadable,
			             FString::Printf(TEXT("'%s' cannot be read as a kept Workshop item, so no record was written. It is kept as '%s.set-aside'; if it "
			                                  "names an item, write that id into its mod's workshop.json by hand."),
			                             *KeptPath, *KeptPath));
			TestEqualSensitive(TEXT("kept as it was"), ReadText(KeptPath + TEXT(".set-aside")), Unreadable);

			TestSetAside(TEXT("a mod that is gone"), TEXT("{\"Mod\": \"Mods/Gone/Gone.uplugin\", \"ItemId\": \"77\"}"),
			             FString::Printf(TEXT("Workshop item 77 was made for '%s/Mods/Gone/Gone.uplugin', which no longer exists, so it was not recorded. It "
			                                  "is kept as '%s.2.set-aside'."),
			                             *TempDir, *KeptPath));
			TestFalse(TEXT("no folder made for it"), IFileManager::Get().DirectoryExists(*(TempDir / TEXT("Mods/Gone"))));
			TestFalse(TEXT("no record for the mod that is there"), IFileManager::Get().FileExists(*RecordPath));

			const FString Record = TEXT("{\"ItemId\": \"55\"}");
			WriteText(RecordPath, Record);
			TestSetAside(TEXT("a record of another item"), TEXT("{\"Mod\": \"Mods/MyMod/MyMod.uplugin\", \"ItemId\": \"77\"}"),
			             FString::Printf(TEXT("'%s' records another Workshop item, so item 77, made by an upload that did not finish, was not written over "
			                                  "it. It is kept as '%s.3.set-aside'; check which of the two is the mod's, and delete the other on the Workshop."),
			                             *RecordPath, *KeptPath));
			TestEqualSensitive(TEXT("the record as it was"), ReadText(RecordPath), Record);
		});

		It("drops a kept item that the record already holds, silently", [this]() {
			WriteText(RecordPath, TEXT("{\"ItemId\": \"77\"}"));
			WriteText(KeptPath, TEXT("{\"Mod\": \"Mods/MyMod/MyMod.uplugin\", \"ItemId\": \"77\"}"));
			FTRLPendingWorkshopItem::RecordLeftBehind();
			TestFalse(TEXT("dropped"), IFileManager::Get().FileExists(*KeptPath));
			TestEqual(TEXT("nothing logged"), Log->TrellicLines().Num(), 0);
		});
	});
}

#endif // WITH_DEV_AUTOMATION_TESTS
