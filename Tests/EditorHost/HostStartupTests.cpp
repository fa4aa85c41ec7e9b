// What the host refuses at start: options that name the wrong thing are refused with exit code 2 and a message on
// standard error that names the option and the path, before anything is copied or created.
#include "HostRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace
{
	void WriteFile(const std::string& Path, const std::string& Text)
	{
		std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
		std::ofstream(Path, std::ios::binary) << Text;
	}

	struct FRefusal
	{
		const char* What;
		std::vector<std::string> Arguments;
		std::string Message;
	};
} // namespace

TEST(HostStartup, RefusesOptionsThatNameTheWrongThingBeforeCopyingAnything)
{
	FHostSandbox Sandbox;
	const std::string Root = Sandbox.GetRoot();
	const std::string Copy = Root + "/Copy";
	WriteFile(Root + "/README.md", "# Not a project\n");
	WriteFile(Root + "/Games/Shooter/Shooter.uproject", "{\"FileVersion\": 3}");
	WriteFile(Root + "/Broken.uproject", "[\"FileVersion\", 3]");
	WriteFile(Root + "/Broken.uplugin", "");
	WriteFile(Root + "/Full/Old.txt", "old");
	WriteFile(Root + "/Engine/Build/BatchFiles/RunUAT.bat", "");
	std::filesystem::create_directories(Root + "/Scripts");

	const std::string CopyHint = "Name a new or empty folder for the copy of the demo project.";
	const std::string ScriptHint = "Name a file of JSON requests, one a line, or - to read them from standard input.";
	const std::vector<FRefusal> Refusals = {
	    {"a README as the project",
	     {"--project", Root + "/README.md"},
	     "--project: '" + Root + "/README.md' is not a .uproject file. Name an existing .uproject file."},
	    {"a project's folder",
	     {"--project", Root + "/Games/Shooter"},
	     "--project: '" + Root + "/Games/Shooter' is a folder. Name the .uproject file in it. Did you mean '" + Root + "/Games/Shooter/Shooter.uproject'?"},
	    {"a folder with no project", {"--project", Root + "/Games"}, "--project: '" + Root + "/Games' is a folder. Name the .uproject file in it."},
	    {"a .uproject holding an array",
	     {"--project", Root + "/Broken.uproject"},
	     "--project: '" + Root + "/Broken.uproject' does not hold a JSON object, so the editor cannot open it. Name a .uproject file that does."},
	    {"a missing project",
	     {"--project", Root + "/Nothing.uproject"},
	     "--project: there is no file at '" + Root + "/Nothing.uproject'. Name an existing .uproject file."},
	    {"a file to copy into", {"--copy-to", Root + "/README.md"}, "--copy-to: '" + Root + "/README.md' is a file. " + CopyHint},
	    {"a folder with files to copy into", {"--copy-to", Root + "/Full"}, "--copy-to: '" + Root + "/Full' is not empty. " + CopyHint},
	    {"an engine folder without RunUAT.sh",
	     {"--copy-to", Copy, "--engine-dir", Root + "/Engine"},
	     "--engine-dir: '" + Root +
	         "/Engine' has no Build/BatchFiles/RunUAT.sh. Name an engine folder that has one, or leave --engine-dir out to run the stand-in's automation "
	         "tool."},
	    {"an empty plug-in descriptor",
	     {"--copy-to", Copy, "--plugin", Root + "/Broken.uplugin"},
	     "--plugin: '" + Root + "/Broken.uplugin' does not hold a JSON object, so the editor cannot open it. Name a .uplugin file that does."},
	    {"a file as the offline Workshop's folder",
	     {"--copy-to", Copy, "--workshop-dir", Root + "/README.md"},
	     "--workshop-dir: '" + Root + "/README.md' is a file. Name a folder for the offline Workshop's items."},
	    {"a folder as the script", {"--copy-to", Copy, "--script", Root + "/Scripts"}, "--script: '" + Root + "/Scripts' is a folder. " + ScriptHint},
	    {"a missing script", {"--copy-to", Copy, "--script", Root + "/none.jsonl"}, "--script: there is no file at '" + Root + "/none.jsonl'. " + ScriptHint},
	};

	for (const FRefusal& Refusal : Refusals)
	{
		// A later --script overrides the one the sandbox gives, as on any command line.
		const FHostRun Run = Sandbox.RunWithArguments({R"({"cmd":"quit"})"}, Refusal.Arguments);
		EXPECT_EQ(Run.ExitCode, 2) << Refusal.What;
		EXPECT_EQ(Run.StdErr, "trellic-editor: " + Refusal.Message + "\n") << Refusal.What;
		EXPECT_TRUE(Run.RawOutput.empty()) << Refusal.What << ": " << Run.RawOutput;
		EXPECT_FALSE(std::filesystem::exists(Copy)) << Refusal.What;
	}
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Root + "/Full"), std::filesystem::directory_iterator()), 1);
}

