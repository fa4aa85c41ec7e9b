// Stand-in only: chooses how the next run of the automation tool ends, so that every end of a UAT job can be tried.
// Not part of the engine's API.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/Optional.h"

namespace UE::StandIn
{
	/** How the next automation tool run ends; the default is a normal run. */
	struct FUatRunControl
	{
		/** The tool starts, prints its first lines, touches nothing and waits until ReleaseHeldUatRun. */
		bool bHold = false;
		/** The tool ends with this exit code (0 to 255) without doing the work, after any hold. */
		TOptional<int32> ExitCode;
		/** The tool is killed by a signal part-way, once its work has begun (a run refused before that ends as refused). */
		bool bCrash = false;
		/**
		 * The task's result callback comes from a worker thread of the helper's own instead of the game thread, as the
		 * engine's may; the task ends otherwise as it would. Goes with any of the others.
		 */
		bool bCallBackOnWorkerThread = false;
		/**
		 * A mod's cook finishes "Completed" but stages this fault: one of UatRunControlProtocol::StageFaults ("nothing",
		 * "empty-pak", "no-descriptor", "base-assets"); empty for a right staging. Goes with any of the others.
		 */
		FString StageFault;
	};

	/**
	 * Applies Control to the next run of the automation tool started by CreateUatTask, and to that run only;
	 * a default control clears what was set.
	 * @return false, leaving the previous control in place, when it asks for both an exit code and a crash, for an
	 *         exit code outside 0 to 255, or for a stage fault the protocol does not name
	 */
	UATHELPER_API bool SetNextUatRun(const FUatRunControl& Control);

	/**
	 * Lets the oldest held run go on with its work.
	 * @return false when no run is held (none was, it was released already, or its tool has ended)
	 */
	UATHELPER_API bool ReleaseHeldUatRun();
} // namespace UE::StandIn
