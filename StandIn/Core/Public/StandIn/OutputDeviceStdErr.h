// The console device: prints log lines to standard error as "Category: Verbosity: Message".
#pragma once

#include "CoreTypes.h"
#include "Misc/OutputDevice.h"

namespace UE::StandIn
{
	/**
	 * Prints each line to stderr as it is logged; a Log line omits its verbosity, as the engine's console does. A line
	 * is one write, so lines from several threads never mix.
	 */
	class FOutputDeviceStdErr : public FOutputDevice
	{
	public:
		void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override;
		void Flush() override;
		bool CanBeUsedOnAnyThread() const override { return true; }
		bool CanBeUsedOnMultipleThreads() const override { return true; }

		/** @return the line as printed, without line end: "LogTemp: Warning: text", "LogTemp: text" for Log. */
		static FString FormatLogLine(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category);
	};

	/** @return the console device that GLog starts with; a host that shows the log elsewhere may detach it. */
	FOutputDevice* GetStdErrOutputDevice();
} // namespace UE::StandIn
