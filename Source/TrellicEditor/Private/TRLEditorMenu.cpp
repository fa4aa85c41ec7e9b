// Copyright Trellic contributors. All Rights Reserved.

#include "TRLEditorMenu.h"

#include "Framework/Commands/UIAction.h"
#include "Modules/ModuleManager.h"
#include "Textures/SlateIcon.h"
#include "ToolMenus.h"

#define LOCTEXT_NAMESPACE "TRLEditorMenu"

const FName FTRLEditorMenu::MenuOwnerName(TEXT("Trellic"));
FDelegateHandle FTRLEditorMenu::StartupCallbackHandle;

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

void FTRLEditorMenu::FillMountMenu(UToolMenu* /*Menu*/) {}

void FTRLEditorMenu::FillPackageMenu(UToolMenu* /*Menu*/) {}

void FTRLEditorMenu::FillUploadMenu(UToolMenu* /*Menu*/) {}

void FTRLEditorMenu::OpenNewModDialog() {}

void FTRLEditorMenu::OnCreateBaseRelease() {}

#undef LOCTEXT_NAMESPACE
