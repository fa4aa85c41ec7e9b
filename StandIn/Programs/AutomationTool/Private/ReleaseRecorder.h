// Recording a base game release: the registry of the project's own assets, which DLC cooks are based on.
#pragma once

#include "BuildCookRun.h"
#include "RunControl.h"

#include <string>

namespace AutomationTool
{
	/**
	 * Writes <project>/Releases/<version>/<platform folder>/AssetRegistry.bin listing the assets of the project's
	 * Content folder (none when it is missing or empty). @return false with OutError when it cannot be written
	 */
	bool RecordRelease(const FBuildCookRunJob& Job, const FRunControl& Control, std::string& OutError);
} // namespace AutomationTool
