#include "StandIn/ChildProcess.h"

#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
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

	std::vector<std::string> MakeChildEnvironment(const UE::StandIn::FChildProcessOptions& Options)
	{
		const std::string DropPrefix = Options.DropVariablesStartingWith.ToUtf8();
		std::vector<std::string> Environment;
		for (char** Variable = environ; *Variable != nullptr; ++Variable)
		{
			const std::string Entry(*Variable);
			const std::string Name = Entry.substr(0, Entry.find('='));
			const bool bDropped = !DropPrefix.empty() && Name.compare(0, DropPrefix.size(), DropPrefix) == 0;
			if (!bDropped && !Options.SetVariables.Contains(FString::FromUtf8(Name)))
			{
				Environment.push_back(Entry);
			}
		}
		for (const TPair<FString, FString>& Variable : Options.SetVariables)
		{
			Environment.push_back(Variable.Key.ToUtf8() + "=" + Variable.Value.ToUtf8());
		}
		return Environment;
	}
} // namespace

namespace UE::StandIn
{
	bool StartChildProcess(const FString& Program, const TArray<FString>& Arguments, const FChildProcessOptions& Options, FChildProcess& OutChild,
	                       FString& OutError)
	{
		std::vector<std::string> ArgumentStorage;
		ArgumentStorage.push_back(Program.ToUtf8());
		for (const FString& Argument : Arguments)
		{
			ArgumentStorage.push_back(Argument.ToUtf8());
		}
		std::vector<char*> ArgV = MakePointerArray(ArgumentStorage);
		std::vector<std::string> EnvironmentStorage = MakeChildEnvironment(Options);
		std::vector<char*> EnvP = MakePointerArray(EnvironmentStorage);

		int Pipe[2] = {-1, -1};
		if (Options.bCaptureOutput && pipe2(Pipe, O_CLOEXEC) != 0)
		{
			OutError = FString(std::strerror(errno));
			return false;
		}
		// dup2 clears close-on-exec on the child's copies only.
		posix_spawn_file_actions_t Actions;
		posix_spawn_file_actions_init(&Actions);
		posix_spawn_file_actions_addopen(&Actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
		if (Options.bCaptureOutput)
		{
			posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
			posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDERR_FILENO);
		}
		if (Options.InheritedFd >= 0)
		{
			posix_spawn_file_actions_adddup2(&Actions, Options.InheritedFd, Options.InheritedFdNumber);
		}
		posix_spawnattr_t Attributes;
		posix_spawnattr_init(&Attributes);
		if (Options.bOwnProcessGroup)
		{
			posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETPGROUP);
			posix_spawnattr_setpgroup(&Attributes, 0);
		}

		pid_t Child = -1;
		const int SpawnError = posix_spawn(&Child, ArgV[0], &Actions, &Attributes, ArgV.data(), EnvP.data());
		posix_spawn_file_actions_destroy(&Actions);
		posix_spawnattr_destroy(&Attributes);
		if (Options.bCaptureOutput)
		{
			close(Pipe[1]);
		}
		if (SpawnError != 0)
		{
			if (Options.bCaptureOutput)
			{
				close(Pipe[0]);
			}
			OutError = FString(std::strerror(SpawnError));
			return false;
		}
		OutChild.ProcessId = static_cast<int32>(Child);
		OutChild.OutputFd = Options.bCaptureOutput ? Pipe[0] : -1;
		return true;
	}
} // namespace UE::StandIn
