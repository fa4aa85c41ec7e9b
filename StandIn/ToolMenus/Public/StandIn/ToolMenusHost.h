// Stand-in only: how the host program and tests bring menus up, display them and choose their entries.
// The plug-in never includes this header; it builds against the real engine unchanged.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Framework/Commands/UIAction.h"
#include "Internationalization/Text.h"
#include "Misc/Optional.h"
#include "Templates/Function.h"
#include "ToolMenuEntry.h"

namespace UE::StandIn
{
	/** Declares that the editor's menus can now be extended: start-up callbacks waiting for it run now. */
	void DeclareToolMenusReady();

	/** @return true once DeclareToolMenusReady was called and the ToolMenus module is loaded. */
	bool CanExtendToolMenus();

	/** Told just before each start-up callback runs, whether at once on registration or once menus became ready. */
	using FToolMenusStartupObserver = TFunction<void()>;

	/** Installs the observer, replacing any other. @return the one replaced. */
	FToolMenusStartupObserver SetToolMenusStartupObserver(FToolMenusStartupObserver Observer);

	/** One entry as a displayed menu shows it. */
	struct FDisplayedToolMenuEntry
	{
		FName Name;
		EMultiBlockType Type = EMultiBlockType::None;
		EUserInterfaceActionType UserInterfaceActionType = EUserInterfaceActionType::Button;
		FText Label;
		FText ToolTip;
		FSlateIcon Icon;
		bool bIsSubMenu = false;
		bool bOpenSubMenuOnClick = false;
		bool bShouldCloseWindowAfterMenuSelection = true;
		/** The entry's can-execute answer, asked when the menu was displayed; an entry without an action is disabled unless it opens a submenu. */
		bool bIsEnabled = false;
		FToolMenuOwner Owner;
		/** What choosing the entry runs; copied when the menu was displayed. */
		TOptional<FUIAction> Action;
		/** What fills the submenu when it opens. */
		FNewToolMenuChoice SubMenu;
	};

	struct FDisplayedToolMenuSection
	{
		FName Name;
		FText Label;
		TArray<FDisplayedToolMenuEntry> Entries;
	};

	/** A menu as the editor would draw it at one opening: its sections and entries in order. */
	struct FDisplayedToolMenu
	{
		FName MenuName;
		TArray<FDisplayedToolMenuSection> Sections;

		const FDisplayedToolMenuSection* FindSection(FName SectionName) const;

		/** @return the entry of that name in any section, or null. */
		const FDisplayedToolMenuEntry* FindEntry(FName EntryName) const;

		/** @return one line per section and entry, indented, with "(disabled)" and "(submenu)" marks. */
		FString Describe() const;
	};

	/**
	 * Displays a registered menu, then opens the submenus named by SubMenuPath one after the other, as a user
	 * hovering them would: every submenu is filled afresh, and every can-execute test asked again.
	 * @return the last menu displayed; unset when a menu or submenu is unknown, disabled, or ToolMenus is unloaded.
	 */
	TOptional<FDisplayedToolMenu> DisplayToolMenu(FName MenuName, const TArray<FName>& SubMenuPath = TArray<FName>());

	/**
	 * Displays the menu and the submenus on the way to the last name of EntryPath and chooses that entry.
	 * @return true if its action ran; false when the entry is missing, disabled or has nothing to execute.
	 */
	bool ChooseToolMenuEntry(FName MenuName, const TArray<FName>& EntryPath);
} // namespace UE::StandIn
