// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Misc/Paths.h"
#include "TRLItemPageExtras.h"
#include "TRLJsonText.h"
#include "TRLScopedOverrides.h"
#include "TRLTestHelpers.h"
#include "TRLWorkshopItemPage.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLWorkshopItemPageSpec, "Trellic.TrellicEditor.TRLWorkshopItemPage",
                  EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModsRoot;
	FString Descriptor;
	TSharedPtr<FTRLScopedModsRootOverride> RootOverride;
	TSharedPtr<FTRLLogCapture> Log;

	/** Writes the mod Addon, which requires what RequiredMods (JSON text) says; none of its own when empty. */
	void WriteAddon(const FString& RequiredMods)
	{
		const FString Members = RequiredMods.IsEmpty() ? FString() : FString(TEXT(",")) + LINE_TERMINATOR TEXT("\t\"TRLRequiredMods\": ") + RequiredMods;
		Descriptor = TRLTest::WriteMod(ModsRoot, TEXT("Addon"), TEXT("Addon"),
		                               FString(TEXT("{")) + LINE_TERMINATOR TEXT("\t\"FileVersion\": 3") + Members + LINE_TERMINATOR TEXT("}"));
	}

	/** Writes a mod, with a workshop.json that holds RecordText unless that is empty. */
	void WriteRequiredMod(const TCHAR* Name, const FString& RecordText)
	{
		const FString Path = TRLTest::WriteMod(ModsRoot, Name, Name);
		if (!RecordText.IsEmpty())
		{
			TRLTest::WriteTextFile(FPaths::GetPath(Path) / TEXT("workshop.json"), RecordText);
		}
	}

	/** Declares each of Messages a Warning that the next call logs, as often as it is listed, and returns them. */
	TArray<FString> ExpectWarnings(const TArray<FString>& Messages)
	{
		TMap<FString, int32> Counts;
		for (const FString& Message : Messages)
		{
			++Counts.FindOrAdd(Message);
		}
		for (const TPair<FString, int32>& Count : Counts)
		{
			AddExpectedErrorPlain(Count.Key, EAutomationExpectedErrorFlags::Exact, Count.Value);
		}
		return Messages;
	}

	/** Checks that LogTrellic holds exactly Messages, in order, each a Warning. */
	void TestWarnings(const TArray<FString>& Messages)
	{
		TArray<FString> Expected;
		for (const FString& Message : Messages)
		{
			Expected.Add(TEXT("Warning: ") + Message);
		}
		TestEqualSensitive(TEXT("warnings"), FString::Join(Log->TrellicLines(), TEXT("\n")), FString::Join(Expected, TEXT("\n")));
	}

	/** Every way an entry can be taken or left out, in one list: two uploaded mods, one named twice in other capitals. */
	static FString MixedRequiredMods()
	{
		return TEXT("[\"road\", \"Bridge\", \"Nowhere\", \"Unsent\", \"BRIDGE\", \"Broken\", \"Addon\", 3, \"\"]");
	}
END_DEFINE_SPEC(FTRLWorkshopItemPageSpec)

void FTRLWorkshopItemPageSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLWorkshopItemPage"));
		ModsRoot = TempDir / TEXT("Mods");
		RootOverride = MakeShared<FTRLScopedModsRootOverride>(ModsRoot);
		WriteRequiredMod(TEXT("Bridge"), TEXT("{\"ItemId\": \"55\"}"));
		WriteRequiredMod(TEXT("Road"), TEXT("{\"ItemId\": 77}"));
		WriteRequiredMod(TEXT("Unsent"), FString());
		WriteRequiredMod(TEXT("Broken"), TEXT("{\"ItemId\": \"first\"}"));
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		Log.Reset();
		RootOverride.Reset();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("UTRLWorkshopItemPage::GetRequiredWorkshopItems", [this]() {
		It("gives each named mod's recorded item in the descriptor's order, once, in any case, and the names without one", [this]() {
			WriteAddon(MixedRequiredMods());
			TArray<FString> ItemIds;
			TArray<FString> WithoutItem;
			TestTrue(TEXT("listed"), UTRLWorkshopItemPage::GetRequiredWorkshopItems(Descriptor, ItemIds, WithoutItem));
			TestEqualSensitive(TEXT("items"), FString::Join(ItemIds, TEXT("|")), FString(TEXT("77|55")));
			TestEqualSensitive(TEXT("without an item"), FString::Join(WithoutItem, TEXT("|")), FString(TEXT("Nowhere|Unsent|Broken")));
			TestEqual(TEXT("nothing logged"), Log->TrellicLines().Num(), 0);
		});

		It("answers false with both lists emptied without a list, for another kind of value, or without a descriptor", [this]() {
			for (const FString& RequiredMods : {FString(), FString(TEXT("\"Bridge\"")), FString(TEXT("{\"Bridge\": true}"))})
			{
				WriteAddon(RequiredMods);
				TArray<FString> ItemIds = {TEXT("left over")};
				TArray<FString> WithoutItem = {TEXT("left over")};
				TestFalse(RequiredMods, UTRLWorkshopItemPage::GetRequiredWorkshopItems(Descriptor, ItemIds, WithoutItem));
				TestTrue(RequiredMods + TEXT(": emptied"), ItemIds.IsEmpty() && WithoutItem.IsEmpty());
			}
			TArray<FString> ItemIds;
			TArray<FString> WithoutItem;
			TestFalse(TEXT("no descriptor"), UTRLWorkshopItemPage::GetRequiredWorkshopItems(ModsRoot / TEXT("Gone/Gone.uplugin"), ItemIds, WithoutItem));
		});
	});

	Describe("FTRLItemPageExtras::Read", [this]() {
		It("links what a script is shown, and warns about each entry left out in the descriptor's order", [this]() {
			WriteAddon(MixedRequiredMods());
			const FString NotAName = TEXT("'Addon' has an entry in TRLRequiredMods that is not a mod's name, so it was left out. Write each required mod's "
			                              "name in quotes, such as \"OtherMod\".");
			const TArray<FString> Warnings = ExpectWarnings({
			    TEXT("'Addon' requires 'Nowhere', which has no Workshop item yet. Upload 'Nowhere' first, or its page will not list it as required."),
			    TEXT("'Addon' requires 'Unsent', which has no Workshop item yet. Upload 'Unsent' first, or its page will not list it as required."),
			    TEXT("'Addon' requires 'Broken', which has no Workshop item yet. Upload 'Broken' first, or its page will not list it as required."),
			    TEXT("'Addon' lists itself in TRLRequiredMods. A mod cannot require itself, so that entry was left out."),
			    NotAName,
			    NotAName,
			});
			const FTRLWorkshopRequestExtras Extras = FTRLItemPageExtras::Read(Descriptor, FTRLJsonText::LoadJsonFile(Descriptor));
			TestWarnings(Warnings);
			if (!TestTrue(TEXT("the item's required items are set"), Extras.RequiredItems.IsSet()))
			{
				return;
			}
			FString Linked;
			for (const FTRLRequiredWorkshopItem& Item : Extras.RequiredItems.GetValue())
			{
				Linked += FString::Printf(TEXT("%s=%s "), *Item.ItemId, *Item.Name);
			}
			TestEqualSensitive(TEXT("linked by id with the mod's own name"), Linked, FString(TEXT("77=Road 55=Bridge ")));
		});

		It("sends the PNG, JPG and GIF images directly in Resources/Screenshots in name order, nine at most, naming what it leaves out", [this]() {
			WriteAddon(TEXT("[]"));
			const FString Folder = FPaths::GetPath(Descriptor) / TEXT("Resources/Screenshots");
			TestTrue(TEXT("no folder: nothing sent"), FTRLItemPageExtras::Read(Descriptor, nullptr).ExtraPreviewPaths.IsEmpty());
			for (const TCHAR* Name : {TEXT("k.png"), TEXT("Beta.png"), TEXT("j.png"), TEXT("alpha.PNG"), TEXT("c.jpg"), TEXT("d.jpeg"), TEXT("e.gif"),
			                          TEXT("f.png"), TEXT("g.png"), TEXT("h.png"), TEXT("i.png"), TEXT("notes.txt"), TEXT("old/shot.png")})
			{
				TRLTest::WriteTextFile(Folder / Name, TEXT("an image of more than 16 bytes"));
			}
			const TArray<FString> Warnings = ExpectWarnings({
			    FString::Printf(TEXT("'Addon' keeps in '%s' what its Workshop item cannot show as a screenshot, so it was left out: notes.txt (not a PNG, "
			                         "JPG or GIF image), old (a folder). Only PNG, JPG and GIF files directly in that folder are shown; convert or move the "
			                         "rest."),
			                    *Folder),
			    FString::Printf(TEXT("'Addon' has 11 screenshots in '%s'; a Workshop item shows at most 9, so the first 9 in name order go up and these were "
			                         "left out: j.png, k.png. Keep the 9 to show, named in the order they should appear."),
			                    *Folder),
			});
			const FTRLWorkshopRequestExtras Extras = FTRLItemPageExtras::Read(Descriptor, nullptr);
			TestWarnings(Warnings);
			TArray<FString> Names;
			for (const FString& Path : Extras.ExtraPreviewPaths)
			{
				TestEqualSensitive(TEXT("absolute, in the folder"), FPaths::GetPath(Path), Folder);
				Names.Add(FPaths::GetCleanFilename(Path));
			}
			TestEqualSensitive(TEXT("name order, capitals aside"), FString::Join(Names, TEXT(" ")),
			                   FString(TEXT("alpha.PNG Beta.png c.jpg d.jpeg e.gif f.png g.png h.png i.png")));
		});
	});
}

#endif // WITH_DEV_AUTOMATION_TESTS
