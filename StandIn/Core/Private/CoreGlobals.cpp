#include "CoreGlobals.h"

#include "Misc/App.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Templates/UnrealTemplate.h"
#include <atomic>
#include <thread>

FOutputDeviceRedirector* GLog = FOutputDeviceRedirector::Get();
bool GIsEditor = true;
bool PRIVATE_GIsRunningCommandlet = false;
TCHAR GInternalProjectName[64] = {};

DEFINE_LOG_CATEGORY(LogTemp);
DEFINE_LOG_CATEGORY_STATIC(LogCore, Log, All);

namespace
{
	// Static initialisation runs on the thread that starts the program.
	const std::thread::id GGameThread = std::this_thread::get_id();

	std::atomic<bool> GIsEngineExitRequested = false;
} // namespace

bool IsEngineExitRequested()
{
	return GIsEngineExitRequested;
}

void RequestEngineExit(const TCHAR* ReasonString)
{
	if (!GIsEngineExitRequested.exchange(true))
	{
		UE_LOG(LogCore, Log, TEXT("The engine was asked to exit: %s"), ReasonString);
	}
}

void RequestEngineExit(const FString& ReasonString)
{
	RequestEngineExit(*ReasonString);
}

bool IsInGameThread()
{
	return std::this_thread::get_id() == GGameThread;
}

void FApp::SetProjectName(const TCHAR* InProjectName)
{
	constexpr SIZE_T Capacity = UE_ARRAY_COUNT(GInternalProjectName);
	SIZE_T Length = 0;
	while (InProjectName != nullptr && InProjectName[Length] != 0 && Length + 1 < Capacity)
	{
		GInternalProjectName[Length] = InProjectName[Length];
		++Length;
	}
	GInternalProjectName[Length] = 0;
}
