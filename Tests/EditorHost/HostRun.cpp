#include "HostRun.h"

#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
	std::string Quote(const std::string& Argument)
	{
		std::string Quoted = "'";
		for (const char Char : Argument)
		{
			Quoted += Char == '\'' ? std::string("'\\''") : std::string(1, Char);
		}
		return Quoted + "'";
	}
} // namespace

TArray<TSharedPtr<FJsonObject>> FHostRun::Replies() const
{
	return Lines.FilterByPredicate([](const TSharedPtr<FJsonObject>& Line) {
		return Line.IsValid() && Line->HasField(TEXT("reply"));
	});
}

TArray<TSharedPtr<FJsonObject>> FHostRun::Events(const FString& Name) const
{
	return Lines.FilterByPredicate([&Name](const TSharedPtr<FJsonObject>& Line) {
		FString Event;
		return Line.IsValid() && Line->TryGetStringField(TEXT("event"), Event) && Event.Equals(Name);
	});
}

int32 FHostRun::IndexOfReply(const FString& Command, int32 Start) const
{
	for (int32 Index = Start; Index < Lines.Num(); ++Index)
	{
		FString Reply;
		if (Lines[Index].IsValid() && Lines[Index]->TryGetStringField(TEXT("reply"), Reply) && Reply.Equals(Command))
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

FHostSandbox::FHostSandbox()
{
	std::string Pattern = (std::filesystem::temp_directory_path() / "trellic-host-XXXXXX").string();
	Root = mkdtemp(Pattern.data()) ? Pattern : std::string();
}

FHostSandbox::~FHostSandbox()
{
	std::error_code Ignored;
	std::filesystem::remove_all(Root, Ignored);
}

std::vector<std::string> FHostSandbox::NextProjectArguments() const
{
	const std::string ProjectFile = GetProjectFolder() + "/DemoGame.uproject";
	if (std::filesystem::exists(ProjectFile))
	{
		return {"--project", ProjectFile};
	}
	return {"--copy-to", GetProjectFolder()};
}

FHostRun FHostSandbox::Run(const std::vector<std::string>& Requests, const std::vector<std::string>& ExtraArguments) const
{
	std::vector<std::string> Arguments = NextProjectArguments();
	Arguments.insert(Arguments.end(), ExtraArguments.begin(), ExtraArguments.end());
	return RunWithArguments(Requests, Arguments);
}

FHostRun FHostSandbox::RunWithArguments(const std::vector<std::string>& Requests, const std::vector<std::string>& Arguments) const
{
	const std::string ScriptPath = Root + "/script-" + std::to_string(RunCount + 1) + ".jsonl";
	{
		std::ofstream Script(ScriptPath, std::ios::binary);
		for (const std::string& Request : Requests)
		{
			Script << Request << '\n';
		}
	}
	std::string Command = Quote(TRL_EDITOR_HOST) + " --script " + Quote(ScriptPath);
	for (const std::string& Argument : Arguments)
	{
		Command += " " + Quote(Argument);
	}
	return RunHostCommand(Command);
}

FHostRun FHostSandbox::RunCommandlet(const std::string& Commandlet, const std::vector<std::string>& Arguments) const
{
	std::vector<std::string> All = NextProjectArguments();
	All.push_back("-run=" + Commandlet);
	All.insert(All.end(), Arguments.begin(), Arguments.end());
	return RunProgram(All);
}

FHostRun FHostSandbox::RunProgram(const std::vector<std::string>& Arguments) const
{
	std::string Command = Quote(TRL_EDITOR_HOST);
	for (const std::string& Argument : Arguments)
	{
		Command += " " + Quote(Argument);
	}
	return RunHostCommand(Command);
}

FHostRun FHostSandbox::RunInteractive(const std::string& Typed) const
{
	const std::string InputPath = Root + "/typed-" + std::to_string(RunCount + 1) + ".txt";
	std::ofstream(InputPath, std::ios::binary) << Typed;
	std::string Command = Quote(TRL_EDITOR_HOST);
	for (const std::string& Argument : NextProjectArguments())
	{
		Command += " " + Quote(Argument);
	}
	return RunHostCommand(Command + " <" + Quote(InputPath));
}

FHostRun FHostSandbox::RunHostCommand(std::string Command) const
{
	const std::string StdErrPath = Root + "/stderr-" + std::to_string(++RunCount) + ".txt";
	Command += " 2>" + Quote(StdErrPath);

	FHostRun Result;
	if (FILE* Pipe = popen(Command.c_str(), "r"))
	{
		char Buffer[4096];
		size_t Read = 0;
		while ((Read = fread(Buffer, 1, sizeof(Buffer), Pipe)) > 0)
		{
			Result.RawOutput.append(Buffer, Read);
		}
		const int Status = pclose(Pipe);
		Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
	}
	std::ifstream StdErr(StdErrPath, std::ios::binary);
	Result.StdErr.assign(std::istreambuf_iterator<char>(StdErr), std::istreambuf_iterator<char>());

	std::istringstream Stream(Result.RawOutput);
	std::string Line;
	while (std::getline(Stream, Line))
	{
		TSharedPtr<FJsonObject> Object;
		FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString::FromUtf8(Line)), Object);
		Result.Lines.Add(Object);
	}
	return Result;
}

