#include "UatProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace UE::UATHelper
{
	FUatProcess::~FUatProcess()
	{
		Terminate();
		if (OutputFd >= 0)
		{
			close(OutputFd);
		}
	}

	bool FUatProcess::Start(const FString& Program, const TArray<FString>& Arguments, FString& OutError)
	{
		int Pipe[2];
		if (pipe2(Pipe, O_CLOEXEC) != 0)
		{
			OutError = FString(std::strerror(errno));
			return false;
		}

		std::vector<std::string> ArgumentStorage;
		ArgumentStorage.push_back(Program.ToUtf8());
		for (const FString& Argument : Arguments)
		{
			ArgumentStorage.push_back(Argument.ToUtf8());
		}
		std::vector<char*> ArgV;
		for (std::string& Argument : ArgumentStorage)
		{
			ArgV.push_back(Argument.data());
		}
		ArgV.push_back(nullptr);

		// The child reads nothing and writes both streams into the pipe; dup2 clears close-on-exec on its copies.
		posix_spawn_file_actions_t Actions;
		posix_spawn_file_actions_init(&Actions);
		posix_spawn_file_actions_addopen(&Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
		posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
		posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDERR_FILENO);

		const int SpawnError = posix_spawn(&ChildId, ArgV[0], &Actions, nullptr, ArgV.data(), environ);
		posix_spawn_file_actions_destroy(&Actions);
		close(Pipe[1]);
		if (SpawnError != 0)
		{
			close(Pipe[0]);
			ChildId = -1;
			OutError = FString(std::strerror(SpawnError));
			return false;
		}

		OutputFd = Pipe[0];
		fcntl(OutputFd, F_SETFL, fcntl(OutputFd, F_GETFL) | O_NONBLOCK);
		return true;
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
			OutResult = FString(TEXT("Failed (exit status lost)"));
			return true;
		}
		if (Waited != ChildId)
		{
			return false;
		}
		// Whatever the child wrote before it ended is already in the pipe.
		bEnded = true;
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
	}

	void FUatProcess::Kill()
	{
		if (ChildId > 0 && !bEnded)
		{
			kill(ChildId, SIGKILL);
		}
	}
} // namespace UE::UATHelper
