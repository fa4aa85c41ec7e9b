// The assets of a content folder, as the release registry (StandIn/SimulatedAssetRegistry.h) and the pak name them.
// A package name is the content root ("/Game" for the project, "/<ModName>" for a mod) followed by the asset's
// path inside the Content folder without its extension. Assets are the ".uasset" and ".umap" files (extension in
// any case); a file whose path holds a line break cannot be a package and is left out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace AutomationTool
{
	/** One asset file of a content folder and the package it is. */
	struct FContentAsset
	{
		std::string PackageName;
		std::filesystem::path File;
		/** The file's path inside the content folder, with "/" separators. */
		std::string RelativePath;
	};

	/** The assets under ContentFolder, sorted by package name; none when the folder does not exist. */
	std::vector<FContentAsset> FindContentAssets(const std::filesystem::path& ContentFolder, const std::string& ContentRoot);
} // namespace AutomationTool
