#include "UatTask.h"

#include "StandIn/ProcessArguments.h"
#include "UATHelperLog.h"

#include "Framework/Notifications/NotificationManager.h"
#include "Internationalization/Internationalization.h"
#include "Widgets/Notifications/SNotificationList.h"

#include <mutex>
#include <thread>
#include <vector>

#define LOCTEXT_NAMESPACE "UATHelper"

namespace UE::UATHelper
{
	namespace
	{
		UE::StandIn::FUatTaskObserver& GetObserverStorage()
		{
			static UE::StandIn::FUatTaskObserver Observer;
			return Observer;
		}

		// How long a finished task's notification stays before it fades out.
		constexpr float FinishedNotificationExpireSeconds = 5.0f;

		/** The result callbacks made from worker threads; every thread is joined before the module or program goes away. */
		class FCallbackThreads
		{
		public:
			~FCallbackThreads() { JoinAll(); }

			void Start(TFunction<void()> Call)
			{
				std::lock_guard<std::mutex> Lock(Mutex);
				Threads.emplace_back([Call = MoveTemp(Call)]() {
					Call();
				});
			}

			void JoinAll()
			{
				// Joined outside the lock, so that a callback may start another task while it is waited for.
				std::vector<std::thread> Joining;
				{
					std::lock_guard<std::mutex> Lock(Mutex);
					Joining.swap(Threads);
				}
				for (std::thread& Thread : Joining)
				{
					Thread.join();
				}
			}

		private:
			std::mutex Mutex;
			std::vector<std::thread> Threads;
		};

		FCallbackThreads& GetCallbackThreads()
		{
			static FCallbackThreads Threads;
			return Threads;
		}
	} // namespace

	const UE::StandIn::FUatTaskObserver& GetUatTaskObserver()
	{
		return GetObserverStorage();
	}

	void WaitForCallbackThreads()
	{
		GetCallbackThreads().JoinAll();
	}

	FUatTask::FUatTask(UE::StandIn::FUatTaskRequest InRequest, IUATHelperModule::UatTaskResultCallack InResultCallback)
	    : Request(MoveTemp(InRequest))
	    , ResultCallback(MoveTemp(InResultCallback))
	    , StartTime(std::chrono::steady_clock::now())
	{
	}

	FUatTask::~FUatTask() = default;

