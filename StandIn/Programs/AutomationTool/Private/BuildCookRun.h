// BuildCookRun as the simulation runs it: the two jobs it knows, checked from the command line before any work.
#pragma once

#include "CommandLine.h"

#include "Dom/JsonObject.h"
#include "Templates/SharedPointer.h"

#include <filesystem>
#include <string>

namespace AutomationTool
{
	/** The project and platform that every job works on. */
	struct FProjectContext
	{
		/** The .uproject file and its folder, as normal absolute paths. */
		std::filesystem::path ProjectFile;
		std::filesystem::path ProjectDir;
		/** The .uproject's base file name. */
		std::string ProjectName;
		TSharedPtr<FJsonObject> Project;
		/** "-platform=" as given, and its folder name. */
		std::string Platform;
		std::string PlatformFolder;
	};

	struct FBuildCookRunJob
	{
		enum class EKind
		{
			/** "-createreleaseversion=V": record the assets of a base game release. */
			RecordRelease,
			/** "-DLCName=<descriptor> -basedonreleaseversion=V": cook a plug-in as DLC against a recorded release. */
			CookDlc,
		};
		EKind Kind = EKind::RecordRelease;
		FProjectContext Context;
		/** The release recorded, or the release the DLC is based on. */
		std::string ReleaseVersion;
		/** The DLC's descriptor as given ("-DLCName="), made absolute. */
		std::filesystem::path DlcDescriptor;
		/** "-DLCPakPluginFile": the descriptor goes into the pak too. */
		bool bPakPluginFile = false;
	};

	/**
	 * Reads a BuildCookRun command line: the project (which must exist and hold a JSON object), the platform and
	 * the job. @return false with OutError saying what is missing or wrong
	 */
	bool ParseBuildCookRun(const FCommandLine& CommandLine, FBuildCookRunJob& OutJob, std::string& OutError);

	/** The folder of a recorded release: <project>/Releases/<version>/<platform folder>. */
	std::filesystem::path GetReleaseFolder(const FProjectContext& Context, const std::string& Version);
} // namespace AutomationTool
