// FToolMenuSection: a titled group of entries in a menu.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "ToolMenuEntry.h"

class UToolMenu;
class UToolMenus;

struct FToolMenuSection
{
	/** Adds Args, or replaces the section's entry of the same name. @return the entry in the section. */
	FToolMenuEntry& AddEntry(const FToolMenuEntry& Args);

	FToolMenuEntry& AddMenuEntry(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip, const TAttribute<FSlateIcon>& InIcon,
	                             const FToolUIActionChoice& InAction, const EUserInterfaceActionType UserInterfaceActionType = EUserInterfaceActionType::Button,
	                             const FName InTutorialHighlightName = NAME_None, const TOptional<FText>& InInputBindingOverride = TOptional<FText>());

	/** Adds an entry that opens a submenu, filled by InMakeMenu each time it opens. */
	FToolMenuEntry& AddSubMenu(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip, const FNewToolMenuChoice& InMakeMenu,
	                           bool bInOpenSubMenuOnClick = false, const TAttribute<FSlateIcon>& InIcon = TAttribute<FSlateIcon>(),
	                           const bool bShouldCloseWindowAfterMenuSelection = true, const FName InTutorialHighlightName = NAME_None);

	/** Adds an entry that opens a submenu and also has an action of its own. */
	FToolMenuEntry& AddSubMenu(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip, const FNewToolMenuChoice& InMakeMenu,
	                           const FToolUIActionChoice& InAction, const EUserInterfaceActionType InUserInterfaceActionType,
	                           bool bInOpenSubMenuOnClick = false, const TAttribute<FSlateIcon>& InIcon = TAttribute<FSlateIcon>(),
	                           const bool bShouldCloseWindowAfterMenuSelection = true);

	FToolMenuEntry& AddSeparator(const FName InName);

	/** @return the section's entry of that name, or null. */
	FToolMenuEntry* FindEntry(const FName InName);

	FName Name;
	FToolMenuOwner Owner;
	TArray<FToolMenuEntry> Blocks;
	TAttribute<FText> Label;
	FToolMenuInsert InsertPosition;

private:
	friend class UToolMenu;
	friend class UToolMenus;

	FToolMenuEntry& AddEntryInternal(FToolMenuEntry Entry);
	FToolMenuEntry* FindEntryInternal(const FName InName);

	// The load of the ToolMenus module the section belongs to (see UToolMenu).
	int32 ModuleGeneration = 0;
};
