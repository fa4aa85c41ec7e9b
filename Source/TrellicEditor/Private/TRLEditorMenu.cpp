// Copyright Trellic contributors. All Rights Reserved.

#include "TRLEditorMenu.h"

#include "Editor.h"
#include "Editor/EditorEngine.h"
#include "Framework/Commands/UIAction.h"
#include "HAL/FileManager.h"
#include "Misc/MessageDialog.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "TRLLocalModProvider.h"
#include "TRLModMount.h"
#include "TRLModPackager.h"
#include "TRLModScaffold.h"
#include "TRLScopedMessageDialogOverride.h"
#include "TRLScopedModalWindowOverride.h"
#include "TRLWorkshopUpload.h"
#include "Textures/SlateIcon.h"
#include "ToolMenus.h"
#include "Trellic.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBorder.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"

#define LOCTEXT_NAMESPACE "TRLEditorMenu"

const FName FTRLEditorMenu::MenuOwnerName(TEXT("Trellic"));
FDelegateHandle FTRLEditorMenu::StartupCallbackHandle;

FTRLScopedMessageDialogOverride* FTRLScopedMessageDialogOverride::Innermost = nullptr;

FTRLScopedModalWindowOverride* FTRLScopedModalWindowOverride::Innermost = nullptr;

namespace TRLEditorMenu
{
	/** The enabled test of an entry that can never be chosen. */
	bool CanNeverExecute()
	{
		return false;
	}

	/** The enabled test of every upload entry: one upload runs at a time. */
	bool IsNoUploadRunning()
	{
		return !UTRLWorkshopUpload::IsUploadInProgress();
	}

	/** The enabled test of a mount entry: whether the mod was unmounted when the submenu was filled. */
	bool WasNotMounted(bool bMountedWhenFilled)
	{
		return !bMountedWhenFilled;
	}

	/**
	 * Adds the Mods section that every mod submenu shows. With no mods to list, the section gets a greyed entry of that
	 * name which says how to make one.
	 * @return the section to list the mods in; null when there are none.
	 */
	FToolMenuSection* AddModsSection(UToolMenu& Menu, const TArray<FString>& Mods, const TCHAR* EmptyEntryName)
	{
		FToolMenuSection& Section = Menu.FindOrAddSection(TEXT("Mods"), LOCTEXT("ModsSection", "Mods"));
		if (!Mods.IsEmpty())
		{
			return &Section;
		}
		Section.AddMenuEntry(EmptyEntryName, LOCTEXT("NoModsLabel", "No mods found"), LOCTEXT("NoModsTooltip", "Create one with Tools > Trellic > New Mod."),
		                     FSlateIcon(), FUIAction(FExecuteAction(), FCanExecuteAction::CreateStatic(&CanNeverExecute)), EUserInterfaceActionType::Button);
		return nullptr;
	}

	/** @return the text in the box without the blanks around it; empty when the box was never made. */
	FString ReadTrimmed(const TSharedPtr<SEditableTextBox>& Box)
	{
		return Box.IsValid() ? Box->GetText().ToString().TrimStartAndEnd() : FString();
	}
} // namespace TRLEditorMenu

void FTRLEditorMenu::Register()
{
	StartupCallbackHandle = UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateStatic(&FTRLEditorMenu::RegisterMenus));
}

void FTRLEditorMenu::Unregister()
{
	if (StartupCallbackHandle.IsValid())
	{
		UToolMenus::UnRegisterStartupCallback(StartupCallbackHandle);
		StartupCallbackHandle.Reset();
	}

	// Once ToolMenus is gone its menus are gone too, and asking for them would bring a new menu system to life.
	if (FModuleManager::Get().IsModuleLoaded(TEXT("ToolMenus")))
	{
		if (UToolMenus* ToolMenus = UToolMenus::Get())
		{
			ToolMenus->UnregisterOwner(FToolMenuOwner(MenuOwnerName));
		}
	}
}

