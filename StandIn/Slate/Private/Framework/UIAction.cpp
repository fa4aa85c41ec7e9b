#include "Framework/Commands/UIAction.h"

namespace
{
	// Abnormal execution is the script debugger's break state, which the stand-in never enters.
	bool IsNormalExecution()
	{
		return true;
	}
} // namespace

FUIAction::FUIAction()
    : RepeatMode(EUIActionRepeatMode::RepeatDisabled)
{
}

FUIAction::FUIAction(FExecuteAction InitExecuteAction, EUIActionRepeatMode InitRepeatMode)
    : ExecuteAction(InitExecuteAction)
    , CanExecuteAction(FCanExecuteAction::CreateStatic(&IsNormalExecution))
    , RepeatMode(InitRepeatMode)
{
}

FUIAction::FUIAction(FExecuteAction InitExecuteAction, FCanExecuteAction InitCanExecuteAction, EUIActionRepeatMode InitRepeatMode)
    : ExecuteAction(InitExecuteAction)
    , CanExecuteAction(InitCanExecuteAction)
    , RepeatMode(InitRepeatMode)
{
}

FUIAction::FUIAction(FExecuteAction InitExecuteAction, FCanExecuteAction InitCanExecuteAction, FIsActionChecked InitIsCheckedDelegate,
                     EUIActionRepeatMode InitRepeatMode)
    : ExecuteAction(InitExecuteAction)
    , CanExecuteAction(InitCanExecuteAction)
    , IsCheckedDelegate(InitIsCheckedDelegate)
    , RepeatMode(InitRepeatMode)
{
}

bool FUIAction::CanExecute() const
{
	return CanExecuteAction.IsBound() ? CanExecuteAction.Execute() : true;
}

bool FUIAction::Execute() const
{
	if (!ExecuteAction.IsBound())
	{
		return false;
	}
	ExecuteAction.Execute();
	return true;
}
