// ISteamUtils: facts about the running application.
#pragma once

#include "steam/steamtypes.h"

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
ISteamUtils* SteamUtils();
