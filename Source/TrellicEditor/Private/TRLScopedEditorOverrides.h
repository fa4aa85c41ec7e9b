// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "IUATHelperModule.h"
#include "Misc/MessageDialog.h"
#include "TRLScopedOverrides.h"
#include "Widgets/Notifications/SNotificationList.h"

class SWindow;

// Where the editor module meets what only a person, or the engine's tools, could answer: a dialog, a modal window, a
// notification and a UAT task. An editor running automation unattended cannot be given a person, and a spec must read
// what each was asked, so each can be replaced while an override lives. Overrides nest. Game thread only.

/** Receives what FMessageDialog::Open would have received, and answers as the user would. */
using FTRLOpenMessageDialog = TFunction<EAppReturnType::Type(EAppMsgType::Type MessageType, const FText& Message)>;

/**
 * While it lives, the Tools menu hands the message dialogs it would open to this override instead of FMessageDialog.
 * An unattended editor answers a dialog without showing it, so which dialog the user would have seen, or that none was
 * shown, could not otherwise be read.
 */
class FTRLScopedMessageDialogOverride : public TTRLScopedOverride<FTRLScopedMessageDialogOverride, FTRLOpenMessageDialog>
{
public:
	explicit FTRLScopedMessageDialogOverride(FTRLOpenMessageDialog InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedMessageDialogOverride* Innermost;
};

/** Receives the window that UEditorEngine::EditorAddModalWindow would have shown. */
using FTRLShowModalWindow = TFunction<void(const TSharedRef<SWindow>& Window)>;

/**
 * While it lives, the Tools menu hands the modal windows it would show to this override instead of the editor's modal
 * loop. The override acts as the window's user (types, clicks, or walks away) and returns once it is done, as
 * UEditorEngine::EditorAddModalWindow returns once the window has closed.
 */
class FTRLScopedModalWindowOverride : public TTRLScopedOverride<FTRLScopedModalWindowOverride, FTRLShowModalWindow>
{
public:
	explicit FTRLScopedModalWindowOverride(FTRLShowModalWindow InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedModalWindowOverride* Innermost;
};

/** Receives what FSlateNotificationManager::AddNotification would have received, and answers in its place. */
using FTRLAddNotification = TFunction<TSharedPtr<SNotificationItem>(const FNotificationInfo& Info)>;

/**
 * While it lives, the upload shows its notification through this override instead of the editor's notification
 * manager. An editor notification does not tell what it shows, so the override hands back an item of its own (or null,
 * as when notifications are turned off) that can be read afterwards.
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

/** Receives what IUATHelperModule::CreateUatTask would have received, in the same order. */
using FTRLCreateUatTask = TFunction<void(const FString& CommandLine, const FText& PlatformDisplayName, const FText& TaskName, const FText& TaskShortName,
                                         const FSlateBrush* TaskIcon, const TArray<struct FAnalyticsEventAttribute>* OptionalAnalyticsParamArray,
                                         IUATHelperModule::UatTaskResultCallack ResultCallback, const FString& ResultLocation)>;

/**
 * While it lives, the packager hands its UAT tasks to this override instead of the engine's UAT helper. A running
 * editor cannot start a real BuildCookRun for a check, yet the exact command line, task name, result location and icon
 * must be read, and the job ended with any result text by calling the result callback.
 */
class FTRLScopedUatTaskOverride : public TTRLScopedOverride<FTRLScopedUatTaskOverride, FTRLCreateUatTask>
{
public:
	explicit FTRLScopedUatTaskOverride(FTRLCreateUatTask InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedUatTaskOverride* Innermost;
};
