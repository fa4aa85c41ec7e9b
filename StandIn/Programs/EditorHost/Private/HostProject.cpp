#include "HostProject.h"

#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/App.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/DateTime.h"
#include "Misc/Paths.h"

#include "StandIn/EngineDir.h"

namespace UE::StandIn::EditorHost
{
	namespace
	{
		// A new folder for every run, so a previous run's work is never overwritten.
		FString MakeFreshDemoFolder()
		{
			const FString Parent = FString(TEXT(TRL_HOST_PROJECTS_DIR));
			const FString Stamp = FDateTime::Now().ToString(TEXT("%Y%m%d-%H%M%S"));
			FString Folder = Parent / (FString(TEXT("DemoGame-")) + Stamp);
			for (int32 Suffix = 2; IFileManager::Get().DirectoryExists(*Folder); ++Suffix)
			{
				Folder = Parent / FString::Printf(TEXT("DemoGame-%s-%d"), *Stamp, Suffix);
			}
			return Folder;
		}

		bool CopyDemoProject(const FHostOptions& Options, FString& OutProjectFile, FString& OutError)
		{
			const FString Source = FString(TEXT(TRL_DEMO_PROJECT_DIR));
			const FString Destination = Options.CopyTo.IsEmpty() ? MakeFreshDemoFolder() : AbsoluteFromWorkingDirectory(Options.CopyTo);
			IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
			if (!PlatformFile.CreateDirectoryTree(*Destination) || !PlatformFile.CopyDirectoryTree(*Destination, *Source, false))
			{
				OutError = FString::Printf(TEXT("Could not copy the demo project from '%s' to '%s'."), *Source, *Destination);
				return false;
			}
			OutProjectFile = Destination / TEXT("DemoGame.uproject");
			return true;
		}
	} // namespace

	bool OpenProject(const FHostOptions& Options, FHostProject& OutProject, FString& OutError)
	{
		FString ProjectFile;
		if (Options.ProjectFile.IsEmpty())
		{
			if (!CopyDemoProject(Options, ProjectFile, OutError))
			{
				return false;
			}
			OutProject.bIsDemoCopy = true;
		}
		else
		{
			ProjectFile = AbsoluteFromWorkingDirectory(Options.ProjectFile);
		}
		OutProject.ProjectFile = ProjectFile;

		FPaths::SetProjectFilePath(ProjectFile);
		FApp::SetProjectName(*FPaths::GetBaseFilename(ProjectFile));
		if (!Options.EngineDir.IsEmpty())
		{
			FString EngineDir = AbsoluteFromWorkingDirectory(Options.EngineDir);
			if (!EngineDir.EndsWith(TEXT("/")))
			{
				EngineDir += TEXT("/");
			}
			UE::StandIn::SetEngineDir(EngineDir);
		}
		FConfigCacheIni::InitializeConfigSystem();
		return true;
	}
} // namespace UE::StandIn::EditorHost
