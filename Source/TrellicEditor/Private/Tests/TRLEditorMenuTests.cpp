// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"
#include "TRLEditorMenu.h"
#include "TRLModMount.h"
#include "TRLPackagingSpecProject.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLScopedOverrides.h"
#include "TRLTestHelpers.h"
#include "TRLWorkshopUpload.h"
#include "Templates/SharedPointer.h"
#include "ToolMenus.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBorder.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLEditorMenuSpec, "Trellic.TrellicEditor.TRLEditorMenu", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	/** One entry of a submenu as the user reads it. */
	struct FShownEntry
	{
		FName Name;
		FText Label;
		FText ToolTip;
	};

	/** A submenu filled once, as the editor fills it when the submenu opens. */
	struct FShownMenu
	{
		TArray<FName> SectionNames;
		FText SectionLabel;
		TArray<FShownEntry> Entries;
	};

	/** The widgets of the New Mod window that a user reads and acts on, found where the layout puts them. */
	struct FNewModWidgets
	{
		TSharedPtr<SEditableTextBox> NameBox;
		TSharedPtr<SEditableTextBox> AuthorBox;
		TSharedPtr<SButton> Create;
		TSharedPtr<SButton> Cancel;
	};

	FString TempDir;
	FString ModsRoot;
	// Every mod name a case may have mounted, so that none stays mounted after it.
	TArray<FString> ModNames;
	TArray<FString> Dialogs;
	int32 CloseRequests = 0;
	TSharedPtr<FTRLScopedModsRootOverride> RootOverride;
	TSharedPtr<FTRLScopedMessageDialogOverride> DialogOverride;
	TSharedPtr<FTRLLogCapture> Log;

	static IModuleInterface& EditorModule()
	{
		return FModuleManager::Get().LoadModuleChecked(TEXT("TrellicEditor"));
	}

	/**
	 * Starts the editor module again as the editor does, but on the spec's own project: start-up puts back the files of
	 * a cook that did not finish, and in a live editor the studio's project may be in the middle of one.
	 */
	void StartEditorModule()
	{
		FTRLScopedProjectOverride SpecProject(TempDir / TEXT("Game.uproject"));
		EditorModule().StartupModule();
	}

	/** A mod name no earlier case has used, unmounted when the case ends. */
	FString MakeModName(const TCHAR* Prefix = TEXT("TRLMenuSpecMod"))
	{
		return ModNames.Add_GetRef(TRLTest::MakeUniqueModName(Prefix));
	}

	FString WriteMod(const FString& FolderName, const FString& ModName)
	{
		const FString Descriptor = TRLTest::WriteMod(ModsRoot, FolderName, ModName);
		TestFalse(FString::Printf(TEXT("%s is written"), *ModName), Descriptor.IsEmpty());
		return Descriptor;
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

	/** Opens the Trellic submenu of that entry as the editor does: a menu of its own, filled by the entry's fill delegate. */
	FShownMenu OpenSubMenu(const TCHAR* EntryName, bool bWithMenu = true)
	{
		FShownMenu Shown;
		const TArray<const FToolMenuSection*> Sections = TrellicSections();
		const FToolMenuEntry* Entry = Sections.Num() == 1 ? Sections[0]->Blocks.FindByPredicate([EntryName](const FToolMenuEntry& Block) {
			return Block.Name == FName(EntryName);
		})
		                                                  : nullptr;
		if (!TestTrue(FString::Printf(TEXT("the Trellic section has the submenu %s"), EntryName), Entry && Entry->SubMenuData.bIsSubMenu))
		{
			return Shown;
		}
		if (!bWithMenu)
		{
			Entry->SubMenuData.ConstructMenu.NewToolMenu.ExecuteIfBound(nullptr);
			return Shown;
		}
		const FName MenuName(TEXT("Trellic.Specs.OpenedSubMenu"));
		UToolMenu* Menu = UToolMenus::Get()->RegisterMenu(MenuName, NAME_None, EMultiBoxType::Menu, false);
		Entry->SubMenuData.ConstructMenu.NewToolMenu.ExecuteIfBound(Menu);
		for (const FToolMenuSection& Section : Menu->Sections)
		{
			Shown.SectionNames.Add(Section.Name);
			Shown.SectionLabel = Section.Label.Get();
			for (const FToolMenuEntry& Block : Section.Blocks)
			{
				Shown.Entries.Add(FShownEntry{Block.Name, Block.Label.Get(), Block.ToolTip.Get()});
			}
		}
		UToolMenus::Get()->RemoveMenu(MenuName);
		return Shown;
	}

	void TestLocalizedText(const FString& What, const FText& Text, const TCHAR* Key, const FString& Expected)
	{
		TestEqualSensitive(What, Text.ToString(), Expected);
		TRLTest::TestLocalizationId(*this, What, Text, TEXT("TRLEditorMenu"), Key);
	}

	/** A filled submenu shows one section, "Mods", labelled "Mods". */
	void TestModsSection(const FShownMenu& Menu)
	{
		TestEqual(TEXT("sections of the submenu"), Menu.SectionNames, TArray<FName>{FName(TEXT("Mods"))});
		TestLocalizedText(TEXT("section label"), Menu.SectionLabel, TEXT("ModsSection"), TEXT("Mods"));
	}

	void TestNoModsEntry(const FShownMenu& Menu, const TCHAR* EntryName)
	{
		TestModsSection(Menu);
		if (TestEqual(FString::Printf(TEXT("entries when there are no mods (%s)"), EntryName), Menu.Entries.Num(), 1))
		{
			TestEqual(TEXT("name of the empty-list entry"), Menu.Entries[0].Name, FName(EntryName));
			TestLocalizedText(TEXT("label of the empty-list entry"), Menu.Entries[0].Label, TEXT("NoModsLabel"), TEXT("No mods found"));
			TestLocalizedText(TEXT("tooltip of the empty-list entry"), Menu.Entries[0].ToolTip, TEXT("NoModsTooltip"),
			                  TEXT("Create one with Tools > Trellic > New Mod."));
		}
	}

	/** The LogTrellic lines at Warning or worse; the menu writes no other lines of its own. */
	TArray<FString> TrellicWarnings() const
	{
		TArray<FString> Lines = Log->TrellicLines();
		Lines.RemoveAll([](const FString& Line) {
			return !Line.StartsWith(TEXT("Warning: ")) && !Line.StartsWith(TEXT("Error: "));
		});
		return Lines;
	}

	/** A refusal reaches the user once: as a Warning line and in one OK dialog, both with exactly the operation's text. */
	void TestRefusalShown(const FString& Text)
	{
		TRLTest::TestLines(*this, TEXT("warnings"), TrellicWarnings(), {TEXT("Warning: ") + Text});
		TRLTest::TestLines(*this, TEXT("dialogs"), Dialogs, {TEXT("Ok: ") + Text});
	}

	/** @return the child at Index of a widget, if it has one of the type named. */
	template <typename WidgetType>
	TSharedPtr<WidgetType> ChildOf(const TSharedPtr<SWidget>& Parent, int32 Index, const TCHAR* TypeName)
	{
		FChildren* Children = Parent.IsValid() ? Parent->GetChildren() : nullptr;
		if (!TestTrue(FString::Printf(TEXT("a %s at child %d"), TypeName, Index),
		              Children && Index < Children->Num() && Children->GetChildAt(Index)->GetType() == FName(TypeName)))
		{
			return nullptr;
		}
		return StaticCastSharedRef<WidgetType>(Children->GetChildAt(Index));
	}

	FText TextOf(const TSharedPtr<SWidget>& Parent, int32 Index)
	{
		const TSharedPtr<STextBlock> Text = ChildOf<STextBlock>(Parent, Index, TEXT("STextBlock"));
		return Text.IsValid() ? Text->GetText() : FText::GetEmpty();
	}

	/** Walks the New Mod window's layout, checking each text on the way, and returns what a user acts on. */
	FNewModWidgets ReadNewModWindow(const TSharedRef<SWindow>& Window)
	{
		FNewModWidgets Widgets;
		TestLocalizedText(TEXT("window title"), Window->GetTitle(), TEXT("NewModTitle"), TEXT("New Mod"));
		// On a monitor scaled for legibility the window opens larger than asked, by that monitor's scale.
		const FVector2D ClientSize = Window->GetClientSizeInScreen();
		const float DPIScale = Window->GetDPIScaleFactor();
		TestTrue(FString::Printf(TEXT("client size %g by %g is 420 by 170 at the window's DPI scale of %g"), ClientSize.X, ClientSize.Y, DPIScale),
		         ClientSize.Equals(FVector2D(420, 170) * DPIScale, 1.0));

		// The window wraps what it is given in a frame of its own, so the form starts at its content.
		const TSharedRef<SWidget> Content = Window->GetContent();
		if (!TestEqual(TEXT("the window's content"), Content->GetType(), FName(TEXT("SBorder"))))
		{
			return Widgets;
		}
		const TSharedPtr<SBorder> Border = StaticCastSharedRef<SBorder>(Content);
		const TSharedPtr<SVerticalBox> Rows = ChildOf<SVerticalBox>(Border, 0, TEXT("SVerticalBox"));
		TestEqual(TEXT("rows"), Rows.IsValid() ? Rows->GetChildren()->Num() : 0, 5);
		TestLocalizedText(TEXT("name label"), TextOf(Rows, 0), TEXT("NameLabel"), TEXT("Mod name (letters, digits and underscores)"));
		Widgets.NameBox = ChildOf<SEditableTextBox>(Rows, 1, TEXT("SEditableTextBox"));
		TestLocalizedText(TEXT("author label"), TextOf(Rows, 2), TEXT("AuthorLabel"), TEXT("Author"));
		Widgets.AuthorBox = ChildOf<SEditableTextBox>(Rows, 3, TEXT("SEditableTextBox"));
		for (const TSharedPtr<SEditableTextBox>& Box : {Widgets.NameBox, Widgets.AuthorBox})
		{
			TestTrue(TEXT("a text box starts empty, with no hint"), Box.IsValid() && Box->GetText().IsEmpty() && Box->GetHintText().IsEmpty());
		}

		const TSharedPtr<SHorizontalBox> Buttons = ChildOf<SHorizontalBox>(Rows, 4, TEXT("SHorizontalBox"));
		TestEqual(TEXT("buttons"), Buttons.IsValid() ? Buttons->GetChildren()->Num() : 0, 2);
		Widgets.Create = ChildOf<SButton>(Buttons, 0, TEXT("SButton"));
		Widgets.Cancel = ChildOf<SButton>(Buttons, 1, TEXT("SButton"));
		TestLocalizedText(TEXT("first button"), TextOf(Widgets.Create, 0), TEXT("CreateButton"), TEXT("Create"));
		TestLocalizedText(TEXT("second button"), TextOf(Widgets.Cancel, 0), TEXT("CancelButton"), TEXT("Cancel"));
		return Widgets;
	}

	/**
	 * Opens the New Mod window and answers it as a user would: types the two texts, then presses Create. The window is
	 * never shown; its close requests are counted instead.
	 */
	void AnswerNewModWindow(const FString& Name, const FString& Author)
	{
		int32 WindowsShown = 0;
		FTRLScopedModalWindowOverride ModalOverride([this, &WindowsShown, &Name, &Author](const TSharedRef<SWindow>& Window) {
			++WindowsShown;
			Window->SetRequestDestroyWindowOverride(FRequestDestroyWindowOverride::CreateLambda([this](const TSharedRef<SWindow>&) {
				++CloseRequests;
			}));
			const FNewModWidgets Widgets = ReadNewModWindow(Window);
			if (!Widgets.NameBox.IsValid() || !Widgets.AuthorBox.IsValid() || !Widgets.Create.IsValid() || !Widgets.Cancel.IsValid())
			{
				return;
			}
			Widgets.NameBox->SetText(FText::FromString(Name));
			Widgets.AuthorBox->SetText(FText::FromString(Author));
			Widgets.Create->SimulateClick();
		});
		FTRLEditorMenu::OpenNewModDialog();
		TestEqual(TEXT("windows shown"), WindowsShown, 1);
	}

	/** The project packaging works on, the mod to package on it, and the UAT jobs it started, kept here running. */
	struct FPackagingProject
	{
		TSharedPtr<FTRLPackagingSpecProject> Project;
		FString ModDescriptor;
		TArray<IUATHelperModule::UatTaskResultCallack> RunningJobs;
	};
	TSharedPtr<FPackagingProject> Packaging;

	void SetUpPackaging(bool bWithAsset)
	{
		Packaging = MakeShared<FPackagingProject>();
		Packaging->Project = MakeShared<FTRLPackagingSpecProject>(TempDir, [this](const FString&, const FText&, const FText&, const FText&, const FSlateBrush*,
		                                                                          const TArray<FAnalyticsEventAttribute>*,
		                                                                          IUATHelperModule::UatTaskResultCallack ResultCallback, const FString&) {
			Packaging->RunningJobs.Add(MoveTemp(ResultCallback));
		});
		TestFalse(TEXT("the project is written"), Packaging->Project->ProjectFile.IsEmpty());
		Packaging->ModDescriptor = WriteMod(TEXT("Packed"), TEXT("Packed"));
		if (bWithAsset)
		{
			TestTrue(TEXT("the asset is written"), TRLTest::WriteTextFile(ModsRoot / TEXT("Packed/Content/Hero.uasset"), TEXT("asset")));
		}
	}

	/** Ends every job a case started, as UAT would when it succeeds, so that the next case finds the packager idle. */
	void TearDownPackaging()
	{
		if (!Packaging.IsValid())
		{
			return;
		}
		for (IUATHelperModule::UatTaskResultCallack& Callback : Packaging->RunningJobs)
		{
			Callback(TEXT("Completed"), 1.0);
		}
		Packaging.Reset();
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
		}
	}
