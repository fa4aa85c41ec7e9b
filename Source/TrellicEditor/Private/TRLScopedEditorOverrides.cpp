// Copyright Trellic contributors. All Rights Reserved.

#include "TRLScopedEditorOverrides.h"

#include "Framework/Notifications/NotificationManager.h"

FTRLScopedMessageDialogOverride* FTRLScopedMessageDialogOverride::Innermost = nullptr;
FTRLScopedModalWindowOverride* FTRLScopedModalWindowOverride::Innermost = nullptr;
FTRLScopedNotificationOverride* FTRLScopedNotificationOverride::Innermost = nullptr;
FTRLScopedUatTaskOverride* FTRLScopedUatTaskOverride::Innermost = nullptr;

TSharedPtr<SNotificationItem> FTRLScopedNotificationOverride::AddNotification(const FNotificationInfo& Info)
{
	if (const FTRLAddNotification* Override = Get())
	{
		return (*Override)(Info);
	}
	return FSlateNotificationManager::Get().AddNotification(Info);
}
