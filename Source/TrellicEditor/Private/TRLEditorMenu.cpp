// Copyright Trellic contributors. All Rights Reserved.

#include "TRLEditorMenu.h"

#include "Framework/Commands/UIAction.h"
#include "Misc/MessageDialog.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "TRLLocalModProvider.h"
#include "TRLModMount.h"
#include "TRLModPackager.h"
#include "TRLModScaffold.h"
#include "TRLNewModWindow.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLWorkshopUpload.h"
#include "Textures/SlateIcon.h"
#include "ToolMenus.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLEditorMenu"

const FName FTRLEditorMenu::MenuOwnerName(TEXT("Trellic"));
FDelegateHandle FTRLEditorMenu::StartupCallbackHandle;

namespace TRLEditorMenu
{
	/** The enabled test of an entry that can never be chosen. */
	bool CanNeverExecute()
	{
		return false;
	}

	/** The enabled test of every upload entry, asked whenever the menu asks: one upload runs at a time. */
	bool CanChooseUploadEntry()
	{
		return !UTRLWorkshopUpload::IsUploadInProgress();
	}

	/** The enabled test of a mount entry: only a mod that was not mounted when the submenu was filled can be chosen. */
	bool CanChooseMountEntry(bool bMountedWhenFilled)
	{
		return !bMountedWhenFilled;
	}

	/** Adds one mod's entry to a mod submenu. */
	using FAddModEntry = TFunctionRef<void(FToolMenuSection& Section, const FString& Descriptor, const FString& ModName)>;

	/**
	 * Fills a mod submenu as each of the three is filled: its Mods section, with an entry per local mod in the order
	 * they are found, or, with no mods to list, one greyed entry of that name which says how to make one. A missing
	 * menu is left alone.
	 */
	void FillModsSection(UToolMenu* Menu, const TCHAR* EmptyEntryName, FAddModEntry AddModEntry)
	{
		if (!Menu)
		{
			return;
		}
		FToolMenuSection& Section = Menu->FindOrAddSection(TEXT("Mods"), LOCTEXT("ModsSection", "Mods"));
		const TArray<FString> Mods = UTRLLocalModProvider::FindLocalMods();
		if (Mods.IsEmpty())
		{
			Section.AddMenuEntry(EmptyEntryName, LOCTEXT("NoModsLabel", "No mods found"),
			                     LOCTEXT("NoModsTooltip", "Create one with Tools > Trellic > New Mod."), FSlateIcon(),
			                     FUIAction(FExecuteAction(), FCanExecuteAction::CreateStatic(&CanNeverExecute)), EUserInterfaceActionType::Button);
			return;
		}
		for (const FString& Descriptor : Mods)
		{
			AddModEntry(Section, Descriptor, FPaths::GetBaseFilename(Descriptor));
		}
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

void FTRLEditorMenu::FillMountMenu(UToolMenu* Menu)
{
	const FText MountedEntry = LOCTEXT("MountedEntry", "{0} (open)");
	const FText AlreadyMountedTooltip = LOCTEXT("AlreadyMountedTooltip", "Already mounted; its content is in the Content Browser.");
	const FText MountOneTooltip = LOCTEXT("MountOneTooltip", "Mount {0} so assets can be saved into it.");
	TRLEditorMenu::FillModsSection(
	    Menu, TEXT("TRLNoModsToMount"),
	    [&MountedEntry, &AlreadyMountedTooltip, &MountOneTooltip](FToolMenuSection& Section, const FString& Descriptor, const FString& ModName) {
		    const FText Name = FText::FromString(ModName);
		    // Asked once per opening: a mod mounted while the menu is open stays choosable until it opens again.
		    const bool bMounted = FTRLModMount::IsMounted(ModName);
		    Section.AddMenuEntry(FName(ModName), bMounted ? FText::Format(MountedEntry, Name) : Name,
		                         bMounted ? AlreadyMountedTooltip : FText::Format(MountOneTooltip, Name), FSlateIcon(),
		                         FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnMountMod, Descriptor),
		                                   FCanExecuteAction::CreateStatic(&TRLEditorMenu::CanChooseMountEntry, bMounted)),
		                         EUserInterfaceActionType::Button);
	    });
}

void FTRLEditorMenu::FillPackageMenu(UToolMenu* Menu)
{
	// No enabled test: a request while a job runs is the packager's to refuse, with a message that says why.
	const FText PackageOneTooltip = LOCTEXT("PackageOneTooltip", "Cook {0} as DLC on top of the base game release.");
	TRLEditorMenu::FillModsSection(Menu, TEXT("TRLNoMods"), [&PackageOneTooltip](FToolMenuSection& Section, const FString& Descriptor, const FString& ModName) {
		const FText Name = FText::FromString(ModName);
		Section.AddMenuEntry(FName(ModName), Name, FText::Format(PackageOneTooltip, Name), FSlateIcon(),
		                     FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnPackageMod, Descriptor)), EUserInterfaceActionType::Button);
	});
}

void FTRLEditorMenu::FillUploadMenu(UToolMenu* Menu)
{
	const FText UploadNewTooltip = LOCTEXT("UploadNewTooltip", "Create a Workshop item for {0} and upload it.");
	const FText UploadUpdateEntry = LOCTEXT("UploadUpdateEntry", "{0} (update)");
	const FText UploadUpdateTooltip = LOCTEXT("UploadUpdateTooltip", "Upload a new version of {0} to Workshop item {1}.");
	TRLEditorMenu::FillModsSection(
	    Menu, TEXT("TRLNoModsToUpload"),
	    [&UploadNewTooltip, &UploadUpdateEntry, &UploadUpdateTooltip](FToolMenuSection& Section, const FString& Descriptor, const FString& ModName) {
		    const FText Name = FText::FromString(ModName);
		    const FString ItemId = UTRLWorkshopUpload::GetRecordedItemId(Descriptor);
		    const bool bRecorded = !ItemId.IsEmpty();
		    // Asked whenever the menu asks, unlike the item id: an upload that starts or ends greys or frees every entry.
		    Section.AddMenuEntry(FName(ModName), bRecorded ? FText::Format(UploadUpdateEntry, Name) : Name,
		                         bRecorded ? FText::Format(UploadUpdateTooltip, Name, FText::FromString(ItemId)) : FText::Format(UploadNewTooltip, Name),
		                         FSlateIcon(),
		                         FUIAction(FExecuteAction::CreateStatic(&FTRLEditorMenu::OnUploadMod, Descriptor),
		                                   FCanExecuteAction::CreateStatic(&TRLEditorMenu::CanChooseUploadEntry)),
		                         EUserInterfaceActionType::Button);
	    });
}

void FTRLEditorMenu::OpenNewModDialog()
{
	FTRLNewModWindow Window;
	if (!Window.ShowModal())
	{
		return;
	}
	const FString ModName = Window.GetModName();
	FText OutError;
	if (UTRLModScaffold::CreateMod(ModName, Window.GetAuthor(), FString(), OutError).IsEmpty())
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
