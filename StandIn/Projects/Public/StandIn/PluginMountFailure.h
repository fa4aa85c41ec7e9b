// Stand-in only: why the plug-in manager last refused to mount, and refusals on demand. Not part of the engine's API,
// whose mount calls answer only true or false (the engine writes the reason to its log, as this stand-in also does),
// and whose refusals come only from the plug-in and the engine's state.
#pragma once

#include "Containers/UnrealString.h"
#include "Internationalization/Text.h"

namespace UE::StandIn
{
	/** The reason the most recent MountExplicitlyLoadedPlugin call refused; empty when it succeeded. */
	PROJECTS_API FText GetLastPluginMountFailReason();

	/**
	 * From now on the plug-in manager refuses to mount the plug-in named PluginName (in any case) with Reason, logged
	 * and kept as any refusal of a mount is, so that what a caller does then can be tried. A plug-in already mounted
	 * stays mounted. Refusals add up until cleared.
	 */
	PROJECTS_API void RefusePluginMount(const FString& PluginName, const FText& Reason);

	/** Ends every refusal that RefusePluginMount set. */
	PROJECTS_API void ClearPluginMountRefusals();
} // namespace UE::StandIn
