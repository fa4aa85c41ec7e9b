#include "UatProcess.h"

#include "UatRunControlProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace UE::UATHelper
{
	namespace
	{
		UE::StandIn::FUatRunControl& GetNextRunControl()
		{
			static UE::StandIn::FUatRunControl Control;
			return Control;
		}

		/** The held children, oldest first (game thread only). */
		std::vector<FUatProcess*>& GetHeldProcesses()
		{
			static std::vector<FUatProcess*> Held;
			return Held;
		}

		// The editor's environment without any control it inherited itself, plus this run's control.
		std::vector<std::string> MakeChildEnvironment(const UE::StandIn::FUatRunControl& Control)
		{
			std::vector<std::string> Environment;
			for (char** Variable = environ; *Variable != nullptr; ++Variable)
			{
				if (std::strncmp(*Variable, UatRunControlProtocol::VariablePrefix, std::strlen(UatRunControlProtocol::VariablePrefix)) != 0)
				{
					Environment.emplace_back(*Variable);
				}
			}
			if (Control.bHold)
			{
				Environment.push_back(std::string(UatRunControlProtocol::HoldFdVariable) + "=" + std::to_string(UatRunControlProtocol::HoldFdInTool));
			}
			if (Control.ExitCode.IsSet())
			{
				Environment.push_back(std::string(UatRunControlProtocol::ExitCodeVariable) + "=" + std::to_string(Control.ExitCode.GetValue()));
			}
			if (Control.bCrash)
			{
				Environment.push_back(std::string(UatRunControlProtocol::CrashVariable) + "=1");
			}
			return Environment;
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

	UE::StandIn::FUatRunControl TakeNextUatRunControl()
	{
		UE::StandIn::FUatRunControl Control = GetNextRunControl();
		GetNextRunControl() = UE::StandIn::FUatRunControl();
		return Control;
	}

	FUatProcess::~FUatProcess()
	{
		Terminate();
		ForgetHold();
		if (OutputFd >= 0)
		{
			close(OutputFd);
		}
	}

	bool FUatProcess::Start(const FString& Program, const TArray<FString>& Arguments, const UE::StandIn::FUatRunControl& Control, FString& OutError)
	{
		int Pipe[2];
		if (pipe2(Pipe, O_CLOEXEC) != 0)
		{
			OutError = FString(std::strerror(errno));
			return false;
		}
		// The hold socket's child end is moved above the standard descriptors, so that placing those cannot overwrite it.
		int HoldPair[2] = {-1, -1};
		int ChildHoldFd = -1;
		if (Control.bHold)
		{
			if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, HoldPair) != 0)
			{
				OutError = FString(std::strerror(errno));
				close(Pipe[0]);
				close(Pipe[1]);
				return false;
			}
			ChildHoldFd = fcntl(HoldPair[1], F_DUPFD_CLOEXEC, UatRunControlProtocol::HoldFdInTool + 1);
			const int DupError = errno;
			close(HoldPair[1]);
			if (ChildHoldFd < 0)
			{
				OutError = FString(std::strerror(DupError));
				close(HoldPair[0]);
				close(Pipe[0]);
				close(Pipe[1]);
				return false;
			}
		}

		std::vector<std::string> ArgumentStorage;
		ArgumentStorage.push_back(Program.ToUtf8());
		for (const FString& Argument : Arguments)
		{
			ArgumentStorage.push_back(Argument.ToUtf8());
		}
		std::vector<char*> ArgV = MakePointerArray(ArgumentStorage);
		std::vector<std::string> EnvironmentStorage = MakeChildEnvironment(Control);
		std::vector<char*> EnvP = MakePointerArray(EnvironmentStorage);

		// The child reads nothing and writes both streams into the pipe; dup2 clears close-on-exec on its copies.
		posix_spawn_file_actions_t Actions;
		posix_spawn_file_actions_init(&Actions);
		posix_spawn_file_actions_addopen(&Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
		posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
		posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDERR_FILENO);
		if (ChildHoldFd >= 0)
		{
			posix_spawn_file_actions_adddup2(&Actions, ChildHoldFd, UatRunControlProtocol::HoldFdInTool);
		}

		const int SpawnError = posix_spawn(&ChildId, ArgV[0], &Actions, nullptr, ArgV.data(), EnvP.data());
		posix_spawn_file_actions_destroy(&Actions);
		close(Pipe[1]);
		if (ChildHoldFd >= 0)
		{
			close(ChildHoldFd);
		}
		if (SpawnError != 0)
		{
			close(Pipe[0]);
			if (Control.bHold)
			{
				close(HoldPair[0]);
			}
			ChildId = -1;
			OutError = FString(std::strerror(SpawnError));
			return false;
		}

		OutputFd = Pipe[0];
		fcntl(OutputFd, F_SETFL, fcntl(OutputFd, F_GETFL) | O_NONBLOCK);
		if (Control.bHold)
		{
			HoldFd = HoldPair[0];
			GetHeldProcesses().push_back(this);
		}
		return true;
	}

	bool FUatProcess::ReleaseOldestHeld()
	{
		std::vector<FUatProcess*>& Held = GetHeldProcesses();
		while (!Held.empty())
		{
			FUatProcess* const Process = Held.front();
			// A child that has ended (even if not yet reaped) has closed its end: the write fails, without SIGPIPE.
			const char Release = 'R';
			const bool bReleased = send(Process->HoldFd, &Release, 1, MSG_NOSIGNAL) == 1;
			Process->ForgetHold();
			if (bReleased)
			{
				return true;
			}
		}
		return false;
	}

	void FUatProcess::ForgetHold()
	{
		if (HoldFd >= 0)
		{
			close(HoldFd);
			HoldFd = -1;
			std::vector<FUatProcess*>& Held = GetHeldProcesses();
			Held.erase(std::remove(Held.begin(), Held.end(), this), Held.end());
		}
	}

	void FUatProcess::ReadAvailable()
	{
		if (OutputFd < 0)
		{
			return;
		}
		char Buffer[4096];
		for (;;)
		{
			const ssize_t Count = read(OutputFd, Buffer, sizeof(Buffer));
			if (Count > 0)
			{
				Pending.append(Buffer, static_cast<size_t>(Count));
			}
			else if (Count < 0 && errno == EINTR)
			{
				continue;
			}
			else
			{
				// End of output (every writer has closed it) or nothing more for now.
				if (Count == 0)
				{
					close(OutputFd);
					OutputFd = -1;
				}
				return;
			}
		}
	}

	void FUatProcess::TakeLines(TArray<FString>& OutLines, bool bFlushPartial)
	{
		size_t Start = 0;
		for (size_t End = Pending.find('\n'); End != std::string::npos; End = Pending.find('\n', Start))
		{
			size_t LineEnd = End;
			if (LineEnd > Start && Pending[LineEnd - 1] == '\r')
			{
				--LineEnd;
			}
			OutLines.Add(FString::FromUtf8(std::string_view(Pending).substr(Start, LineEnd - Start)));
			Start = End + 1;
		}
		Pending.erase(0, Start);
		if (bFlushPartial && !Pending.empty())
		{
			OutLines.Add(FString::FromUtf8(Pending));
			Pending.clear();
		}
	}

	void FUatProcess::ReadLines(TArray<FString>& OutLines)
	{
		ReadAvailable();
		TakeLines(OutLines, bEnded);
	}

	bool FUatProcess::HasEnded(FString& OutResult)
	{
		if (ChildId <= 0)
		{
			return false;
		}
		int Status = 0;
		const pid_t Waited = waitpid(ChildId, &Status, WNOHANG);
		if (Waited == -1 && errno == ECHILD)
		{
			// Someone else reaped it: it has ended, but how is lost.
			bEnded = true;
			ForgetHold();
			OutResult = FString(TEXT("Failed (exit status lost)"));
			return true;
		}
		if (Waited != ChildId)
		{
			return false;
		}
		// Whatever the child wrote before it ended is already in the pipe.
		bEnded = true;
		ForgetHold();
		if (WIFEXITED(Status))
		{
			const int ExitCode = WEXITSTATUS(Status);
			OutResult = ExitCode == 0 ? FString(TEXT("Completed")) : FString(TEXT("Failed with exit code ")) + FString::FromInt(ExitCode);
		}
		else if (WIFSIGNALED(Status))
		{
			OutResult = FString(TEXT("Killed by signal ")) + FString::FromInt(WTERMSIG(Status));
		}
		else
		{
			OutResult = FString(TEXT("Failed"));
		}
		return true;
	}

	void FUatProcess::Terminate()
	{
		if (ChildId > 0 && !bEnded)
		{
			Kill();
			int Status = 0;
			while (waitpid(ChildId, &Status, 0) == -1 && errno == EINTR)
			{
			}
			bEnded = true;
		}
		ForgetHold();
	}

	void FUatProcess::Kill()
	{
		if (ChildId > 0 && !bEnded)
		{
			kill(ChildId, SIGKILL);
		}
	}
} // namespace UE::UATHelper

namespace UE::StandIn
{
	bool SetNextUatRun(const FUatRunControl& Control)
	{
		if (Control.ExitCode.IsSet() && (Control.bCrash || Control.ExitCode.GetValue() < 0 || Control.ExitCode.GetValue() > 255))
		{
			return false;
		}
		UE::UATHelper::GetNextRunControl() = Control;
		return true;
	}

	bool ReleaseHeldUatRun()
	{
		return UE::UATHelper::FUatProcess::ReleaseOldestHeld();
	}
} // namespace UE::StandIn
