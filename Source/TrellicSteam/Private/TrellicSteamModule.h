// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"

class FSteamClientInstanceHandler;
class FTRLSteamCallSlot;

/** Whether Steam can take a request, and if not, why. */
enum class ETRLSteamConnection : uint8
{
	Ready,
	/** The engine's Steam Shared plug-in, which loads the SDK, is not part of this editor. */
	NoSteamShared,
	/** The SDK could not be initialised, or the Steam client has gone away since. */
	NotRunning
};

/**
 * The Steam module keeps Steam up between uploads: it takes the Steam client handle from Steam Shared on the first
 * request and holds it until the module shuts down, because shutting the SDK down is meant for the end of the process.
 * It also keeps the objects that Steam delivers answers to, for as long as Steam may deliver. Game thread only.
 */
class FTrellicSteamModule : public IModuleInterface
{
public:
	/** The module, loaded on first use. */
	static FTrellicSteamModule& Get();

	virtual void ShutdownModule() override;

	/** Makes sure that Steam is up, initialising the SDK on first use or after a failed attempt. */
	ETRLSteamConnection ConnectSteam();

	/** @return a slot that no request uses; it stays with the module, so that a late answer still finds it */
	TSharedRef<FTRLSteamCallSlot> BorrowCallSlot();

private:
	TSharedPtr<FSteamClientInstanceHandler> SteamClient;
	/** Every slot ever lent. One that only this array holds is free. */
	TArray<TSharedRef<FTRLSteamCallSlot>> CallSlots;
};
