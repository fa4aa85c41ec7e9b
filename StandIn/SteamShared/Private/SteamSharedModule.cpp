#include "SteamSharedModule.h"

#include "steam/steam_api.h"

FSteamClientInstanceHandler::FSteamClientInstanceHandler(FSteamSharedModule* SteamInitializer)
{
	(void)SteamInitializer;
	bInitialized = SteamAPI_InitEx(nullptr) == k_ESteamAPIInitResult_OK;
}

FSteamClientInstanceHandler::~FSteamClientInstanceHandler()
{
	if (bInitialized)
	{
		SteamAPI_Shutdown();
	}
}

TSharedPtr<FSteamClientInstanceHandler> FSteamSharedModule::ObtainSteamClientInstanceHandle()
{
	if (TSharedPtr<FSteamClientInstanceHandler> Existing = SteamClientObserver.Pin())
	{
		return Existing;
	}
	TSharedPtr<FSteamClientInstanceHandler> Handle = MakeShared<FSteamClientInstanceHandler>(this);
	if (!Handle->IsInitialized())
	{
		return nullptr;
	}
	SteamClientObserver = Handle;
	return Handle;
}

IMPLEMENT_MODULE(FSteamSharedModule, SteamShared)
