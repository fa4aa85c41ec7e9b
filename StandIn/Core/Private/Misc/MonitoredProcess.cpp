#include "Misc/MonitoredProcess.h"

#include "HAL/PlatformTime.h"
#include "StandIn/ChildProcess.h"
#include "StandIn/ProcessArguments.h"

#include <cerrno>
#include <chrono>
#include <mutex>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
	std::mutex GNextEnvironmentMutex;
	TMap<FString, FString> GNextEnvironment;

	TMap<FString, FString> TakeNextEnvironment()
	{
		std::lock_guard<std::mutex> Lock(GNextEnvironmentMutex);
		TMap<FString, FString> Taken = MoveTemp(GNextEnvironment);
		GNextEnvironment = TMap<FString, FString>();
		return Taken;
	}
} // namespace

namespace UE::StandIn
{
	void SetNextChildProcessEnvironment(TMap<FString, FString> Variables)
	{
		std::lock_guard<std::mutex> Lock(GNextEnvironmentMutex);
		GNextEnvironment = MoveTemp(Variables);
	}
} // namespace UE::StandIn

FMonitoredProcess::FMonitoredProcess(const FString& InURL, const FString& InParams, bool /*InHidden*/, bool InCreatePipes)
    : URL(InURL)
    , Params(InParams)
    , bCreatePipes(InCreatePipes)
{
}

FMonitoredProcess::~FMonitoredProcess()
{
	if (bIsRunning)
	{
		Cancel(true);
	}
	if (Thread.joinable())
	{
		Thread.join();
	}
}

bool FMonitoredProcess::Launch()
{
	if (bIsRunning || ProcessId > 0)
	{
		return false;
	}

	UE::StandIn::FChildProcessOptions Options;
	Options.SetVariables = TakeNextEnvironment();
	Options.bCaptureOutput = bCreatePipes;
	// A group of its own, so that a canceled tree goes as a whole.
	Options.bOwnProcessGroup = true;
	UE::StandIn::FChildProcess Child;
	FString Error;
	if (!UE::StandIn::StartChildProcess(URL, UE::StandIn::SplitProcessArguments(Params), Options, Child, Error))
	{
		return false;
	}

	ProcessId = Child.ProcessId;
	OutputFd = Child.OutputFd;
	StartSeconds = FPlatformTime::Seconds();
	bIsRunning = true;
	Thread = std::thread([this]() {
		Monitor();
	});
	return true;
}

void FMonitoredProcess::Monitor()
{
	std::string Pending;
	const auto PassOnLines = [this, &Pending](bool bFlushPartial) {
		size_t Start = 0;
		for (size_t End = Pending.find('\n'); End != std::string::npos; End = Pending.find('\n', Start))
		{
			const size_t LineEnd = End > Start && Pending[End - 1] == '\r' ? End - 1 : End;
			OutputDelegate.ExecuteIfBound(FString::FromUtf8(std::string_view(Pending).substr(Start, LineEnd - Start)));
			Start = End + 1;
		}
		Pending.erase(0, Start);
		if (bFlushPartial && !Pending.empty())
		{
			OutputDelegate.ExecuteIfBound(FString::FromUtf8(Pending));
			Pending.clear();
		}
	};

	// The output ends when the process and everything it started have closed it, or when it is killed.
	if (OutputFd >= 0)
	{
		char Buffer[4096];
		for (;;)
		{
			const ssize_t Count = read(OutputFd, Buffer, sizeof(Buffer));
			if (Count > 0)
			{
				Pending.append(Buffer, static_cast<size_t>(Count));
				PassOnLines(false);
			}
			else if (Count < 0 && errno == EINTR)
			{
				continue;
			}
			else
			{
				break;
			}
		}
		PassOnLines(true);
		close(OutputFd);
		OutputFd = -1;
	}

	// Waited for without reaping, so that the id stays taken until Cancel can no longer use it.
	siginfo_t Info = {};
	while (waitid(P_PID, static_cast<id_t>(ProcessId), &Info, WEXITED | WNOWAIT) == -1 && errno == EINTR)
	{
	}
	std::lock_guard<std::mutex> Lock(ReapMutex);
	int Status = 0;
	while (waitpid(ProcessId, &Status, 0) == -1 && errno == EINTR)
	{
	}
	ReturnCode = !bCanceling && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
	EndSeconds = FPlatformTime::Seconds();
	bIsRunning = false;
}

void FMonitoredProcess::Cancel(bool InKillTree)
{
	std::lock_guard<std::mutex> Lock(ReapMutex);
	if (!bIsRunning || bCanceling.exchange(true))
	{
		return;
	}
	if (InKillTree)
	{
		killpg(ProcessId, SIGKILL);
	}
	else
	{
		kill(ProcessId, SIGKILL);
	}
}

bool FMonitoredProcess::IsRunning() const
{
	return bIsRunning;
}

int32 FMonitoredProcess::GetReturnCode() const
{
	return bIsRunning ? -1 : ReturnCode.load();
}

FTimespan FMonitoredProcess::GetDuration() const
{
	if (StartSeconds == 0.0)
	{
		return FTimespan::Zero();
	}
	const double End = bIsRunning ? FPlatformTime::Seconds() : EndSeconds.load();
	return FTimespan::FromSeconds(End - StartSeconds);
}
