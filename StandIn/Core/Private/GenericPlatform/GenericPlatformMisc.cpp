#include "GenericPlatform/GenericPlatformMisc.h"

#include "Containers/UnrealString.h"

#include <algorithm>
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
	const int32 Code = Error == 0 ? static_cast<int32>(GetLastError()) : Error;
	// The GNU strerror_r, which returns the message (its own or one written into Utf8).
	char Utf8[256];
	const FString Message = FString::FromUtf8(strerror_r(Code, Utf8, sizeof(Utf8)));
	const int32 Length = std::min(Message.Len(), BufferCount - 1);
	std::copy_n(*Message, Length, OutBuffer);
	OutBuffer[Length] = TEXT('\0');
	return OutBuffer;
}
