// A module as a plug-in descriptor lists it: its name, where it may load, and when in the engine's start-up.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Internationalization/Text.h"
#include "UObject/NameTypes.h"

class FJsonObject;

/** Where a module may load. */
namespace EHostType
{
	enum Type
	{
		Runtime,
		RuntimeNoCommandlet,
		RuntimeAndProgram,
		CookedOnly,
		UncookedOnly,
		Developer,
		DeveloperTool,
		Editor,
		EditorNoCommandlet,
		EditorAndProgram,
		Program,
		ServerOnly,
		ClientOnly,
		ClientOnlyNoCommandlet,
		Max
	};

	/** @return the type a descriptor names ("Runtime", "Editor", ...; any case), or Max when it names none. */
	Type FromString(const TCHAR* Text);
} // namespace EHostType

/** When in the engine's start-up a module is loaded. */
namespace ELoadingPhase
{
	enum Type
	{
		EarliestPossible,
		PostConfigInit,
		PostSplashScreen,
		PreEarlyLoadingScreen,
		PreLoadingScreen,
		PreDefault,
		Default,
		PostDefault,
		PostEngineInit,
		/** Never loaded at start-up: only when something asks for it. */
		None,
		Max,
	};

	/** @return the phase a descriptor names ("PreDefault", "Default", ...; any case), or Max when it names none. */
	Type FromString(const TCHAR* Text);
} // namespace ELoadingPhase

/** One entry of a descriptor's "Modules". */
struct FModuleDescriptor
{
	FName Name;
	EHostType::Type Type;
	ELoadingPhase::Type LoadingPhase;

	FModuleDescriptor(const FName InName = NAME_None, EHostType::Type InType = EHostType::Runtime, ELoadingPhase::Type InLoadingPhase = ELoadingPhase::Default);

	/**
	 * Reads one module entry: "Name" and "Type" are required, "LoadingPhase" is "Default" when absent.
	 * @return false with OutFailReason set when a required field is missing or a type or phase is unknown.
	 */
	bool Read(const FJsonObject& Object, FText* OutFailReason = nullptr);

	/**
	 * Reads the array field Name of Object into OutModules, in the order it lists them; no such field reads as none.
	 * @return false with OutFailReason set when the field is not an array of valid module entries.
	 */
	static bool ReadArray(const FJsonObject& Object, const TCHAR* Name, TArray<FModuleDescriptor>& OutModules, FText* OutFailReason = nullptr);

	/** @return true when the running program loads a module of this type: the editor loads all but cooked-only and program modules. */
	bool IsLoadedInCurrentConfiguration() const;
};
