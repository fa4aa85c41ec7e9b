// The Steamworks API as a game includes it: start-up and shut-down, the callback pump and the interfaces.
#pragma once

#include "steam/isteamugc.h"
#include "steam/isteamutils.h"
#include "steam/steam_api_common.h"

/** Why SteamAPI_InitEx failed, or that it did not. */
enum ESteamAPIInitResult
{
	k_ESteamAPIInitResult_OK = 0,
	/** Some other failure. */
	k_ESteamAPIInitResult_FailedGeneric = 1,
	/** Steam could not be reached: the Steam client is probably not running. */
	k_ESteamAPIInitResult_NoSteamClient = 2,
	/** The Steam client is older than this SDK. */
	k_ESteamAPIInitResult_VersionMismatch = 3,
};

/**
 * What SteamAPI_InitEx calls: connects to the Steam client for the app id it determines (steam_appid.txt in
 * development, or the SteamAppId environment variable) and checks that the library implements every interface version
 * named in pszInternalCheckInterfaceVersions, each ended by a null character, the list by an empty one.
 */
S_API ESteamAPIInitResult S_CALLTYPE SteamInternal_SteamAPI_Init(const char* pszInternalCheckInterfaceVersions, SteamErrMsg* pOutErrMsg);

/**
 * Connects to the Steam client. On failure pOutErrMsg, when given, receives a message in UTF-8 and no interface is
 * available. Inline, so that the versions checked are those of the headers the caller was built with.
 */
inline ESteamAPIInitResult SteamAPI_InitEx(SteamErrMsg* pOutErrMsg)
{
	const char* pszInternalCheckInterfaceVersions = STEAMUTILS_INTERFACE_VERSION "\0" STEAMUGC_INTERFACE_VERSION "\0";
	return SteamInternal_SteamAPI_Init(pszInternalCheckInterfaceVersions, pOutErrMsg);
}

/** SteamAPI_InitEx without the message. @return true when every interface is available */
inline bool SteamAPI_Init()
{
	return SteamAPI_InitEx(nullptr) == k_ESteamAPIInitResult_OK;
}

/** Lets go of the Steam client; meant for process shut-down. The interfaces are null again and results not yet delivered are dropped. */
S_API void S_CALLTYPE SteamAPI_Shutdown();

/** @return true while a Steam client runs on this machine; the SDK stays initialised when the client goes away */
S_API bool S_CALLTYPE SteamAPI_IsSteamRunning();

/** Delivers the results that have arrived to their call results, on the calling thread. */
S_API void S_CALLTYPE SteamAPI_RunCallbacks();
