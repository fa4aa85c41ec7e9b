// FUIAction: what a menu entry or button does when chosen, and the test that says whether it can be chosen now.
#pragma once

#include "CoreTypes.h"
#include "Delegates/Delegate.h"

DECLARE_DELEGATE(FExecuteAction);
DECLARE_DELEGATE_RetVal(bool, FCanExecuteAction);
DECLARE_DELEGATE_RetVal(bool, FIsActionChecked);

/** Whether holding the key of an action repeats it. */
enum class EUIActionRepeatMode
{
	RepeatDisabled,
	RepeatEnabled
};

struct FUIAction
{
	/** An action that does nothing. */
	FUIAction();

	/** An action that may always run (outside script debugging, which the editor treats as abnormal execution). */
	FUIAction(FExecuteAction InitExecuteAction, EUIActionRepeatMode InitRepeatMode = EUIActionRepeatMode::RepeatDisabled);

	/** An action whose test decides, each time it is asked, whether it may run. */
	FUIAction(FExecuteAction InitExecuteAction, FCanExecuteAction InitCanExecuteAction,
	          EUIActionRepeatMode InitRepeatMode = EUIActionRepeatMode::RepeatDisabled);

	FUIAction(FExecuteAction InitExecuteAction, FCanExecuteAction InitCanExecuteAction, FIsActionChecked InitIsCheckedDelegate,
	          EUIActionRepeatMode InitRepeatMode = EUIActionRepeatMode::RepeatDisabled);

	/** @return the answer of the can-execute test; true when there is none. */
	bool CanExecute() const;

	/** Runs the action. @return false when it has no execute delegate. */
	bool Execute() const;

	/** @return the answer of the checked-state test; false when there is none. */
	bool IsChecked() const { return IsCheckedDelegate.IsBound() && IsCheckedDelegate.Execute(); }

	bool IsBound() const { return ExecuteAction.IsBound(); }

	FExecuteAction ExecuteAction;
	FCanExecuteAction CanExecuteAction;
	FIsActionChecked IsCheckedDelegate;
	EUIActionRepeatMode RepeatMode;
};