void FTRLEditorMenu::RegisterMenus()
{
	FToolMenuOwnerScoped OwnerScope(MenuOwnerName);

	UToolMenu* ToolsMenu = UToolMenus::Get()->ExtendMenu(TEXT("LevelEditor.MainMenu.Tools"));
	if (!ToolsMenu)
	{
		return;
	}

	FToolMenuSection& Section = ToolsMenu->FindOrAddSection(MenuOwnerName, LOCTEXT("SectionLabel", "Trellic"));

	Section.AddMenuEntry(TEXT("TRLNewMod"), LOCTEXT("NewModLabel", "New Mod..."),
	                     LOCTEXT("NewModTooltip", "Create a new mod folder with a correctly written descriptor."), FSlateIcon(),
	                     FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OpenNewModDialog)), EUserInterfaceActionType::Button);

	Section.AddSubMenu(TEXT("TRLMountMod"), LOCTEXT("MountModLabel", "Open Mod For Editing"),
	                   LOCTEXT("MountModTooltip", "Mount a mod's content so its folder appears in the Content Browser and assets can be saved into it."),
	                   FNewToolMenuDelegate::CreateStatic(&FTRLEditorMenu::FillMountMenu), false, FSlateIcon(), true);

	Section.AddSubMenu(TEXT("TRLPackageMod"), LOCTEXT("PackageModLabel", "Package Mod"), LOCTEXT("PackageModTooltip", "Cook a mod into a shippable archive."),
	                   FNewToolMenuDelegate::CreateStatic(&FTRLEditorMenu::FillPackageMenu), false, FSlateIcon(), true);

	Section.AddSubMenu(
	    TEXT("TRLUploadMod"), LOCTEXT("UploadModLabel", "Upload Mod To Steam Workshop"),
	    LOCTEXT("UploadModTooltip", "Send a packaged mod to the Steam Workshop. The first upload creates the Workshop item, later ones update it."),
	    FNewToolMenuDelegate::CreateStatic(&FTRLEditorMenu::FillUploadMenu), false, FSlateIcon(), true);

	Section.AddMenuEntry(
	    TEXT("TRLCreateBaseRelease"), LOCTEXT("CreateReleaseLabel", "Create Base Game Release"),
	    LOCTEXT("CreateReleaseTooltip", "Record what this build of the game contains, so mods can be cooked on top of it. Run once per public build."),
	    FSlateIcon(), FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnCreateBaseRelease)), EUserInterfaceActionType::Button);
}

TArray<FString> FTRLEditorMenu::FindLocalMods()
{
	TArray<FString> Descriptors;
	const FString Root = UTRLLocalModProvider::GetLocalModsRoot();
	IFileManager& FileManager = IFileManager::Get();
	if (!FileManager.DirectoryExists(*Root))
	{
		return Descriptors;
	}

	TArray<FString> Folders;
	FileManager.FindFiles(Folders, *(Root / TEXT("*")), false, true);
	Descriptors.Reserve(Folders.Num());
	TArray<FString> Found;
	for (const FString& Folder : Folders)
	{
		const FString FolderPath = Root / Folder;
		Found.Reset();
		FileManager.FindFiles(Found, *(FolderPath / TEXT("*.uplugin")), true, false);
		if (Found.Num() > 0)
		{
			Descriptors.Add(FPaths::ConvertRelativePathToFull(FolderPath / Found[0]));
		}
	}
	return Descriptors;
}

void FTRLEditorMenu::FillMountMenu(UToolMenu* Menu)
{
	if (!Menu)
	{
		return;
	}
	const TArray<FString> Mods = FindLocalMods();
	FToolMenuSection* Section = TRLEditorMenu::AddModsSection(*Menu, Mods, TEXT("TRLNoModsToMount"));
	if (!Section)
	{
		return;
	}

	const FText MountedEntry = LOCTEXT("MountedEntry", "{0} (open)");
	const FText AlreadyMountedTooltip = LOCTEXT("AlreadyMountedTooltip", "Already mounted; its content is in the Content Browser.");
	const FText MountOneTooltip = LOCTEXT("MountOneTooltip", "Mount {0} so assets can be saved into it.");
	for (const FString& Descriptor : Mods)
	{
		const FString ModName = FPaths::GetBaseFilename(Descriptor);
		const FText Name = FText::FromString(ModName);
		// Asked once per opening: a mod mounted while the menu is open stays choosable until it opens again.
		const bool bMounted = FTRLModMount::IsMounted(ModName);
		Section->AddMenuEntry(FName(ModName), bMounted ? FText::Format(MountedEntry, Name) : Name,
		                      bMounted ? AlreadyMountedTooltip : FText::Format(MountOneTooltip, Name), FSlateIcon(),
		                      FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnMountMod, Descriptor),
		                                FCanExecuteAction::CreateStatic(&TRLEditorMenu::WasNotMounted, bMounted)),
		                      EUserInterfaceActionType::Button);
	}
}

