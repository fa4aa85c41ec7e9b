// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopResult.generated.h"

/** The outcome of a Workshop upload request: Success is the only success; every other value says what went wrong. */
UENUM(BlueprintType)
enum class ETRLWorkshopResult : uint8
{
	/** From a request call: the request was accepted and runs. In a completion: the item is on the Workshop. */
	Success = 0,
	/** The Steam client is not running (or Steam support is not loaded); nothing was sent. */
	SteamNotRunning = 1,
	/** What was given cannot be uploaded, such as a content folder without files. */
	InvalidMod = 2,
	/** The Steam client is not logged in. */
	NotLoggedOn = 3,
	/** Steam has no such item, or could not read the content or the preview image. */
	ItemNotFound = 4,
	/** Another upload is still running. */
	Busy = 5,
	/** The Steam account may not publish this item or to this game's Workshop. */
	AccessDenied = 6,
	/** The preview image is over Steam's size limit (or, as Steam says it after the item was made, the account's cloud storage is full). */
	PreviewTooLarge = 7,
	/** A title, description, tag or change note breaks the Workshop's rules, such as its length in bytes of UTF-8. */
	TextTooLong = 8,
	/** The item was uploaded but stays hidden until the account accepts the Workshop legal agreement. */
	LegalAgreementRequired = 9,
	/** Steam did not answer in time. */
	Timeout = 10,
	/** The Workshop could not be reached. */
	ServiceUnavailable = 11,
	/** Steam refused for a reason of its own; the status message carries its code. */
	Unknown = 12,
	/** Steam made no item: the account has one of that name already, or the request was made already. */
	DuplicateItem = 13,
	/** Steam made no item: the account's Steam Cloud storage is full. */
	CloudStorageFull = 14,
	/** Steam ran out of disk space on the machine that uploads. */
	DiskFull = 15
};
