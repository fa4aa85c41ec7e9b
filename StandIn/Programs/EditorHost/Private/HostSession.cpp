#include "HostSession.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "HAL/CriticalSection.h"
#include "HAL/PlatformTime.h"
#include "HostInterrupt.h"
#include "HostPlugin.h"
#include "HostWorkshop.h"
#include "Misc/CommandLine.h"
#include "Misc/MessageDialog.h"
#include "Misc/OutputDevice.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Misc/ScopeLock.h"
#include "Modules/ModuleManager.h"
#include "StandIn/ModalWindowResponder.h"
#include "StandIn/NotificationObserver.h"
#include "StandIn/OfflineWorkshop.h"
#include "StandIn/OutputDeviceStdErr.h"
#include "StandIn/SlateApplicationHost.h"
#include "StandIn/ToolMenusHost.h"
#include "StandIn/UatTaskObserver.h"
#include "ToolMenus.h"

#include "StandIn/MessageDialogResponder.h"
#include <chrono>
#include <thread>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		// Frames are short so that a child process or a notification is noticed promptly.
		constexpr double FrameSeconds = 1.0 / 60.0;

		const TCHAR* const HostLogCategory = TEXT("LogEditorHost");

		// Set on a thread of the UAT helper's own while it calls a task's result back: what the plug-in does there is
		// its job's end, which belongs on the game thread.
		thread_local bool GInUatTaskEndOffGameThread = false;

		class FFrontEndLogDevice : public FOutputDevice
		{
		public:
			explicit FFrontEndLogDevice(IHostFrontEnd& InFrontEnd)
			    : FrontEnd(InFrontEnd)
			{
			}

			// Lines reach the front end as they are written, in order with the events around them; the lock keeps a
			// line from another thread whole.
			void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override
			{
				FScopeLock Lock(&Mutex);
				FrontEnd.OnLog(Category, Verbosity, FString(V));
				if (GInUatTaskEndOffGameThread && PluginCategories.Contains(Category))
				{
					ReportOffGameThread(FString::Printf(TEXT("%s wrote \"%s\" in a UAT task's end called back"), *Category.ToString(), V));
				}
			}

			/** Reports, as an Error line, What that happened off the game thread, loudly enough to fail a test. */
			void ReportOffGameThread(const FString& What)
			{
				// Straight to the front end: the log may be writing the very line that gave it away.
				FScopeLock Lock(&Mutex);
				FrontEnd.OnLog(FName(HostLogCategory), ELogVerbosity::Error, What + TEXT(" off the game thread"));
			}

			/**
			 * The engine's log takes lines from any thread, so a plug-in's line from a process reader's thread is fine;
			 * one in these categories from the UAT helper's own thread, while it calls a task's end back, shows the job's
			 * end running where the editor's state is not safe.
			 */
			void SetPluginCategories(TSet<FName> Categories)
			{
				FScopeLock Lock(&Mutex);
				PluginCategories = MoveTemp(Categories);
			}

			bool CanBeUsedOnAnyThread() const override { return true; }
			bool CanBeUsedOnMultipleThreads() const override { return true; }

		private:
			IHostFrontEnd& FrontEnd;
			FCriticalSection Mutex;
			TSet<FName> PluginCategories;
		};
	} // namespace

	struct FHostSession::FHooks
	{
		explicit FHooks(IHostFrontEnd& FrontEnd)
		    : LogDevice(FrontEnd)
		{
		}

		FFrontEndLogDevice LogDevice;
		TMap<const SNotificationItem*, int32> NotificationIds;
		int32 NextNotificationId = 1;
	};

	FHostSession::FHostSession(const FHostOptions& InOptions, const FHostProject& InProject, IHostFrontEnd& InFrontEnd)
	    : Options(InOptions)
	    , Project(InProject)
	    , FrontEnd(InFrontEnd)
	    , Hooks(std::make_unique<FHooks>(InFrontEnd))
	{
		InstallHooks();
	}

	FHostSession::~FHostSession()
	{
		Shutdown();
		RemoveHooks();
	}

	void FHostSession::InstallHooks()
	{
		// Every line reaches the front end, which decides what a person sees; the console device would duplicate it.
		GLog->RemoveOutputDevice(UE::StandIn::GetStdErrOutputDevice());
		GLog->AddOutputDevice(&Hooks->LogDevice);

		// Slate's windows, dialogs and notifications are the game thread's alone.
		UE::StandIn::SetMessageDialogResponder([this](EAppMsgCategory, EAppMsgType::Type Type, const FText& Message, const FText& Title) {
			if (!IsInGameThread())
			{
				Hooks->LogDevice.ReportOffGameThread(FString::Printf(TEXT("A message dialog (\"%s\") opened"), *Message.ToString()));
			}
			return FrontEnd.OnMessageDialog(Type, Message, Title);
		});

		UE::StandIn::SetModalWindowResponder([this](const TSharedRef<SWindow>& Window) {
			if (!IsInGameThread())
			{
				Hooks->LogDevice.ReportOffGameThread(FString::Printf(TEXT("A modal window (\"%s\") opened"), *Window->GetTitle().ToString()));
			}
			FrontEnd.OnModalWindow(Window);
		});

		UE::StandIn::SetNotificationObserver(
		    [this](UE::StandIn::ENotificationEvent Event, const TSharedRef<SNotificationItem>& Item, const UE::StandIn::FNotificationSnapshot& Snapshot) {
			    if (!IsInGameThread())
			    {
				    Hooks->LogDevice.ReportOffGameThread(FString::Printf(TEXT("A notification (\"%s\") changed"), *Snapshot.Text.ToString()));
			    }
			    const SNotificationItem* Key = &Item.Get();
			    if (Event == UE::StandIn::ENotificationEvent::Added)
			    {
				    Hooks->NotificationIds.Add(Key, Hooks->NextNotificationId++);
			    }
			    const int32* Found = Hooks->NotificationIds.Find(Key);
			    if (!Found)
			    {
				    return;
			    }
			    const int32 Id = *Found;
			    if (Event == UE::StandIn::ENotificationEvent::Removed)
			    {
				    Hooks->NotificationIds.Remove(Key);
			    }
			    FrontEnd.OnNotification(Id, Event, Snapshot);
		    });

		UE::StandIn::FUatTaskObserver UatObserver;
		UatObserver.OnTaskCreated = [this](const UE::StandIn::FUatTaskRequest& Request) {
			FrontEnd.OnUatTask(Request);
		};
		UatObserver.OnTaskFinished = [this](const UE::StandIn::FUatTaskRequest&, const FString& Result, double Seconds) {
			FrontEnd.OnUatFinished(Result, Seconds);
		};
		UatObserver.OnResultCallback = [](const UE::StandIn::FUatTaskRequest&, bool bReturned) {
			GInUatTaskEndOffGameThread = !bReturned && !IsInGameThread();
		};
		UE::StandIn::SetUatTaskObserver(MoveTemp(UatObserver));
		UE::StandIn::SetToolMenusStartupObserver([this]() {
			FrontEnd.OnMenusCallback();
		});
	}

	void FHostSession::RemoveHooks()
	{
		UE::StandIn::SetToolMenusStartupObserver(UE::StandIn::FToolMenusStartupObserver());
		UE::StandIn::SetUatTaskObserver(UE::StandIn::FUatTaskObserver());
		UE::StandIn::SetNotificationObserver(UE::StandIn::FNotificationObserver());
		UE::StandIn::SetModalWindowResponder(UE::StandIn::FModalWindowResponder());
		UE::StandIn::SetMessageDialogResponder(UE::StandIn::FMessageDialogResponder());
		GLog->RemoveOutputDevice(&Hooks->LogDevice);
		GLog->AddOutputDevice(UE::StandIn::GetStdErrOutputDevice());
	}

	void FHostSession::RegisterLevelEditorMenus()
	{
		// The Level Editor registers its main menu; plug-ins only extend it.
		if (UToolMenus* ToolMenus = UToolMenus::Get())
		{
			if (!ToolMenus->IsMenuRegistered(TEXT("LevelEditor.MainMenu.Tools")))
			{
				ToolMenus->RegisterMenu(TEXT("LevelEditor.MainMenu.Tools"));
			}
		}
	}

	bool FHostSession::Start(FString& OutError)
	{
		if (bStarted)
		{
			return true;
		}
		if (!FindPluginModules(GetPluginDescriptorFile(Options), PluginModules, OutError))
		{
			return false;
		}
		bStarted = true;
		Hooks->LogDevice.SetPluginCategories(FindPluginLogCategories(PluginModules));
		// Modules read their switches at start-up, so the command line is in place before the first one loads.
		FCommandLine::Set(*MakeEngineCommandLine(Options));
		// Uploads go to the offline Workshop in this project's folder (or --workshop-dir), never to Steam.
		UE::StandIn::SetOfflineWorkshopFolder(GetWorkshopFolder(Options, Project).ToUtf8());
		// The editor has its menus and the UAT helper up before any plug-in module starts.
		for (const TCHAR* EditorModule : {TEXT("ToolMenus"), TEXT("UATHelper")})
		{
			if (!FModuleManager::Get().IsModuleLoaded(EditorModule) && FModuleManager::Get().LoadModule(EditorModule))
			{
				LoadedModules.Add(FName(EditorModule));
			}
		}
		RegisterLevelEditorMenus();
		for (const FName& ModuleName : PluginModules)
		{
			if (!FModuleManager::Get().IsModuleLoaded(ModuleName))
			{
				FModuleManager::Get().LoadModuleChecked(ModuleName);
				LoadedModules.Add(ModuleName);
			}
		}
		if (!Options.bMenusNotReady)
		{
			UE::StandIn::DeclareToolMenusReady();
		}
		LastFrameSeconds = FPlatformTime::Seconds();
		return true;
	}

	void FHostSession::Shutdown()
	{
		if (!bStarted)
		{
			return;
		}
		bStarted = false;
		// Said on every way out, so that a person sees that the modules had their say before the host ended.
		TArray<FString> Names;
		for (int32 Index = LoadedModules.Num() - 1; Index >= 0; --Index)
		{
			Names.Add(LoadedModules[Index].ToString());
		}
		FrontEnd.OnLog(FName(HostLogCategory), ELogVerbosity::Display,
		               FString::Printf(TEXT("Shutting down the modules, last loaded first: %s."), *FString::Join(Names, TEXT(", "))));
		for (int32 Index = LoadedModules.Num() - 1; Index >= 0; --Index)
		{
			FModuleManager::Get().UnloadModule(LoadedModules[Index], true);
		}
		LoadedModules.Empty();
		// Controls left unused and the folder belong to this run alone.
		UE::StandIn::ResetOfflineWorkshopControls();
		UE::StandIn::SetOfflineWorkshopFolder(std::string());
	}

	void FHostSession::TickFrame()
	{
		const double Now = FPlatformTime::Seconds();
		const double Delta = Now - LastFrameSeconds;
		LastFrameSeconds = Now;
		FTSTicker::GetCoreTicker().Tick(static_cast<float>(Delta));
		UE::StandIn::TickSlate();
	}

	void FHostSession::Tick(double Seconds)
	{
		const double End = FPlatformTime::Seconds() + Seconds;
		do
		{
			std::this_thread::sleep_for(std::chrono::duration<double>(FrameSeconds));
			TickFrame();
		} while (FPlatformTime::Seconds() < End && !IsInterruptRequested());
	}
} // namespace UE::StandIn::EditorHost
