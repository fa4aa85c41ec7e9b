// Result codes that Steam answers its calls with.
#pragma once

#include "steam/steamtypes.h"

/** The outcome of a Steam call; the numbers are Steam's. Only the codes that the Workshop calls answer with are listed. */
enum EResult
{
	k_EResultNone = 0,
	k_EResultOK = 1,
	k_EResultFail = 2,
	k_EResultNoConnection = 3,
	k_EResultInvalidParam = 8,
	k_EResultFileNotFound = 9,
	k_EResultBusy = 10,
	k_EResultAccessDenied = 15,
	k_EResultTimeout = 16,
	k_EResultBanned = 17,
	k_EResultServiceUnavailable = 20,
	k_EResultNotLoggedOn = 21,
	k_EResultInsufficientPrivilege = 24,
	k_EResultLimitExceeded = 25,
	k_EResultLockingFailed = 33,
	k_EResultIOFailure = 37,
	k_EResultDiskFull = 54,
	k_EResultRemoteCallFailed = 55,
};
