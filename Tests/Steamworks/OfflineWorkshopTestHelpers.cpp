#include "OfflineWorkshopTestHelpers.h"

#include <cstdlib>
#include <fstream>
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
