// What both front ends let a person or a script do to the automation tool's next run, and to the host itself, so
// that every end of a packaging job can be tried, an editor's death during a cook included.
#pragma once

#include "CoreMinimal.h"
#include "StandIn/UatRunControl.h"

namespace UE::StandIn::EditorHost
{
	/** The exit code of a host told to crash: what a shell shows for a process killed by SIGKILL. */
	inline constexpr int32 CrashExitCode = 137;

	/**
	 * Applies Control to the next automation tool run only; a default control asks for a normal run.
	 * @return false with OutError, leaving the previous control in place, for an exit code outside 0 to 255 or an
	 *         exit code together with a crash
	 */
	bool ControlNextUatRun(const FUatRunControl& Control, FString& OutError);

	/** @return true when Name is one of the faults a mod's cook can be told to stage ("nothing", "empty-pak", ...). */
	bool IsStageFault(const FString& Name);

	/** Lets the oldest held run go on. @return false with OutError when no run is held. */
	bool ReleaseHeldRun(FString& OutError);

	/** @return how a person reads a control, for example "held until released, then exit code 3, without doing its work". */
	FString DescribeUatRunControl(const FUatRunControl& Control);

	/**
	 * Ends the process at once with CrashExitCode, as an editor that crashes or is killed: no module is shut down and
	 * nothing a module keeps in memory is written; only what is already written to standard output stays.
	 */
	[[noreturn]] void CrashHost();
} // namespace UE::StandIn::EditorHost
