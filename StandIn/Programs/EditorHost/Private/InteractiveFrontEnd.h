// Interactive mode: the Tools menu as a numbered terminal menu, modal windows as forms, message dialogs as prompts,
// notifications as a line for each change of state, and Warning and Error log lines as they come.
// Its parts: the line reader and output (InteractiveLineReader.cpp) with its line editor at a terminal
// (InteractiveLineEditor.cpp), the menu (InteractiveMenu.cpp), the typed commands (InteractiveCommands.cpp) and the
// rendering of the editor's events (InteractiveEvents.cpp).
#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "HostFrontEnd.h"
#include "HostInterrupt.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>

namespace UE::StandIn::EditorHost
{
	class FHostSession;
	class FInteractiveLineEditor;

	/**
	 * Talks to a person on standard input and output. At a terminal, lines are edited with the arrow keys and the
	 * session's history, and Warning and Error lines are coloured (unless NO_COLOR is set); standard input may also be
	 * a pipe or a file, read line by line, whose end quits cleanly.
	 */
	class FInteractiveFrontEnd : public IHostFrontEnd
	{
	public:
		/**
		 * Reads lines from InInputFd (standard input unless told) and writes to InOutput. Catches Ctrl-C for the
		 * front end's lifetime, so that main can shut the modules down afterwards.
		 */
		explicit FInteractiveFrontEnd(int InInputFd = 0, std::FILE* InOutput = stdout);
		~FInteractiveFrontEnd() override;

		FInteractiveFrontEnd(const FInteractiveFrontEnd&) = delete;
		FInteractiveFrontEnd& operator=(const FInteractiveFrontEnd&) = delete;

		void SetSession(FHostSession* InSession) { Session = InSession; }

		/** Names the plug-in and the project, and says that the engine, its cooker and Steam are simulated. */
		void PrintHeader(const FString& PluginName);

		/** Shows the menu and answers the person until they quit, the input ends or Ctrl-C. @return the exit code. */
		int32 Run();

