// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLScopedOverride.h"
#include "Widgets/Notifications/SNotificationList.h"

/** Receives what FSlateNotificationManager::AddNotification would have received, and answers in its place. */
using FTRLAddNotification = TFunction<TSharedPtr<SNotificationItem>(const FNotificationInfo& Info)>;

/**
 * While it lives, the upload shows its notification through this override instead of the editor's notification
 * manager, with the settings it would have given FSlateNotificationManager::AddNotification. It exists for specs: an
 * editor notification does not tell what it shows, yet a spec must read the settings it was made with and every text
 * and state the upload gives it afterwards, so the override hands back an item of the spec's own (or null, as when
 * notifications are turned off). Overrides nest. Game thread only.
 */
class FTRLScopedNotificationOverride : public TTRLScopedOverride<FTRLScopedNotificationOverride, FTRLAddNotification>
{
public:
	explicit FTRLScopedNotificationOverride(FTRLAddNotification InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

	/** Shows a notification through the innermost override, or the editor's notification manager when there is none. */
	static TSharedPtr<SNotificationItem> AddNotification(const FNotificationInfo& Info);

private:
	friend TTRLScopedOverride;

	static FTRLScopedNotificationOverride* Innermost;
};
