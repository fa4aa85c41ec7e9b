#include "Misc/CommandLine.h"

#include "Containers/UnrealString.h"

namespace
{
	FString& GetCommandLineStorage()
	{
		static FString CommandLine;
		return CommandLine;
	}
} // namespace

const TCHAR* FCommandLine::Get()
{
	return *GetCommandLineStorage();
}

bool FCommandLine::Set(const TCHAR* NewCommandLine)
{
	if (NewCommandLine == nullptr)
	{
		return false;
	}
	GetCommandLineStorage() = NewCommandLine;
	return true;
}
