// The plug-in as the host reaches it, the way the editor does: its name and modules from its descriptor, its code only
// through reflection and what its modules declare. No class, log category or switch of the plug-in is named here: the
// queries the host makes (GetLocalModsRoot, GetLocalModDescriptors, GetBuildState) are looked for among the classes of
// the plug-in's modules.
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

	/**
	 * @return the engine's command line for these options. Without settings it holds "-<plug-in>WithoutSettings", the
	 *         plug-in's name being its descriptor's, which the plug-in reads at start-up.
	 */
	FString MakeEngineCommandLine(const FHostOptions& Options);

	/**
	 * @return the local mods root as the plug-in answers it: the static, script-callable GetLocalModsRoot of a reflected
	 *         class of one of PluginModules; empty when none of their classes offers it.
	 */
	FString GetModsRoot(const TArray<FName>& PluginModules);

	/** A local mod and the state of its packaged build, as the plug-in tells them. */
	struct FModBuildState
	{
		FString Name;
		FString Descriptor;
		/** The state's name as reflection gives it, such as "Stale". */
		FString State;
		TArray<FString> Reasons;
	};

	/**
	 * @return every local mod with its build state, as the plug-in answers them: the static, script-callable
	 *         GetLocalModDescriptors and GetBuildState of a reflected class of one of PluginModules; empty when none of
	 *         their classes offers them.
	 */
	TArray<FModBuildState> ListModBuildStates(const TArray<FName>& PluginModules);

	/** @return the log categories that the code of PluginModules defines. */
	TSet<FName> FindPluginLogCategories(const TArray<FName>& PluginModules);
} // namespace UE::StandIn::EditorHost
