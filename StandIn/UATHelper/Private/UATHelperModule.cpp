#include "IUATHelperModule.h"

#include "UATHelperLog.h"
#include "UatTask.h"

#include "Misc/Paths.h"

DEFINE_LOG_CATEGORY(LogUATHelper);

namespace
{
	class FUATHelperModule final : public IUATHelperModule
	{
	public:
		void ShutdownModule() override
		{
			for (const TWeakPtr<UE::UATHelper::FUatTask>& Weak : Tasks)
			{
				if (const TSharedPtr<UE::UATHelper::FUatTask> Task = Weak.Pin())
				{
					Task->Abandon();
				}
			}
			Tasks.Empty();
			UE::UATHelper::WaitForCallbackThreads();
		}

		void CreateUatTask(const FString& CommandLine, const FText& PlatformDisplayName, const FText& TaskName, const FText& TaskShortName,
		                   const FSlateBrush* TaskIcon, const TArray<struct FAnalyticsEventAttribute>* OptionalAnalyticsParamArray,
		                   UatTaskResultCallack ResultCallback, const FString& ResultLocation) override
		{
			UE::StandIn::FUatTaskRequest Request;
			Request.TaskId = ++NumTasksCreated;
			Request.CommandLine = CommandLine;
			Request.PlatformDisplayName = PlatformDisplayName;
			Request.TaskName = TaskName;
			Request.TaskShortName = TaskShortName;
			Request.TaskIcon = TaskIcon;
			Request.OptionalAnalyticsParamArray = OptionalAnalyticsParamArray;
			Request.bHasResultCallback = static_cast<bool>(ResultCallback);
			Request.ResultLocation = ResultLocation;

			const UE::StandIn::FUatTaskObserver& Observer = UE::UATHelper::GetUatTaskObserver();
			if (Observer.OnTaskCreated)
			{
				Observer.OnTaskCreated(Request);
			}

			ForgetFinishedTasks();
			TSharedRef<UE::UATHelper::FUatTask> Task = MakeShared<UE::UATHelper::FUatTask>(MoveTemp(Request), MoveTemp(ResultCallback));
			Tasks.Add(Task);
			Task->Launch(GetRunUatPath());
		}

	private:
		static FString GetRunUatPath() { return FPaths::ConvertRelativePathToFull(FPaths::EngineDir() / TEXT("Build/BatchFiles/RunUAT.sh")); }

		void ForgetFinishedTasks()
		{
			for (int32 Index = Tasks.Num() - 1; Index >= 0; --Index)
			{
				if (!Tasks[Index].IsValid())
				{
					Tasks.RemoveAt(Index);
				}
			}
		}

		TArray<TWeakPtr<UE::UATHelper::FUatTask>> Tasks;
		int32 NumTasksCreated = 0;
	};
} // namespace

IMPLEMENT_MODULE(FUATHelperModule, UATHelper)
