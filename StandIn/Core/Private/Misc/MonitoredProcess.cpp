#include "Misc/MonitoredProcess.h"

#include "HAL/PlatformTime.h"
#include "StandIn/ProcessArguments.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

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

	std::vector<char*> MakePointerArray(std::vector<std::string>& Strings)
	{
		std::vector<char*> Pointers;
		for (std::string& String : Strings)
		{
			Pointers.push_back(String.data());
		}
		Pointers.push_back(nullptr);
		return Pointers;
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

	std::vector<std::string> ArgumentStorage;
	ArgumentStorage.push_back(URL.ToUtf8());
	for (const FString& Argument : UE::StandIn::SplitProcessArguments(Params))
	{
		ArgumentStorage.push_back(Argument.ToUtf8());
	}
	std::vector<char*> ArgV = MakePointerArray(ArgumentStorage);

	const TMap<FString, FString> Extra = TakeNextEnvironment();
	std::vector<std::string> EnvironmentStorage;
	for (char** Variable = environ; *Variable != nullptr; ++Variable)
	{
		const std::string Entry(*Variable);
		const std::string Name = Entry.substr(0, Entry.find('='));
		if (!Extra.Contains(FString::FromUtf8(Name)))
		{
			EnvironmentStorage.push_back(Entry);
		}
	}
	for (const TPair<FString, FString>& Variable : Extra)
	{
		EnvironmentStorage.push_back(Variable.Key.ToUtf8() + "=" + Variable.Value.ToUtf8());
	}
	std::vector<char*> EnvP = MakePointerArray(EnvironmentStorage);

	int Pipe[2] = {-1, -1};
	if (bCreatePipes && pipe2(Pipe, O_CLOEXEC) != 0)
	{
		return false;
	}
	posix_spawn_file_actions_t Actions;
	posix_spawn_file_actions_init(&Actions);
	posix_spawn_file_actions_addopen(&Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
	if (bCreatePipes)
	{
		posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
		posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDERR_FILENO);
	}
	// A group of its own, so that a canceled tree goes as a whole.
	posix_spawnattr_t Attributes;
	posix_spawnattr_init(&Attributes);
	posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETPGROUP);
	posix_spawnattr_setpgroup(&Attributes, 0);

	pid_t Child = -1;
	const int SpawnError = posix_spawn(&Child, ArgV[0], &Actions, &Attributes, ArgV.data(), EnvP.data());
	posix_spawn_file_actions_destroy(&Actions);
	posix_spawnattr_destroy(&Attributes);
	if (bCreatePipes)
	{
		close(Pipe[1]);
	}
	if (SpawnError != 0)
	{
		if (bCreatePipes)
		{
			close(Pipe[0]);
		}
		return false;
	}

	ProcessId = Child;
	OutputFd = bCreatePipes ? Pipe[0] : -1;
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
