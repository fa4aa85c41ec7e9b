// trellic-editor: loads the plug-in's modules as the editor does, on a project, and lets a person (a terminal menu)
// or a script (JSON lines) drive the Tools menu. The engine, its cooker and Steam are simulated.
#include "CoreMinimal.h"
#include "HostCommandlet.h"
#include "HostInterrupt.h"
#include "HostOptions.h"
#include "HostPlugin.h"
#include "HostProject.h"
#include "HostSession.h"
#include "InteractiveFrontEnd.h"
#include "Misc/Paths.h"
#include "ScriptFrontEnd.h"

#include <cstdio>
#include <fcntl.h>
#include <istream>
#include <unistd.h>

using namespace UE::StandIn::EditorHost;

namespace
{
	// A run that a CI step drives must be able to fail: 1 when a script request was refused, 2 when the host could
	// not start at all (a bad command line, an option naming the wrong thing, a plug-in that cannot load).
	constexpr int StartupRefusedExitCode = 2;
	// As a shell reports a program that SIGINT ended, though the host ends on its own after shutting its modules down.
	constexpr int InterruptedExitCode = 130;

	void PrintError(const FString& Message)
	{
		std::fprintf(stderr, "trellic-editor: %s\n", Message.ToUtf8().c_str());
	}

	int RunScript(const FHostOptions& Options)
	{
		const bool bStandardInput = Options.Script.Equals(TEXT("-"));
		const int InputFd = bStandardInput ? STDIN_FILENO : open(Options.Script.ToUtf8().c_str(), O_RDONLY | O_CLOEXEC);
		if (InputFd < 0)
		{
			PrintError(FString::Printf(TEXT("--script: cannot read '%s'."), *AbsoluteFromWorkingDirectory(Options.Script)));
			return StartupRefusedExitCode;
		}
		FInterruptibleInputBuffer InputBuffer(InputFd);
		std::istream Input(&InputBuffer);
		// Ctrl-C ends the run as the end of the script does, so that the modules are shut down.
		const FScopedInterruptHandler InterruptHandler;

		FScriptFrontEnd FrontEnd(stdout);
		FHostProject Project;
		FString Error;
		if (!OpenProject(Options, Project, Error))
		{
			PrintError(Error);
			return StartupRefusedExitCode;
		}
		FHostSession Session(Options, Project, FrontEnd);
		FrontEnd.SetSession(&Session);
		if (!Session.Start(Error))
		{
			PrintError(Error);
			return StartupRefusedExitCode;
		}
		FrontEnd.WriteReadyEvent();
		const int ExitCode = FrontEnd.Run(Input);
		Session.Shutdown();
		return IsInterruptRequested() ? InterruptedExitCode : ExitCode;
	}

	int RunInteractive(const FHostOptions& Options)
	{
		FInteractiveFrontEnd FrontEnd;
		FHostProject Project;
		FString Error;
		if (!OpenProject(Options, Project, Error))
		{
			PrintError(Error);
			return StartupRefusedExitCode;
		}
		FHostSession Session(Options, Project, FrontEnd);
		FrontEnd.SetSession(&Session);
		FrontEnd.PrintHeader(FPaths::GetBaseFilename(GetPluginDescriptorFile(Options)));
		if (!Session.Start(Error))
		{
			PrintError(Error);
			return StartupRefusedExitCode;
		}
		const int ExitCode = FrontEnd.Run();
		Session.Shutdown();
		return ExitCode;
	}
} // namespace

int main(int ArgC, char** ArgV)
{
	FHostOptions Options;
	FString Error;
	if (!ParseHostOptions(ArgC, ArgV, Options, Error))
	{
		PrintError(Error);
		std::fputs(GetHostUsage().ToUtf8().c_str(), stderr);
		return StartupRefusedExitCode;
	}
	if (Options.bShowHelp)
	{
		std::fputs(GetHostUsage().ToUtf8().c_str(), stdout);
		return 0;
	}
	// Every option is checked before the demo project is copied, so a refused start leaves nothing behind.
	if (!CheckHostOptions(Options, Error))
	{
		PrintError(Error);
		return StartupRefusedExitCode;
	}
	if (!Options.Commandlet.IsEmpty())
	{
		return RunCommandletMode(Options);
	}
	return Options.Script.IsEmpty() ? RunInteractive(Options) : RunScript(Options);
}
