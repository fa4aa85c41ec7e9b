// Stand-in only: how a host answers FMessageDialog in place of a user.
#pragma once

#include "Misc/MessageDialog.h"

namespace UE::StandIn
{
	/** Answers a message box in place of a user: category, buttons, message and title (never empty) in, button out. */
	using FMessageDialogResponder = TFunction<EAppReturnType::Type(EAppMsgCategory, EAppMsgType::Type, const FText& Message, const FText& Title)>;

	/**
	 * Installs the function that answers every message box from now on; an unset function restores the
	 * unattended behaviour. @return the responder it replaces, so that a caller can put it back.
	 */
	FMessageDialogResponder SetMessageDialogResponder(FMessageDialogResponder Responder);

	/** @return the answer an unattended program gives to a box of this type: Ok for Ok, else the refusing choice. */
	EAppReturnType::Type GetUnattendedAnswer(EAppMsgType::Type MessageType);
} // namespace UE::StandIn
