// INotificationWidget: custom content for a notification, told when the notification's state changes.
#pragma once

#include "Templates/SharedPointer.h"
#include "Widgets/Notifications/SNotificationList.h"

class SWidget;

class INotificationWidget
{
public:
	virtual ~INotificationWidget() = default;

	/** Called when the notification's completion state changes. */
	virtual void OnSetCompletionState(SNotificationItem::ECompletionState InState) = 0;

	/** @return the widget shown as the notification's content. */
	virtual TSharedRef<SWidget> AsWidget() = 0;
};
