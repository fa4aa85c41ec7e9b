// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * How the module's background jobs tell their end to code in this module that waits for them, beside the notification
 * and the log line that tell a person: the pipeline commandlet has neither to read. Game thread only.
 */
struct FTRLJobEvents
{
	/** A packaging job ended: whether UAT completed, the line the packager logged about it, and the seconds it took. */
	DECLARE_MULTICAST_DELEGATE_ThreeParams(FOnPackagingEnded, bool /*bSucceeded*/, const FString& /*Message*/, double /*Seconds*/);

	/** Told once per packaging job, after the project's files are written back. */
	static FOnPackagingEnded& OnPackagingEnded();

	/** An upload ended: whether Steam took it, the item id Steam reported (maybe empty), and what the notification says. */
	DECLARE_MULTICAST_DELEGATE_ThreeParams(FOnUploadEnded, bool /*bSucceeded*/, const FString& /*ItemId*/, const FString& /*Message*/);

	/** Told once per request that UploadMod hands to Steam, a refusal at the call included, when the next upload may start. */
	static FOnUploadEnded& OnUploadEnded();
};
