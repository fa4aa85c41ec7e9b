// The engine's Steam Shared plug-in module: it owns the Steamworks SDK's libraries and hands out handles that keep
// the SDK initialised for as long as one of them lives.
#pragma once

#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"
#include "Templates/SharedPointer.h"

class FSteamSharedModule;

/** What the client and server handles share. */
class FSteamInstanceHandlerBase
{
public:
	virtual ~FSteamInstanceHandlerBase() = default;

	/** @return true when the SDK was initialised for this handle */
	virtual bool IsInitialized() const { return bInitialized; }

protected:
	bool bInitialized = false;
};

/** Initialises the SDK's client API when made, and shuts it down when the last handle goes. */
class FSteamClientInstanceHandler : public FSteamInstanceHandlerBase
{
public:
	explicit FSteamClientInstanceHandler(FSteamSharedModule* SteamInitializer);
	virtual ~FSteamClientInstanceHandler();
};

class FSteamSharedModule : public IModuleInterface
{
public:
	/** The module, loaded on first use. */
	static FSteamSharedModule& Get() { return FModuleManager::LoadModuleChecked<FSteamSharedModule>("SteamShared"); }

	/** @return true when the module is loaded */
	static bool IsAvailable() { return FModuleManager::Get().IsModuleLoaded("SteamShared"); }

	/**
	 * Initialises the Steamworks client API and keeps it initialised while the handle lives; handles obtained meanwhile
	 * share that initialisation. @return null when the SDK could not be initialised (the Steam client is not running)
	 */
	virtual TSharedPtr<FSteamClientInstanceHandler> ObtainSteamClientInstanceHandle();

private:
	TWeakPtr<FSteamClientInstanceHandler> SteamClientObserver;
};
