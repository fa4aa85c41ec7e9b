#include "StandIn/FileWriteFaults.h"

#include "HAL/UnixFileSystem.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <vector>

namespace
{
	struct FWriteFault
	{
		std::string PathSuffix;
		UE::StandIn::EFileWriteFault Fault;
	};

	// Writes happen on any thread (a copy on a worker, a log file); faults are few and checked under one lock.
	std::mutex GFaultsMutex;
	std::vector<FWriteFault> GFaults;
	// Read without the lock on every write, so that a program without faults pays nothing more.
	std::atomic<bool> GHasFaults{false};

	std::string WithoutTrailingSlashes(std::string Path)
	{
		while (Path.size() > 1 && Path.back() == '/')
		{
			Path.pop_back();
		}
		return Path;
	}
} // namespace

namespace UE::StandIn
{
	void FailFileWrites(const FString& PathSuffix, EFileWriteFault Fault)
	{
		std::string Suffix = PathSuffix.Replace(TEXT("\\"), TEXT("/")).ToUtf8();
		const std::lock_guard<std::mutex> Lock(GFaultsMutex);
		GFaults.push_back({WithoutTrailingSlashes(MoveTemp(Suffix)), Fault});
		GHasFaults = true;
	}

	void ClearFileWriteFaults()
	{
		const std::lock_guard<std::mutex> Lock(GFaultsMutex);
		GFaults.clear();
		GHasFaults = false;
	}
} // namespace UE::StandIn

namespace UE::StandIn::FileSystem
{
	bool HasWriteFaults()
	{
		return GHasFaults;
	}

	bool IsRefusedByFault(const std::string& Path, EPathChange Change)
	{
		if (!GHasFaults)
		{
			return false;
		}
		const std::string Target = WithoutTrailingSlashes(Path);
		const std::lock_guard<std::mutex> Lock(GFaultsMutex);
		for (const FWriteFault& Fault : GFaults)
		{
			// A full disk still lets a file go: removing one frees space.
			const bool bRefuses = Fault.Fault == EFileWriteFault::ReadOnly || Change == EPathChange::Write;
			if (bRefuses && Target.ends_with(Fault.PathSuffix))
			{
				errno = Fault.Fault == EFileWriteFault::DiskFull ? ENOSPC : EROFS;
				return true;
			}
		}
		return false;
	}
} // namespace UE::StandIn::FileSystem
