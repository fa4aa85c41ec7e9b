// A destination for log lines: the console, a file, a capture for tests. GLog sends each line to all of them.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

/** Receives log lines. */
class FOutputDevice
{
public:
	FOutputDevice() = default;
	FOutputDevice(const FOutputDevice&) = default;
	FOutputDevice& operator=(const FOutputDevice&) = default;
	virtual ~FOutputDevice() = default;

	/** Receives one line (without line end) of the given verbosity in the given category. */
	virtual void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) = 0;

	/** Writes out anything the device buffers. */
	virtual void Flush() {}

	/** Releases what the device holds; it receives no more lines. */
	virtual void TearDown() {}

	/** @return true if Serialize may be called from any thread. */
	virtual bool CanBeUsedOnAnyThread() const { return false; }

	/** @return true if Serialize may be called from several threads at once. */
	virtual bool CanBeUsedOnMultipleThreads() const { return false; }

	void Log(const TCHAR* S) { Serialize(S, ELogVerbosity::Log, FName()); }
	void Log(ELogVerbosity::Type Verbosity, const TCHAR* S) { Serialize(S, Verbosity, FName()); }
	void Log(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Str) { Serialize(Str, Verbosity, Category); }
	void Log(const FString& S) { Log(*S); }
	void Log(ELogVerbosity::Type Verbosity, const FString& S) { Log(Verbosity, *S); }
	void Log(const FName& Category, ELogVerbosity::Type Verbosity, const FString& S) { Log(Category, Verbosity, *S); }

	/** Logs a printf-style line at Log verbosity. */
	template <typename... Types>
	void Logf(UE::Core::TCheckedFormatString<TCHAR, Types...> Fmt, Types... Args)
	{
		Log(FString::Printf(Fmt, Args...));
	}

	/** Logs a printf-style line at the given verbosity. */
	template <typename... Types>
	void Logf(ELogVerbosity::Type Verbosity, UE::Core::TCheckedFormatString<TCHAR, Types...> Fmt, Types... Args)
	{
		Log(Verbosity, FString::Printf(Fmt, Args...));
	}
};
