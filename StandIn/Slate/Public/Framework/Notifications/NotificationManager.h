// FSlateNotificationManager: shows editor notifications and keeps each until it has faded out.
#pragma once

#include "Containers/Array.h"
#include "Containers/Ticker.h"
#include "Templates/SharedPointer.h"
#include "Widgets/Notifications/SNotificationList.h"
#include <memory>

class SNotificationItemImpl;

class FSlateNotificationManager
{
public:
	static FSlateNotificationManager& Get();

	/**
	 * Shows a notification. Time passes for it on the core ticker: it fades in, and once it expires it fades out
	 * and goes away.
	 * @return the item, to be updated later; null when notifications are turned off.
	 */
	TSharedPtr<SNotificationItem> AddNotification(const FNotificationInfo& Info);

	/** Shows a notification from any thread on the next tick; the manager takes ownership of Info. */
	void QueueNotification(FNotificationInfo* Info);

	/** Turns notifications on or off; while off, AddNotification shows nothing and returns null. */
	void SetAllowNotifications(bool bInAllowNotifications) { bAllowNotifications = bInAllowNotifications; }
	bool AreNotificationsAllowed() const { return bAllowNotifications; }

	/** @return every notification on screen, oldest first. */
	void GetActiveNotifications(TArray<TSharedRef<SNotificationItem>>& OutNotifications) const;

private:
	FSlateNotificationManager() = default;

	bool Tick(float DeltaTime);
	void EnsureTicking();

	TArray<TSharedRef<SNotificationItemImpl>> Items;
	TArray<std::unique_ptr<FNotificationInfo>> QueuedInfos;
	FTSTicker::FDelegateHandle TickerHandle;
	bool bAllowNotifications = true;
};
