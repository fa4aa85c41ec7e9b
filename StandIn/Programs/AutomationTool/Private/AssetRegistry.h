// The assets of a content folder, and the release registry that records those of a base game release.
//
// AssetRegistry.bin, the simulated registry, is UTF-8 text with "\n" line ends:
//   line 1: "TRLAssetRegistry 1" (the format and its version)
//   then:   one package name per line, sorted by byte value, each once, e.g. "/Game/Maps/Arena"
// A package name is the content root ("/Game" for the project, "/<ModName>" for a mod) followed by the asset's
// path inside the Content folder without its extension. Assets are the ".uasset" and ".umap" files (extension in
// any case); a file whose path holds a line break cannot be a package and is left out.
#pragma once

#include <filesystem>
#include <set>
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

	/** Writes the registry, replacing any file there. @return false with OutError when it cannot be written */
	bool WriteAssetRegistry(const std::filesystem::path& File, const std::set<std::string>& PackageNames, std::string& OutError);

	/** Reads a registry. @return false with OutError when the file cannot be read or is not a registry of this format */
	bool ReadAssetRegistry(const std::filesystem::path& File, std::set<std::string>& OutPackageNames, std::string& OutError);
} // namespace AutomationTool
