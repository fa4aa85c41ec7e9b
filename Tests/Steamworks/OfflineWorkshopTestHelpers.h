// What the offline Workshop's tests share: a folder of their own, files of a given size, and waiting for a result.
#pragma once

#include "StandIn/OfflineWorkshop.h"
#include "steam/steam_api.h"
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace OfflineWorkshopTest
{
	/** Makes an empty folder of the test's own under the system's temporary folder. */
	std::filesystem::path MakeTempFolder(const std::string& Prefix);

	/** Writes Size bytes to Path, making its folders. */
	void WriteFile(const std::filesystem::path& Path, size_t Size, char Fill = 'x');

	/** @return the file's bytes; empty when it cannot be read */
	std::string ReadFile(const std::filesystem::path& Path);

	/** @return the names of the files in Folder, sorted; empty when there is no such folder */
	std::vector<std::string> ListFileNames(const std::filesystem::path& Folder);

	/** Calls Pump until Done answers true, for at most TimeoutSeconds. @return what Done answered last */
	bool PumpUntil(const std::function<void()>& Pump, const std::function<bool()>& Done, double TimeoutSeconds = 10.0);

	/** The two items MakeItemThatRequiresAnother makes. */
	struct FLinkedItems
	{
		PublishedFileId_t Requiring = 0;
		PublishedFileId_t Required = 0;
	};

	/**
	 * Makes two items in the offline Workshop's folder through the SDK, initialised for the purpose and shut down
	 * afterwards: one that requires the other, with the key-value tag Version=1.0 and the extra preview shot.png
	 * (written in Scratch). @return their ids; 0 for one that could not be made
	 */
	FLinkedItems MakeItemThatRequiresAnother(const std::filesystem::path& Scratch);

	/** Waits for the result of one call through SteamAPI_RunCallbacks, as a game does. */
	template <typename ResultType>
	class FCallWaiter
	{
	public:
		/** @return true once the result has arrived within the time */
		bool Wait(SteamAPICall_t Call, double TimeoutSeconds = 10.0)
		{
			CallResult.Set(Call, this, &FCallWaiter::Handle);
			return PumpUntil(
			    []() {
				    SteamAPI_RunCallbacks();
			    },
			    [this]() {
				    return bArrived;
			    },
			    TimeoutSeconds);
		}

		void Handle(ResultType* InResult, bool bInIOFailure)
		{
			Result = *InResult;
			bIOFailure = bInIOFailure;
			bArrived = true;
			ThreadId = std::this_thread::get_id();
		}

		CCallResult<FCallWaiter, ResultType> CallResult;
		ResultType Result{};
		bool bIOFailure = false;
		bool bArrived = false;
		std::thread::id ThreadId;
	};
} // namespace OfflineWorkshopTest
