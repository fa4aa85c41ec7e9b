#include "HAL/PlatformProcess.h"

#include "Containers/UnrealString.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace
{
	FString FindExecutableFolder()
	{
		char Buffer[PATH_MAX];
		const ssize_t Length = readlink("/proc/self/exe", Buffer, sizeof(Buffer) - 1);
		if (Length <= 0)
		{
			// Without /proc the working folder is the best guess left.
			return getcwd(Buffer, sizeof(Buffer)) ? FString::FromUtf8(Buffer) + TEXT("/") : FString(TEXT("/"));
		}
		const std::string Executable(Buffer, static_cast<size_t>(Length));
		return FString::FromUtf8(Executable.substr(0, Executable.rfind('/') + 1));
	}
} // namespace

const TCHAR* FPlatformProcess::BaseDir()
{
	static const FString Folder = FindExecutableFolder();
	return *Folder;
}

const TCHAR* FPlatformProcess::UserTempDir()
{
	static const FString Folder = [] {
		const char* FromEnvironment = std::getenv("TMPDIR");
		return FromEnvironment && *FromEnvironment ? FString::FromUtf8(FromEnvironment) : FString(TEXT("/tmp"));
	}();
	return *Folder;
}

void FPlatformProcess::Sleep(float Seconds)
{
	if (Seconds > 0.0f)
	{
		std::this_thread::sleep_for(std::chrono::duration<float>(Seconds));
	}
	else
	{
		std::this_thread::yield();
	}
}

uint32 FPlatformProcess::GetCurrentProcessId()
{
	return static_cast<uint32>(getpid());
}