END_DEFINE_SPEC(FTRLEditorMenuSpec)

void FTRLEditorMenuSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLEditorMenu"));
		ModsRoot = TempDir / TEXT("Mods");
		Dialogs.Empty();
		CloseRequests = 0;
		RootOverride = MakeShared<FTRLScopedModsRootOverride>(ModsRoot);
		DialogOverride = MakeShared<FTRLScopedMessageDialogOverride>([this](EAppMsgType::Type MessageType, const FText& Message) {
			Dialogs.Add(FString(MessageType == EAppMsgType::Ok ? TEXT("Ok: ") : TEXT("Other: ")) + Message.ToString());
			return EAppReturnType::Ok;
		});
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		TearDownPackaging();
		Log.Reset();
		DialogOverride.Reset();
		RootOverride.Reset();
		for (const FString& Name : ModNames)
		{
			TRLTest::UnmountMod(Name);
		}
		ModNames.Empty();
		// Whatever a test did, the editor keeps its module running with one Trellic section.
		EditorModule().ShutdownModule();
		StartEditorModule();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("RegisterMenus", [this]() {
		It("adds the Trellic section to the Tools menu with its five entries in order, a submenu wherever a mod is chosen", [this]() {
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
			StartEditorModule();
			Log->SetOnLine(nullptr);

			TestEqual(TEXT("start-up lines"), StartLines, 1);
			TestTrue(TEXT("the section was there, and the line at Log verbosity, when the line was written"), bSectionAtStartLine);
		});
	});

	Describe("Unregister", [this]() {
		It("removes the section, harmlessly a second time, and the next start-up adds exactly one again", [this]() {
			EditorModule().ShutdownModule();
			TestEqual(TEXT("Trellic sections after shut-down"), TrellicSections().Num(), 0);
			EditorModule().ShutdownModule();
			StartEditorModule();
			TestTrellicSection();
		});
	});

	Describe("the mod submenus", [this]() {
		It("show only a greyed No mods found entry when there are no mods, and leave a missing menu alone", [this]() {
			TestNoModsEntry(OpenSubMenu(TEXT("TRLMountMod")), TEXT("TRLNoModsToMount"));
			TestNoModsEntry(OpenSubMenu(TEXT("TRLPackageMod")), TEXT("TRLNoMods"));
			TestNoModsEntry(OpenSubMenu(TEXT("TRLUploadMod")), TEXT("TRLNoModsToUpload"));
			for (const TCHAR* EntryName : {TEXT("TRLMountMod"), TEXT("TRLPackageMod"), TEXT("TRLUploadMod")})
			{
				OpenSubMenu(EntryName, false);
			}
		});
	});

	// An upload that starts from the menu, shown nowhere but in its notification, is tried through the host.
	Describe("OnUploadMod", [this]() {
		It("shows the upload's refusal as it comes", [this]() {
			const FString Descriptor = WriteMod(TEXT("Unpackaged"), TEXT("Unpackaged"));
			const FString Text = TEXT("'Unpackaged' has not been packaged yet, so there is nothing to upload. Run Tools > Trellic > Package Mod first.");
			// The preflight's findings come first: no preview, no description, no tags.
			AddExpectedErrorPlain(TEXT(" the .uplugin"), EAutomationExpectedErrorFlags::Contains, 3);
			AddExpectedErrorPlain(Text, EAutomationExpectedErrorFlags::Exact, 1);
			FTRLEditorMenu::OnUploadMod(Descriptor);
			TestEqual(TEXT("dialogs"), Dialogs, TArray<FString>{TEXT("Ok: ") + Text});
			TestTrue(TEXT("the refusal's Warning"), TrellicWarnings().Contains(TEXT("Warning: ") + Text));
			TestFalse(TEXT("no upload runs"), UTRLWorkshopUpload::IsUploadInProgress());
		});
	});

	Describe("OnMountMod", [this]() {
		It("shows the mount's refusal as it comes", [this]() {
			const FString Missing = ModsRoot / TEXT("Gone/Gone.uplugin");
			const FString Text = FString::Printf(TEXT("No plugin descriptor at '%s'."), *Missing);
			AddExpectedErrorPlain(Text, EAutomationExpectedErrorFlags::Exact, 1);
			FTRLEditorMenu::OnMountMod(Missing);
			TestRefusalShown(Text);
		});
	});

	// A start from the menu shows nothing, which the host's menu run checks for both jobs.
	Describe("OnCreateBaseRelease and OnPackageMod", [this]() {
		It("show the packager's refusal when asked while a job runs", [this]() {
			SetUpPackaging(true);
			FTRLEditorMenu::OnCreateBaseRelease();
			TestEqual(TEXT("dialogs after the start"), Dialogs.Num(), 0);

			const FString Busy = TEXT("A packaging job is already running. Wait for it to finish.");
			AddExpectedErrorPlain(Busy, EAutomationExpectedErrorFlags::Exact, 2);
			FTRLEditorMenu::OnCreateBaseRelease();
			FTRLEditorMenu::OnPackageMod(Packaging->ModDescriptor);
			TestEqual(TEXT("jobs started"), Packaging->RunningJobs.Num(), 1);
			TRLTest::TestLines(*this, TEXT("warnings"), TrellicWarnings(), {TEXT("Warning: ") + Busy, TEXT("Warning: ") + Busy});
			TRLTest::TestLines(*this, TEXT("dialogs"), Dialogs, {TEXT("Ok: ") + Busy, TEXT("Ok: ") + Busy});
		});
	});

	Describe("OpenNewModDialog", [this]() {
		It("reads as laid out at the window's DPI scale, then creates and mounts the mod under the trimmed name and says so", [this]() {
			const FString Name = MakeModName();
			AnswerNewModWindow(TEXT("  ") + Name + TEXT("  "), TEXT("  Ada  "));

			TestEqual(TEXT("close requests"), CloseRequests, 1);
			TestTrue(TEXT("the new mod is mounted"), FTRLModMount::IsMounted(Name));
			TRLTest::TestLines(
			    *this, TEXT("dialogs"), Dialogs,
			    {FString::Printf(TEXT("Ok: Created '%s'.\n\nPut your assets in its Content folder, then package it from Tools > Trellic > Package Mod."),
			                     *Name)});
			TestEqual(TEXT("warnings"), TrellicWarnings().Num(), 0);
		});
	});
}

#endif