FHostProcess::FHostProcess(const FHostSandbox& Sandbox, const std::vector<std::string>& HostArguments)
{
	std::vector<std::string> Arguments = {TRL_EDITOR_HOST};
	const std::vector<std::string> ProjectArguments = Sandbox.NextProjectArguments();
	Arguments.insert(Arguments.end(), ProjectArguments.begin(), ProjectArguments.end());
	Arguments.insert(Arguments.end(), HostArguments.begin(), HostArguments.end());
	std::vector<char*> ArgV;
	for (std::string& Argument : Arguments)
	{
		ArgV.push_back(Argument.data());
	}
	ArgV.push_back(nullptr);

	int ToHost[2];
	int FromHost[2];
	if (pipe2(ToHost, O_CLOEXEC) != 0)
	{
		return;
	}
	if (pipe2(FromHost, O_CLOEXEC) != 0)
	{
		close(ToHost[0]);
		close(ToHost[1]);
		return;
	}
	posix_spawn_file_actions_t Actions;
	posix_spawn_file_actions_init(&Actions);
	posix_spawn_file_actions_adddup2(&Actions, ToHost[0], STDIN_FILENO);
	posix_spawn_file_actions_adddup2(&Actions, FromHost[1], STDOUT_FILENO);
	posix_spawn_file_actions_addopen(&Actions, STDERR_FILENO, (Sandbox.GetRoot() + "/stderr-live.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
	pid_t Child = -1;
	const int SpawnError = posix_spawn(&Child, ArgV[0], &Actions, nullptr, ArgV.data(), environ);
	posix_spawn_file_actions_destroy(&Actions);
	close(ToHost[0]);
	close(FromHost[1]);
	if (SpawnError != 0)
	{
		close(ToHost[1]);
		close(FromHost[0]);
		return;
	}
	ProcessId = Child;
	InputFd = ToHost[1];
	OutputFd = FromHost[0];
}

FHostProcess::~FHostProcess()
{
	if (ProcessId > 0)
	{
		kill(ProcessId, SIGKILL);
		waitpid(ProcessId, nullptr, 0);
	}
	if (InputFd >= 0)
	{
		close(InputFd);
	}
	if (OutputFd >= 0)
	{
		close(OutputFd);
	}
}

void FHostProcess::Write(const std::string& Text)
{
	// A host that has ended closes its input; the failed write is then seen by the reads that follow.
	const sighandler_t Previous = signal(SIGPIPE, SIG_IGN);
	if (InputFd >= 0 && write(InputFd, Text.data(), Text.size()) != static_cast<ssize_t>(Text.size()))
	{
		close(InputFd);
		InputFd = -1;
	}
	signal(SIGPIPE, Previous);
}

bool FHostProcess::WaitForOutput(const std::string& Text, double TimeoutSeconds)
{
	ReadUntil(TimeoutSeconds, [this, &Text]() {
		return Output.RawOutput.find(Text) != std::string::npos;
	});
	return Output.RawOutput.find(Text) != std::string::npos;
}

void FHostProcess::Interrupt()
{
	if (ProcessId > 0)
	{
		kill(ProcessId, SIGINT);
	}
}

TSharedPtr<FJsonObject> FHostProcess::Request(const std::string& Line, double TimeoutSeconds)
{
	const int32 Start = Output.Lines.Num();
	Write(Line + "\n");
	int32 ReplyIndex = INDEX_NONE;
	ReadUntil(TimeoutSeconds, [this, Start, &ReplyIndex]() {
		for (int32 Index = Start; Index < Output.Lines.Num(); ++Index)
		{
			if (Output.Lines[Index].IsValid() && Output.Lines[Index]->HasField(TEXT("reply")))
			{
				ReplyIndex = Index;
				return true;
			}
		}
		return false;
	});
	return ReplyIndex == INDEX_NONE ? nullptr : Output.Lines[ReplyIndex];
}

int FHostProcess::Wait(double TimeoutSeconds)
{
	if (InputFd >= 0)
	{
		close(InputFd);
		InputFd = -1;
	}
	ReadUntil(TimeoutSeconds, []() {
		return false;
	});
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(TimeoutSeconds);
	while (ProcessId > 0)
	{
		int Status = 0;
		const pid_t Waited = waitpid(ProcessId, &Status, WNOHANG);
		if (Waited == ProcessId)
		{
			ProcessId = -1;
			Output.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
			break;
		}
		if (std::chrono::steady_clock::now() >= Deadline)
		{
			return -1;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return Output.ExitCode;
}

void FHostProcess::ReadUntil(double TimeoutSeconds, const TFunction<bool()>& Done)
{
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(TimeoutSeconds);
	while (OutputFd >= 0 && !Done())
	{
		const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now()).count();
		pollfd Poll{OutputFd, POLLIN, 0};
		if (Left <= 0 || poll(&Poll, 1, static_cast<int>(Left)) <= 0)
		{
			return;
		}
		char Buffer[4096];
		const ssize_t Count = read(OutputFd, Buffer, sizeof(Buffer));
		if (Count <= 0)
		{
			close(OutputFd);
			OutputFd = -1;
		}
		else
		{
			Output.RawOutput.append(Buffer, static_cast<size_t>(Count));
		}
		// Whole lines only: a line is parsed once its line break has arrived.
		for (size_t End = Output.RawOutput.find('\n', ParsedBytes); End != std::string::npos; End = Output.RawOutput.find('\n', ParsedBytes))
		{
			TSharedPtr<FJsonObject> Object;
			FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString::FromUtf8(Output.RawOutput.substr(ParsedBytes, End - ParsedBytes))), Object);
			Output.Lines.Add(Object);
			ParsedBytes = End + 1;
		}
	}
}

FString TextString(const TSharedPtr<FJsonValue>& TextValue)
{
	FString String;
	if (TextValue.IsValid() && TextValue->Type == EJson::Object)
	{
		TextValue->AsObject()->TryGetStringField(TEXT("string"), String);
	}
	return String;
}

std::string ReadFile(const std::string& Path)
{
	// Streamed whole into a string: a read that fails part way (a folder, a /proc entry gone) gives what was read.
	std::ifstream File(Path, std::ios::binary);
	std::ostringstream Bytes;
	Bytes << File.rdbuf();
	return Bytes.str();
}
