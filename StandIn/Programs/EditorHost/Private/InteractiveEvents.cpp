// How the interactive front end shows what the editor does: log lines, notifications as status lines, message
// dialogs as prompts, modal windows as forms, and the automation tool's tasks.
#include "InteractiveFrontEnd.h"

#include "HostWindows.h"
#include "InteractiveInput.h"
#include "Misc/MessageDialog.h"
#include "Misc/ScopeLock.h"
#include "StandIn/MessageDialogResponder.h"
#include "Widgets/SWindow.h"

namespace UE::StandIn::EditorHost
{
	using namespace Interactive;

	namespace
	{
		/** Indents every line of a text that may span several, such as a dialog's message. */
		FString IndentLines(const FString& Text, const TCHAR* Indent)
		{
			TArray<FString> Lines;
			Text.ParseIntoArray(Lines, TEXT("\n"), false);
			FString Indented;
			for (int32 Index = 0; Index < Lines.Num(); ++Index)
			{
				if (Index > 0)
				{
					Indented += TEXT("\n");
				}
				Indented += Lines[Index].IsEmpty() ? Lines[Index] : Indent + Lines[Index];
			}
			return Indented;
		}

		/** The buttons a message dialog of this type offers, in the order a dialog shows them. */
		TArray<EAppReturnType::Type> GetDialogAnswers(EAppMsgType::Type Type)
		{
			switch (Type)
			{
				case EAppMsgType::Ok:
					return {EAppReturnType::Ok};
				case EAppMsgType::YesNo:
					return {EAppReturnType::Yes, EAppReturnType::No};
				case EAppMsgType::OkCancel:
					return {EAppReturnType::Ok, EAppReturnType::Cancel};
				case EAppMsgType::YesNoCancel:
					return {EAppReturnType::Yes, EAppReturnType::No, EAppReturnType::Cancel};
				case EAppMsgType::CancelRetryContinue:
					return {EAppReturnType::Cancel, EAppReturnType::Retry, EAppReturnType::Continue};
				case EAppMsgType::YesNoYesAllNoAll:
					return {EAppReturnType::Yes, EAppReturnType::No, EAppReturnType::YesAll, EAppReturnType::NoAll};
				case EAppMsgType::YesNoYesAllNoAllCancel:
					return {EAppReturnType::Yes, EAppReturnType::No, EAppReturnType::YesAll, EAppReturnType::NoAll, EAppReturnType::Cancel};
				case EAppMsgType::YesNoYesAll:
					return {EAppReturnType::Yes, EAppReturnType::No, EAppReturnType::YesAll};
				default:
					return {EAppReturnType::Ok};
			}
		}

		/** @return the label of the nearest plain text before the text box at BoxIndex, which names the box. */
		FString FindTextBoxLabel(const FWindowView& View, int32 BoxIndex, int32 BoxNumber)
		{
			if (BoxIndex > 0 && !View.IsTextBox[BoxIndex - 1] && !View.Texts[BoxIndex - 1].IsEmptyOrWhitespace())
			{
				return View.Texts[BoxIndex - 1].ToString().TrimStartAndEnd();
			}
			return FString::Printf(TEXT("Text box %d"), BoxNumber);
		}

		/** @return the button picked by its number or its label (any case), "close" for x, or empty if none matches. */
		FString PickWindowButton(const FWindowView& View, const std::string& Answer)
		{
			if (Answer == "x" || Answer == "X")
			{
				return TEXT("close");
			}
			int32 Number = 0;
			if (ParseNumber(Answer, Number))
			{
				return Number >= 1 && Number <= View.Buttons.Num() ? View.Buttons[Number - 1].ToString() : FString();
			}
			const FString Typed = FString::FromUtf8(Answer);
			for (const FText& Button : View.Buttons)
			{
				if (Button.ToString().Equals(Typed, ESearchCase::IgnoreCase))
				{
					return Button.ToString();
				}
			}
			return FString();
		}
	} // namespace