TEST(HostStartup, TakesAnEngineFolderThatHasRunUatAndStopsWithTwoWhenThePluginCannotLoad)
{
	FHostSandbox Sandbox;
	const std::string Root = Sandbox.GetRoot();
	WriteFile(Root + "/Engine/Build/BatchFiles/RunUAT.sh", "#!/bin/sh\n");
	const FHostRun Started = Sandbox.Run({R"({"cmd":"quit"})"}, {"--engine-dir", Root + "/Engine"});
	EXPECT_EQ(Started.ExitCode, 0) << Started.StdErr;
	ASSERT_EQ(Started.Events(TEXT("ready")).Num(), 1) << Started.RawOutput;
	EXPECT_TRUE(Started.Events(TEXT("ready"))[0]->GetStringField(TEXT("engine_dir")).Equals(FString::FromUtf8(Root + "/Engine/")));

	// Only loading tells that a descriptor lists a module the host lacks; that too is a start that failed.
	WriteFile(Root + "/Other.uplugin", R"({"FileVersion": 3, "Modules": [{"Name": "NotBuilt", "Type": "Editor"}]})");
	const FHostRun Refused = Sandbox.Run({R"({"cmd":"quit"})"}, {"--plugin", Root + "/Other.uplugin"});
	EXPECT_EQ(Refused.ExitCode, 2);
	EXPECT_NE(Refused.StdErr.find("lists the module 'NotBuilt', which this program does not have"), std::string::npos) << Refused.StdErr;
	EXPECT_TRUE(Refused.Events(TEXT("ready")).IsEmpty());
}

TEST(HostStartup, AnswersAProjectGivenAsTheEngineEditorTakesItWithTheHostsOptionAndCopiesNothing)
{
	FHostSandbox Sandbox;
	const std::string Project = Sandbox.GetRoot() + "/Games/Shooter/Shooter.uproject";
	WriteFile(Project, "{\"FileVersion\": 3}");
	const std::string Answer = "the host opens a project with --project <file.uproject>. Write --project " + Project + " instead.";

	// A word of its own before -run= or after it (where the commandlet would take it, once the demo project was
	// copied), and -project=.
	const std::vector<std::pair<std::string, FHostRun>> Runs = {
	    {Project, Sandbox.RunWithArguments({R"({"cmd":"quit"})"}, {"--copy-to", Sandbox.GetProjectFolder(), Project})},
	    {Project, Sandbox.RunCommandlet("TRLModPipeline", {"-Mod=Bridge", "-Package", Project})},
	    {"-Project=" + Project, Sandbox.RunCommandlet("TRLModPipeline", {"-Mod=Bridge", "-Project=" + Project})},
	};
	for (const auto& [Argument, Run] : Runs)
	{
		EXPECT_EQ(Run.ExitCode, 2) << Argument;
		EXPECT_EQ(Run.StdErr.substr(0, Run.StdErr.find('\n')), "trellic-editor: '" + Argument + "': " + Answer) << Run.StdErr;
		EXPECT_TRUE(Run.RawOutput.empty()) << Run.RawOutput;
	}
	EXPECT_FALSE(std::filesystem::exists(Sandbox.GetProjectFolder()));
}
