// FCommandLine: the engine's command line, the switches a module reads at start-up.
#pragma once

#include "CoreTypes.h"

struct FCommandLine
{
	/** @return the command line without the program's name; empty until it is set. */
	static const TCHAR* Get();

	/**
	 * Replaces the command line. Pointers that Get() returned before no longer hold.
	 * @return false, changing nothing, when NewCommandLine is null.
	 */
	static bool Set(const TCHAR* NewCommandLine);
};
