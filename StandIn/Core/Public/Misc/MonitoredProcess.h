// FMonitoredProcess: an external process whose output is read, and whose end is watched, by a thread of its own.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Misc/Timespan.h"

#include <atomic>
#include <mutex>
#include <thread>

/** Told, on the monitoring thread, each line the process writes (standard output and error alike, without its line end). */
DECLARE_DELEGATE_OneParam(FOnMonitoredProcessOutput, FString);

class FMonitoredProcess
{
public:
	/**
	 * @param InURL the executable to launch
	 * @param InParams its parameters as one string: blanks separate them, double quotes group and are removed
	 * @param InHidden whether its window is hidden (there is none here)
	 * @param InCreatePipes whether its output comes back through OnOutput
	 */
	FMonitoredProcess(const FString& InURL, const FString& InParams, bool InHidden, bool InCreatePipes = true);

	/** Kills a process still running (with its process tree) and waits for the monitoring thread. */
	virtual ~FMonitoredProcess();

	FMonitoredProcess(const FMonitoredProcess&) = delete;
	FMonitoredProcess& operator=(const FMonitoredProcess&) = delete;

	/** Starts the process and its monitoring thread. @return false when the process could not be started */
	virtual bool Launch();

	/** Asks the monitoring thread to kill the process; InKillTree kills the processes it started too. */
	void Cancel(bool InKillTree = false);

	/** @return true from a successful Launch until the process has ended and its output is read */
	bool IsRunning() const;

	/** @return the process's exit code once it has ended; -1 before, and for a process killed or canceled */
	int32 GetReturnCode() const;

	/** @return how long the process has run, or ran */
	FTimespan GetDuration() const;

	/** The delegate told each line of output; bind it before Launch. */
	FOnMonitoredProcessOutput& OnOutput() { return OutputDelegate; }

private:
	void Monitor();

	FString URL;
	FString Params;
	bool bCreatePipes;
	FOnMonitoredProcessOutput OutputDelegate;
	int32 ProcessId = -1;
	int OutputFd = -1;
	std::atomic<bool> bIsRunning = false;
	std::atomic<bool> bCanceling = false;
	std::atomic<int32> ReturnCode = -1;
	std::atomic<double> StartSeconds = 0.0;
	std::atomic<double> EndSeconds = 0.0;
	/** Held while the process is reaped, so that Cancel never signals an id that is free again. */
	std::mutex ReapMutex;
	std::thread Thread;
};
