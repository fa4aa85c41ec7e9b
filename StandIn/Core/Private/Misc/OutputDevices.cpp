#include "Misc/OutputDeviceRedirector.h"
#include "StandIn/OutputDeviceCapture.h"
#include "StandIn/OutputDeviceStdErr.h"

#include "CoreGlobals.h"
#include <cstdio>

FOutputDeviceRedirector* FOutputDeviceRedirector::Get()
{
	// Never destroyed: lines may still be logged by static destructors at exit.
	static FOutputDeviceRedirector* const Singleton = new FOutputDeviceRedirector();
	return Singleton;
}

FOutputDeviceRedirector::FOutputDeviceRedirector()
{
	OutputDevices.Add(UE::StandIn::GetStdErrOutputDevice());
}

void FOutputDeviceRedirector::AddOutputDevice(FOutputDevice* OutputDevice)
{
	if (OutputDevice != nullptr)
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		OutputDevices.AddUnique(OutputDevice);
	}
}

void FOutputDeviceRedirector::RemoveOutputDevice(FOutputDevice* OutputDevice)
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	OutputDevices.Remove(OutputDevice);
}

bool FOutputDeviceRedirector::IsRedirectingTo(FOutputDevice* OutputDevice)
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	return OutputDevices.Contains(OutputDevice);
}

void FOutputDeviceRedirector::Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category)
{
	bool bScheduleDelivery = false;
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		// A copy, so that a device may detach itself (or another) while the line is handed out; a detached device
		// gets nothing more.
		const TArray<FOutputDevice*> Devices = OutputDevices;
		bool bQueue = false;
		for (FOutputDevice* Device : Devices)
		{
			if (!Device->CanBeUsedOnMultipleThreads())
			{
				bQueue = true;
			}
			else if (OutputDevices.Contains(Device))
			{
				Device->Serialize(V, Verbosity, Category);
			}
		}
		if (bQueue)
		{
			QueuedLines.Add({FString(V != nullptr ? V : TEXT("")), Verbosity, Category});
			bScheduleDelivery = !DeliveryTicker.IsValid();
		}
	}
	// Outside the lock: the ticker takes its own, and delivers under this one.
	if (bScheduleDelivery)
	{
		FTSTicker::FDelegateHandle Handle = FTSTicker::GetCoreTicker().AddTicker(TEXT("FlushThreadedLogs"), 0.0f, [this](float) {
			std::lock_guard<std::recursive_mutex> Lock(Mutex);
			// Expired first, so that a line logged from here on asks for a delivery of its own.
			DeliveryTicker.Reset();
			DeliverQueuedLines();
			return false;
		});
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		DeliveryTicker = MoveTemp(Handle);
	}
}

void FOutputDeviceRedirector::FlushThreadedLogs()
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	DeliverQueuedLines();
}

void FOutputDeviceRedirector::DeliverQueuedLines()
{
	// A device may log while it receives a line; that line joins the queue and goes out in this same call.
	while (QueuedLines.Num() > 0)
	{
		const TArray<FQueuedLine> Lines = MoveTemp(QueuedLines);
		QueuedLines.Empty();
		for (const FQueuedLine& Line : Lines)
		{
			const TArray<FOutputDevice*> Devices = OutputDevices;
			for (FOutputDevice* Device : Devices)
			{
				if (!Device->CanBeUsedOnMultipleThreads() && OutputDevices.Contains(Device))
				{
					Device->Serialize(*Line.Data, Line.Verbosity, Line.Category);
				}
			}
		}
	}
}

void FOutputDeviceRedirector::Flush()
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	DeliverQueuedLines();
	const TArray<FOutputDevice*> Devices = OutputDevices;
	for (FOutputDevice* Device : Devices)
	{
		Device->Flush();
	}
}

void FOutputDeviceRedirector::TearDown()
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	DeliverQueuedLines();
	const TArray<FOutputDevice*> Devices = MoveTemp(OutputDevices);
	OutputDevices.Empty();
	for (FOutputDevice* Device : Devices)
	{
		Device->Flush();
		Device->TearDown();
	}
}

namespace UE::StandIn
{
	FString FOutputDeviceStdErr::FormatLogLine(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category)
	{
		FString Line;
		if (!Category.IsNone())
		{
			Line += Category.ToString();
			Line += TEXT(": ");
		}
		const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		if (Level != ELogVerbosity::Log)
		{
			Line += ToString(Level);
			Line += TEXT(": ");
		}
		Line += V != nullptr ? V : TEXT("");
		return Line;
	}

	void FOutputDeviceStdErr::Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category)
	{
		// Colour changes are not lines.
		if ((Verbosity & ELogVerbosity::SetColor) != 0)
		{
			return;
		}
		const std::string Line = FormatLogLine(V, Verbosity, Category).ToUtf8() + "\n";
		std::fwrite(Line.data(), 1, Line.size(), stderr);
	}

	void FOutputDeviceStdErr::Flush()
	{
		std::fflush(stderr);
	}

	FOutputDevice* GetStdErrOutputDevice()
	{
		static FOutputDeviceStdErr* const Device = new FOutputDeviceStdErr();
		return Device;
	}

	FOutputDeviceCapture::FOutputDeviceCapture(bool bAttachToLog)
	    : bAttached(bAttachToLog)
	{
		if (bAttached)
		{
			FOutputDeviceRedirector::Get()->AddOutputDevice(this);
		}
	}

	FOutputDeviceCapture::~FOutputDeviceCapture()
	{
		// Detaching whether or not this attached itself: a device that GLog outlives must never stay attached.
		FOutputDeviceRedirector::Get()->RemoveOutputDevice(this);
	}

	void FOutputDeviceCapture::Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category)
	{
		if ((Verbosity & ELogVerbosity::SetColor) != 0)
		{
			return;
		}
		FCapturedLogLine Line;
		Line.Category = Category;
		Line.Verbosity = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		Line.Message = V != nullptr ? V : TEXT("");
		std::lock_guard<std::mutex> Lock(Mutex);
		Lines.Add(MoveTemp(Line));
	}

	TArray<FCapturedLogLine> FOutputDeviceCapture::GetLines() const
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		return Lines;
	}

	TArray<FCapturedLogLine> FOutputDeviceCapture::GetLines(ELogVerbosity::Type Verbosity) const
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		return Lines.FilterByPredicate([Verbosity](const FCapturedLogLine& Line) {
			return Line.Verbosity == Verbosity;
		});
	}

	bool FOutputDeviceCapture::Contains(const FString& Text) const
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		return Lines.ContainsByPredicate([&Text](const FCapturedLogLine& Line) {
			return Line.Message.Contains(*Text, ESearchCase::CaseSensitive);
		});
	}

	int32 FOutputDeviceCapture::Num() const
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		return Lines.Num();
	}

	void FOutputDeviceCapture::Clear()
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		Lines.Empty();
	}
} // namespace UE::StandIn
