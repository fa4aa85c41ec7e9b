// ISteamUtils: facts about the running application.
#pragma once

#include "steam/steam_api_common.h"
#include "steam/steamtypes.h"

/** The version of ISteamUtils that these headers declare. */
#define STEAMUTILS_INTERFACE_VERSION "SteamUtils010"

/** Utilities of the SDK, reached through SteamUtils(). */
class ISteamUtils
{
public:
	/** The app id the SDK was initialised for: the game whose Workshop items are made. */
	virtual uint32 GetAppID() = 0;

protected:
	~ISteamUtils() = default;
};

/** The utilities; null until SteamAPI_InitEx has succeeded and after SteamAPI_Shutdown. */
inline ISteamUtils* SteamUtils()
{
	return static_cast<ISteamUtils*>(SteamInternal_FindOrCreateUserInterface(SteamAPI_GetHSteamUser(), STEAMUTILS_INTERFACE_VERSION));
}
