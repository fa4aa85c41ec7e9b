// Interactive mode: Tools > Trellic as a numbered terminal menu, modal windows as forms, message dialogs as prompts,
// notifications as live status lines, and Warning and Error log lines as they come.
#pragma once

#include "CoreMinimal.h"
#include "HostFrontEnd.h"

namespace UE::StandIn::EditorHost
{
	class FHostSession;

	class FInteractiveFrontEnd : public IHostFrontEnd
	{
	public:
		FInteractiveFrontEnd();
		~FInteractiveFrontEnd() override;

		void SetSession(FHostSession* InSession) { Session = InSession; }

		/** Names the project and says that the engine, its cooker and Steam are simulated. */
		void PrintHeader();

		/** Shows the menu and answers the person until they quit, the input ends or Ctrl-C. @return the exit code. */
		int32 Run();

		void OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message) override;
		void OnNotification(const FNotificationView& Notification) override;
		EAppReturnType::Type OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title) override;
		void OnModalWindow(const TSharedRef<SWindow>& Window) override;
		void OnUatTask(const FUatTaskView& Task) override;
		void OnUatFinished(const FString& Result, double Seconds) override;
		void OnMenusCallback() override;

	private:
		FHostSession* Session = nullptr;
	};
} // namespace UE::StandIn::EditorHost
