// trellic-editor: loads the plug-in's modules as the editor does, on a project, and lets a person (a terminal menu)
// or a script (JSON lines) drive the Tools menu. The engine, its cooker and Steam are simulated.
#include "CoreMinimal.h"
#include "HostOptions.h"
#include "HostPlugin.h"
#include "HostProject.h"
#include "HostSession.h"
#include "InteractiveFrontEnd.h"
#include "Misc/Paths.h"
#include "ScriptFrontEnd.h"

#include <cstdio>
#include <fstream>
#include <iostream>

using namespace UE::StandIn::EditorHost;

namespace
{
	void PrintError(const FString& Message)
	{
		std::fprintf(stderr, "trellic-editor: %s\n", Message.ToUtf8().c_str());
	}

	int RunScript(const FHostOptions& Options)
	{
		std::ifstream File;
		std::istream* Input = &std::cin;
		if (!Options.Script.Equals(TEXT("-")))
		{
			File.open(Options.Script.ToUtf8());
			if (!File)
			{
				PrintError(FString::Printf(TEXT("Cannot read the script '%s'."), *Options.Script));
				return 2;
			}
			Input = &File;
		}

		FScriptFrontEnd FrontEnd(stdout);
		FHostProject Project;
		FString Error;
		if (!OpenProject(Options, Project, Error))
		{
			PrintError(Error);
			return 1;
		}
		FHostSession Session(Options, Project, FrontEnd);
		FrontEnd.SetSession(&Session);
		if (!Session.Start(Error))
		{
			PrintError(Error);
			return 1;
		}
		FrontEnd.WriteReadyEvent();
		const int ExitCode = FrontEnd.Run(*Input);
		Session.Shutdown();
		return ExitCode;
	}

	int RunInteractive(const FHostOptions& Options)
	{
		FInteractiveFrontEnd FrontEnd;
		FHostProject Project;
		FString Error;
		if (!OpenProject(Options, Project, Error))
		{
			PrintError(Error);
			return 1;
		}
		FHostSession Session(Options, Project, FrontEnd);
		FrontEnd.SetSession(&Session);
		FrontEnd.PrintHeader(FPaths::GetBaseFilename(GetPluginDescriptorFile(Options)));
		if (!Session.Start(Error))
		{
			PrintError(Error);
			return 1;
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
		return 2;
	}
	if (Options.bShowHelp)
	{
		std::fputs(GetHostUsage().ToUtf8().c_str(), stdout);
		return 0;
	}
	return Options.Script.IsEmpty() ? RunInteractive(Options) : RunScript(Options);
}
