// The automation tool's child process: started without a shell, its output read line by line without blocking.
#pragma once

#include "StandIn/UatRunControl.h"

#include "Containers/Array.h"
#include "Containers/UnrealString.h"

#include <string>
#include <sys/types.h>

namespace UE::UATHelper
{
	class FUatProcess
	{
	public:
		FUatProcess() = default;
		FUatProcess(const FUatProcess&) = delete;
		FUatProcess& operator=(const FUatProcess&) = delete;
		/** Kills and reaps a child that is still running, so that none outlives the editor. */
		~FUatProcess();

		/**
		 * Starts Program with Arguments; standard output and error both come back through ReadLines. Control reaches
		 * this child alone, through its environment and, for a hold, an inherited socket.
		 * @return false with OutError set when the program could not be started
		 */
		bool Start(const FString& Program, const TArray<FString>& Arguments, const UE::StandIn::FUatRunControl& Control, FString& OutError);

		/** Appends the complete lines written since the last call (and, once the child has ended, the last partial one). */
		void ReadLines(TArray<FString>& OutLines);

		/**
		 * @return true once the child has ended, with OutResult set: "Completed" for exit code 0, otherwise why it failed
		 */
		bool HasEnded(FString& OutResult);

		/** Ends the child at once (SIGKILL). */
		void Kill();

		/** Kills the child and waits until it is gone, so that no process outlives its task. */
		void Terminate();

		/** Releases the oldest held child that is still running. @return false when there is none */
		static bool ReleaseOldestHeld();

	private:
		void ReadAvailable();
		void TakeLines(TArray<FString>& OutLines, bool bFlushPartial);
		/** Closes the hold socket: the child is released, or has ended. */
		void ForgetHold();

		pid_t ChildId = -1;
		int OutputFd = -1;
		/** Our end of a held child's hold socket; one byte written to it releases the child. */
		int HoldFd = -1;
		bool bEnded = false;
		std::string Pending;
	};

	/** The control set for the next run, which is cleared by taking it. */
	UE::StandIn::FUatRunControl TakeNextUatRunControl();
} // namespace UE::UATHelper