void FTRLEditorMenu::FillPackageMenu(UToolMenu* Menu)
{
	if (!Menu)
	{
		return;
	}
	const TArray<FString> Mods = FindLocalMods();
	FToolMenuSection* Section = TRLEditorMenu::AddModsSection(*Menu, Mods, TEXT("TRLNoMods"));
	if (!Section)
	{
		return;
	}

	// No enabled test: a request while a job runs is the packager's to refuse, with a message that says why.
	const FText PackageOneTooltip = LOCTEXT("PackageOneTooltip", "Cook {0} as DLC on top of the base game release.");
	for (const FString& Descriptor : Mods)
	{
		const FString ModName = FPaths::GetBaseFilename(Descriptor);
		const FText Name = FText::FromString(ModName);
		Section->AddMenuEntry(FName(ModName), Name, FText::Format(PackageOneTooltip, Name), FSlateIcon(),
		                      FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnPackageMod, Descriptor)), EUserInterfaceActionType::Button);
	}
}

void FTRLEditorMenu::FillUploadMenu(UToolMenu* Menu)
{
	if (!Menu)
	{
		return;
	}
	const TArray<FString> Mods = FindLocalMods();
	FToolMenuSection* Section = TRLEditorMenu::AddModsSection(*Menu, Mods, TEXT("TRLNoModsToUpload"));
	if (!Section)
	{
		return;
	}

	const FText UploadNewTooltip = LOCTEXT("UploadNewTooltip", "Create a Workshop item for {0} and upload it.");
	const FText UploadUpdateEntry = LOCTEXT("UploadUpdateEntry", "{0} (update)");
	const FText UploadUpdateTooltip = LOCTEXT("UploadUpdateTooltip", "Upload a new version of {0} to Workshop item {1}.");
	for (const FString& Descriptor : Mods)
	{
		const FString ModName = FPaths::GetBaseFilename(Descriptor);
		const FText Name = FText::FromString(ModName);
		const FString ItemId = UTRLWorkshopUpload::GetRecordedItemId(Descriptor);
		const bool bRecorded = !ItemId.IsEmpty();
		// Asked whenever the menu asks, unlike the item id: an upload that starts or ends greys or frees every entry.
		Section->AddMenuEntry(FName(ModName), bRecorded ? FText::Format(UploadUpdateEntry, Name) : Name,
		                      bRecorded ? FText::Format(UploadUpdateTooltip, Name, FText::FromString(ItemId)) : FText::Format(UploadNewTooltip, Name),
		                      FSlateIcon(),
		                      FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnUploadMod, Descriptor),
		                                FCanExecuteAction::CreateStatic(&TRLEditorMenu::IsNoUploadRunning)),
		                      EUserInterfaceActionType::Button);
	}
}

