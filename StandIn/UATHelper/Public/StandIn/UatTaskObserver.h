// Stand-in only: lets the host see every UAT task that is asked for and how it ended. Not part of the engine's API.
#pragma once

#include "Containers/UnrealString.h"
#include "Internationalization/Text.h"
#include "Templates/Function.h"

struct FSlateBrush;

namespace UE::StandIn
{
	/** Every argument given to IUATHelperModule::CreateUatTask, numbered in the order the tasks were asked for. */
	struct FUatTaskRequest
	{
		int32 TaskId = 0;
		FString CommandLine;
		FText PlatformDisplayName;
		FText TaskName;
		FText TaskShortName;
		const FSlateBrush* TaskIcon = nullptr;
		/** The analytics array pointer as it was passed (never read). */
		const void* OptionalAnalyticsParamArray = nullptr;
		bool bHasResultCallback = false;
		FString ResultLocation;
	};

	/** Called on the game thread unless said otherwise; any function may be left unset. */
	struct FUatTaskObserver
	{
		/** When CreateUatTask is called, before the tool starts. */
		TFunction<void(const FUatTaskRequest&)> OnTaskCreated;
		/** When the task has ended, just before its result callback, with the same result text and seconds. */
		TFunction<void(const FUatTaskRequest&, const FString& Result, double Seconds)> OnTaskFinished;
		/**
		 * Just before the task's result callback runs, and again once it has returned (bReturned), on the thread that
		 * runs it: the game thread, or a worker thread of the helper's own for a run told to call back from one. The
		 * observer in place when the task ended is the one told.
		 */
		TFunction<void(const FUatTaskRequest&, bool bReturned)> OnResultCallback;
	};

	/** Installs the observer (replacing any other); an empty observer removes it. The game thread installs it. */
	UATHELPER_API void SetUatTaskObserver(FUatTaskObserver Observer);
} // namespace UE::StandIn
