// FMonitoredProcess: a real child process, its output read line by line and its end watched by a thread of its own.
#include "Containers/Map.h"
#include "CoreGlobals.h"
#include "HAL/CriticalSection.h"
#include "HAL/PlatformTime.h"
#include "Misc/MonitoredProcess.h"
#include "Misc/ScopeLock.h"
#include "StandIn/ProcessArguments.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
	bool WaitUntilEnded(const FMonitoredProcess& Process, double TimeoutSeconds = 20.0)
	{
		const double Deadline = FPlatformTime::Seconds() + TimeoutSeconds;
		while (Process.IsRunning() && FPlatformTime::Seconds() < Deadline)
		{
			std::this_thread::sleep_for(std::chrono::milliseconds(5));
		}
		return !Process.IsRunning();
	}

	struct FOutputLines
	{
		FCriticalSection Mutex;
		TArray<FString> Lines;
		bool bOnGameThread = false;
	};

	void Collect(FMonitoredProcess& Process, FOutputLines& Output)
	{
		Process.OnOutput().BindLambda([&Output](FString Line) {
			FScopeLock Lock(&Output.Mutex);
			Output.Lines.Add(Line);
			Output.bOnGameThread = Output.bOnGameThread || IsInGameThread();
		});
	}
} // namespace

TEST(MonitoredProcess, PassesEachLineOfBothStreamsOffTheGameThreadAndTheExitCode)
{
	FMonitoredProcess Process(TEXT("/bin/sh"), TEXT("-c \"echo one; echo two >&2; printf 'last without end'; exit 7\""), true);
	FOutputLines Output;
	Collect(Process, Output);
	EXPECT_EQ(Process.GetReturnCode(), -1);

	ASSERT_TRUE(Process.Launch());
	ASSERT_TRUE(WaitUntilEnded(Process));

	EXPECT_EQ(Process.GetReturnCode(), 7);
	EXPECT_EQ(Output.Lines, (TArray<FString>{TEXT("one"), TEXT("two"), TEXT("last without end")}));
	EXPECT_FALSE(Output.bOnGameThread);
	EXPECT_GE(Process.GetDuration().GetTotalSeconds(), 0.0);
}

TEST(MonitoredProcess, RefusesAProgramThatCannotStart)
{
	FMonitoredProcess Process(TEXT("/nonexistent/program"), FString(), true);
	EXPECT_FALSE(Process.Launch());
	EXPECT_FALSE(Process.IsRunning());
}

TEST(MonitoredProcess, CancelKillsTheWholeTreeAndReportsNoExitCode)
{
	// The shell waits for a child of its own, which must go too or the output would never end.
	FMonitoredProcess Process(TEXT("/bin/sh"), TEXT("-c \"sleep 30 & wait\""), true);
	ASSERT_TRUE(Process.Launch());
	Process.Cancel(true);
	ASSERT_TRUE(WaitUntilEnded(Process, 5.0));
	EXPECT_EQ(Process.GetReturnCode(), -1);
	EXPECT_LT(Process.GetDuration().GetTotalSeconds(), 5.0);
}

TEST(MonitoredProcess, GivesTheNextChildOnlyTheExtraEnvironment)
{
	TMap<FString, FString> Variables;
	Variables.Add(TEXT("TRL_MONITORED_TEST"), TEXT("a value with blanks"));
	UE::StandIn::SetNextChildProcessEnvironment(MoveTemp(Variables));

	const TCHAR* const Params = TEXT("-c \"echo [$TRL_MONITORED_TEST]\"");
	FMonitoredProcess First(TEXT("/bin/sh"), Params, true);
	FOutputLines FirstOutput;
	Collect(First, FirstOutput);
	ASSERT_TRUE(First.Launch());
	ASSERT_TRUE(WaitUntilEnded(First));

	FMonitoredProcess Second(TEXT("/bin/sh"), Params, true);
	FOutputLines SecondOutput;
	Collect(Second, SecondOutput);
	ASSERT_TRUE(Second.Launch());
	ASSERT_TRUE(WaitUntilEnded(Second));

	EXPECT_EQ(FirstOutput.Lines, (TArray<FString>{TEXT("[a value with blanks]")}));
	EXPECT_EQ(SecondOutput.Lines, (TArray<FString>{TEXT("[]")}));
}

TEST(MonitoredProcess, SplitsItsParametersAtBlanksOutsideQuotes)
{
	EXPECT_EQ(UE::StandIn::SplitProcessArguments(TEXT("  -a  -project=\"C:/My Game/G.uproject\"\t\"\" x")),
	          (TArray<FString>{TEXT("-a"), TEXT("-project=C:/My Game/G.uproject"), TEXT(""), TEXT("x")}));
}