void FTRLEditorMenu::OpenNewModDialog()
{
	TSharedPtr<SEditableTextBox> NameBox;
	TSharedPtr<SEditableTextBox> AuthorBox;
	bool bCreate = false;

	const TSharedRef<SWindow> Window =
	    SNew(SWindow).Title(LOCTEXT("NewModTitle", "New Mod")).ClientSize(FVector2D(420, 170)).SupportsMaximize(false).SupportsMinimize(false);
	// The buttons hold the window weakly: a window that kept itself alive through its own content would never go.
	const TWeakPtr<SWindow> WeakWindow = Window;
	const auto CloseWindow = [WeakWindow]() {
		if (const TSharedPtr<SWindow> Pinned = WeakWindow.Pin())
		{
			Pinned->RequestDestroyWindow();
		}
	};

	// clang-format off
	Window->SetContent(
		SNew(SBorder)
		.Padding(12)
		[
			SNew(SVerticalBox)
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 4)
			[
				SNew(STextBlock).Text(LOCTEXT("NameLabel", "Mod name (letters, digits and underscores)"))
			]
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 10)
			[
				SAssignNew(NameBox, SEditableTextBox)
			]
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 4)
			[
				SNew(STextBlock).Text(LOCTEXT("AuthorLabel", "Author"))
			]
			+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 12)
			[
				SAssignNew(AuthorBox, SEditableTextBox)
			]
			+ SVerticalBox::Slot().AutoHeight().HAlign(HAlign_Right)
			[
				SNew(SHorizontalBox)
				+ SHorizontalBox::Slot().AutoWidth().Padding(0, 0, 8, 0)
				[
					SNew(SButton)
					.Text(LOCTEXT("CreateButton", "Create"))
					.OnClicked_Lambda([&bCreate, CloseWindow]()
					{
						bCreate = true;
						CloseWindow();
						return FReply::Handled();
					})
				]
				+ SHorizontalBox::Slot().AutoWidth()
				[
					SNew(SButton)
					.Text(LOCTEXT("CancelButton", "Cancel"))
					.OnClicked_Lambda([CloseWindow]()
					{
						CloseWindow();
						return FReply::Handled();
					})
				]
			]
		]);
	// clang-format on

	// Returns only once the window has gone, so bCreate, which the Create button holds by reference, outlives every click.
	if (const FTRLShowModalWindow* ShowModalWindow = FTRLScopedModalWindowOverride::Get())
	{
		(*ShowModalWindow)(Window);
	}
	else
	{
		GEditor->EditorAddModalWindow(Window);
	}
	if (!bCreate)
	{
		return;
	}

	const FString ModName = TRLEditorMenu::ReadTrimmed(NameBox);
	FText OutError;
	if (UTRLModScaffold::CreateMod(ModName, TRLEditorMenu::ReadTrimmed(AuthorBox), FString(), OutError).IsEmpty())
	{
		ReportError(OutError);
		return;
	}
	ShowMessage(
	    FText::Format(LOCTEXT("ModCreated", "Created '{0}'.\n\nPut your assets in its Content folder, then package it from Tools > Trellic > Package Mod."),
	                  FText::FromString(ModName)));
}

void FTRLEditorMenu::OnCreateBaseRelease()
{
	FText OutError;
	if (UTRLModPackager::CreateBaseGameRelease(OutError) != ETRLPackageStartResult::Started)
	{
		ReportError(OutError);
	}
}

void FTRLEditorMenu::OnPackageMod(FString ModDescriptorPath)
{
	FText OutError;
	if (UTRLModPackager::PackageMod(ModDescriptorPath, OutError) != ETRLPackageStartResult::Started)
	{
		ReportError(OutError);
	}
}

void FTRLEditorMenu::OnUploadMod(FString ModDescriptorPath)
{
	FText OutError;
	if (UTRLWorkshopUpload::UploadMod(ModDescriptorPath, FString(), OutError) != ETRLWorkshopResult::Success)
	{
		ReportError(OutError);
	}
}

void FTRLEditorMenu::OnMountMod(FString ModDescriptorPath)
{
	FText OutError;
	if (!UTRLModScaffold::MountModForEditing(ModDescriptorPath, OutError))
	{
		ReportError(OutError);
		return;
	}
	ShowMessage(FText::Format(LOCTEXT("ModMounted", "'{0}' is open for editing.\n\nIts content folder is now in the Content Browser, under plugin content."),
	                          FText::FromString(FPaths::GetBaseFilename(ModDescriptorPath))));
}

void FTRLEditorMenu::ReportError(const FText& Message)
{
	UE_LOG(LogTrellic, Warning, TEXT("%s"), *Message.ToString());
	ShowMessage(Message);
}

void FTRLEditorMenu::ShowMessage(const FText& Message)
{
	if (const FTRLOpenMessageDialog* OpenMessageDialog = FTRLScopedMessageDialogOverride::Get())
	{
		(*OpenMessageDialog)(EAppMsgType::Ok, Message);
		return;
	}
	FMessageDialog::Open(EAppMsgType::Ok, Message);
}

#undef LOCTEXT_NAMESPACE
