// The plug-in as the host reaches it, the way the editor does: its modules from its descriptor, its code only through
// reflection. What else the host knows of the plug-in (a switch and a query, by name) is here and nowhere else.
#pragma once

#include "CoreMinimal.h"
#include "HostOptions.h"

namespace UE::StandIn::EditorHost
{
	/** @return the plug-in descriptor to load: the one named by --plugin, else the one the host was built with. */
	FString GetPluginDescriptorFile(const FHostOptions& Options);

	/**
	 * Makes the plug-in known to the plug-in manager and lists the modules the editor loads at start-up, in the order
	 * it loads them: phase by phase, and within a phase as the descriptor lists them.
	 * @return false with OutError set when the descriptor cannot be read, or names a module this program lacks.
	 */
	bool FindPluginModules(const FString& DescriptorFile, TArray<FName>& OutModules, FString& OutError);

	/** @return the engine's command line for these options, with the plug-in's switch that starts it without settings. */
	FString MakeEngineCommandLine(const FHostOptions& Options);

	/** @return the local mods root as the plug-in's reflected query answers it; empty when no reflected class offers it. */
	FString GetModsRoot();
} // namespace UE::StandIn::EditorHost
