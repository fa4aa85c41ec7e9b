#include "HAL/PlatformMisc.h"

#include "Containers/UnrealString.h"

#include <cerrno>
#include <cstring>

uint32 FGenericPlatformMisc::GetLastError()
{
	return static_cast<uint32>(errno);
}

const TCHAR* FGenericPlatformMisc::GetSystemErrorMessage(TCHAR* OutBuffer, int32 BufferCount, int32 Error)
{
	if (!OutBuffer || BufferCount <= 0)
	{
		return OutBuffer;
	}
	const int Code = Error == 0 ? errno : Error;
	char Message[256];
	// The GNU strerror_r, which may answer with a text of its own instead of filling the buffer.
	const char* Text = strerror_r(Code, Message, sizeof(Message));
	const FString Converted = FString::FromUtf8(Text);
	const int32 Count = Converted.Len() < BufferCount ? Converted.Len() : BufferCount - 1;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		OutBuffer[Index] = Converted[Index];
	}
	OutBuffer[Count] = TEXT('\0');
	return OutBuffer;
}
