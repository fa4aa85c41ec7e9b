// One run of the editor: the plug-in's modules loaded on the open project, the editor's services routed to a front
// end, and the game-thread loop that the front end drives.
#pragma once

#include "CoreMinimal.h"
#include "HostFrontEnd.h"
#include "HostOptions.h"
#include "HostProject.h"

#include <memory>

namespace UE::StandIn::EditorHost
{
	class FHostSession
	{
	public:
		FHostSession(const FHostOptions& InOptions, const FHostProject& InProject, IHostFrontEnd& InFrontEnd);
		~FHostSession();

		FHostSession(const FHostSession&) = delete;
		FHostSession& operator=(const FHostSession&) = delete;

		/**
		 * Loads the editor's own modules, then the plug-in's in the order its descriptor gives, as the editor does, and
		 * declares the menus ready unless told not to.
		 * @return false with OutError set, having loaded nothing, when the plug-in's descriptor cannot be used.
		 */
		bool Start(FString& OutError);

		/** Says that it does, then shuts the loaded modules down in the reverse order of loading. Safe to call twice. */
		void Shutdown();

		/** Runs the game-thread loop at real time for this long (at least one frame), or until Ctrl-C. */
		void Tick(double Seconds);

		/** Runs one frame of the game-thread loop. */
		void TickFrame();

		/** The plug-in's modules, in the order Start loads them. */
		const TArray<FName>& GetPluginModuleNames() const { return PluginModules; }

		const FHostProject& GetProject() const { return Project; }
		const FHostOptions& GetOptions() const { return Options; }

	private:
		void InstallHooks();
		void RegisterLevelEditorMenus();
		void RemoveHooks();

		FHostOptions Options;
		FHostProject Project;
		IHostFrontEnd& FrontEnd;
		TArray<FName> PluginModules;
		TArray<FName> LoadedModules;
		bool bStarted = false;
		double LastFrameSeconds = 0.0;
		struct FHooks;
		std::unique_ptr<FHooks> Hooks;
	};
} // namespace UE::StandIn::EditorHost
