#include "BuildCookRun.h"

#include "ProjectFiles.h"

namespace AutomationTool
{
	namespace
	{
		bool ReadProjectContext(const FCommandLine& CommandLine, FProjectContext& OutContext, std::string& OutError)
		{
			const std::optional<std::string> Project = CommandLine.FindValue("project");
			if (!Project || Project->empty())
			{
				OutError = "No project was given: pass -project=<path of the .uproject file>.";
				return false;
			}
			OutContext.ProjectFile = MakeNormalPath(*Project);
			if (!std::filesystem::exists(OutContext.ProjectFile))
			{
				OutError = "The project file '" + OutContext.ProjectFile.string() + "' does not exist.";
				return false;
			}
			std::string JsonError;
			if (!LoadJsonObject(OutContext.ProjectFile, OutContext.Project, JsonError))
			{
				OutError = "The project file cannot be used: " + JsonError;
				return false;
			}
			OutContext.ProjectDir = OutContext.ProjectFile.parent_path();
			OutContext.ProjectName = OutContext.ProjectFile.stem().string();

			const std::optional<std::string> Platform = CommandLine.FindValue("platform");
			if (!Platform || Platform->empty())
			{
				OutError = "No platform was given: pass -platform=<platform>, for example -platform=Win64.";
				return false;
			}
			OutContext.Platform = *Platform;
			OutContext.PlatformFolder = GetPlatformFolderName(*Platform);
			if (!IsPlainFolderName(OutContext.PlatformFolder))
			{
				OutError = "'" + *Platform + "' is not a platform name.";
				return false;
			}
			return true;
		}

		bool ReadVersion(const FCommandLine& CommandLine, const char* Switch, std::string& OutVersion, std::string& OutError)
		{
			OutVersion = CommandLine.FindValue(Switch).value_or(std::string());
			if (!IsPlainFolderName(OutVersion))
			{
				OutError = std::string("-") + Switch + " needs a release version that can be a folder name, such as 1.0; it was '" + OutVersion + "'.";
				return false;
			}
			return true;
		}
	} // namespace

	bool ParseBuildCookRun(const FCommandLine& CommandLine, FBuildCookRunJob& OutJob, std::string& OutError)
	{
		if (!ReadProjectContext(CommandLine, OutJob.Context, OutError))
		{
			return false;
		}

		const bool bRecordsRelease = CommandLine.HasSwitch("createreleaseversion");
		const bool bCooksDlc = CommandLine.HasSwitch("DLCName");
		if (bRecordsRelease == bCooksDlc)
		{
			OutError = "This simulated tool runs one of two jobs: record a release with -createreleaseversion=<version>, or cook a DLC with "
			           "-DLCName=<descriptor> -basedonreleaseversion=<version>.";
			return false;
		}
		if (bRecordsRelease)
		{
			OutJob.Kind = FBuildCookRunJob::EKind::RecordRelease;
			return ReadVersion(CommandLine, "createreleaseversion", OutJob.ReleaseVersion, OutError);
		}

		OutJob.Kind = FBuildCookRunJob::EKind::CookDlc;
		const std::string Descriptor = CommandLine.FindValue("DLCName").value_or(std::string());
		if (!EqualsNoCase(std::filesystem::path(Descriptor).extension().string(), ".uplugin"))
		{
			OutError = "-DLCName must be the path of the DLC's .uplugin descriptor; it was '" + Descriptor + "'.";
			return false;
		}
		OutJob.DlcDescriptor = MakeNormalPath(Descriptor);
		OutJob.bPakPluginFile = CommandLine.HasSwitch("DLCPakPluginFile");
		return ReadVersion(CommandLine, "basedonreleaseversion", OutJob.ReleaseVersion, OutError);
	}

	std::filesystem::path GetReleaseFolder(const FProjectContext& Context, const std::string& Version)
	{
		return Context.ProjectDir / "Releases" / Version / Context.PlatformFolder;
	}
} // namespace AutomationTool
