// FMessageDialog: asks the user a question in a modal message box and returns the button chosen.
#pragma once

#include "CoreTypes.h"
#include "GenericPlatform/GenericPlatformMisc.h"
#include "Internationalization/Text.h"
#include "Templates/Function.h"

/**
 * Modal message boxes. The editor host decides how a box is shown (a window, a terminal prompt, a scripted
 * answer); with nothing installed the program runs unattended: the message is logged and the default answer returned.
 */
struct FMessageDialog
{
	/** Shows a box titled "Message". @return the button chosen. */
	static EAppReturnType::Type Open(EAppMsgType::Type MessageType, const FText& Message);
	static EAppReturnType::Type Open(EAppMsgType::Type MessageType, const FText& Message, const FText& Title);
	static EAppReturnType::Type Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, const FText& Message);
	static EAppReturnType::Type Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, const FText& Message, const FText& Title);

	/** As Open; DefaultValue is the answer when nobody can be asked. */
	static EAppReturnType::Type Open(EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message);
	static EAppReturnType::Type Open(EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message, const FText& Title);
	static EAppReturnType::Type Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message);
	static EAppReturnType::Type Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message,
	                                 const FText& Title);

	/** Shows a message with an Ok button. */
	static void Debugf(const FText& Message);
};
