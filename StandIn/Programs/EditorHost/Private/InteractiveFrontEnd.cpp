#include "InteractiveFrontEnd.h"

#include "HAL/PlatformTime.h"
#include "HostPlugin.h"
#include "HostSession.h"
#include "HostUatControl.h"
#include "HostWindows.h"
#include "HostWorkshop.h"
#include "Misc/MessageDialog.h"
#include "Misc/Paths.h"
#include "StandIn/OfflineWorkshop.h"
#include "StandIn/ToolMenusHost.h"
#include "Widgets/SWindow.h"

#include "StandIn/MessageDialogResponder.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		const TCHAR* const ToolsMenuName = TEXT("LevelEditor.MainMenu.Tools");

		// Short enough that notifications and child processes move on smoothly while the person types.
		constexpr int FramePollMilliseconds = 16;

		constexpr double DefaultWaitSeconds = 1.0;
		constexpr double LongestWaitSeconds = 3600.0;

		// Quitting and the end of input close the editor alike; only Ctrl-C says it was interrupted.
		const TCHAR* const ClosingLine = TEXT("Closing the editor.");

		volatile sig_atomic_t GInterruptRequested = 0;
		struct sigaction GPreviousInterruptAction = {};

		void HandleInterrupt(int)
		{
			if (GInterruptRequested != 0)
			{
				// A second Ctrl-C stops a program that does not come back from the first, as a terminal expects.
				signal(SIGINT, SIG_DFL);
				raise(SIGINT);
				return;
			}
			GInterruptRequested = 1;
		}

		bool IsInterruptRequested()
		{
			return GInterruptRequested != 0;
		}

		std::string TrimSpaces(const std::string& Text)
		{
			const size_t First = Text.find_first_not_of(" \t");
			if (First == std::string::npos)
			{
				return std::string();
			}
			const size_t Last = Text.find_last_not_of(" \t");
			return Text.substr(First, Last - First + 1);
		}

		/** @return true with OutNumber when Text is a whole decimal number and nothing else; 0 counts, and is out of every range. */
		bool ParseNumber(const std::string& Text, int32& OutNumber)
		{
			if (Text.empty() || Text.size() > 9 || Text.find_first_not_of("0123456789") != std::string::npos)
			{
				return false;
			}
			OutNumber = static_cast<int32>(std::strtol(Text.c_str(), nullptr, 10));
			return true;
		}

		/**
		 * @return typed text as it may be shown: control characters, which a terminal would act on (an arrow key's
		 * escape sequence moves the cursor), written as escapes instead.
		 */
		FString EscapeControlCharacters(const std::string& Typed)
		{
			const FString Text = FString::FromUtf8(Typed);
			FString Shown;
			for (int32 Index = 0; Index < Text.Len(); ++Index)
			{
				const TCHAR Char = Text[Index];
				if (Char < 0x20 || Char == 0x7F)
				{
					Shown += FString::Printf(TEXT("\\x%02X"), static_cast<uint32>(Char));
				}
				else if (Char >= 0x80 && Char <= 0x9F)
				{
					Shown += FString::Printf(TEXT("\\u%04X"), static_cast<uint32>(Char));
				}
				else
				{
					Shown.AppendChar(Char);
				}
			}
			return Shown;
		}

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

	FInteractiveFrontEnd::FInteractiveFrontEnd(int InInputFd, std::FILE* InOutput)
	    : InputFd(InInputFd)
	    , Output(InOutput)
	    , bInputIsTerminal(isatty(InInputFd) == 1)
	    , bOutputIsTerminal(isatty(fileno(InOutput)) == 1)
	{
		// Ctrl-C only sets a flag: the loop then returns and main shuts the modules down. SA_RESTART keeps other
		// code's system calls going; poll still wakes up.
		GInterruptRequested = 0;
		struct sigaction Action = {};
		Action.sa_handler = &HandleInterrupt;
		sigemptyset(&Action.sa_mask);
		Action.sa_flags = SA_RESTART;
		sigaction(SIGINT, &Action, &GPreviousInterruptAction);
	}

	FInteractiveFrontEnd::~FInteractiveFrontEnd()
	{
		sigaction(SIGINT, &GPreviousInterruptAction, nullptr);
	}

	void FInteractiveFrontEnd::PrintHeader(const FString& PluginName)
	{
		Print(PluginName + TEXT(" editor host"));
		FString ProjectLine = FString(TEXT("Project: ")) + FPaths::GetProjectFilePath();
		if (Session && Session->GetProject().bIsDemoCopy)
		{
			ProjectLine += TEXT("  (a fresh copy of the demo project)");
		}
		Print(ProjectLine);
		if (Session && !Session->GetOptions().EngineDir.IsEmpty())
		{
			Print(FString(TEXT("The engine and Steam are simulated; the cook runs the automation tool of ")) + Session->GetOptions().EngineDir + TEXT("."));
		}
		else
		{
			Print(TEXT("The engine, its cooker and Steam are simulated: nothing here is a real cook or a real Workshop upload."));
		}
		if (Session)
		{
			Print(FString(TEXT("Uploads go to the offline Workshop in ")) + GetWorkshopFolder(Session->GetOptions(), Session->GetProject()) +
			      TEXT(", not to Steam (w lists its items)."));
		}
	}

	int32 FInteractiveFrontEnd::Run()
	{
		Print(FString(TEXT("Mods folder: ")) + GetModsRoot(Session->GetPluginModuleNames()));
		Print(TEXT("Type h for help."));
		ShowMenu();
		while (true)
		{
			std::string Line;
			const EInputResult Result = ReadLine(TEXT("> "), true, Line);
			if (Result == EInputResult::Interrupted)
			{
				Print(TEXT("Interrupted: closing the editor."));
				return 130;
			}
			if (Result == EInputResult::EndOfInput || !HandleCommand(Line))
			{
				Print(ClosingLine);
				return 0;
			}
		}
	}

	bool FInteractiveFrontEnd::HandleCommand(const std::string& Line)
	{
		const std::string Command = TrimSpaces(Line);
		int32 Number = 0;
		if (Command.empty())
		{
			ShowMenu();
		}
		else if (ParseNumber(Command, Number))
		{
			ChooseEntry(Number);
		}
		else if (Command[0] == '?' && Command.size() > 1)
		{
			if (ParseNumber(TrimSpaces(Command.substr(1)), Number))
			{
				ShowToolTip(Number);
			}
			else
			{
				Print(TEXT("Type ? and an entry's number, for example ?1."));
			}
		}
		else if (Command == "q" || Command == "quit" || Command == "exit")
		{
			return false;
		}
		else if (Command == "b" || Command == "back")
		{
			GoBack();
		}
		else if (Command == "t" || Command.rfind("t ", 0) == 0)
		{
			const std::string Argument = TrimSpaces(Command.substr(1));
			char* End = nullptr;
			const double Seconds = Argument.empty() ? DefaultWaitSeconds : std::strtod(Argument.c_str(), &End);
			if (!Argument.empty() && (End == Argument.c_str() || *End != '\0' || !(Seconds > 0.0 && Seconds <= LongestWaitSeconds)))
			{
				Print(TEXT("Type t and a number of seconds above 0 and up to 3600, for example t 5."));
			}
			else
			{
				LetTimePass(Seconds);
			}
		}
		else if (Command == "l")
		{
			bShowLogLines = !bShowLogLines;
			Print(bShowLogLines ? TEXT("Log lines of every verbosity are shown.") : TEXT("Only Warning and Error log lines are shown."));
		}
		else if (Command == "w" || Command.rfind("w ", 0) == 0)
		{
			HandleWorkshopCommand(TrimSpaces(Command.substr(1)));
		}
		else if (Command == "r")
		{
			DeclareMenusReady();
		}
		else if (Command == "uat" || Command.rfind("uat ", 0) == 0)
		{
			ControlUat(TrimSpaces(Command.substr(3)));
		}
		else if (Command == "crash")
		{
			Print(TEXT("Crashing: the editor ends now, without shutting anything down."));
			CrashHost();
		}
		else if (Command == "h" || Command == "help" || Command == "?")
		{
			PrintHelp();
		}
		else
		{
			Print(FString(TEXT("Unknown command '")) + EscapeControlCharacters(Command) + TEXT("'. Type h for help."));
		}
		return true;
	}

	void FInteractiveFrontEnd::ShowMenu()
	{
		ShownEntries.Empty();
		TOptional<UE::StandIn::FDisplayedToolMenu> Menu = UE::StandIn::DisplayToolMenu(FName(ToolsMenuName), MenuPath);
		if (!Menu.IsSet() && !MenuPath.IsEmpty())
		{
			// The submenu went away (its module unloaded, its entry disabled): start again from the top.
			Print(TEXT("That submenu cannot be opened now; back to Tools."));
			MenuPath.Empty();
			MenuPathLabels.Empty();
			Menu = UE::StandIn::DisplayToolMenu(FName(ToolsMenuName), MenuPath);
		}
		if (!Menu.IsSet())
		{
			Print(TEXT("The Tools menu has nothing to show: ToolMenus is not loaded, or the editor's menus are not ready yet (r declares them ready)."));
			return;
		}

		FString Title = TEXT("Tools");
		for (const FString& Label : MenuPathLabels)
		{
			Title += FString(TEXT(" > ")) + Label;
		}
		Print(TEXT(""));
		Print(Title);
		for (const UE::StandIn::FDisplayedToolMenuSection& Section : Menu.GetValue().Sections)
		{
			const FString SectionLabel = Section.Label.IsEmpty() ? Section.Name.ToString() : Section.Label.ToString();
			if (!SectionLabel.IsEmpty() && SectionLabel != TEXT("None"))
			{
				Print(FString(TEXT("  ")) + SectionLabel);
			}
			for (const UE::StandIn::FDisplayedToolMenuEntry& Entry : Section.Entries)
			{
				// Separators and headings structure the menu; only what can be chosen gets a number.
				if (Entry.Type == EMultiBlockType::Separator)
				{
					Print(TEXT("    ----"));
					continue;
				}
				if (Entry.Type == EMultiBlockType::Heading)
				{
					Print(FString(TEXT("    ")) + Entry.Label.ToString());
					continue;
				}
				FShownEntry& Shown = ShownEntries.Emplace_GetRef();
				Shown.Name = Entry.Name;
				Shown.Label = Entry.Label.IsEmpty() ? Entry.Name.ToString() : Entry.Label.ToString();
				Shown.ToolTip = Entry.ToolTip.ToString();
				Shown.bIsSubMenu = Entry.bIsSubMenu;
				Shown.bIsEnabled = Entry.bIsEnabled;
				FString Line = FString::Printf(TEXT("    %2d  %s"), ShownEntries.Num(), *Shown.Label);
				if (Shown.bIsSubMenu)
				{
					Line += TEXT("  >");
				}
				if (!Shown.bIsEnabled)
				{
					Line += TEXT("  (greyed out)");
				}
				Print(Line);
			}
		}
		if (ShownEntries.IsEmpty())
		{
			Print(TEXT("    (no entries)"));
		}
		if (!UE::StandIn::CanExtendToolMenus())
		{
			Print(TEXT("  The editor's menus are not ready yet: r declares them ready."));
		}
		Print(MenuPath.IsEmpty() ? TEXT("  number: choose   ?number: tooltip   t: let time pass   h: help   q: quit")
		                         : TEXT("  number: choose   ?number: tooltip   b: back   t: let time pass   h: help   q: quit"));
	}

	void FInteractiveFrontEnd::ChooseEntry(int32 Number)
	{
		if (Number < 1 || Number > ShownEntries.Num())
		{
			Print(FString::Printf(TEXT("There is no entry %d here."), Number));
			return;
		}
		const FShownEntry Entry = ShownEntries[Number - 1];
		if (!Entry.bIsEnabled)
		{
			Print(FString::Printf(TEXT("'%s' is greyed out and cannot be chosen now (?%d shows its tooltip)."), *Entry.Label, Number));
			return;
		}
		if (Entry.bIsSubMenu)
		{
			MenuPath.Add(Entry.Name);
			MenuPathLabels.Add(Entry.Label);
			ShowMenu();
			return;
		}

		TArray<FName> EntryPath = MenuPath;
		EntryPath.Add(Entry.Name);
		// Choosing an entry closes the whole menu, as in the editor; the next menu shown is Tools again.
		MenuPath.Empty();
		MenuPathLabels.Empty();
		if (!UE::StandIn::ChooseToolMenuEntry(FName(ToolsMenuName), EntryPath))
		{
			Print(FString::Printf(TEXT("'%s' cannot be chosen now: it is gone or greyed out."), *Entry.Label));
		}
		if (!IsInterruptRequested())
		{
			ShowMenu();
		}
	}

	void FInteractiveFrontEnd::ShowToolTip(int32 Number)
	{
		if (Number < 1 || Number > ShownEntries.Num())
		{
			Print(FString::Printf(TEXT("There is no entry %d here."), Number));
			return;
		}
		const FShownEntry& Entry = ShownEntries[Number - 1];
		Print(FString(TEXT("  ")) + Entry.Label + TEXT(": ") + (Entry.ToolTip.IsEmpty() ? FString(TEXT("(no tooltip)")) : Entry.ToolTip));
	}

	void FInteractiveFrontEnd::GoBack()
	{
		if (MenuPath.IsEmpty())
		{
			Print(TEXT("This is the top of the Tools menu."));
			return;
		}
		MenuPath.Pop();
		MenuPathLabels.Pop();
		ShowMenu();
	}

	void FInteractiveFrontEnd::LetTimePass(double Seconds)
	{
		if (!Session)
		{
			return;
		}
		Print(FString::Printf(TEXT("Letting %g s pass..."), Seconds));
		const double End = FPlatformTime::Seconds() + Seconds;
		while (FPlatformTime::Seconds() < End && !IsInterruptRequested())
		{
			Session->Tick(0.0);
		}
		if (IsInterruptRequested() && bInputIsTerminal)
		{
			// The terminal echoed ^C where the cursor stood; the closing line starts on a line of its own.
			WriteRaw("\n");
		}
	}

	void FInteractiveFrontEnd::DeclareMenusReady()
	{
		if (UE::StandIn::CanExtendToolMenus())
		{
			Print(TEXT("The editor's menus are ready already."));
		}
		else
		{
			UE::StandIn::DeclareToolMenusReady();
		}
		ShowMenu();
	}

	void FInteractiveFrontEnd::ControlUat(const std::string& Arguments)
	{
		FString Error;
		if (Arguments == "release")
		{
			Print(ReleaseHeldRun(Error) ? FString(TEXT("The held automation tool run goes on.")) : Error);
			return;
		}

		// "hold", "worker" and how the run ends ("exit <code>" or "crash"), in any order; or "normal" alone.
		std::vector<std::string> Words;
		std::istringstream Stream(Arguments);
		for (std::string Word; Stream >> Word;)
		{
			Words.push_back(Word);
		}
		FUatRunControl Control;
		bool bValid = !Words.empty();
		for (size_t Index = 0; bValid && Index < Words.size(); ++Index)
		{
			int32 ExitCode = 0;
			if (Words[Index] == "hold")
			{
				Control.bHold = true;
			}
			else if (Words[Index] == "crash")
			{
				Control.bCrash = true;
			}
			else if (Words[Index] == "worker")
			{
				Control.bCallBackOnWorkerThread = true;
			}
			else if (Words[Index] == "exit" && Index + 1 < Words.size())
			{
				const std::string& Code = Words[++Index];
				bValid = ParseNumber(Code, ExitCode);
				Control.ExitCode = ExitCode;
			}
			else
			{
				bValid = Words[Index] == "normal" && Words.size() == 1;
			}
		}
		if (!bValid)
		{
			Print(TEXT("Type uat hold, uat exit <code>, uat crash, uat hold exit <code>, uat hold crash, uat worker, uat normal or uat release."));
			return;
		}
		if (!ControlNextUatRun(Control, Error))
		{
			Print(Error);
			return;
		}
		Print(FString(TEXT("The next automation tool run: ")) + DescribeUatRunControl(Control) + TEXT("."));
	}

	void FInteractiveFrontEnd::PrintHelp()
	{
		Print(TEXT("  <number>     choose that entry; one marked > opens its submenu, filled afresh"));
		Print(TEXT("  ?<number>    show the entry's tooltip"));
		Print(TEXT("  b            back to the menu above"));
		Print(TEXT("  Enter        show the menu again"));
		Print(TEXT("  t [seconds]  let time pass (1 s unless told); time also passes while the prompt waits"));
		Print(TEXT("  l            show or hide Log lines (Warning and Error lines always show)"));
		Print(TEXT("  r            declare the editor's menus ready, when started with --menus-not-ready"));
		Print(TEXT("  uat hold     hold the next automation tool run before it touches anything, until uat release"));
		Print(TEXT("  uat exit <n> end the next run with exit code n (0 to 255) without its work; uat crash kills it part-way"));
		Print(TEXT("               (hold may come first: uat hold exit 3); uat normal: a normal run; each applies to one run"));
		Print(TEXT("  uat worker   the next run's end is called back from a worker thread, not the game thread (with any of the above)"));
		Print(TEXT("  crash        end the editor at once, as a crash: nothing is shut down or written back"));
		Print(TEXT("  w            list the offline Workshop's items (uploads go there, not to Steam); for its next request:"));
		Print(TEXT("  w hold <f>   pause the copy at fraction f (0 to 1) until w release"));
		Print(TEXT("  w refuse     Steam is not running"));
		Print(TEXT("  w fail <EResult> [after-create]   fail as Steam would, e.g. w fail k_EResultAccessDenied"));
		Print(TEXT("  q            quit; so do Ctrl-D and Ctrl-C"));
		Print(TEXT("Windows ask for each text box in turn, then for a button; dialogs wait for Enter."));
		Print(TEXT("A line printed while you type hides what you typed, but it is still there: Ctrl-R shows it again."));
	}

	void FInteractiveFrontEnd::HandleWorkshopCommand(const std::string& Arguments)
	{
		const size_t Space = Arguments.find(' ');
		const std::string Verb = Arguments.substr(0, Space);
		const std::string Rest = Space == std::string::npos ? std::string() : TrimSpaces(Arguments.substr(Space));
		FWorkshopNextRequest Next;
		FString Done;
		FString Error;
		if (Verb.empty() || Verb == "items")
		{
			const std::vector<UE::StandIn::FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
			if (Items.empty())
			{
				Print(FString(TEXT("  The offline Workshop in ")) + FString::FromUtf8(UE::StandIn::GetOfflineWorkshopFolder()) + TEXT(" has no items yet."));
			}
			for (const UE::StandIn::FOfflineWorkshopItem& Item : Items)
			{
				Print(FString::Printf(TEXT("  %s  \"%s\"  %s, %d file(s), preview %s, %d change note(s)"), *FString::FromUtf8(std::to_string(Item.Id)),
				                      *FString::FromUtf8(Item.Title), *FString::FromUtf8(Item.Visibility), static_cast<int32>(Item.ContentFiles.size()),
				                      Item.PreviewFileName.empty() ? TEXT("none") : *FString::FromUtf8(Item.PreviewFileName),
				                      static_cast<int32>(Item.ChangeNotes.size())));
			}
			return;
		}
		if (Verb == "release")
		{
			Print(ReleaseWorkshopHold(Error) ? FString(TEXT("  The held upload goes on.")) : FString(TEXT("  ")) + Error);
			return;
		}
		if (Verb == "hold")
		{
			char* End = nullptr;
			Next.HoldAt = std::strtod(Rest.c_str(), &End);
			if (Rest.empty() || *End != '\0')
			{
				Print(TEXT("  Type w hold and a fraction from 0 to 1, for example w hold 0.5."));
				return;
			}
			Done = FString::Printf(TEXT("  The next upload pauses at %g of its bytes until w release."), Next.HoldAt.GetValue());
		}
		else if (Verb == "refuse" && Rest.empty())
		{
			Next.bRefuse = true;
			Done = TEXT("  The next upload finds Steam not running.");
		}
		else if (Verb == "fail" && !Rest.empty())
		{
			const size_t NameEnd = Rest.find(' ');
			const std::string Option = NameEnd == std::string::npos ? std::string() : TrimSpaces(Rest.substr(NameEnd));
			Next.FailResult = FString::FromUtf8(Rest.substr(0, NameEnd));
			Next.bFailAfterCreate = Option == "after-create";
			if (!Option.empty() && !Next.bFailAfterCreate)
			{
				Print(TEXT("  Type w fail, an EResult's name and, to fail after the item is made, after-create."));
				return;
			}
			Done = FString::Printf(TEXT("  The next upload fails with %s %s."), *Next.FailResult,
			                       Next.bFailAfterCreate ? TEXT("after its item is made") : TEXT("when it asks for a new item or sends its update"));
		}
		else
		{
			Print(FString(TEXT("Unknown Workshop command '")) + EscapeControlCharacters(Arguments) + TEXT("'. Type h for help."));
			return;
		}
		Print(SetWorkshopNextRequest(Next, Error) ? Done : FString(TEXT("  ")) + Error);
	}

	FInteractiveFrontEnd::EInputResult FInteractiveFrontEnd::ReadLine(const FString& Prompt, bool bKeepTicking, std::string& OutLine)
	{
		// A window or dialog that a frame opens asks its own questions; the prompt it interrupted comes back after.
		const FString OuterPrompt = ActivePrompt;
		ActivePrompt = Prompt;
		const EInputResult Result = WaitForLine(bKeepTicking, OutLine);
		if (bPromptOnScreen)
		{
			// Ctrl-C or the end of input left the cursor after the prompt.
			WriteRaw("\n");
			bPromptOnScreen = false;
		}
		if (Result == EInputResult::Line && !bInputIsTerminal)
		{
			// From a pipe or a file the prompt is written with the line it received, so the output reads like a
			// session at a terminal.
			WriteRaw((Prompt + EscapeControlCharacters(OutLine)).ToUtf8() + "\n");
		}
		ActivePrompt = OuterPrompt;
		return Result;
	}

	FInteractiveFrontEnd::EInputResult FInteractiveFrontEnd::WaitForLine(bool bKeepTicking, std::string& OutLine)
	{
		while (true)
		{
			if (IsInterruptRequested())
			{
				return EInputResult::Interrupted;
			}
			if (TakePendingLine(OutLine))
			{
				// The terminal echoed the line and its line break: the prompt has scrolled up.
				bPromptOnScreen = false;
				return EInputResult::Line;
			}
			if (bInputEnded)
			{
				return EInputResult::EndOfInput;
			}
			if (bInputIsTerminal && !bPromptOnScreen)
			{
				// A line typed while time passed or output scrolled by has been echoed by the terminal already: it is
				// taken as it is, not under a prompt that would stand empty above what the line does.
				if (IsInputReady())
				{
					ReadAvailableInput();
					continue;
				}
				WritePrompt();
			}

			pollfd Input = {};
			Input.fd = InputFd;
			Input.events = POLLIN;
			const int Ready = poll(&Input, 1, bKeepTicking ? FramePollMilliseconds : -1);
			if (Ready > 0)
			{
				if ((Input.revents & POLLNVAL) != 0)
				{
					bInputEnded = true;
				}
				else
				{
					ReadAvailableInput();
				}
			}
			if (bKeepTicking && Session && !IsInterruptRequested())
			{
				Session->TickFrame();
			}
		}
	}

	bool FInteractiveFrontEnd::IsInputReady() const
	{
		pollfd Input = {};
		Input.fd = InputFd;
		Input.events = POLLIN;
		return poll(&Input, 1, 0) > 0;
	}

	void FInteractiveFrontEnd::ReadAvailableInput()
	{
		char Buffer[4096];
		const ssize_t Count = read(InputFd, Buffer, sizeof(Buffer));
		if (Count > 0)
		{
			PendingInput.append(Buffer, static_cast<size_t>(Count));
		}
		else if (Count == 0 || (errno != EINTR && errno != EAGAIN))
		{
			bInputEnded = true;
		}
	}

	bool FInteractiveFrontEnd::TakePendingLine(std::string& OutLine)
	{
		const size_t NewLine = PendingInput.find('\n');
		if (NewLine == std::string::npos)
		{
			// The last line of a file may have no line break.
			if (!bInputEnded || PendingInput.empty())
			{
				return false;
			}
			OutLine = PendingInput;
			PendingInput.clear();
			return true;
		}
		OutLine = PendingInput.substr(0, NewLine);
		PendingInput.erase(0, NewLine + 1);
		if (!OutLine.empty() && OutLine.back() == '\r')
		{
			OutLine.pop_back();
		}
		return true;
	}

	void FInteractiveFrontEnd::Print(const FString& Line)
	{
		if (bPromptOnScreen)
		{
			// Take the prompt off its line; it is written again under what is printed while it waits. What the
			// person has typed so far stays in the terminal's line buffer.
			WriteRaw(bOutputIsTerminal ? "\r\x1b[K" : "\n");
			bPromptOnScreen = false;
		}
		WriteRaw(Line.ToUtf8() + "\n");
	}

	void FInteractiveFrontEnd::PrintEvent(const FString& Line)
	{
		const bool bPromptWasOnScreen = bPromptOnScreen;
		Print(Line);
		if (bPromptWasOnScreen)
		{
			WritePrompt();
		}
	}

	void FInteractiveFrontEnd::WriteRaw(const std::string& Bytes)
	{
		std::fwrite(Bytes.data(), 1, Bytes.size(), Output);
		std::fflush(Output);
	}

	void FInteractiveFrontEnd::WritePrompt()
	{
		WriteRaw(ActivePrompt.ToUtf8());
		bPromptOnScreen = true;
	}

	void FInteractiveFrontEnd::OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message)
	{
		const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask);
		if (Level > ELogVerbosity::Warning && !bShowLogLines)
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
