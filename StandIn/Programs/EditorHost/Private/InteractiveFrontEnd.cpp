#include "InteractiveFrontEnd.h"

#include "HostPlugin.h"
#include "HostSession.h"
#include "HostWorkshop.h"
#include "Misc/Paths.h"

namespace UE::StandIn::EditorHost
{
	namespace
	{
		// Quitting and the end of input close the editor alike; only Ctrl-C says it was interrupted.
		const TCHAR* const ClosingLine = TEXT("Closing the editor.");
	} // namespace

	void FInteractiveFrontEnd::PrintHeader(const FString& PluginName)
	{
		Print(PluginName + TEXT(" editor host"));
		FString ProjectLine = FString(TEXT("Project: ")) + FPaths::GetProjectFilePath();
		if (Session && Session->GetProject().bIsDemoCopy)
		{
			ProjectLine += TEXT("  (a fresh copy of the demo project)");
		}
		Print(ProjectLine);
		if (Session && !Session->GetOptions().EngineDir.IsEmpty())
		{
			Print(FString(TEXT("The engine and Steam are simulated; the cook runs the automation tool of ")) + Session->GetOptions().EngineDir + TEXT("."));
		}
		else
		{
			Print(TEXT("The engine, its cooker and Steam are simulated: nothing here is a real cook or a real Workshop upload."));
		}
		if (Session)
		{
			Print(FString(TEXT("Uploads go to the offline Workshop in ")) + GetWorkshopFolder(Session->GetOptions(), Session->GetProject()) +
			      TEXT(", not to Steam (w lists its items)."));
		}
	}

	int32 FInteractiveFrontEnd::Run()
	{
		Print(FString(TEXT("Mods folder: ")) + GetModsRoot(Session->GetPluginModuleNames()));
		Print(TEXT("Type h for help."));
		ShowMenu();
		// From here on what the editor does is shown at the end of each moment: a frame, or what a command did.
		bHoldEvents = true;
		int32 ExitCode = -1;
		while (ExitCode < 0)
		{
			std::string Line;
			const EInputResult Result = ReadLine(TEXT("> "), true, Line);
			if (Result == EInputResult::Interrupted)
			{
				Print(TEXT("Interrupted: closing the editor."));
				ExitCode = 130;
			}
			else if (Result == EInputResult::EndOfInput || !HandleCommand(Line))
			{
				Print(ClosingLine);
				ExitCode = 0;
			}
		}
		bHoldEvents = false;
		return ExitCode;
	}
} // namespace UE::StandIn::EditorHost
