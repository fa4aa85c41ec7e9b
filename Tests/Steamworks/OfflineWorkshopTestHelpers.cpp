#include "OfflineWorkshopTestHelpers.h"

#include <atomic>
#include <fstream>

namespace OfflineWorkshopTest
{
	std::filesystem::path MakeTempFolder(const std::string& Prefix)
	{
		static std::atomic<int> Count{0};
		const auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
		const std::filesystem::path Folder = std::filesystem::temp_directory_path() / (Prefix + "-" + std::to_string(Stamp) + "-" + std::to_string(++Count));
		std::filesystem::create_directories(Folder);
		return Folder;
	}

	void WriteFile(const std::filesystem::path& Path, size_t Size, char Fill)
	{
		std::filesystem::create_directories(Path.parent_path());
		std::ofstream File(Path, std::ios::binary | std::ios::trunc);
		const std::string Bytes(Size, Fill);
		File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
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
} // namespace OfflineWorkshopTest
