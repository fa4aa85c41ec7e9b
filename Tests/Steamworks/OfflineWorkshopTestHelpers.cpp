#include "OfflineWorkshopTestHelpers.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace OfflineWorkshopTest
{
	std::filesystem::path MakeTempFolder(const std::string& Prefix)
	{
		// mkdtemp picks a name no other test process holds, even one that ctest runs side by side.
		std::string Template = (std::filesystem::temp_directory_path() / (Prefix + "-XXXXXX")).string();
		if (!mkdtemp(Template.data()))
		{
			throw std::runtime_error("cannot make a temporary folder from " + Template);
		}
		return Template;
	}

	void WriteFile(const std::filesystem::path& Path, size_t Size, char Fill)
	{
		std::filesystem::create_directories(Path.parent_path());
		std::ofstream File(Path, std::ios::binary | std::ios::trunc);
		const std::string Bytes(Size, Fill);
		File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
	}

	std::string ReadFile(const std::filesystem::path& Path)
	{
		std::ifstream File(Path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
	}

	std::vector<std::string> ListFileNames(const std::filesystem::path& Folder)
	{
		std::vector<std::string> Names;
		std::error_code Error;
		for (const std::filesystem::directory_entry& Entry : std::filesystem::directory_iterator(Folder, Error))
		{
			Names.push_back(Entry.path().filename().string());
		}
		std::sort(Names.begin(), Names.end());
		return Names;
	}

	bool PumpUntil(const std::function<void()>& Pump, const std::function<bool()>& Done, double TimeoutSeconds)
	{
		const auto Deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(TimeoutSeconds);
		while (!Done())
		{
			if (std::chrono::steady_clock::now() > Deadline)
			{
				return false;
			}
			Pump();
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		}
		return true;
	}

	FLinkedItems MakeItemThatRequiresAnother(const std::filesystem::path& Scratch)
	{
		FLinkedItems Items;
		if (SteamAPI_InitEx(nullptr) != k_ESteamAPIInitResult_OK)
		{
			return Items;
		}
		const AppId_t App = SteamUtils()->GetAppID();
		for (PublishedFileId_t* Item : {&Items.Requiring, &Items.Required})
		{
			FCallWaiter<CreateItemResult_t> Created;
			if (Created.Wait(SteamUGC()->CreateItem(App, k_EWorkshopFileTypeCommunity)))
			{
				*Item = Created.Result.m_nPublishedFileId;
			}
		}
		FCallWaiter<AddUGCDependencyResult_t> Linked;
		Linked.Wait(SteamUGC()->AddDependency(Items.Requiring, Items.Required));
		WriteFile(Scratch / "shot.png", 64);
		const UGCUpdateHandle_t Handle = SteamUGC()->StartItemUpdate(App, Items.Requiring);
		SteamUGC()->AddItemKeyValueTag(Handle, "Version", "1.0");
		SteamUGC()->AddItemPreviewFile(Handle, (Scratch / "shot.png").string().c_str(), k_EItemPreviewType_Image);
		FCallWaiter<SubmitItemUpdateResult_t> Submitted;
		Submitted.Wait(SteamUGC()->SubmitItemUpdate(Handle, nullptr));
		SteamAPI_Shutdown();
		return Items;
	}
} // namespace OfflineWorkshopTest
