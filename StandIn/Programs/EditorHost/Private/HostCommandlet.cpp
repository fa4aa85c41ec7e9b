#include "HostCommandlet.h"

#include "Commandlets/Commandlet.h"
#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "Framework/Notifications/NotificationManager.h"
#include "HostFrontEnd.h"
#include "HostInterrupt.h"
#include "HostProject.h"
#include "HostSession.h"
#include "HostUatControl.h"
#include "StandIn/OfflineWorkshop.h"
#include "StandIn/OutputDeviceStdErr.h"
#include "StandIn/ProcessArguments.h"
#include "StandIn/UatRunControlProtocol.h"
#include "UObject/Class.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UObjectIterator.h"
#include "Widgets/SWindow.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		constexpr int CommandletRefusedExitCode = 2;

		void PrintToStdErr(const FString& Line)
		{
			std::fprintf(stderr, "%s\n", Line.ToUtf8().c_str());
			std::fflush(stderr);
		}

		/**
		 * What a commandlet run shows: the log, on standard error as the editor's console shows it. A commandlet has no
		 * window, so a dialog is answered as an unattended editor answers it, and a window closes unanswered.
		 */
		class FCommandletFrontEnd final : public IHostFrontEnd
		{
		public:
			void OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message) override
			{
				PrintToStdErr(UE::StandIn::FOutputDeviceStdErr::FormatLogLine(*Message, Verbosity, Category));
			}
			void OnNotification(int32, ENotificationEvent, const FNotificationSnapshot&) override {}
			EAppReturnType::Type OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText&) override
			{
				PrintToStdErr(FString::Printf(TEXT("Message dialog, answered without a user: %s"), *Message.ToString()));
				return Type == EAppMsgType::Ok ? EAppReturnType::Ok : EAppReturnType::Cancel;
			}
			void OnModalWindow(const TSharedRef<SWindow>& Window) override
			{
				PrintToStdErr(FString::Printf(TEXT("Modal window '%s' closed: a commandlet has no one to answer it."), *Window->GetTitle().ToString()));
			}
			void OnUatTask(const FUatTaskRequest&) override {}
			void OnUatFinished(const FString&, double) override {}
			void OnMenusCallback() override {}
		};

		bool IsWholeNumber(const std::string& Text, size_t MaxDigits)
		{
			return !Text.empty() && Text.size() <= MaxDigits && std::all_of(Text.begin(), Text.end(), [](char Digit) {
				return Digit >= '0' && Digit <= '9';
			});
		}

		bool ParseBandwidth(const FString& Value, uint64& OutBytesPerSecond, FString& OutError)
		{
			const std::string Text = Value.ToUtf8();
			OutBytesPerSecond = IsWholeNumber(Text, 12) ? std::stoull(Text) : 0;
			if (OutBytesPerSecond == 0)
			{
				OutError = FString::Printf(TEXT("--workshop-bandwidth: '%s' is not a whole number of bytes a second above 0."), *Value);
				return false;
			}
			return true;
		}

		UClass* FindCommandletClass(const FString& Name)
		{
			// -run=Name finds U<Name>Commandlet, or the class named exactly so.
			const FString WithSuffix = Name + TEXT("Commandlet");
			for (TObjectIterator<UClass> It; It; ++It)
			{
				if (It->IsChildOf(UCommandlet::StaticClass()) &&
				    (It->GetName().Equals(WithSuffix, ESearchCase::IgnoreCase) || It->GetName().Equals(Name, ESearchCase::IgnoreCase)))
				{
					return *It;
				}
			}
			return nullptr;
		}
	} // namespace

	FString MakeCommandletParams(const TArray<FString>& Arguments)
	{
		TArray<FString> Parts;
		for (const FString& Argument : Arguments)
		{
			if (!Argument.Contains(TEXT(" ")) && !Argument.Contains(TEXT("\t")))
			{
				Parts.Add(Argument);
				continue;
			}
			int32 Equals = INDEX_NONE;
			if (Argument.StartsWith(TEXT("-")) && Argument.FindChar(TEXT('='), Equals))
			{
				Parts.Add(Argument.Left(Equals + 1) + TEXT("\"") + Argument.Mid(Equals + 1) + TEXT("\""));
			}
			else
			{
				Parts.Add(TEXT("\"") + Argument + TEXT("\""));
			}
		}
		return FString::Join(Parts, TEXT(" "));
	}

	bool ParseUatNext(const FString& Value, TMap<FString, FString>& OutEnvironment, FString& OutError)
	{
		const std::string Text = Value.ToUtf8();
		if (Text == "crash")
		{
			OutEnvironment.Add(FString(UatRunControlProtocol::CrashVariable), TEXT("1"));
			return true;
		}
		const std::string Code = Text.rfind("exit:", 0) == 0 ? Text.substr(5) : std::string();
		if (IsWholeNumber(Code, 3) && std::stoi(Code) <= 255)
		{
			OutEnvironment.Add(FString(UatRunControlProtocol::ExitCodeVariable), FString::FromInt(std::stoi(Code)));
			return true;
		}
		const FString Fault = Text.rfind("stage:", 0) == 0 ? FString::FromUtf8(Text.substr(6)) : FString();
		if (IsStageFault(Fault))
		{
			OutEnvironment.Add(FString(UatRunControlProtocol::StageVariable), Fault);
			return true;
		}
		OutError = FString::Printf(TEXT("--uat-next: '%s' is not how a run ends. Give exit:<n> (0 to 255), crash, or stage:<fault> with nothing, "
		                                "empty-pak, no-descriptor, base-assets or iostore."),
		                           *Value);
		return false;
	}

	bool ParseWorkshopNext(const FString& Value, FWorkshopNextRequest& OutNext, FString& OutError)
	{
		FString Result;
		if (Value.Equals(TEXT("refuse")))
		{
			OutNext.bRefuse = true;
			return true;
		}
		EResult Known = k_EResultFail;
		if ((Value.Split(TEXT(":"), nullptr, &Result) && (Value.StartsWith(TEXT("fail:")) || Value.StartsWith(TEXT("fail-after-create:")))) &&
		    UE::StandIn::FindOfflineWorkshopResult(Result.ToUtf8(), Known))
		{
			OutNext.FailResult = Result;
			OutNext.bFailAfterCreate = Value.StartsWith(TEXT("fail-after-create:"));
			return true;
		}
		OutError = FString::Printf(TEXT("--workshop-next: '%s' is not how a request ends. Give refuse, fail:<EResult> or fail-after-create:<EResult>, "
		                                "with the EResult named as the SDK names it, such as k_EResultAccessDenied."),
		                           *Value);
		return false;
	}

	int RunCommandletMode(const FHostOptions& Options)
	{
		// A build machine names the project it builds; a fresh copy of the demo project for each run would pile up
		// unseen, and whatever the run made would be lost in it. A copy is made only where one is asked for.
		if (Options.ProjectFile.IsEmpty() && Options.CopyTo.IsEmpty())
		{
			PrintToStdErr(FString::Printf(TEXT("trellic-editor: -run=%s needs a project: give --project <file.uproject>, or --copy-to <new folder> to run it "
			                                   "on a fresh copy of the demo project there."),
			                              *Options.Commandlet));
			return CommandletRefusedExitCode;
		}

		// Every control is read before the project is opened, so a refused one changes nothing.
		TMap<FString, FString> UatEnvironment;
		FWorkshopNextRequest WorkshopNext;
		uint64 BytesPerSecond = 0;
		FString Error;
		if (!(Options.UatNext.IsEmpty() || ParseUatNext(Options.UatNext, UatEnvironment, Error)) ||
		    !(Options.WorkshopNext.IsEmpty() || ParseWorkshopNext(Options.WorkshopNext, WorkshopNext, Error)) ||
		    !(Options.WorkshopBandwidth.IsEmpty() || ParseBandwidth(Options.WorkshopBandwidth, BytesPerSecond, Error)))
		{
			PrintToStdErr(FString(TEXT("trellic-editor: ")) + Error);
			return CommandletRefusedExitCode;
		}

		FHostProject Project;
		if (!OpenProject(Options, Project, Error))
		{
			PrintToStdErr(FString(TEXT("trellic-editor: ")) + Error);
			return CommandletRefusedExitCode;
		}

		// As the editor started with -run: modules see a commandlet from their start, no Slate application shows a
		// notification, and ToolMenus never extends a menu.
		PRIVATE_GIsRunningCommandlet = true;
		FSlateNotificationManager::Get().SetAllowNotifications(false);
		FHostOptions SessionOptions = Options;
		SessionOptions.bMenusNotReady = true;

		FCommandletFrontEnd FrontEnd;
		FHostSession Session(SessionOptions, Project, FrontEnd);
		if (!Session.Start(Error))
		{
			PrintToStdErr(FString(TEXT("trellic-editor: ")) + Error);
			return CommandletRefusedExitCode;
		}

		UClass* const Class = FindCommandletClass(Options.Commandlet);
		if (!Class)
		{
			PrintToStdErr(
			    FString::Printf(TEXT("trellic-editor: -run=%s: there is no commandlet class U%sCommandlet."), *Options.Commandlet, *Options.Commandlet));
			Session.Shutdown();
			return CommandletRefusedExitCode;
		}
		if (!UatEnvironment.IsEmpty())
		{
			UE::StandIn::SetNextChildProcessEnvironment(MoveTemp(UatEnvironment));
		}
		// The session has put the offline Workshop in the project; its controls apply from here to the run's end.
		if (BytesPerSecond > 0)
		{
			UE::StandIn::SetOfflineWorkshopBandwidth(BytesPerSecond);
		}
		SetWorkshopNextRequest(WorkshopNext, Error);

		// Ctrl-C asks the engine to exit, from its loop rather than from the signal handler, where no log line may be
		// written: a commandlet that pumps the loop sees the request there and ends its work, and the modules are shut
		// down after it as on any other way out.
		const FScopedInterruptHandler InterruptHandler;
		const FTSTicker::FDelegateHandle ExitRequest = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateLambda([](float) {
			if (IsInterruptRequested() && !IsEngineExitRequested())
			{
				RequestEngineExit(TEXT("Ctrl-C"));
			}
			return true;
		}));

		UCommandlet* const Commandlet = NewObject<UCommandlet>(GetTransientPackage(), Class);
		Commandlet->AddToRoot();
		const int32 Result = Commandlet->Main(MakeCommandletParams(Options.CommandletArguments));
		Commandlet->RemoveFromRoot();
		FTSTicker::RemoveTicker(ExitRequest);
		Session.Shutdown();
		return Result;
	}
} // namespace UE::StandIn::EditorHost
