// What a person or a script sees of the editor: the host's session reports every event to one front end.
#pragma once

#include "CoreMinimal.h"
#include "GenericPlatform/GenericPlatformMisc.h"
#include "Logging/LogVerbosity.h"

class SWindow;

namespace UE::StandIn::EditorHost
{
	/** A notification as it shows after a change. */
	struct FNotificationView
	{
		int32 Id = 0;
		FText Text;
		FText SubText;
		/** "none", "pending", "success" or "fail". */
		FString State;
		bool bExpiring = false;
		bool bRemoved = false;
	};

	/** What a UAT task was started with. */
	struct FUatTaskView
	{
		FString CommandLine;
		FText PlatformDisplayName;
		FText TaskName;
		FText TaskShortName;
		bool bHasIcon = false;
		FString ResultLocation;
		FText ExtraSubText;
	};

	class IHostFrontEnd
	{
	public:
		virtual ~IHostFrontEnd() = default;

		virtual void OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message) = 0;
		virtual void OnNotification(const FNotificationView& Notification) = 0;
		/** A modal message dialog; the answer is what its user pressed. */
		virtual EAppReturnType::Type OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title) = 0;
		/** A modal window is on screen: act as its user. It is closed with its close button if left open. */
		virtual void OnModalWindow(const TSharedRef<SWindow>& Window) = 0;
		virtual void OnUatTask(const FUatTaskView& Task) = 0;
		virtual void OnUatFinished(const FString& Result, double Seconds) = 0;
		virtual void OnMenusCallback() = 0;
	};
} // namespace UE::StandIn::EditorHost
