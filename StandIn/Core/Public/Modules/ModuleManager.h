// FModuleManager: loads modules by name, hands out their interfaces, and shuts them down in reverse load order.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Misc/AssertionMacros.h"
#include "Modules/ModuleInterface.h"
#include "UObject/NameTypes.h"
#include <memory>
#include <mutex>

/** Creates a module's object; every module is linked into the program and registers one of these. */
DECLARE_DELEGATE_RetVal(IModuleInterface*, FInitializeStaticallyLinkedModule);

enum class ELoadModuleFlags
{
	None = 0x0,
	LogFailures = 1 << 0,
};

/** Why a module was loaded or unloaded, as FModuleManager::OnModulesChanged reports it. */
enum class EModuleChangeReason
{
	ModuleLoaded,
	ModuleUnloaded,
	PluginDirectoryChanged
};

DECLARE_MULTICAST_DELEGATE_TwoParams(FModulesChangedEvent, FName, EModuleChangeReason);

/**
 * Knows every module linked into the program (each registers itself with IMPLEMENT_MODULE) and which are
 * loaded. Loading creates the module's object and calls StartupModule; unloading calls ShutdownModule and
 * destroys it.
 */
class FModuleManager
{
public:
	/** @return the program's module manager. */
	static FModuleManager& Get();

	/** @return true if the module is loaded (its StartupModule has run or is running). */
	bool IsModuleLoaded(const FName InModuleName) const;

	/** @return true if a module of that name is linked into the program, loaded or not. */
	bool ModuleExists(const TCHAR* ModuleName) const;

	/** Loads the module if needed. @return its interface, or null if no such module exists. */
	IModuleInterface* LoadModule(const FName InModuleName, ELoadModuleFlags InLoadModuleFlags = ELoadModuleFlags::None);

	/** Loads the module if needed; a module that does not exist is a programming error. */
	IModuleInterface& LoadModuleChecked(const FName InModuleName);

	/** @return the loaded module's interface, or null if it is not loaded. */
	IModuleInterface* GetModule(const FName InModuleName);

	/** Shuts the module down and destroys it. @return false if it was not loaded. */
	bool UnloadModule(const FName InModuleName, bool bIsShutdown = false, bool bAllowUnloadCode = true);

	/** Unloads every module that supports automatic shutdown, the last loaded first. */
	void UnloadModulesAtShutdown();

	/** @return how many modules are loaded. */
	int32 GetModuleCount() const;

	/** @return the names of the loaded modules in the order they finished loading. */
	TArray<FName> GetLoadedModuleNames() const;

	/** Makes a module known; IMPLEMENT_MODULE calls this for every module before main runs. */
	void RegisterStaticallyLinkedModule(const FName InModuleName, const FInitializeStaticallyLinkedModule& InInitializerDelegate);

	/** Broadcast after a module has loaded or before it unloads. */
	FModulesChangedEvent& OnModulesChanged() { return ModulesChangedEvent; }

	template <typename TModuleInterface>
	static TModuleInterface& LoadModuleChecked(const FName InModuleName)
	{
		return static_cast<TModuleInterface&>(Get().LoadModuleChecked(InModuleName));
	}

	/** @return the module's interface, loading it if needed, or null if it does not exist. */
	template <typename TModuleInterface>
	static TModuleInterface* LoadModulePtr(const FName InModuleName)
	{
		return static_cast<TModuleInterface*>(Get().LoadModule(InModuleName));
	}

	/** @return the loaded module's interface; the module must be loaded. */
	template <typename TModuleInterface>
	static TModuleInterface& GetModuleChecked(const FName ModuleName)
	{
		IModuleInterface* Module = Get().GetModule(ModuleName);
		checkf(Module != nullptr, TEXT("Module is not loaded"));
		return static_cast<TModuleInterface&>(*Module);
	}

	/** @return the loaded module's interface, or null if it is not loaded. */
	template <typename TModuleInterface>
	static TModuleInterface* GetModulePtr(const FName ModuleName)
	{
		return static_cast<TModuleInterface*>(Get().GetModule(ModuleName));
	}

private:
	struct FModuleInfo
	{
		FInitializeStaticallyLinkedModule Initializer;
		std::unique_ptr<IModuleInterface> Module;
		// 0 while StartupModule runs; then the place in the order modules finished loading.
		int32 LoadOrder = 0;
	};

	FModuleManager() = default;

	// Recursive: a module's StartupModule loads the modules it depends on.
	mutable std::recursive_mutex Mutex;
	TMap<FName, std::shared_ptr<FModuleInfo>> Modules;
	int32 NextLoadOrder = 1;
	FModulesChangedEvent ModulesChangedEvent;
};

/** Registers a module class with the module manager when the program starts. */
template <class ModuleClass>
class FStaticallyLinkedModuleRegistrant
{
public:
	explicit FStaticallyLinkedModuleRegistrant(const TCHAR* InModuleName)
	{
		FModuleManager::Get().RegisterStaticallyLinkedModule(FName(InModuleName), FInitializeStaticallyLinkedModule::CreateStatic(&Create));
	}

private:
	static IModuleInterface* Create() { return new ModuleClass(); }
};

/** A module with no start-up or shutdown work. */
class FDefaultModuleImpl : public IModuleInterface
{
};

/**
 * Declares ModuleImplClass as the module named ModuleName (a bare identifier). The extern "C" symbol makes
 * two modules of one name a link error, as two module binaries of one name are an error in the engine.
 */
#define IMPLEMENT_MODULE(ModuleImplClass, ModuleName)                                                                                                          \
	static FStaticallyLinkedModuleRegistrant<ModuleImplClass> ModuleRegistrant##ModuleName(TEXT(#ModuleName));                                                 \
	extern "C" void IMPLEMENT_MODULE_##ModuleName() {}

#define IMPLEMENT_GAME_MODULE(ModuleImplClass, ModuleName) IMPLEMENT_MODULE(ModuleImplClass, ModuleName)
#define IMPLEMENT_PRIMARY_GAME_MODULE(ModuleImplClass, ModuleName, GameName) IMPLEMENT_MODULE(ModuleImplClass, ModuleName)
