#include "HostOptions.h"

#include "Misc/Paths.h"

#include <filesystem>

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
			else if (Argument.Equals(TEXT("--plugin")))
			{
				bTaken = TakeValue(ArgC, ArgV, Index, Argument, OutOptions.PluginFile, OutError);
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
		            "                      [--plugin <file.uplugin>] [--without-settings] [--menus-not-ready]\n"
		            "                      [--script <file>|-]\n"
		            "\n"
		            "Loads a plug-in's modules as the editor does, in the order its descriptor gives (by default\n"
		            "the plug-in of the source tree the host was built from), and shows the Tools menu.\n"
		            "Without --project it opens a fresh copy of the demo project (in the build tree, or in\n"
		            "the folder given to --copy-to), so the checked-in sample never changes.\n"
		            "With --script it reads one JSON request a line and writes one JSON object a line;\n"
		            "README.md describes the protocol.\n");
	}

	FString AbsoluteFromWorkingDirectory(const FString& Path)
	{
		std::error_code Error;
		const std::filesystem::path Absolute = std::filesystem::absolute(std::filesystem::path(Path.ToUtf8()), Error);
		FString Result = Error ? Path : FString::FromUtf8(Absolute.lexically_normal().generic_string());
		FPaths::NormalizeFilename(Result);
		return Result;
	}
} // namespace UE::StandIn::EditorHost
