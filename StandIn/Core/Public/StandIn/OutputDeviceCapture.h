// A device that records log lines, so that tests and the editor host can read back what was logged.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogVerbosity.h"
#include "Misc/OutputDevice.h"
#include "UObject/NameTypes.h"
#include <mutex>

namespace UE::StandIn
{
	/** One recorded log line. */
	struct FCapturedLogLine
	{
		FName Category;
		ELogVerbosity::Type Verbosity = ELogVerbosity::Log;
		FString Message;
	};

	/** Records every line it receives. Attaches itself to GLog for its lifetime unless told not to. */
	class FOutputDeviceCapture : public FOutputDevice
	{
	public:
		explicit FOutputDeviceCapture(bool bAttachToLog = true);
		~FOutputDeviceCapture() override;

		FOutputDeviceCapture(const FOutputDeviceCapture&) = delete;
		FOutputDeviceCapture& operator=(const FOutputDeviceCapture&) = delete;

		void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override;
		bool CanBeUsedOnAnyThread() const override { return true; }
		bool CanBeUsedOnMultipleThreads() const override { return true; }

		/** @return a copy of the lines recorded so far, oldest first. */
		TArray<FCapturedLogLine> GetLines() const;

		/** @return the lines recorded at exactly this verbosity. */
		TArray<FCapturedLogLine> GetLines(ELogVerbosity::Type Verbosity) const;

		/** @return true if a recorded line's message contains Text (case-sensitive). */
		bool Contains(const FString& Text) const;

		/** @return how many lines were recorded. */
		int32 Num() const;

		/** Forgets the lines recorded so far. */
		void Clear();

	private:
		// Lines may arrive from worker threads while the test or host reads them.
		mutable std::mutex Mutex;
		TArray<FCapturedLogLine> Lines;
		bool bAttached = false;
	};
} // namespace UE::StandIn
