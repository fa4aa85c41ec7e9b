// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "IUATHelperModule.h"

/**
 * Runs UAT as a monitored child process, with no notification, and tells its end the way the UAT helper does. It is
 * for commandlets only: the helper's task lives in an editor notification, and a commandlet has no Slate application
 * to show one, so there the helper cannot be relied on to run the tool or to call back. One task runs at a time; it is
 * polled from the core ticker, which a commandlet pumps itself. Game thread only.
 */
class FTRLHeadlessUatTask
{
public:
	/**
	 * Starts RunUAT with CommandLine and returns at once. ResultCallback runs once, from a core ticker tick: with
	 * "Completed" when UAT exits with 0, otherwise with why it failed, and the seconds it ran.
	 */
	static void Launch(const FString& CommandLine, IUATHelperModule::UatTaskResultCallack ResultCallback);

	/** Kills the running task and its children; its end is told as "Canceled" on a later tick. @return false when none runs */
	static bool CancelRunning();

	/**
	 * Ends the running task for good, as the module that started it goes away: kills it and its children, waits until
	 * they are gone, and calls nobody back, since no tick would tell the end any more.
	 * @return false when none runs
	 */
	static bool Abandon();

	/** @return the engine's RunUAT script for this platform, absolute. */
	static FString GetRunUatPath();
};
