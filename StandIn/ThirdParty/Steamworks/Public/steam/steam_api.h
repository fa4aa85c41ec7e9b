// The Steamworks API as a game includes it: start-up and shut-down, the callback pump and the interfaces.
#pragma once

#include "steam/isteamugc.h"
#include "steam/isteamutils.h"
#include "steam/steam_api_common.h"

/**
 * Connects to the Steam client for the app id it determines (steam_appid.txt in development). On failure
 * pOutErrMsg, when given, receives a message in UTF-8 and no interface is available.
 */
S_API ESteamAPIInitResult S_CALLTYPE SteamAPI_InitEx(SteamErrMsg* pOutErrMsg);

/** SteamAPI_InitEx without the message. @return true when every interface is available */
inline bool SteamAPI_Init()
{
	return SteamAPI_InitEx(nullptr) == k_ESteamAPIInitResult_OK;
}

/** Lets go of the Steam client; the interfaces are null again and results not yet delivered are dropped. */
S_API void S_CALLTYPE SteamAPI_Shutdown();

/** Delivers the results that have arrived to their call results, on the calling thread. */
S_API void S_CALLTYPE SteamAPI_RunCallbacks();
