// How the interactive front end shows what the editor does: log lines, notifications as status lines, message
// dialogs as prompts, modal windows as forms, and the automation tool's tasks.
#include "InteractiveFrontEnd.h"

#include "HostWindows.h"
#include "InteractiveInput.h"
#include "Misc/MessageDialog.h"
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
		FString Line = Category.ToString() + TEXT(": ");
		if (Level != ELogVerbosity::Log)
		{
			Line += FString(ToString(Level)) + TEXT(": ");
		}
		PrintEvent(Line + Message);
	}

	void FInteractiveFrontEnd::OnNotification(int32 Id, ENotificationEvent Event, const FNotificationSnapshot& Snapshot)
	{
		if (Event == ENotificationEvent::Removed)
		{
			NotificationLines.Remove(Id);
			return;
		}
		FString Line = FString::Printf(TEXT("  [notification %d] %s"), Id, *Snapshot.Text.ToString());
		if (!Snapshot.SubText.IsEmpty())
		{
			Line += FString(TEXT(" - ")) + Snapshot.SubText.ToString();
		}
		if (Snapshot.CompletionState != SNotificationItem::CS_None)
		{
			Line += FString(TEXT("  (")) + DescribeCompletionState(Snapshot.CompletionState) + TEXT(")");
		}
		// A fade or a pulse changes nothing a person reads.
		const FString* Previous = NotificationLines.Find(Id);
		if (Previous && Previous->Equals(Line))
		{
			return;
		}
		NotificationLines.Add(Id, Line);
		PrintEvent(Line);
	}

	EAppReturnType::Type FInteractiveFrontEnd::OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title)
	{
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
		PrintEvent(FString(TEXT("  UAT task started: ")) + Task.TaskName.ToString() + TEXT(" (") + Task.PlatformDisplayName.ToString() + TEXT(")"));
		PrintEvent(FString(TEXT("    RunUAT ")) + Task.CommandLine);
	}

	void FInteractiveFrontEnd::OnUatFinished(const FString& Result, double Seconds)
	{
		PrintEvent(FString::Printf(TEXT("  UAT task finished: %s after %.1f s"), *Result, Seconds));
	}

	void FInteractiveFrontEnd::OnMenusCallback()
	{
		if (bShowLogLines)
		{
			PrintEvent(TEXT("  (a ToolMenus start-up callback ran)"));
		}
	}
} // namespace UE::StandIn::EditorHost
