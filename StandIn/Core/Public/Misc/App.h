// FApp: facts about the running application.
#pragma once

#include "CoreGlobals.h"
#include "CoreTypes.h"

class FApp
{
public:
	/** @return the running project's name, empty if none is open. */
	static const TCHAR* GetProjectName() { return GInternalProjectName; }

	/** Sets the running project's name (cut at 63 characters, as the engine's buffer holds). */
	static void SetProjectName(const TCHAR* InProjectName);

	/** @return true if a project name is set. */
	static bool HasProjectName() { return GInternalProjectName[0] != 0; }
};
