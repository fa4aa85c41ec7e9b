// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/MessageDialog.h"
#include "TRLScopedOverride.h"

/** Receives what FMessageDialog::Open would have received, and answers as the user would. */
using FTRLOpenMessageDialog = TFunction<EAppReturnType::Type(EAppMsgType::Type MessageType, const FText& Message)>;

/**
 * While it lives, the Tools menu hands the message dialogs it would open to this override instead of FMessageDialog,
 * with the two arguments it would have given FMessageDialog::Open. It exists for specs: an editor running automation
 * unattended answers a dialog without showing it, so a spec could not otherwise read which dialog the user would have
 * seen, or that none was shown. Overrides nest. Game thread only.
 */
class FTRLScopedMessageDialogOverride : public TTRLScopedOverride<FTRLScopedMessageDialogOverride, FTRLOpenMessageDialog>
{
public:
	explicit FTRLScopedMessageDialogOverride(FTRLOpenMessageDialog InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedMessageDialogOverride* Innermost;
};
