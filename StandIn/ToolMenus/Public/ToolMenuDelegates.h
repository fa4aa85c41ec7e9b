// How a menu entry says what it does, and how a submenu says how it is filled.
#pragma once

#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Framework/Commands/UIAction.h"
#include "Misc/Optional.h"

class UToolMenu;

/** Fills a submenu; called with a fresh menu each time the submenu opens. */
DECLARE_DELEGATE_OneParam(FNewToolMenuDelegate, UToolMenu*);

/** What builds a submenu's content. */
struct FNewToolMenuChoice
{
	FNewToolMenuChoice() = default;
	FNewToolMenuChoice(const FNewToolMenuDelegate& InNewToolMenu)
	    : NewToolMenu(InNewToolMenu)
	{
	}

	FNewToolMenuDelegate NewToolMenu;
};

/** The action of a menu entry, given in any of the forms menus accept. */
struct FToolUIActionChoice
{
	/** No action. */
	FToolUIActionChoice() = default;
	FToolUIActionChoice(const FUIAction& InAction)
	    : Action(InAction)
	{
	}
	FToolUIActionChoice(const FExecuteAction& InExecuteAction)
	    : Action(FUIAction(InExecuteAction))
	{
	}

	/** @return the action; null when none was given. */
	const FUIAction* GetUIAction() const { return Action.IsSet() ? &Action.GetValue() : nullptr; }

private:
	TOptional<FUIAction> Action;
};
