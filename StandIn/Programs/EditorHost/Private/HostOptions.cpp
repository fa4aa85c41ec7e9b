#include "HostOptions.h"

#include "Dom/JsonObject.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

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

		/** Takes "--name=value" or "--name value". @return true when Argument is the option Name, with bOutTaken as TakeValue's */
		bool TakeNamedValue(int ArgC, const char* const* ArgV, int& Index, const FString& Argument, const TCHAR* Name, FString& OutValue, bool& bOutTaken,
		                    FString& OutError)
		{
			const FString WithEquals = FString(Name) + TEXT("=");
			if (Argument.StartsWith(WithEquals))
			{
				OutValue = Argument.Mid(WithEquals.Len());
				bOutTaken = !OutValue.IsEmpty();
				if (!bOutTaken)
				{
					OutError = FString::Printf(TEXT("%s needs a value."), Name);
				}
				return true;
			}
			if (Argument.Equals(Name))
			{
				bOutTaken = TakeValue(ArgC, ArgV, Index, Argument, OutValue, OutError);
				return true;
			}
			return false;
		}

		/**
		 * The engine's editor takes its project as a word of its own or as -project=; a person who writes it so here is
		 * told the host's option, before a commandlet takes the word or a demo project is copied.
		 * @return true with OutFile, the project file named (or a placeholder), when Argument names a project that way.
		 */
		bool IsEditorStyleProject(const FString& Argument, FString& OutFile)
		{
			if (Argument.StartsWith(TEXT("-project="), ESearchCase::IgnoreCase) || Argument.Equals(TEXT("-project"), ESearchCase::IgnoreCase))
			{
				OutFile = Argument.Len() > 9 ? Argument.Mid(9) : FString(TEXT("<file.uproject>"));
				return true;
			}
			OutFile = Argument;
			return !Argument.StartsWith(TEXT("-")) && Argument.EndsWith(TEXT(".uproject"), ESearchCase::IgnoreCase);
		}

		bool HoldsJsonObject(const FString& File)
		{
			FString Text;
			TSharedPtr<FJsonObject> Object;
			return FFileHelper::LoadFileToString(Text, *File) && FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Object) &&
			       Object.IsValid();
		}

		// The engine opens a project or a plug-in by its descriptor: a file of that extension holding a JSON object.
		bool CheckDescriptorFile(const TCHAR* Option, const FString& Path, const TCHAR* Extension, FString& OutError)
		{
			const FString File = AbsoluteFromWorkingDirectory(Path);
			if (IFileManager::Get().DirectoryExists(*File))
			{
				OutError = FString::Printf(TEXT("%s: '%s' is a folder. Name the %s file in it."), Option, *File, Extension);
				TArray<FString> Found;
				IFileManager::Get().FindFiles(Found, *(File / (FString(TEXT("*")) + Extension)), true, false);
				if (Found.Num() == 1)
				{
					OutError += FString::Printf(TEXT(" Did you mean '%s'?"), *(File / Found[0]));
				}
			}
			else if (!IFileManager::Get().FileExists(*File))
			{
				OutError = FString::Printf(TEXT("%s: there is no file at '%s'. Name an existing %s file."), Option, *File, Extension);
			}
			else if (!FPaths::GetExtension(File, true).Equals(Extension, ESearchCase::IgnoreCase))
			{
				OutError = FString::Printf(TEXT("%s: '%s' is not a %s file. Name an existing %s file."), Option, *File, Extension, Extension);
			}
			else if (!HoldsJsonObject(File))
			{
				OutError = FString::Printf(TEXT("%s: '%s' does not hold a JSON object, so the editor cannot open it. Name a %s file that does."), Option, *File,
				                           Extension);
			}
			else
			{
				return true;
			}
			return false;
		}

		bool CheckCopyFolder(const FString& Path, FString& OutError)
		{
			const FString Folder = AbsoluteFromWorkingDirectory(Path);
			const TCHAR* const Hint = TEXT("Name a new or empty folder for the copy of the demo project.");
			if (IFileManager::Get().FileExists(*Folder))
			{
				OutError = FString::Printf(TEXT("--copy-to: '%s' is a file. %s"), *Folder, Hint);
				return false;
			}
			TArray<FString> Entries;
			IFileManager::Get().FindFiles(Entries, *(Folder / TEXT("*")), true, true);
			if (!Entries.IsEmpty())
			{
				OutError = FString::Printf(TEXT("--copy-to: '%s' is not empty. %s"), *Folder, Hint);
				return false;
			}
			return true;
		}

		bool CheckEngineFolder(const FString& Path, FString& OutError)
		{
			const FString Folder = AbsoluteFromWorkingDirectory(Path);
			if (!IFileManager::Get().FileExists(*(Folder / TEXT("Build/BatchFiles/RunUAT.sh"))))
			{
				OutError = FString::Printf(TEXT("--engine-dir: '%s' has no Build/BatchFiles/RunUAT.sh. Name an engine folder that has one, or leave "
				                                "--engine-dir out to run the stand-in's automation tool."),
				                           *Folder);
				return false;
			}
			return true;
		}

		// The folder itself is made when the first item is.
		bool CheckWorkshopFolder(const FString& Path, FString& OutError)
		{
			const FString Folder = AbsoluteFromWorkingDirectory(Path);
			if (IFileManager::Get().FileExists(*Folder))
			{
				OutError = FString::Printf(TEXT("--workshop-dir: '%s' is a file. Name a folder for the offline Workshop's items."), *Folder);
				return false;
			}
			return true;
		}

		bool CheckScriptFile(const FString& Path, FString& OutError)
		{
			const FString File = AbsoluteFromWorkingDirectory(Path);
			const TCHAR* const Hint = TEXT("Name a file of JSON requests, one a line, or - to read them from standard input.");
			if (IFileManager::Get().DirectoryExists(*File))
			{
				OutError = FString::Printf(TEXT("--script: '%s' is a folder. %s"), *File, Hint);
				return false;
			}
			if (!IFileManager::Get().FileExists(*File))
			{
				OutError = FString::Printf(TEXT("--script: there is no file at '%s'. %s"), *File, Hint);
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
			FString EditorStyleProject;
			if (IsEditorStyleProject(Argument, EditorStyleProject))
			{
				OutError = FString::Printf(TEXT("'%s': the host opens a project with --project <file.uproject>. Write --project %s instead."), *Argument,
				                           *EditorStyleProject);
				return false;
			}
			if (!OutOptions.Commandlet.IsEmpty() && !Argument.StartsWith(TEXT("--")))
			{
				OutOptions.CommandletArguments.Add(Argument);
			}
			else if (Argument.StartsWith(TEXT("-run="), ESearchCase::IgnoreCase))
			{
				OutOptions.Commandlet = Argument.Mid(5);
				if (OutOptions.Commandlet.IsEmpty())
				{
					OutError = TEXT("-run= needs the commandlet's name: the name of its class without its prefix letter and without \"Commandlet\", as the "
					                "editor takes it.");
					return false;
				}
			}
			else if (TakeNamedValue(ArgC, ArgV, Index, Argument, TEXT("--uat-next"), OutOptions.UatNext, bTaken, OutError) ||
			         TakeNamedValue(ArgC, ArgV, Index, Argument, TEXT("--workshop-next"), OutOptions.WorkshopNext, bTaken, OutError) ||
			         TakeNamedValue(ArgC, ArgV, Index, Argument, TEXT("--workshop-bandwidth"), OutOptions.WorkshopBandwidth, bTaken, OutError))
			{
			}
			else if (Argument.Equals(TEXT("--project")))
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
			else if (Argument.Equals(TEXT("--workshop-dir")))
			{
				bTaken = TakeValue(ArgC, ArgV, Index, Argument, OutOptions.WorkshopDir, OutError);
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
		if (!OutOptions.Commandlet.IsEmpty() && !OutOptions.Script.IsEmpty())
		{
			OutError = TEXT("-run runs a commandlet in place of a script; it cannot be used with --script.");
			return false;
		}
		if (OutOptions.Commandlet.IsEmpty() && (!OutOptions.UatNext.IsEmpty() || !OutOptions.WorkshopNext.IsEmpty() || !OutOptions.WorkshopBandwidth.IsEmpty()))
		{
			OutError = TEXT("--uat-next, --workshop-next and --workshop-bandwidth steer a commandlet's run; a script uses the uat and workshop requests "
			                "instead.");
			return false;
		}
		return true;
	}

	bool CheckHostOptions(const FHostOptions& Options, FString& OutError)
	{
		return (Options.ProjectFile.IsEmpty() || CheckDescriptorFile(TEXT("--project"), Options.ProjectFile, TEXT(".uproject"), OutError)) &&
		       (Options.CopyTo.IsEmpty() || CheckCopyFolder(Options.CopyTo, OutError)) &&
		       (Options.EngineDir.IsEmpty() || CheckEngineFolder(Options.EngineDir, OutError)) &&
		       (Options.PluginFile.IsEmpty() || CheckDescriptorFile(TEXT("--plugin"), Options.PluginFile, TEXT(".uplugin"), OutError)) &&
		       (Options.WorkshopDir.IsEmpty() || CheckWorkshopFolder(Options.WorkshopDir, OutError)) &&
		       (Options.Script.IsEmpty() || Options.Script.Equals(TEXT("-")) || CheckScriptFile(Options.Script, OutError));
	}

	FString GetHostUsage()
	{
		return TEXT("Usage: trellic-editor [--project <file.uproject>] [--copy-to <folder>] [--engine-dir <folder>]\n"
		            "                      [--plugin <file.uplugin>] [--without-settings] [--menus-not-ready]\n"
		            "                      [--workshop-dir <folder>] [--script <file>|-]\n"
		            "       trellic-editor [--project <file.uproject>] ... -run=<Name> [switches] [--uat-next=exit:<n>|crash|stage:<fault>]\n"
		            "                      [--workshop-next=refuse|fail:<EResult>|fail-after-create:<EResult>]\n"
		            "                      [--workshop-bandwidth=<bytes per second>]\n"
		            "\n"
		            "Loads a plug-in's modules as the editor does, in the order its descriptor gives (by default\n"
		            "the plug-in of the source tree the host was built from), and shows the Tools menu.\n"
		            "Without --project it opens a fresh copy of the demo project (in the build tree, or in\n"
		            "the folder given to --copy-to), so the checked-in sample never changes; -run= takes only\n"
		            "--copy-to for that.\n"
		            "Steam is the offline Workshop: uploads go to a folder on this machine (the project's\n"
		            "Saved/OfflineWorkshop, or --workshop-dir), never to Steam.\n"
		            "With --script it reads one JSON request a line and writes one JSON object a line;\n"
		            "docs/editor-host.md describes the protocol.\n"
		            "With -run=<Name> it runs the commandlet U<Name>Commandlet as the editor does, with the\n"
		            "switches that follow, and ends with its exit code. Stand-in only: --uat-next ends the\n"
		            "commandlet's next automation tool run with an exit code, kills it part-way, or has a mod's\n"
		            "cook complete with a broken staging or stage its assets in an IoStore container;\n"
		            "--workshop-next refuses or fails its next Workshop request; --workshop-bandwidth slows\n"
		            "the offline Workshop's copy so that progress shows.\n"
		            "\n"
		            "Exit codes: 0 when every script request was answered \"ok\": true (or the menu was quit),\n"
		            "1 when a script request was not, 2 when the host refused to start, 130 after Ctrl-C;\n"
		            "a commandlet's own exit code after -run.\n");
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
