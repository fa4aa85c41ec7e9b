// Stand-in only: how the stand-in starts a child program, shared by FMonitoredProcess and the UAT helper's process.
// Not part of the engine's API.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"

namespace UE::StandIn
{
	/** What a child gets besides its arguments. It always reads nothing: its standard input is /dev/null. */
	struct FChildProcessOptions
	{
		/** Variables set in the child, replacing any of the same name that this program has. */
		TMap<FString, FString> SetVariables;
		/** This program's variables whose names start with this are not passed on; none when empty. */
		FString DropVariablesStartingWith;
		/** Whether the child's standard output and error go into one pipe, whose reading end the caller gets. */
		bool bCaptureOutput = true;
		/** Whether the child leads a process group of its own, so that its whole tree can be signalled at once. */
		bool bOwnProcessGroup = false;
		/** A descriptor of this program handed to the child as descriptor InheritedFdNumber (-1: none). */
		int InheritedFd = -1;
		int InheritedFdNumber = -1;
	};

	/** A started child: its process id, and the reading end of its output pipe (-1 when not captured). */
	struct FChildProcess
	{
		int32 ProcessId = -1;
		int OutputFd = -1;
	};

	/**
	 * Starts Program with Arguments as they are (no shell, no splitting). The descriptors it makes are close-on-exec
	 * in this program. @return false with the reason in OutError when the child cannot be started.
	 */
	bool StartChildProcess(const FString& Program, const TArray<FString>& Arguments, const FChildProcessOptions& Options, FChildProcess& OutChild,
	                       FString& OutError);
} // namespace UE::StandIn
