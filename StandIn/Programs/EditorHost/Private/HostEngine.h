// The host's reach into the object system, configuration, plug-in manager and UAT: the requests and hooks that go
// beyond menus, windows, dialogs and notifications.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "HostFrontEnd.h"

namespace UE::StandIn::EditorHost
{
	/** Reads the open project's configuration files into the engine's configuration and the class defaults. */
	void LoadProjectConfiguration();

	/** With bWithoutSettings, the plug-in's runtime module answers that there is no settings object. */
	void ApplySettingsOption(bool bWithoutSettings);

	/** The local mods root as the plug-in's runtime module reports it. */
	FString GetModsRoot();

	/** Routes the UAT helper's tasks and the ToolMenus start-up callbacks to the front end. */
	void InstallEngineHooks(IHostFrontEnd& FrontEnd);
	void RemoveEngineHooks();

	/**
	 * Calls a reflected function by class and function name through reflection only, as a script does.
	 * Args holds input values by parameter name (and starting values of outputs).
	 * @return false with OutError set when the class, function or a parameter is unknown, or scripts may not call it.
	 */
	bool CallReflectedFunction(const FString& ClassName, const FString& FunctionName, const TSharedPtr<FJsonObject>& Args, TSharedPtr<FJsonValue>& OutReturn,
	                           TSharedRef<FJsonObject>& OutOutputs, FString& OutError);

	/** Collects garbage. @return the live objects per class name. */
	TSharedRef<FJsonObject> CollectGarbageAndCountObjects();

	/** @return the registered content roots with their folders, in registration order. */
	TArray<TPair<FString, FString>> ListMountPoints();

	/** Sets a log category's runtime verbosity by names. @return false with OutError for an unknown category or level. */
	bool SetLogVerbosity(const FString& CategoryName, const FString& LevelName, FString& OutError);
} // namespace UE::StandIn::EditorHost
