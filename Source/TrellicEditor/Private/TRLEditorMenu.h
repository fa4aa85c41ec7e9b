// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

class UToolMenu;

/**
 * The Trellic section of the editor's Tools menu: its registration, the mod submenus and the handlers that turn a menu
 * choice into an operation (the New Mod window lives in FTRLNewModWindow). Only static members; nothing to instantiate.
 */
class FTRLEditorMenu
{
public:
	/** Asks ToolMenus to call RegisterMenus once menus can be extended (at once when they already can). */
	static void Register();

	/** Withdraws the start-up callback and, while ToolMenus is loaded, every menu extension this module made. */
	static void Unregister();

	// What each entry runs when it is chosen; code of this module may run one as a click would.

	/** Asks for a new mod's name and author in a modal window, then creates the mod. */
	static void OpenNewModDialog();

	/** Starts recording a base game release. */
	static void OnCreateBaseRelease();

	/** Starts packaging the mod whose absolute descriptor path is given. */
	static void OnPackageMod(FString ModDescriptorPath);

	/** Starts uploading the mod whose absolute descriptor path is given. */
	static void OnUploadMod(FString ModDescriptorPath);

	/** Mounts the mod whose absolute descriptor path is given, so its content can be edited. */
	static void OnMountMod(FString ModDescriptorPath);

private:
	/** Adds the Trellic section with its five entries to the Tools menu, all under this module's owner. */
	static void RegisterMenus();

	/** Fills the "Open Mod For Editing" submenu each time it opens. */
	static void FillMountMenu(UToolMenu* Menu);

	/** Fills the "Package Mod" submenu each time it opens. */
	static void FillPackageMenu(UToolMenu* Menu);

	/** Fills the "Upload Mod To Steam Workshop" submenu each time it opens. */
	static void FillUploadMenu(UToolMenu* Menu);

	/** Tells the user about a refusal: logs the message as a warning and shows it in a modal OK dialog. */
	static void ReportError(const FText& Message);

	/** Shows a modal dialog with only an OK button, and returns once the user has closed it. */
	static void ShowMessage(const FText& Message);

	/** Owner of every menu extension this module makes, and the name of its Tools menu section. */
	static const FName MenuOwnerName;

	/** The ToolMenus start-up callback while it is registered; empty otherwise. */
	static FDelegateHandle StartupCallbackHandle;
};
