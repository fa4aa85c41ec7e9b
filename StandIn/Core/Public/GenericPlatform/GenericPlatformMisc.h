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

/** What the platform tells about itself beyond files and processes: here, why the last system call failed. */
struct FGenericPlatformMisc
{
	/** @return the error code the last failed system call of this thread left (errno on this platform). */
	static uint32 GetLastError();

	/**
	 * The system's own text for an error code, such as "No space left on device".
	 * @param OutBuffer receives the text, cut to fit and always terminated
	 * @param BufferCount the buffer's size in characters
	 * @param Error the code; 0 for the one GetLastError() answers
	 * @return OutBuffer
	 */
	static const TCHAR* GetSystemErrorMessage(TCHAR* OutBuffer, int32 BufferCount, int32 Error);
};
