// The editor host's command line: which project to open, which engine folder to use, and how to be driven.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreMinimal.h"

namespace UE::StandIn::EditorHost
{
	struct FHostOptions
	{
		/** The .uproject to open; empty means a fresh copy of the demo project. */
		FString ProjectFile;
		/** Where the fresh copy of the demo project goes; empty means a new folder in the build tree. */
		FString CopyTo;
		/** Another engine folder, whose Build/BatchFiles/RunUAT.sh runs instead of the stand-in's. */
		FString EngineDir;
		/** The .uplugin whose modules to load; empty means the plug-in descriptor the host was built with. */
		FString PluginFile;
		/** Where the offline Workshop keeps its items; empty means the project's Saved/OfflineWorkshop. */
		FString WorkshopDir;
		/** Start the plug-in with no settings object, through its command-line switch. */
		bool bWithoutSettings = false;
		/** Leave ToolMenus unable to extend menus until a script says they are ready. */
		bool bMenusNotReady = false;
		/** Script mode: the script file, or "-" for standard input. Empty means interactive mode. */
		FString Script;
		/** Commandlet mode: the name after -run= (the class U<Name>Commandlet). Empty means script or interactive mode. */
		FString Commandlet;
		/** The arguments after -run=<Name> that are not the host's own (those begin with "--"), for the commandlet. */
		TArray<FString> CommandletArguments;
		/** Commandlet mode, stand-in only: how the commandlet's next automation tool run ends ("exit:<n>", "crash" or "stage:<fault>"). */
		FString UatNext;
		/** Commandlet mode, stand-in only: how the offline Workshop's next request ends ("refuse", "fail:<EResult>", ...). */
		FString WorkshopNext;
		/** Commandlet mode, stand-in only: the offline Workshop's copying speed in bytes a second, so progress shows. */
		FString WorkshopBandwidth;
		bool bShowHelp = false;
	};

	/**
	 * Reads the command line. After -run=<Name>, arguments that begin with "--" are still the host's; the others are
	 * the commandlet's.
	 * @return false with OutError set when it cannot be understood.
	 */
	bool ParseHostOptions(int ArgC, const char* const* ArgV, FHostOptions& OutOptions, FString& OutError);

	/**
	 * Refuses, before anything is created, options that name the wrong thing: a --project that is a folder, or not a
	 * .uproject holding a JSON object; a --copy-to that is a file or a folder with something in it; an --engine-dir
	 * without Build/BatchFiles/RunUAT.sh; a --plugin that is not a .uplugin holding a JSON object; a --workshop-dir
	 * that is a file; a --script file that is missing or a folder.
	 * @return false with OutError naming the option and the path, and saying what to name instead.
	 */
	bool CheckHostOptions(const FHostOptions& Options, FString& OutError);

	/** The usage text printed by --help and after a bad command line. */
	FString GetHostUsage();

	/** @return a path of the command line made absolute against the working folder, with "/" separators. */
	FString AbsoluteFromWorkingDirectory(const FString& Path);
} // namespace UE::StandIn::EditorHost
