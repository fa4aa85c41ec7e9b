// FParse: reading switches and values out of a command line.
#pragma once

#include "CoreTypes.h"

struct FParse
{
	/**
	 * Checks if a command-line switch exists in the stream: Param preceded by "-" or "/", in any case, as a whole
	 * word of its own ("-Foo" is found in `-Foo -Bar` and `"-Foo"`, not in `-FooBar` or `x-Foo`).
	 * @param Param the switch's name without its leading "-".
	 */
	static bool Param(const TCHAR* Stream, const TCHAR* Param);
};
