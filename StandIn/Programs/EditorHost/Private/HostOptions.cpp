#include "HostOptions.h"

namespace UE::StandIn::EditorHost
{
	namespace
	{
		bool TakeValue(int ArgC, const char* const* ArgV, int& Index, const FString& Option, FString& OutValue, FString& OutError)
		{
			if (Index + 1 >= ArgC)
			{
				OutError = FString::Printf(TEXT("%s needs a value."), *Option);
				return false;
			}
			++Index;
			OutValue = FString::FromUtf8(ArgV[Index]);
			if (OutValue.IsEmpty())
			{
				OutError = FString::Printf(TEXT("%s needs a value."), *Option);
				return false;
			}
			return true;
		}
	} // namespace

	bool ParseHostOptions(int ArgC, const char* const* ArgV, FHostOptions& OutOptions, FString& OutError)
	{
		for (int Index = 1; Index < ArgC; ++Index)
		{
			const FString Argument = FString::FromUtf8(ArgV[Index]);
			bool bTaken = true;
			if (Argument.Equals(TEXT("--project")))
			{
				bTaken = TakeValue(ArgC, ArgV, Index, Argument, OutOptions.ProjectFile, OutError);
			}
			else if (Argument.Equals(TEXT("--copy-to")))
			{
				bTaken = TakeValue(ArgC, ArgV, Index, Argument, OutOptions.CopyTo, OutError);
			}
			else if (Argument.Equals(TEXT("--engine-dir")))
			{
				bTaken = TakeValue(ArgC, ArgV, Index, Argument, OutOptions.EngineDir, OutError);
			}
			else if (Argument.Equals(TEXT("--script")))
			{
				bTaken = TakeValue(ArgC, ArgV, Index, Argument, OutOptions.Script, OutError);
			}
			else if (Argument.Equals(TEXT("--without-settings")))
			{
				OutOptions.bWithoutSettings = true;
			}
			else if (Argument.Equals(TEXT("--menus-not-ready")))
			{
				OutOptions.bMenusNotReady = true;
			}
			else if (Argument.Equals(TEXT("--help")) || Argument.Equals(TEXT("-h")))
			{
				OutOptions.bShowHelp = true;
			}
			else
			{
				OutError = FString::Printf(TEXT("Unknown option '%s'."), *Argument);
				return false;
			}
			if (!bTaken)
			{
				return false;
			}
		}
		if (!OutOptions.ProjectFile.IsEmpty() && !OutOptions.CopyTo.IsEmpty())
		{
			OutError = TEXT("--copy-to copies the demo project; it cannot be used with --project.");
			return false;
		}
		return true;
	}

	FString GetHostUsage()
	{
		return TEXT("Usage: trellic-editor [--project <file.uproject>] [--copy-to <folder>] [--engine-dir <folder>]\n"
		            "                      [--without-settings] [--menus-not-ready] [--script <file>|-]\n"
		            "\n"
		            "Loads the Trellic plug-in's modules as the editor does and shows Tools > Trellic.\n"
		            "Without --project it opens a fresh copy of the demo project (in the build tree, or in\n"
		            "the folder given to --copy-to), so the checked-in sample never changes.\n"
		            "With --script it reads one JSON request a line and writes one JSON object a line;\n"
		            "README.md describes the protocol.\n");
	}
} // namespace UE::StandIn::EditorHost
