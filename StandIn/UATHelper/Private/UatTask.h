// One UAT task: the child process, its notification and its end, polled from the core ticker.
#pragma once

#include "IUATHelperModule.h"
#include "StandIn/UatTaskObserver.h"
#include "UatProcess.h"

#include "Containers/Ticker.h"
#include "Templates/SharedPointer.h"

#include <chrono>

class SNotificationItem;

namespace UE::UATHelper
{
	class FUatTask : public TSharedFromThis<FUatTask>
	{
	public:
		FUatTask(UE::StandIn::FUatTaskRequest InRequest, IUATHelperModule::UatTaskResultCallack InResultCallback);
		~FUatTask();

		/** Shows the notification, starts the tool and polls it from the core ticker until it has ended. */
		void Launch(const FString& Program);

		/** Ends a task still running when the module goes away: the tool is killed and nobody is called back. */
		void Abandon();

	private:
		/** The user's Cancel: the tool is killed and the task ends as "Canceled". */
		void Cancel();
		bool Tick(float DeltaTime);
		void PassOnOutput();
		void Finish(const FString& Result);
		FText MakeSubText() const;

		UE::StandIn::FUatTaskRequest Request;
		IUATHelperModule::UatTaskResultCallack ResultCallback;
		FUatProcess Process;
		TSharedPtr<SNotificationItem> Notification;
		FTSTicker::FDelegateHandle TickerHandle;
		std::chrono::steady_clock::time_point StartTime;
		/** Set when the tool could not be started; reported from the first tick, as any other end. */
		FString StartFailure;
		/** The tool's first line (it names the tool) and its latest, shown as the task's progress. */
		FString FirstOutputLine;
		FString LatestOutputLine;
		bool bFinished = false;
		bool bCanceled = false;
		/** Taken from the run control at launch: the result callback is made from a worker thread. */
		bool bCallBackOnWorkerThread = false;
	};
} // namespace UE::UATHelper

namespace UE::UATHelper
{
	/** The host's observer (stand-in only); empty functions when none is installed. */
	const UE::StandIn::FUatTaskObserver& GetUatTaskObserver();

	/** Waits for every result callback still running on a worker thread, so that none outlives the module. */
	void WaitForCallbackThreads();
} // namespace UE::UATHelper
