// The kinds of message box the platform shows, the answers it returns, and the platform's last system error.
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

/** What every platform answers; HAL/PlatformMisc.h names the running platform's as FPlatformMisc. */
struct FGenericPlatformMisc
{
	/** @return the code of the last system error on this thread (errno here); only meaningful right after a call failed. */
	static uint32 GetLastError();

	/**
	 * Writes the system's description of an error into OutBuffer, cut to fit BufferCount characters.
	 * @param Error the error code, or 0 for GetLastError()
	 * @return OutBuffer
	 */
	static const TCHAR* GetSystemErrorMessage(TCHAR* OutBuffer, int32 BufferCount, int32 Error);
};
