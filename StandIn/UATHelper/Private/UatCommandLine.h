// Splits a UAT command line into arguments the way the automation tool splits its own.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"

namespace UE::UATHelper
{
	/**
	 * Blanks (spaces, tabs) separate arguments; double quotes group blanks into an argument and are removed,
	 * so -project="C:/My Game/My.uproject" is one argument without quotes. A quoted empty string is an argument.
	 */
	TArray<FString> SplitCommandLine(const FString& CommandLine);
} // namespace UE::UATHelper
