// GLog: the output device that hands every log line to each device attached to it.
#pragma once

#include "Containers/Array.h"
#include "Containers/Ticker.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/OutputDevice.h"
#include <mutex>

/**
 * Hands each line to every attached device, in the order they were attached. As in the editor, which runs a log
 * thread: a device that can be used on multiple threads gets each line at once, on the thread that logs it; any other
 * device gets its lines later, one thread at a time, when the log is flushed or on the next tick of the core ticker.
 * The console device is attached from the start.
 */
class FOutputDeviceRedirector : public FOutputDevice
{
public:
	/** @return the program's redirector (the object GLog points to). */
	static FOutputDeviceRedirector* Get();

	/** Attaches a device; attaching one twice has no effect. The caller keeps ownership. */
	void AddOutputDevice(FOutputDevice* OutputDevice);

	/** Detaches a device; it receives no line once this returns, queued ones included. */
	void RemoveOutputDevice(FOutputDevice* OutputDevice);

	/** @return true if the device is attached. */
	bool IsRedirectingTo(FOutputDevice* OutputDevice);

	/** Delivers the queued lines to the devices that take lines on one thread only, on the calling thread. */
	void FlushThreadedLogs();

	void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override;
	/** Delivers the queued lines, then flushes every device. */
	void Flush() override;
	void TearDown() override;
	bool CanBeUsedOnAnyThread() const override { return true; }
	bool CanBeUsedOnMultipleThreads() const override { return true; }

private:
	FOutputDeviceRedirector();

	struct FQueuedLine
	{
		FString Data;
		ELogVerbosity::Type Verbosity;
		FName Category;
	};

	// Called with the lock held.
	void DeliverQueuedLines();

	// Recursive: a device may log, or detach itself, from inside Serialize.
	std::recursive_mutex Mutex;
	TArray<FOutputDevice*> OutputDevices;
	TArray<FQueuedLine> QueuedLines;
	// The core ticker's call that delivers the queue; expired while none is due.
	FTSTicker::FDelegateHandle DeliveryTicker;
};