	void FUatTask::Launch(const FString& Program)
	{
		FNotificationInfo Info(FText::Format(LOCTEXT("TaskRunning", "{0} for {1}..."), Request.TaskName, Request.PlatformDisplayName));
		Info.Image = Request.TaskIcon;
		Info.bFireAndForget = false;
		Info.ExpireDuration = FinishedNotificationExpireSeconds;
		Info.SubText = MakeSubText();
		const TWeakPtr<FUatTask> WeakSelf = AsShared();
		Info.ButtonDetails.Add(FNotificationButtonInfo(LOCTEXT("CancelTask", "Cancel"), LOCTEXT("CancelTaskToolTip", "Stops the automation tool."),
		                                               FSimpleDelegate::CreateLambda([WeakSelf]() {
			                                               if (const TSharedPtr<FUatTask> Task = WeakSelf.Pin())
			                                               {
				                                               Task->Cancel();
			                                               }
		                                               }),
		                                               SNotificationItem::CS_Pending));
		Notification = FSlateNotificationManager::Get().AddNotification(Info);
		// The task lives in its notification: where none can be shown (a commandlet has no Slate application), nothing
		// is started and nobody is called back. The engine's documentation does not say what its helper does there;
		// this is the reading under which a caller must not rely on it.
		if (!Notification.IsValid())
		{
			return;
		}
		Notification->SetCompletionState(SNotificationItem::CS_Pending);

		const TArray<FString> Arguments = UE::StandIn::SplitProcessArguments(Request.CommandLine);
		UE_LOG(LogUATHelper, Log, TEXT("Running UAT: %s %s"), *Program, *Request.CommandLine);
		FString Error;
		const UE::StandIn::FUatRunControl Control = TakeNextUatRunControl();
		bCallBackOnWorkerThread = Control.bCallBackOnWorkerThread;
		if (!Process.Start(Program, Arguments, Control, Error))
		{
			StartFailure = FString::Printf(TEXT("Could not start %s: %s"), *Program, *Error);
		}

		// The ticker holds the task until it has ended, so that the caller need not keep it.
		TSharedRef<FUatTask> Self = AsShared();
		TickerHandle = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateLambda([Self](float DeltaTime) {
			return Self->Tick(DeltaTime);
		}));
	}

	void FUatTask::Abandon()
	{
		if (bFinished)
		{
			return;
		}
		bFinished = true;
		Process.Terminate();
		UE_LOG(LogUATHelper, Warning, TEXT("UAT task '%s' was abandoned while running."), *Request.TaskName.ToString());
		FTSTicker::RemoveTicker(TickerHandle);
		if (Notification.IsValid())
		{
			Notification->SetCompletionState(SNotificationItem::CS_Fail);
			Notification->ExpireAndFadeout();
		}
	}

	void FUatTask::Cancel()
	{
		if (!bFinished)
		{
			bCanceled = true;
			Process.Kill();
		}
	}

	bool FUatTask::Tick(float /*DeltaTime*/)
	{
		if (bFinished)
		{
			return false;
		}
		if (!StartFailure.IsEmpty())
		{
			Finish(StartFailure);
			return false;
		}
		PassOnOutput();
		FString Result;
		if (!Process.HasEnded(Result))
		{
			return true;
		}
		PassOnOutput();
		Finish(bCanceled ? FString(TEXT("Canceled")) : Result);
		return false;
	}

	void FUatTask::PassOnOutput()
	{
		TArray<FString> Lines;
		Process.ReadLines(Lines);
		if (Lines.Num() == 0)
		{
			return;
		}
		for (const FString& Line : Lines)
		{
			UE_LOG(LogUATHelper, Log, TEXT("%s"), *Line);
			if (FirstOutputLine.IsEmpty())
			{
				FirstOutputLine = Line;
			}
			else if (!Line.IsEmpty())
			{
				LatestOutputLine = Line;
			}
		}
		if (Notification.IsValid())
		{
			Notification->SetSubText(MakeSubText());
		}
	}

	FText FUatTask::MakeSubText() const
	{
		TArray<FString> Lines;
		if (!FirstOutputLine.IsEmpty())
		{
			Lines.Add(FirstOutputLine);
		}
		if (!LatestOutputLine.IsEmpty())
		{
			Lines.Add(LatestOutputLine);
		}
		return FText::FromString(FString::Join(Lines, TEXT("\n")));
	}

	void FUatTask::Finish(const FString& Result)
	{
		bFinished = true;
		const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - StartTime).count();
		const bool bSucceeded = Result == TEXT("Completed");
		if (bSucceeded)
		{
			UE_LOG(LogUATHelper, Log, TEXT("UAT task '%s' completed in %.1f s."), *Request.TaskName.ToString(), Seconds);
		}
		else
		{
			UE_LOG(LogUATHelper, Warning, TEXT("UAT task '%s' failed after %.1f s: %s"), *Request.TaskName.ToString(), Seconds, *Result);
		}

		if (Notification.IsValid())
		{
			if (bSucceeded)
			{
				Notification->SetText(FText::Format(LOCTEXT("TaskCompleted", "{0} complete!"), Request.TaskShortName));
				FText SubText = MakeSubText();
				if (!Request.ResultLocation.IsEmpty())
				{
					SubText = FText::Format(LOCTEXT("TaskOutputIn", "{0}\nOutput: {1}"), SubText, FText::FromString(Request.ResultLocation));
				}
				Notification->SetSubText(SubText);
				Notification->SetCompletionState(SNotificationItem::CS_Success);
			}
			else
			{
				Notification->SetText(FText::Format(LOCTEXT("TaskFailed", "{0} failed: {1}"), Request.TaskShortName, FText::FromString(Result)));
				Notification->SetSubText(MakeSubText());
				Notification->SetCompletionState(SNotificationItem::CS_Fail);
			}
			Notification->ExpireAndFadeout();
		}

		const UE::StandIn::FUatTaskObserver& Observer = GetUatTaskObserver();
		if (Observer.OnTaskFinished)
		{
			Observer.OnTaskFinished(Request, Result, Seconds);
		}
		if (!ResultCallback)
		{
			return;
		}
		// Everything the call uses is its own, so the task may be gone before a worker thread makes it.
		TFunction<void()> Call = [Callback = MoveTemp(ResultCallback), Around = Observer.OnResultCallback, Request = Request, Result, Seconds]() {
			if (Around)
			{
				Around(Request, false);
			}
			Callback(Result, Seconds);
			if (Around)
			{
				Around(Request, true);
			}
		};
		if (bCallBackOnWorkerThread)
		{
			GetCallbackThreads().Start(MoveTemp(Call));
		}
		else
		{
			Call();
		}
	}
} // namespace UE::UATHelper

namespace UE::StandIn
{
	void SetUatTaskObserver(FUatTaskObserver Observer)
	{
		UE::UATHelper::GetObserverStorage() = MoveTemp(Observer);
	}
} // namespace UE::StandIn

#undef LOCTEXT_NAMESPACE
