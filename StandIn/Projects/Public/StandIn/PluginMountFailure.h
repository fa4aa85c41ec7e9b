// Stand-in only: why the plug-in manager last refused to mount. Not part of the engine's API, whose mount
// calls answer only true or false (the engine writes the reason to its log, as this stand-in also does).
#pragma once

#include "Internationalization/Text.h"

namespace UE::StandIn
{
	/** The reason the most recent MountExplicitlyLoadedPlugin call refused; empty when it succeeded. */
	PROJECTS_API FText GetLastPluginMountFailReason();
} // namespace UE::StandIn
