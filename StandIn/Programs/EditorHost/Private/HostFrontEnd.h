// What a person or a script sees of the editor: the host's session reports every event to one front end, with the
// data the engine's observers give, which each front end turns straight into its own form.
#pragma once

#include "CoreMinimal.h"
#include "GenericPlatform/GenericPlatformMisc.h"
#include "Logging/LogVerbosity.h"
#include "StandIn/NotificationObserver.h"
#include "StandIn/UatTaskObserver.h"

class SWindow;

namespace UE::StandIn::EditorHost
{
	class IHostFrontEnd
	{
	public:
		virtual ~IHostFrontEnd() = default;

		virtual void OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message) = 0;
		/** A notification appeared, changed or went; Id numbers it for the session, from 1 in the order they appeared. */
		virtual void OnNotification(int32 Id, ENotificationEvent Event, const FNotificationSnapshot& Snapshot) = 0;
		/** A modal message dialog; the answer is what its user pressed. */
		virtual EAppReturnType::Type OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title) = 0;
		/** A modal window is on screen: act as its user. It is closed with its close button if left open. */
		virtual void OnModalWindow(const TSharedRef<SWindow>& Window) = 0;
		virtual void OnUatTask(const FUatTaskRequest& Task) = 0;
		virtual void OnUatFinished(const FString& Result, double Seconds) = 0;
		virtual void OnMenusCallback() = 0;
	};

	/** @return how both front ends name a notification's completion state: "none", "pending", "success" or "fail". */
	inline const TCHAR* DescribeCompletionState(SNotificationItem::ECompletionState State)
	{
		switch (State)
		{
			case SNotificationItem::CS_Pending:
				return TEXT("pending");
			case SNotificationItem::CS_Success:
				return TEXT("success");
			case SNotificationItem::CS_Fail:
				return TEXT("fail");
			default:
				return TEXT("none");
		}
	}
} // namespace UE::StandIn::EditorHost
