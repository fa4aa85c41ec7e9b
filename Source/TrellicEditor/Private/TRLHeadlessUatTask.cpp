// Copyright Trellic contributors. All Rights Reserved.

#include "TRLHeadlessUatTask.h"

#include "Containers/Ticker.h"
#include "HAL/PlatformProcess.h"
#include "HAL/PlatformTime.h"
#include "Misc/MonitoredProcess.h"
#include "Misc/Paths.h"
#include "Trellic.h"

namespace TRLHeadlessUatTask
{
	struct FRunningTask
	{
		TSharedPtr<FMonitoredProcess> Process;
		IUATHelperModule::UatTaskResultCallack ResultCallback;
		FString StartFailure;
		bool bCanceled = false;
	};

	TSharedPtr<FRunningTask> Running;
	FTSTicker::FDelegateHandle TickerHandle;

	// Long enough for a killed process tree to be reaped; a build machine is not held up past it.
	constexpr double AbandonWaitSeconds = 10.0;

	// Polled rather than told: the process's own delegates run on its monitoring thread, and the end must be handled
	// on the game thread, where the packager's state lives.
	bool Tick(float /*DeltaTime*/)
	{
		const TSharedPtr<FRunningTask> Task = Running;
		if (!Task.IsValid())
		{
			return false;
		}
		FString Result;
		double Seconds = 0.0;
		if (!Task->StartFailure.IsEmpty())
		{
			Result = Task->StartFailure;
		}
		else if (Task->Process->IsRunning())
		{
			return true;
		}
		else
		{
			const int32 ReturnCode = Task->Process->GetReturnCode();
			Seconds = Task->Process->GetDuration().GetTotalSeconds();
			if (Task->bCanceled)
			{
				Result = TEXT("Canceled");
			}
			else
			{
				Result = ReturnCode == 0    ? FString(TEXT("Completed"))
				         : ReturnCode == -1 ? FString(TEXT("Failed (UAT was killed before it could exit)"))
				                            : FString::Printf(TEXT("Failed (exit code %d)"), ReturnCode);
			}
		}
		// Taken down before the callback, which may start the next task.
		Running.Reset();
		TickerHandle.Reset();
		if (Task->ResultCallback)
		{
			Task->ResultCallback(Result, Seconds);
		}
		return false;
	}
} // namespace TRLHeadlessUatTask

FString FTRLHeadlessUatTask::GetRunUatPath()
{
#if PLATFORM_WINDOWS
	const TCHAR* const Script = TEXT("Build/BatchFiles/RunUAT.bat");
#else
	const TCHAR* const Script = TEXT("Build/BatchFiles/RunUAT.sh");
#endif
	return FPaths::ConvertRelativePathToFull(FPaths::EngineDir() / Script);
}

void FTRLHeadlessUatTask::Launch(const FString& CommandLine, IUATHelperModule::UatTaskResultCallack ResultCallback)
{
	using namespace TRLHeadlessUatTask;
	const FString RunUat = GetRunUatPath();
#if PLATFORM_WINDOWS
	// A batch file runs through the command interpreter.
	const TSharedRef<FMonitoredProcess> Process =
	    MakeShared<FMonitoredProcess>(TEXT("cmd.exe"), FString::Printf(TEXT("/c \"\"%s\" %s\""), *RunUat, *CommandLine), true);
#else
	const TSharedRef<FMonitoredProcess> Process = MakeShared<FMonitoredProcess>(RunUat, CommandLine, true);
#endif
	// The tool's own lines are the job's record on a build machine, where no notification shows them.
	Process->OnOutput().BindLambda([](FString Line) {
		UE_LOG(LogTrellic, Log, TEXT("UAT: %s"), *Line);
	});

	const TSharedRef<FRunningTask> Task = MakeShared<FRunningTask>();
	Task->Process = Process;
	Task->ResultCallback = MoveTemp(ResultCallback);
	UE_LOG(LogTrellic, Log, TEXT("Running %s as a child process: a commandlet has no notifications for the editor's UAT helper."), *RunUat);
	if (!Process->Launch())
	{
		Task->StartFailure = FString::Printf(TEXT("Could not start %s"), *RunUat);
	}
	Running = Task;
	// The end is told from a tick even when the start failed, as the helper tells every end.
	TickerHandle = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateStatic(&TRLHeadlessUatTask::Tick), 0.0f);
}

bool FTRLHeadlessUatTask::CancelRunning()
{
	using namespace TRLHeadlessUatTask;
	if (!Running.IsValid() || !Running->StartFailure.IsEmpty())
	{
		return false;
	}
	Running->bCanceled = true;
	Running->Process->Cancel(true);
	return true;
}

bool FTRLHeadlessUatTask::Abandon()
{
	using namespace TRLHeadlessUatTask;
	if (!Running.IsValid())
	{
		return false;
	}
	const TSharedPtr<FRunningTask> Task = MoveTemp(Running);
	FTSTicker::RemoveTicker(TickerHandle);
	TickerHandle.Reset();
	if (Task->StartFailure.IsEmpty())
	{
		Task->Process->Cancel(true);
		const double Deadline = FPlatformTime::Seconds() + AbandonWaitSeconds;
		while (Task->Process->IsRunning() && FPlatformTime::Seconds() < Deadline)
		{
			FPlatformProcess::Sleep(0.01f);
		}
	}
	return true;
}
