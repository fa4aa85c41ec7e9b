#include "AssetRegistry.h"

#include "CommandLine.h"

#include <algorithm>

namespace AutomationTool
{
	namespace
	{
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
} // namespace AutomationTool
