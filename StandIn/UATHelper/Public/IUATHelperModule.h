// The editor's UAT helper: runs the engine's automation tool with a command line as a task with a notification.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Internationalization/Text.h"
#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"
#include "Templates/Function.h"

struct FSlateBrush;
struct FAnalyticsEventAttribute;

class IUATHelperModule : public IModuleInterface
{
public:
	/** The module, loaded on first use. */
	static IUATHelperModule& Get() { return FModuleManager::LoadModuleChecked<IUATHelperModule>("UATHelper"); }

	/** @return true when the module is loaded */
	static bool IsAvailable() { return FModuleManager::Get().IsModuleLoaded("UATHelper"); }

	/** Told once when a task has ended: its result text ("Completed" on success) and the seconds it took. */
	typedef TFunction<void(FString, double)> UatTaskResultCallack;

	/**
	 * Starts the automation tool with CommandLine in a child process and returns at once. A notification shows the
	 * task while it runs and its outcome; the tool's output goes to the log. ResultCallback runs once, on the game
	 * thread, when the tool has ended or could not be started. Where no notification can be shown (notifications off,
	 * as in a commandlet), nothing is started and ResultCallback never runs.
	 * @param CommandLine the tool's arguments; blanks separate them, double quotes group and are removed
	 * @param ResultLocation the folder that holds the task's output, shown when it succeeds
	 */
	virtual void CreateUatTask(const FString& CommandLine, const FText& PlatformDisplayName, const FText& TaskName, const FText& TaskShortName,
	                           const FSlateBrush* TaskIcon, const TArray<struct FAnalyticsEventAttribute>* OptionalAnalyticsParamArray = nullptr,
	                           UatTaskResultCallack ResultCallback = UatTaskResultCallack(), const FString& ResultLocation = FString()) = 0;
};
