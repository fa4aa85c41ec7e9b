// Script mode: one JSON request a line in, one JSON object a line out; every event a request causes is written
// before its reply, and the game-thread loop runs only inside "tick" and "wait".
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "HostFrontEnd.h"

#include <cstdio>
#include <istream>
#include <string>

namespace UE::StandIn::EditorHost
{
	class FHostSession;

	class FScriptFrontEnd : public IHostFrontEnd
	{
	public:
		explicit FScriptFrontEnd(std::FILE* InOutput);

		void SetSession(FHostSession* InSession) { Session = InSession; }

		/**
		 * Answers requests until "quit", the end of the input or Ctrl-C; a byte-order mark before the first request is
		 * skipped.
		 * @return 0 when every request was answered "ok": true, 1 otherwise; after Ctrl-C the caller ends with 130.
		 */
		int32 Run(std::istream& Input);

		/** Writes one event or reply line. */
		void Write(const TSharedRef<FJsonObject>& Object);

		void WriteReadyEvent();

		void OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message) override;
		void OnNotification(int32 Id, ENotificationEvent Event, const FNotificationSnapshot& Snapshot) override;
		EAppReturnType::Type OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title) override;
		void OnModalWindow(const TSharedRef<SWindow>& Window) override;
		void OnUatTask(const FUatTaskRequest& Task) override;
		void OnUatFinished(const FString& Result, double Seconds) override;
		void OnMenusCallback() override;

	private:
		/** @return false once the script asked to quit. */
		bool HandleRequest(const std::string& Line);
		/** Answers one request by its "cmd" from the table of commands. @return false with OutError when not ok. */
		bool HandleCommand(const FString& Command, const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);

		// One handler per command, each given the request and the reply to fill.
		bool HandleCall(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleDescribe(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleMenu(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleChoose(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleWindow(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleTick(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleWait(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleMenusReady(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleModule(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleMounts(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleMods(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleWorkshop(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleGarbageCollection(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleVerbosity(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleUat(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleFault(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		[[noreturn]] bool HandleCrash(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		bool HandleQuit(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);

		struct FWindowAnswer
		{
			TArray<FString> Fill;
			FString Press;
		};

		std::FILE* Output;
		FHostSession* Session = nullptr;
		TArray<FWindowAnswer> PendingWindowAnswers;
		bool bQuitRequested = false;
		bool bAnyRequestFailed = false;
	};
} // namespace UE::StandIn::EditorHost
