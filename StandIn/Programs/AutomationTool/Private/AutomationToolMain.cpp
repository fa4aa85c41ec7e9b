// The stand-in automation tool: a labelled simulation of the engine's BuildCookRun for the two jobs the editor
// sends it, recording a base game release and cooking a plug-in as DLC, real enough that the editor's preparation
// of the project decides what the cook produces. Started through the engine folder's RunUAT.sh.

#include "BuildCookRun.h"
#include "CommandLine.h"
#include "DlcCook.h"
#include "ReleaseRecorder.h"
#include "RunControl.h"

#include <csignal>
#include <string>
#include <vector>

namespace
{
	int EndRun(int ExitCode, const std::string& Reason)
	{
		AutomationTool::PrintLine(ExitCode == 0 ? std::string("BUILD SUCCESSFUL") : "BUILD FAILED: " + Reason);
		return ExitCode;
	}

	// The command is BuildCookRun, in any case, and nothing else.
	bool CheckCommands(const AutomationTool::FCommandLine& CommandLine, std::string& OutError)
	{
		if (CommandLine.Commands.empty())
		{
			OutError = "No command was given. Usage: RunUAT.sh BuildCookRun -project=<file.uproject> -platform=<platform> [-Option=Value ...]";
			return false;
		}
		for (const std::string& Command : CommandLine.Commands)
		{
			if (!AutomationTool::EqualsNoCase(Command, "BuildCookRun"))
			{
				OutError = "Unknown command '" + Command + "': this simulated automation tool runs only BuildCookRun.";
				return false;
			}
		}
		if (CommandLine.Commands.size() > 1)
		{
			OutError = "BuildCookRun was given more than once.";
			return false;
		}
		return true;
	}
} // namespace

int main(int ArgC, char** ArgV)
{
	using namespace AutomationTool;

	// Once the reader of our output is gone, writing must fail quietly rather than kill the tool.
	std::signal(SIGPIPE, SIG_IGN);

	const std::vector<std::string> Arguments(ArgV + 1, ArgV + ArgC);
	PrintLine("Simulated automation tool: a stand-in for the engine's automation tool. Its cook is a simulation that packs the source assets "
	          "unchanged into an archive of its own format.");
	PrintLine("Command line: " + JoinCommandLine(Arguments));

	FRunControl Control = FRunControl::FromEnvironment();
	Control.WaitWhileHeld();
	if (const std::optional<int> ExitCode = Control.GetForcedExitCode())
	{
		PrintLine("Simulation control: ending with exit code " + std::to_string(*ExitCode) + " without doing the work.");
		return EndRun(*ExitCode, "the simulation control asked for exit code " + std::to_string(*ExitCode) + ".");
	}

	const FCommandLine CommandLine = ParseCommandLine(Arguments);
	std::string Error;
	FBuildCookRunJob Job;
	if (!CheckCommands(CommandLine, Error) || !ParseBuildCookRun(CommandLine, Job, Error))
	{
		return EndRun(ExitCodeRefused, Error);
	}
	Control.Step("Project: " + Job.Context.ProjectFile.string());

	const bool bSucceeded = Job.Kind == FBuildCookRunJob::EKind::RecordRelease ? RecordRelease(Job, Control, Error) : CookDlc(Job, Control, Error);
	return bSucceeded ? EndRun(0, std::string()) : EndRun(ExitCodeFailed, Error);
}
