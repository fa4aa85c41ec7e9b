// GLog: the output device that hands every log line to each device attached to it.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Misc/OutputDevice.h"
#include <mutex>

/**
 * Hands each line to every attached device, in the order they were attached. Lines from any thread are
 * delivered at once, one line at a time. The console device is attached from the start.
 */
class FOutputDeviceRedirector : public FOutputDevice
{
public:
	/** @return the program's redirector (the object GLog points to). */
	static FOutputDeviceRedirector* Get();

	/** Attaches a device; attaching one twice has no effect. The caller keeps ownership. */
	void AddOutputDevice(FOutputDevice* OutputDevice);

	/** Detaches a device; it receives no line once this returns. */
	void RemoveOutputDevice(FOutputDevice* OutputDevice);

	/** @return true if the device is attached. */
	bool IsRedirectingTo(FOutputDevice* OutputDevice);

	void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override;
	void Flush() override;
	void TearDown() override;
	bool CanBeUsedOnAnyThread() const override { return true; }
	bool CanBeUsedOnMultipleThreads() const override { return true; }

private:
	FOutputDeviceRedirector();

	// Recursive: a device may log, or detach itself, from inside Serialize.
	std::recursive_mutex Mutex;
	TArray<FOutputDevice*> OutputDevices;
};
