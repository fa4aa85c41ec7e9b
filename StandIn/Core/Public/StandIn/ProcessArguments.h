// Stand-in only: how a child process's parameter string becomes its arguments, and what else a host may give the
// next child. Not part of the engine's API: the engine does the first inside its process creation.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"

namespace UE::StandIn
{
	/**
	 * Blanks (spaces, tabs) separate arguments; double quotes group blanks into an argument and are removed,
	 * so -project="C:/My Game/My.uproject" is one argument without quotes. A quoted empty string is an argument.
	 */
	TArray<FString> SplitProcessArguments(const FString& Params);

	/**
	 * Adds these variables to the environment of the next child process that FMonitoredProcess launches, and of that
	 * one only; an empty map clears what was set. This is how a host steers a commandlet's run of a child program.
	 */
	void SetNextChildProcessEnvironment(TMap<FString, FString> Variables);
} // namespace UE::StandIn
