// What a person types at the interactive front end's prompt: menu numbers, time, the log, and the stand-in's controls
// of the automation tool and the offline Workshop.
#include "InteractiveFrontEnd.h"

#include "HAL/PlatformTime.h"
#include "HostPlugin.h"
#include "HostSession.h"
#include "HostUatControl.h"
#include "HostWorkshop.h"
#include "InteractiveInput.h"
#include "StandIn/OfflineWorkshop.h"
#include "StandIn/ToolMenusHost.h"

#include <sstream>
#include <vector>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		constexpr double DefaultWaitSeconds = 1.0;
		constexpr double LongestWaitSeconds = 3600.0;

		/**
		 * The lines under an item's own in the listing: the items it requires, its key-value tags and its extra
		 * previews, each only when it has some, so that an item without any of it lists as a single line.
		 */
		std::vector<FString> DescribeItemExtras(const UE::StandIn::FOfflineWorkshopItem& Item)
		{
			std::vector<FString> Lines;
			const auto AddList = [&Lines](const TCHAR* What, const auto& Values, const auto& ToText) {
				FString Line = FString(TEXT("      ")) + What;
				const TCHAR* Separator = TEXT(" ");
				for (const auto& Value : Values)
				{
					Line += Separator + ToText(Value);
					Separator = TEXT(", ");
				}
				if (!Values.empty())
				{
					Lines.push_back(Line);
				}
			};
			AddList(TEXT("requires"), Item.Children, [](PublishedFileId_t Child) {
				return FString::FromUtf8(std::to_string(Child));
			});
			AddList(TEXT("key-value tags"), Item.KeyValueTags, [](const std::pair<std::string, std::string>& Tag) {
				return FString::FromUtf8(Tag.first) + TEXT("=") + FString::FromUtf8(Tag.second);
			});
			AddList(TEXT("extra previews"), Item.ExtraPreviewFileNames, [](const std::string& Name) {
				return FString::FromUtf8(Name);
			});
			return Lines;
		}
	} // namespace

	using namespace Interactive;

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
		else if (Command == "m")
		{
			ListMods();
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
			PrintHeldEvents();
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
			else if (Words[Index] == "stage" && Index + 1 < Words.size())
			{
				Control.StageFault = FString::FromUtf8(Words[++Index]);
				bValid = IsStageFault(Control.StageFault);
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
			Print(TEXT("Type uat hold, uat exit <code>, uat crash, uat hold exit <code>, uat hold crash, uat worker, uat stage <fault> (nothing, empty-pak, "
			           "no-descriptor, base-assets or iostore), uat normal or uat release."));
			return;
		}
		if (!ControlNextUatRun(Control, Error))
		{
			Print(Error);
			return;
		}
		Print(FString(TEXT("The next automation tool run: ")) + DescribeUatRunControl(Control) + TEXT("."));
	}

	void FInteractiveFrontEnd::ListMods()
	{
		const TArray<FModBuildState> Mods = Session ? ListModBuildStates(Session->GetPluginModuleNames()) : TArray<FModBuildState>();
		if (Mods.IsEmpty())
		{
			Print(TEXT("  There are no local mods."));
		}
		for (const FModBuildState& Mod : Mods)
		{
			Print(FString::Printf(TEXT("  %s  %s"), *Mod.Name, *DescribeBuildState(Mod.State)));
			for (const FString& Reason : Mod.Reasons)
			{
				Print(FString(TEXT("      ")) + Reason);
			}
		}
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
		Print(TEXT("  uat stage <fault>  the next mod cook completes but stages nothing, an empty-pak, a pak with no-descriptor or"));
		Print(TEXT("               one that also holds the base-assets; or, no fault, stages its assets in an iostore container"));
		Print(TEXT("               (with any of the above)"));
		Print(TEXT("  m            list the local mods and the state of each one's packaged build"));
		Print(TEXT("  crash        end the editor at once, as a crash: nothing is shut down or written back"));
		Print(TEXT("  w            list the offline Workshop's items (uploads go there, not to Steam); for its next request:"));
		Print(TEXT("  w hold <f>   pause the copy at fraction f (0 to 1) until w release"));
		Print(TEXT("  w refuse     Steam is not running"));
		Print(TEXT("  w fail <EResult> [after-create]   fail as Steam would, e.g. w fail k_EResultAccessDenied"));
		Print(TEXT("  w fail-add-dependency|fail-remove-dependency|fail-details-query <EResult>   fail the next such call"));
		Print(TEXT("  w refuse-key-value-tag|refuse-preview   the next such call answers false"));
		Print(TEXT("  q            quit; so do Ctrl-D and Ctrl-C"));
		Print(TEXT("Windows ask for each text box in turn, then for a button; dialogs wait for Enter."));
		if (LineEditor)
		{
			Print(TEXT("The arrow keys, Home and End edit the line; Up and Down go through earlier lines, Ctrl-R searches them."));
		}
		else if (bInputIsTerminal)
		{
			Print(TEXT("A line printed while you type hides what you typed, but it is still there: Ctrl-R shows it again."));
		}
	}

	void FInteractiveFrontEnd::HandleWorkshopCommand(const std::string& Arguments)
	{
		const size_t Space = Arguments.find(' ');
		const std::string Verb = Arguments.substr(0, Space);
		const std::string Rest = Space == std::string::npos ? std::string() : TrimSpaces(Arguments.substr(Space));
		FWorkshopNextRequest Next;
		FString Done;
		FString Error;
		const auto FindCallFailure = [&Next, &Verb]() -> FString* {
			if (Verb == "fail-add-dependency")
			{
				return &Next.FailAddDependency;
			}
			if (Verb == "fail-remove-dependency")
			{
				return &Next.FailRemoveDependency;
			}
			return Verb == "fail-details-query" ? &Next.FailDetailsQuery : nullptr;
		};
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
				for (const FString& Extra : DescribeItemExtras(Item))
				{
					Print(Extra);
				}
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
		else if (FString* CallFailure = FindCallFailure(); CallFailure && !Rest.empty() && Rest.find(' ') == std::string::npos)
		{
			*CallFailure = FString::FromUtf8(Rest);
			Done = FString::Printf(TEXT("  The next %s call fails with %s."), *FString::FromUtf8(Verb.substr(5)), **CallFailure);
		}
		else if ((Verb == "refuse-key-value-tag" || Verb == "refuse-preview") && Rest.empty())
		{
			Next.bRefuseKeyValueTag = Verb == "refuse-key-value-tag";
			Next.bRefusePreview = !Next.bRefuseKeyValueTag;
			Done = FString::Printf(TEXT("  The next %s call answers false."), Next.bRefusePreview ? TEXT("extra preview") : TEXT("key-value tag"));
		}
		else
		{
			Print(FString(TEXT("Unknown Workshop command '")) + EscapeControlCharacters(Arguments) + TEXT("'. Type h for help."));
			return;
		}
		Print(SetWorkshopNextRequest(Next, Error) ? Done : FString(TEXT("  ")) + Error);
	}
} // namespace UE::StandIn::EditorHost
