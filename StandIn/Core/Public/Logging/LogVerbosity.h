// How important a log line is, from Fatal (the program stops) to VeryVerbose (normally hidden).
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

namespace ELogVerbosity
{
	enum Type : uint8
	{
		/** Not used for lines; as a category's verbosity it silences everything but Fatal. */
		NoLogging = 0,
		/** Always printed, then the program stops. */
		Fatal,
		Error,
		Warning,
		Display,
		Log,
		Verbose,
		VeryVerbose,
		All = VeryVerbose,
		NumVerbosity,
		VerbosityMask = 0xf,
		SetColor = 0x40,
		BreakOnLog = 0x80
	};
} // namespace ELogVerbosity

/** @return the verbosity's name ("Warning", "Log", ...), "Unknown" for a value outside the enum. */
const TCHAR* ToString(ELogVerbosity::Type Verbosity);

/** @return the verbosity named by VerbosityString (case-insensitive), or Log if none is. */
ELogVerbosity::Type ParseLogVerbosityFromString(const FString& VerbosityString);
