// The kinds of message box the platform shows, and the answers it returns.
#pragma once

#include "CoreTypes.h"

namespace EAppMsgType
{
	/** Which buttons a message box offers. */
	enum Type
	{
		Ok,
		YesNo,
		OkCancel,
		YesNoCancel,
		CancelRetryContinue,
		YesNoYesAllNoAll,
		YesNoYesAllNoAllCancel,
		YesNoYesAll,
	};
} // namespace EAppMsgType

namespace EAppReturnType
{
	/** The button the user chose. */
	enum Type
	{
		No,
		Yes,
		YesAll,
		NoAll,
		Cancel,
		Ok,
		Retry,
		Continue,
	};
} // namespace EAppReturnType

/** What a message is about; chooses the dialog's icon. */
enum class EAppMsgCategory : uint8
{
	Warning,
	Error,
	Success,
	Info,
};

/** @return the name of a message box type ("YesNo", ...). */
const TCHAR* LexToString(EAppMsgType::Type MessageType);

/** @return the name of an answer ("Yes", "Cancel", ...). */
const TCHAR* LexToString(EAppReturnType::Type ReturnType);
