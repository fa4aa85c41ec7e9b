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
		bool IsEmptyOrMissingFolder(const FString& Folder)
		{
			if (!IFileManager::Get().DirectoryExists(*Folder))
			{
				return !IFileManager::Get().FileExists(*Folder);
			}
			TArray<FString> Entries;
			IFileManager::Get().FindFiles(Entries, *(Folder / TEXT("*")), true, true);
			return Entries.IsEmpty();
		}

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
			if (!IsEmptyOrMissingFolder(Destination))
			{
				OutError = FString::Printf(TEXT("'%s' is not empty. Name a new or empty folder for the copy of the demo project."), *Destination);
				return false;
			}
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
			if (!IFileManager::Get().FileExists(*ProjectFile))
			{
				OutError = FString::Printf(TEXT("There is no project file at '%s'."), *ProjectFile);
				return false;
			}
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
