#include "AssetRegistry.h"

#include "CommandLine.h"

#include <algorithm>
#include <fstream>

namespace AutomationTool
{
	namespace
	{
		constexpr const char* RegistryHeader = "TRLAssetRegistry 1";

		bool IsAssetFile(const std::filesystem::path& File)
		{
			const std::string Extension = File.extension().string();
			return EqualsNoCase(Extension, ".uasset") || EqualsNoCase(Extension, ".umap");
		}
	} // namespace

	std::vector<FContentAsset> FindContentAssets(const std::filesystem::path& ContentFolder, const std::string& ContentRoot)
	{
		std::vector<FContentAsset> Assets;
		std::error_code Error;
		for (std::filesystem::recursive_directory_iterator It(ContentFolder, Error), End; !Error && It != End; It.increment(Error))
		{
			if (!It->is_regular_file() || !IsAssetFile(It->path()))
			{
				continue;
			}
			const std::filesystem::path Relative = It->path().lexically_relative(ContentFolder);
			const std::string RelativePath = Relative.generic_string();
			if (RelativePath.find_first_of("\r\n") != std::string::npos)
			{
				continue;
			}
			std::filesystem::path WithoutExtension = Relative;
			WithoutExtension.replace_extension();
			Assets.push_back({ContentRoot + "/" + WithoutExtension.generic_string(), It->path(), RelativePath});
		}
		std::sort(Assets.begin(), Assets.end(), [](const FContentAsset& A, const FContentAsset& B) {
			return A.PackageName < B.PackageName || (A.PackageName == B.PackageName && A.RelativePath < B.RelativePath);
		});
		return Assets;
	}

	bool WriteAssetRegistry(const std::filesystem::path& File, const std::set<std::string>& PackageNames, std::string& OutError)
	{
		std::ofstream Out(File, std::ios::binary | std::ios::trunc);
		Out << RegistryHeader << '\n';
		for (const std::string& PackageName : PackageNames)
		{
			Out << PackageName << '\n';
		}
		Out.close();
		if (!Out)
		{
			OutError = "Could not write '" + File.string() + "'.";
			return false;
		}
		return true;
	}

	bool ReadAssetRegistry(const std::filesystem::path& File, std::set<std::string>& OutPackageNames, std::string& OutError)
	{
		std::ifstream In(File, std::ios::binary);
		std::string Line;
		if (!In || !std::getline(In, Line))
		{
			OutError = "'" + File.string() + "' could not be read.";
			return false;
		}
		if (Line != RegistryHeader)
		{
			OutError = "'" + File.string() + "' is not a release registry of this simulated tool (it does not start with \"" + RegistryHeader + "\").";
			return false;
		}
		OutPackageNames.clear();
		while (std::getline(In, Line))
		{
			if (!Line.empty())
			{
				OutPackageNames.insert(Line);
			}
		}
		return true;
	}
} // namespace AutomationTool
