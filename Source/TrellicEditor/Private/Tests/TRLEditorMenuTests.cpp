// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"
#include "Templates/SharedPointer.h"
#include "Tests/TRLTestHelpers.h"
#include "ToolMenus.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLEditorMenuSpec, "Trellic.TrellicEditor.TRLEditorMenu", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	TSharedPtr<FTRLLogCapture> Log;

	static IModuleInterface& EditorModule()
	{
		return FModuleManager::Get().LoadModuleChecked(TEXT("TrellicEditor"));
	}

	/** Every section named "Trellic" in the Tools menu; a correct module leaves at most one. */
	static TArray<const FToolMenuSection*> TrellicSections()
	{
		TArray<const FToolMenuSection*> Found;
		UToolMenus* ToolMenus = UToolMenus::Get();
		if (const UToolMenu* ToolsMenu = ToolMenus ? ToolMenus->FindMenu(TEXT("LevelEditor.MainMenu.Tools")) : nullptr)
		{
			for (const FToolMenuSection& Section : ToolsMenu->Sections)
			{
				if (Section.Name == FName(TEXT("Trellic")))
				{
					Found.Add(&Section);
				}
			}
		}
		return Found;
	}

	void TestTrellicSection()
	{
		const TArray<const FToolMenuSection*> Sections = TrellicSections();
		if (!TestEqual(TEXT("number of Trellic sections"), Sections.Num(), 1))
		{
			return;
		}
		const FToolMenuSection& Section = *Sections[0];
		TestEqualSensitive(TEXT("section label"), Section.Label.Get().ToString(), TEXT("Trellic"));

		struct FExpectedEntry
		{
			const TCHAR* Name;
			const TCHAR* Label;
			const TCHAR* ToolTip;
			bool bSubMenu;
		};
		const TArray<FExpectedEntry> Expected = {
		    {TEXT("TRLNewMod"), TEXT("New Mod..."), TEXT("Create a new mod folder with a correctly written descriptor."), false},
		    {TEXT("TRLMountMod"), TEXT("Open Mod For Editing"),
		     TEXT("Mount a mod's content so its folder appears in the Content Browser and assets can be saved into it."), true},
		    {TEXT("TRLPackageMod"), TEXT("Package Mod"), TEXT("Cook a mod into a shippable archive."), true},
		    {TEXT("TRLUploadMod"), TEXT("Upload Mod To Steam Workshop"),
		     TEXT("Send a packaged mod to the Steam Workshop. The first upload creates the Workshop item, later ones update it."), true},
		    {TEXT("TRLCreateBaseRelease"), TEXT("Create Base Game Release"),
		     TEXT("Record what this build of the game contains, so mods can be cooked on top of it. Run once per public build."), false}};

		if (!TestEqual(TEXT("number of entries"), Section.Blocks.Num(), Expected.Num()))
		{
			return;
		}
		for (int32 Index = 0; Index < Section.Blocks.Num(); ++Index)
		{
			const FToolMenuEntry& Entry = Section.Blocks[Index];
			const FExpectedEntry& Want = Expected[Index];
			TestEqual(FString::Printf(TEXT("name of entry %d"), Index), Entry.Name, FName(Want.Name));
			TestEqualSensitive(FString::Printf(TEXT("label of %s"), Want.Name), Entry.Label.Get().ToString(), Want.Label);
			TestEqualSensitive(FString::Printf(TEXT("tooltip of %s"), Want.Name), Entry.ToolTip.Get().ToString(), Want.ToolTip);
			TestTrue(FString::Printf(TEXT("%s is a submenu exactly when it should be"), Want.Name), Entry.SubMenuData.bIsSubMenu == Want.bSubMenu);
			if (Want.bSubMenu)
			{
				TestFalse(FString::Printf(TEXT("%s opens on click"), Want.Name), Entry.SubMenuData.bOpenSubMenuOnClick);
				TestTrue(FString::Printf(TEXT("%s closes the menu after a choice"), Want.Name), Entry.bShouldCloseWindowAfterMenuSelection);
			}
			else
			{
				TestTrue(FString::Printf(TEXT("%s is a button"), Want.Name), Entry.UserInterfaceActionType == EUserInterfaceActionType::Button);
			}
		}
	}
END_DEFINE_SPEC(FTRLEditorMenuSpec)

void FTRLEditorMenuSpec::Define()
{
	BeforeEach([this]() {
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		Log.Reset();
		// Whatever a test did, the editor keeps its module running with one Trellic section.
		EditorModule().ShutdownModule();
		EditorModule().StartupModule();
	});

	Describe("RegisterMenus", [this]() {
		It("adds the Trellic section to the Tools menu with its five entries in order, the plain ones buttons", [this]() {
			TestTrellicSection();
		});
	});

	Describe("Register", [this]() {
		It("runs the menu callback before the start-up line is written when menus are already ready", [this]() {
			EditorModule().ShutdownModule();
			int32 StartLines = 0;
			bool bSectionAtStartLine = false;
			Log->SetOnLine([&StartLines, &bSectionAtStartLine](const FTRLLogCapture::FLine& Line) {
				if (Line.Category == FName(TEXT("LogTrellic")) && Line.Message.Equals(TEXT("Trellic editor module started."), ESearchCase::CaseSensitive))
				{
					++StartLines;
					bSectionAtStartLine = Line.Verbosity == ELogVerbosity::Log && TrellicSections().Num() == 1;
				}
			});
			EditorModule().StartupModule();
			Log->SetOnLine(nullptr);

			TestEqual(TEXT("start-up lines"), StartLines, 1);
			TestTrue(TEXT("the section was there, and the line at Log verbosity, when the line was written"), bSectionAtStartLine);
		});
	});

	Describe("Unregister", [this]() {
		It("removes the section, and the next start-up adds exactly one again", [this]() {
			EditorModule().ShutdownModule();
			TestEqual(TEXT("Trellic sections after shut-down"), TrellicSections().Num(), 0);
			EditorModule().StartupModule();
			TestTrellicSection();
		});

		It("can run twice in a row without harm", [this]() {
			EditorModule().ShutdownModule();
			EditorModule().ShutdownModule();
			TestEqual(TEXT("Trellic sections after two shut-downs"), TrellicSections().Num(), 0);
			EditorModule().StartupModule();
			TestTrellicSection();
		});
	});
}

#endif
