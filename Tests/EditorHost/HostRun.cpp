#include "HostRun.h"

#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

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

FHostRun FHostSandbox::Run(const std::vector<std::string>& Requests, const std::vector<std::string>& ExtraArguments) const
{
	const std::string ProjectFile = GetProjectFolder() + "/DemoGame.uproject";
	std::vector<std::string> Arguments;
	if (std::filesystem::exists(ProjectFile))
	{
		Arguments = {"--project", ProjectFile};
	}
	else
	{
		Arguments = {"--copy-to", GetProjectFolder()};
	}
	Arguments.insert(Arguments.end(), ExtraArguments.begin(), ExtraArguments.end());
	return RunWithArguments(Requests, Arguments);
}

FHostRun FHostSandbox::RunWithArguments(const std::vector<std::string>& Requests, const std::vector<std::string>& Arguments) const
{
	const std::string Tag = std::to_string(++RunCount);
	const std::string ScriptPath = Root + "/script-" + Tag + ".jsonl";
	const std::string StdErrPath = Root + "/stderr-" + Tag + ".txt";
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

FString TextString(const TSharedPtr<FJsonValue>& TextValue)
{
	FString String;
	if (TextValue.IsValid() && TextValue->Type == EJson::Object)
	{
		TextValue->AsObject()->TryGetStringField(TEXT("string"), String);
	}
	return String;
}
