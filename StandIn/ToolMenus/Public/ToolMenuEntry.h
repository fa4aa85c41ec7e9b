// FToolMenuEntry: one entry of a menu section: a command, a submenu or a separator.
#pragma once

#include "CoreTypes.h"
#include "Framework/Commands/UICommandInfo.h"
#include "Framework/MultiBox/MultiBoxDefs.h"
#include "Internationalization/Text.h"
#include "Misc/Attribute.h"
#include "Misc/Optional.h"
#include "Textures/SlateIcon.h"
#include "ToolMenuDelegates.h"
#include "ToolMenuMisc.h"
#include "ToolMenuOwner.h"

struct FToolMenuEntrySubMenuData
{
	bool bIsSubMenu = false;
	/** Opens on click instead of on hover. */
	bool bOpenSubMenuOnClick = false;
	FNewToolMenuChoice ConstructMenu;
};

struct FToolMenuEntry
{
	FToolMenuEntry() = default;
	FToolMenuEntry(const FToolMenuOwner InOwner, const FName InName, EMultiBlockType InType)
	    : Name(InName)
	    , Owner(InOwner)
	    , Type(InType)
	{
	}

	static FToolMenuEntry InitMenuEntry(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
	                                    const TAttribute<FSlateIcon>& InIcon, const FToolUIActionChoice& InAction,
	                                    const EUserInterfaceActionType UserInterfaceActionType = EUserInterfaceActionType::Button,
	                                    const FName InTutorialHighlightName = NAME_None);

	static FToolMenuEntry InitSubMenu(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
	                                  const FNewToolMenuChoice& InMakeMenu, bool bInOpenSubMenuOnClick = false,
	                                  const TAttribute<FSlateIcon>& InIcon = TAttribute<FSlateIcon>(), const bool bShouldCloseWindowAfterMenuSelection = true,
	                                  const FName InTutorialHighlightName = NAME_None);

	static FToolMenuEntry InitSeparator(const FName InName);

	bool IsSubMenu() const { return SubMenuData.bIsSubMenu; }

	/** @return the entry's action; null when it has none. */
	const FUIAction* GetUIAction() const { return Action.GetUIAction(); }

	FName Name;
	FToolMenuOwner Owner;
	EMultiBlockType Type = EMultiBlockType::None;
	EUserInterfaceActionType UserInterfaceActionType = EUserInterfaceActionType::Button;
	FName TutorialHighlightName;
	FToolMenuInsert InsertPosition;
	/** Choosing the entry closes the whole menu. */
	bool bShouldCloseWindowAfterMenuSelection = true;
	TAttribute<FText> Label;
	TAttribute<FText> ToolTip;
	TAttribute<FSlateIcon> Icon;
	TOptional<FText> InputBindingLabel;
	FToolMenuEntrySubMenuData SubMenuData;
	FToolUIActionChoice Action;
};