	void FInteractiveFrontEnd::OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message)
	{
		const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		// Display lines show as on the engine's console, whatever l says.
		if (Level > ELogVerbosity::Display && !bShowLogLines)
		{
			return;
		}
		// The engine's console form: the verbosity is named unless it is plain Log.
		FHeldEvent Event;
		Event.Line = Category.ToString() + TEXT(": ");
		if (Level != ELogVerbosity::Log)
		{
			Event.Line += FString(ToString(Level)) + TEXT(": ");
		}
		Event.Line += Message;
		Event.Message = Message;
		Event.Verbosity = Level;
		HoldEvent(MoveTemp(Event));
	}

	void FInteractiveFrontEnd::OnNotification(int32 Id, ENotificationEvent Event, const FNotificationSnapshot& Snapshot)
	{
		FHeldEvent Change;
		Change.NotificationId = Id;
		Change.Notification = Snapshot;
		Change.bNotificationRemoved = Event == ENotificationEvent::Removed;
		HoldEvent(MoveTemp(Change));
	}

	void FInteractiveFrontEnd::HoldEvent(FHeldEvent Event)
	{
		{
			FScopeLock Lock(&HeldEventsLock);
			// A change to a notification that is held already takes its place: the moment shows its last state.
			int32 Held = HeldEvents.Num() - 1;
			while (Held >= 0 && (Event.NotificationId == 0 || HeldEvents[Held].NotificationId != Event.NotificationId))
			{
				--Held;
			}
			if (Held >= 0 && !Event.bNotificationRemoved && !HeldEvents[Held].bNotificationRemoved)
			{
				HeldEvents[Held].Notification = MoveTemp(Event.Notification);
			}
			else
			{
				HeldEvents.Add(MoveTemp(Event));
			}
		}
		// Before and after the session's run (modules starting and shutting down), a line is shown as it comes.
		if (!bHoldEvents)
		{
			PrintHeldEvents();
		}
	}

	FString FInteractiveFrontEnd::DescribeNotification(int32 Id, const FNotificationSnapshot& Snapshot, FString& OutNote)
	{
		// A subtext of several lines opens with one that stays while the rest changes (the automation tool's first
		// line of output, which says what it is); the line shows the subtext's newest line: a progress, where the
		// output went, why it failed. A running tool's other lines are its log (l shows them).
		TArray<FString> SubLines;
		Snapshot.SubText.ToString().ParseIntoArray(SubLines, TEXT("\n"), true);
		OutNote = SubLines.Num() > 1 ? SubLines[0] : FString();
		const bool bFinished = Snapshot.CompletionState == SNotificationItem::CS_Success || Snapshot.CompletionState == SNotificationItem::CS_Fail;
		FString Line = FString::Printf(TEXT("  [notification %d] %s"), Id, *Snapshot.Text.ToString());
		if (SubLines.Num() == 1 || (bFinished && SubLines.Num() > 1))
		{
			Line += FString(TEXT(" - ")) + SubLines.Last();
		}
		if (Snapshot.CompletionState != SNotificationItem::CS_None)
		{
			Line += FString(TEXT("  (")) + DescribeCompletionState(Snapshot.CompletionState) + TEXT(")");
		}
		return Line;
	}

	void FInteractiveFrontEnd::PrintHeldEvents(const FString& DialogMessage)
	{
		// Another thread's lines wait for the game thread, which owns the screen.
		if (!IsInGameThread())
		{
			return;
		}
		TArray<FHeldEvent> Events;
		{
			FScopeLock Lock(&HeldEventsLock);
			Events = MoveTemp(HeldEvents);
			HeldEvents.Reset();
		}
		if (Events.IsEmpty())
		{
			return;
		}

		// A notification's line is printed when it changed: a fade, a pulse or a running tool's next line of output
		// change nothing a person reads. One that says what the dialog says is not printed until it changes again.
		TArray<FString> NotificationLineOf;
		NotificationLineOf.SetNum(Events.Num());
		TArray<FString> NoteOf;
		NoteOf.SetNum(Events.Num());
		TArray<FString> Said;
		if (!DialogMessage.IsEmpty())
		{
			Said.Add(DialogMessage);
		}
		for (int32 Index = 0; Index < Events.Num(); ++Index)
		{
			const FHeldEvent& Event = Events[Index];
			if (Event.bNotificationRemoved)
			{
				NotificationLines.Remove(Event.NotificationId);
			}
			if (Event.NotificationId == 0 || Event.bNotificationRemoved)
			{
				continue;
			}
			const FString Line = DescribeNotification(Event.NotificationId, Event.Notification, NoteOf[Index]);
			const FString* Previous = NotificationLines.Find(Event.NotificationId);
			if (Previous && Previous->Equals(Line))
			{
				continue;
			}
			NotificationLines.Add(Event.NotificationId, Line);
			const FString Text = Event.Notification.Text.ToString();
			if (DialogMessage.IsEmpty() || !Text.Equals(DialogMessage, ESearchCase::CaseSensitive))
			{
				NotificationLineOf[Index] = Line;
				Said.Add(Text);
			}
		}

		const bool bPromptWasOnScreen = bPromptOnScreen;
		for (int32 Index = 0; Index < Events.Num(); ++Index)
		{
			const FHeldEvent& Event = Events[Index];
			if (Event.NotificationId == 0)
			{
				// A log line that repeats what the dialog or a notification says here is read there.
				const bool bSaidElsewhere = !Event.Message.IsEmpty() && Said.ContainsByPredicate([&Event](const FString& Text) {
					return !Text.IsEmpty() && Event.Message.Contains(Text, ESearchCase::CaseSensitive);
				});
				if (!bSaidElsewhere)
				{
					PrintEventLine(Event.Line, Event.Verbosity);
				}
			}
			else if (!NotificationLineOf[Index].IsEmpty())
			{
				PrintEventLine(NotificationLineOf[Index], ELogVerbosity::Log);
				// The line that opens a subtext of several lines, under the text it belongs to, once a session.
				const FString& Note = NoteOf[Index];
				if (!Note.IsEmpty() && !NotesShown.Contains(Note))
				{
					NotesShown.Add(Note);
					PrintEventLine(FString::ChrN(NotificationLineOf[Index].Find(TEXT("]")) + 2, TEXT(' ')) + Note, ELogVerbosity::Log);
				}
			}
		}
		if (bPromptWasOnScreen && !bPromptOnScreen)
		{
			WritePrompt();
		}
	}

	void FInteractiveFrontEnd::PrintEventLine(const FString& Line, ELogVerbosity::Type Verbosity)
	{
		if (bUseColour && (Verbosity == ELogVerbosity::Error || Verbosity == ELogVerbosity::Fatal))
		{
			PrintLine(FString(TEXT("\x1b[31m")) + Line + TEXT("\x1b[0m"));
		}
		else if (bUseColour && Verbosity == ELogVerbosity::Warning)
		{
			PrintLine(FString(TEXT("\x1b[33m")) + Line + TEXT("\x1b[0m"));
		}
		else
		{
			PrintLine(Line);
		}
	}

	EAppReturnType::Type FInteractiveFrontEnd::OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title)
	{
		// The dialog says it once: the lines of this moment that repeat it are left out.
		PrintHeldEvents(Message.ToString());
		Print(TEXT(""));
		Print(FString(TEXT("--- ")) + Title.ToString() + TEXT(" ---"));
		Print(IndentLines(Message.ToString(), TEXT("  ")));
		const TArray<EAppReturnType::Type> Answers = GetDialogAnswers(Type);
		if (Answers.Num() == 1)
		{
			std::string Ignored;
			if (ReadLine(FString::Printf(TEXT("  [Enter: %s] "), LexToString(Answers[0])), false, Ignored) != EInputResult::Line)
			{
				return UE::StandIn::GetUnattendedAnswer(Type);
			}
			return Answers[0];
		}

		FString Choices = TEXT("  ");
		for (int32 Index = 0; Index < Answers.Num(); ++Index)
		{
			Choices += FString::Printf(TEXT("%d %s   "), Index + 1, LexToString(Answers[Index]));
		}
		Print(Choices.TrimEnd());
		while (true)
		{
			std::string Line;
			if (ReadLine(TEXT("  Answer: "), false, Line) != EInputResult::Line)
			{
				return UE::StandIn::GetUnattendedAnswer(Type);
			}
			const std::string Answer = TrimSpaces(Line);
			int32 Number = 0;
			if (ParseNumber(Answer, Number) && Number >= 1 && Number <= Answers.Num())
			{
				return Answers[Number - 1];
			}
			for (const EAppReturnType::Type Candidate : Answers)
			{
				if (FString(LexToString(Candidate)).Equals(FString::FromUtf8(Answer), ESearchCase::IgnoreCase))
				{
					return Candidate;
				}
			}
			Print(TEXT("  Type the number or the name of an answer."));
		}
	}

	void FInteractiveFrontEnd::OnModalWindow(const TSharedRef<SWindow>& Window)
	{
		const FWindowView View = DescribeWindow(Window);
		Print(TEXT(""));
		Print(FString(TEXT("=== ")) + View.Title.ToString() + TEXT(" ==="));
		for (int32 Index = 0; Index < View.Texts.Num(); ++Index)
		{
			const FString Text = View.Texts[Index].ToString();
			Print(View.IsTextBox[Index] ? FString(TEXT("  [")) + Text + TEXT("]") : IndentLines(Text, TEXT("  ")));
		}
		FString ButtonLine = TEXT("  Buttons:");
		for (int32 Index = 0; Index < View.Buttons.Num(); ++Index)
		{
			ButtonLine += FString::Printf(TEXT("  %d %s"), Index + 1, *View.Buttons[Index].ToString());
		}
		Print(ButtonLine + TEXT("  x close the window"));

		// Ctrl-C or the end of input leaves the window unanswered; the host then closes it with its close button.
		TArray<FString> Fill;
		for (int32 Index = 0; Index < View.Texts.Num(); ++Index)
		{
			if (!View.IsTextBox[Index])
			{
				continue;
			}
			std::string Line;
			if (ReadLine(FString(TEXT("  ")) + FindTextBoxLabel(View, Index, Fill.Num() + 1) + TEXT(": "), false, Line) != EInputResult::Line)
			{
				return;
			}
			// Typed exactly as entered, spaces included: trimming is the window's business.
			Fill.Add(FString::FromUtf8(Line));
		}

		FString Press;
		while (Press.IsEmpty())
		{
			std::string Line;
			if (ReadLine(TEXT("  Press: "), false, Line) != EInputResult::Line)
			{
				return;
			}
			Press = PickWindowButton(View, TrimSpaces(Line));
			if (Press.IsEmpty())
			{
				Print(TEXT("  Type a button's number or label, or x to close the window."));
			}
		}
		FString Error;
		if (!AnswerWindow(Window, Fill, Press, Error))
		{
			Print(FString(TEXT("  ")) + Error);
		}
	}

	void FInteractiveFrontEnd::OnUatTask(const FUatTaskRequest& Task)
	{
		FHeldEvent Started;
		Started.Line = FString(TEXT("  UAT task started: ")) + Task.TaskName.ToString() + TEXT(" (") + Task.PlatformDisplayName.ToString() + TEXT(")\n") +
		               TEXT("    RunUAT ") + Task.CommandLine;
		HoldEvent(MoveTemp(Started));
	}

	void FInteractiveFrontEnd::OnUatFinished(const FString& Result, double Seconds)
	{
		FHeldEvent Finished;
		Finished.Line = FString::Printf(TEXT("  UAT task finished: %s after %.1f s"), *Result, Seconds);
		HoldEvent(MoveTemp(Finished));
	}

	void FInteractiveFrontEnd::OnMenusCallback()
	{
		if (bShowLogLines)
		{
			FHeldEvent Callback;
			Callback.Line = TEXT("  (a ToolMenus start-up callback ran)");
			HoldEvent(MoveTemp(Callback));
		}
	}
} // namespace UE::StandIn::EditorHost
