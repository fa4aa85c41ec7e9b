#include "ReleaseRecorder.h"

#include "AssetRegistry.h"
#include "StandIn/SimulatedAssetRegistry.h"

#include <set>

namespace AutomationTool
{
	bool RecordRelease(const FBuildCookRunJob& Job, const FRunControl& Control, std::string& OutError)
	{
		const FProjectContext& Context = Job.Context;
		Control.Step("Recording release " + Job.ReleaseVersion + " of " + Context.ProjectName + " for " + Context.Platform + ".");

		const std::filesystem::path ContentFolder = Context.ProjectDir / "Content";
		std::set<std::string> PackageNames;
		for (const FContentAsset& Asset : FindContentAssets(ContentFolder, "/Game"))
		{
			Control.Step("Release asset: " + Asset.PackageName);
			PackageNames.insert(Asset.PackageName);
		}

		const std::filesystem::path ReleaseFolder = GetReleaseFolder(Context, Job.ReleaseVersion);
		std::error_code Error;
		std::filesystem::create_directories(ReleaseFolder, Error);
		if (Error)
		{
			OutError = "Could not create '" + ReleaseFolder.string() + "': " + Error.message() + ".";
			return false;
		}
		Control.ReachCrashPoint();

		const std::filesystem::path Registry = ReleaseFolder / "AssetRegistry.bin";
		if (!UE::StandIn::SimulatedAssetRegistry::Write(Registry, PackageNames, OutError))
		{
			return false;
		}
		Control.Step("Wrote the release registry " + Registry.string() + " (" + CountText(PackageNames.size(), "asset", "assets") + ").");
		return true;
	}
} // namespace AutomationTool