		void OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message) override;
		void OnNotification(int32 Id, ENotificationEvent Event, const FNotificationSnapshot& Snapshot) override;
		EAppReturnType::Type OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title) override;
		void OnModalWindow(const TSharedRef<SWindow>& Window) override;
		void OnUatTask(const FUatTaskRequest& Task) override;
		void OnUatFinished(const FString& Result, double Seconds) override;
		void OnMenusCallback() override;

	private:
		enum class EInputResult : uint8
		{
			Line,
			EndOfInput,
			Interrupted
		};

		/** An entry of the menu as last shown, so that a number picks what the person saw. */
		struct FShownEntry
		{
			FName Name;
			FString Label;
			FString ToolTip;
			bool bIsSubMenu = false;
			bool bIsEnabled = false;
		};

		/**
		 * Shows Prompt and reads one line. With bKeepTicking the game-thread loop runs while waiting; a modal
		 * prompt leaves it blocked, as a modal dialog blocks the editor.
		 */
		EInputResult ReadLine(const FString& Prompt, bool bKeepTicking, std::string& OutLine);
		EInputResult WaitForLine(bool bKeepTicking, std::string& OutLine);
		/** @return true when standard input can be read without waiting: a whole line at a terminal, its end, or bytes from a pipe. */
		bool IsInputReady() const;
		/** Takes what standard input has ready into the pending bytes. */
		void ReadAvailableInput();
		bool TakePendingLine(std::string& OutLine);

		/**
		 * A line the editor's events make, held until the moment it belongs to is over: a notification's changes in
		 * one moment show as one line, and a Warning or Error line that repeats what a dialog or notification of the
		 * same moment says is left out.
		 */
		struct FHeldEvent
		{
			/** The line, for anything but a notification. */
			FString Line;
			/** A log line's message, as a dialog or a notification may say it too. */
			FString Message;
			ELogVerbosity::Type Verbosity = ELogVerbosity::Log;
			/** A notification's number and what it shows after its last change in this moment; 0 for other lines. */
			int32 NotificationId = 0;
			FNotificationSnapshot Notification;
			/** The notification went off the screen: its next appearance is a new line. */
			bool bNotificationRemoved = false;
		};

		/** Holds the event while a session runs, or when it comes from another thread; prints it at once otherwise. */
		void HoldEvent(FHeldEvent Event);
		/**
		 * Prints the held events, each notification as its last state. DialogMessage is the text of a dialog about to
		 * show; what repeats it, or a notification of the same moment, is left out.
		 */
		void PrintHeldEvents(const FString& DialogMessage = FString());
		/** @return the line that shows a notification, and in OutNote the first line of a subtext of several lines. */
		static FString DescribeNotification(int32 Id, const FNotificationSnapshot& Snapshot, FString& OutNote);
		void PrintEventLine(const FString& Line, ELogVerbosity::Type Verbosity);

		/** @return false when the person asked to quit. */
		bool HandleCommand(const std::string& Line);
		void ShowMenu();
		void ChooseEntry(int32 Number);
		void ShowToolTip(int32 Number);
		void GoBack();
		void LetTimePass(double Seconds);
		void DeclareMenusReady();
		/** Sets how the next automation tool run ends from a person's words, or releases a held run. */
		void ControlUat(const std::string& Arguments);
		/** Lists the local mods with the state of each one's packaged build, and why ("m"). */
		void ListMods();
		/** @return how the menu and the mods list show a build state's name, such as "build: stale". */
		static FString DescribeBuildState(const FString& State);
		/** Lists the offline Workshop's items, or sets a control of its next request ("w" and what follows it). */
		void HandleWorkshopCommand(const std::string& Arguments);
		void PrintHelp();

		/** Writes a line now, after the events held so far, taking a waiting prompt off the screen first. */
		void Print(const FString& Line);
		/** Writes a line, taking a waiting prompt off the screen first. */
		void PrintLine(const FString& Line);
		void WriteRaw(const std::string& Bytes);
		/** Writes the prompt of the line being read, with what was typed of it; terminal input only. */
		void WritePrompt();

		/** Ctrl-C only sets a flag while the front end lives: the loop then returns and main shuts the modules down. */
		FScopedInterruptHandler InterruptHandler;
		FHostSession* Session = nullptr;
		int InputFd = 0;
		std::FILE* Output = nullptr;
		bool bInputIsTerminal = false;
		bool bOutputIsTerminal = false;
		bool bUseColour = false;
		bool bShowLogLines = false;

		/** Edits the lines typed at a terminal; null when input or output is not one. */
		std::unique_ptr<FInteractiveLineEditor> LineEditor;
		/** What was typed of a line that another prompt took over, to be typed on when it comes back. */
		std::string ResumeTyped;

		/** Bytes read from standard input that do not make a whole line yet. */
		std::string PendingInput;
		bool bInputEnded = false;

		/** The prompt of the line being read, and whether it is the last thing on screen. */
		FString ActivePrompt;
		bool bPromptOnScreen = false;

		/** Entry names from the Tools menu down to the submenu shown, and their labels for the title. */
		TArray<FName> MenuPath;
		TArray<FString> MenuPathLabels;
		TArray<FShownEntry> ShownEntries;

		/** The events of the present moment; log lines may come from any thread. */
		TArray<FHeldEvent> HeldEvents;
		FCriticalSection HeldEventsLock;
		/** Events are held while the session runs, and printed at the end of each moment. Read by any thread. */
		std::atomic<bool> bHoldEvents = false;

		/** The last line printed for each notification on screen, so that only changes are printed. */
		TMap<int32, FString> NotificationLines;
		/** The lines that open a subtext of several lines (the automation tool's label), each shown once a session. */
		TSet<FString> NotesShown;
	};
} // namespace UE::StandIn::EditorHost
