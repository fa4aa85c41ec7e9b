#include "HostSession.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "HostEngine.h"
#include "Misc/MessageDialog.h"
#include "Misc/OutputDevice.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Misc/ScopeLock.h"
#include "Modules/ModuleManager.h"
#include "StandIn/ModalWindowResponder.h"
#include "StandIn/NotificationObserver.h"
#include "StandIn/OutputDeviceStdErr.h"
#include "StandIn/SlateApplicationHost.h"
#include "StandIn/ToolMenusHost.h"
#include "ToolMenus.h"

#include "StandIn/MessageDialogResponder.h"
#include <chrono>
#include <thread>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		double NowSeconds()
		{
			return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
		}

		// Frames are short so that a child process or a notification is noticed promptly.
		constexpr double FrameSeconds = 1.0 / 60.0;

		FString DescribeCompletionState(SNotificationItem::ECompletionState State)
		{
			switch (State)
			{
				case SNotificationItem::CS_Pending:
					return TEXT("pending");
				case SNotificationItem::CS_Success:
					return TEXT("success");
				case SNotificationItem::CS_Fail:
					return TEXT("fail");
				default:
					return TEXT("none");
			}
		}

		class FFrontEndLogDevice : public FOutputDevice
		{
		public:
			explicit FFrontEndLogDevice(IHostFrontEnd& InFrontEnd)
			    : FrontEnd(InFrontEnd)
			{
			}

			// Each line reaches the front end as it is logged, before the reply to the request that logged it.
			void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override
			{
				FScopeLock Lock(&Mutex);
				FrontEnd.OnLog(Category, Verbosity, FString(V));
			}
			bool CanBeUsedOnMultipleThreads() const override { return true; }

		private:
			IHostFrontEnd& FrontEnd;
			FCriticalSection Mutex;
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

	TArray<FName> FHostSession::GetPluginModuleNames()
	{
		TArray<FName> Names;
		Names.Add(FName(TEXT("Trellic")));
		if (FModuleManager::Get().ModuleExists(TEXT("TrellicSteam")))
		{
			Names.Add(FName(TEXT("TrellicSteam")));
		}
		Names.Add(FName(TEXT("TrellicEditor")));
		return Names;
	}

	void FHostSession::InstallHooks()
	{
		// Every line reaches the front end, which decides what a person sees; the console device would duplicate it.
		GLog->RemoveOutputDevice(UE::StandIn::GetStdErrOutputDevice());
		GLog->AddOutputDevice(&Hooks->LogDevice);

		UE::StandIn::SetMessageDialogResponder([this](EAppMsgCategory, EAppMsgType::Type Type, const FText& Message, const FText& Title) {
			return FrontEnd.OnMessageDialog(Type, Message, Title);
		});

		UE::StandIn::SetModalWindowResponder([this](const TSharedRef<SWindow>& Window) {
			FrontEnd.OnModalWindow(Window);
		});

		UE::StandIn::SetNotificationObserver(
		    [this](UE::StandIn::ENotificationEvent Event, const TSharedRef<SNotificationItem>& Item, const UE::StandIn::FNotificationSnapshot& Snapshot) {
			    const SNotificationItem* Key = &Item.Get();
			    if (Event == UE::StandIn::ENotificationEvent::Added)
			    {
				    Hooks->NotificationIds.Add(Key, Hooks->NextNotificationId++);
			    }
			    const int32* Id = Hooks->NotificationIds.Find(Key);
			    if (!Id)
			    {
				    return;
			    }
			    FNotificationView View;
			    View.Id = *Id;
			    View.Text = Snapshot.Text;
			    View.SubText = Snapshot.SubText;
			    View.State = DescribeCompletionState(Snapshot.CompletionState);
			    View.bExpiring = Snapshot.Phase == UE::StandIn::ENotificationPhase::Expiring || Snapshot.Phase == UE::StandIn::ENotificationPhase::FadingOut ||
			                     Snapshot.bFireAndForget;
			    View.bRemoved = Event == UE::StandIn::ENotificationEvent::Removed;
			    if (View.bRemoved)
			    {
				    Hooks->NotificationIds.Remove(Key);
			    }
			    FrontEnd.OnNotification(View);
		    });

		InstallEngineHooks(FrontEnd);
	}

	void FHostSession::RemoveHooks()
	{
		RemoveEngineHooks();
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

	void FHostSession::Start()
	{
		if (bStarted)
		{
			return;
		}
		bStarted = true;
		ApplySettingsOption(Options.bWithoutSettings);
		// The editor has its menus and the UAT helper up before any plug-in module starts.
		for (const TCHAR* EditorModule : {TEXT("ToolMenus"), TEXT("UATHelper")})
		{
			if (!FModuleManager::Get().IsModuleLoaded(EditorModule) && FModuleManager::Get().LoadModule(EditorModule))
			{
				LoadedModules.Add(FName(EditorModule));
			}
		}
		RegisterLevelEditorMenus();
		for (const FName& ModuleName : GetPluginModuleNames())
		{
			if (FModuleManager::Get().LoadModule(ModuleName))
			{
				LoadedModules.Add(ModuleName);
			}
		}
		if (!Options.bMenusNotReady)
		{
			UE::StandIn::DeclareToolMenusReady();
		}
		LastFrameSeconds = NowSeconds();
	}

	void FHostSession::Shutdown()
	{
		if (!bStarted)
		{
			return;
		}
		bStarted = false;
		for (int32 Index = LoadedModules.Num() - 1; Index >= 0; --Index)
		{
			FModuleManager::Get().UnloadModule(LoadedModules[Index], true);
		}
		LoadedModules.Empty();
		ApplySettingsOption(false);
	}

	void FHostSession::TickFrame()
	{
		const double Now = NowSeconds();
		const double Delta = Now - LastFrameSeconds;
		LastFrameSeconds = Now;
		FTSTicker::GetCoreTicker().Tick(static_cast<float>(Delta));
		UE::StandIn::TickSlate();
	}

	void FHostSession::Tick(double Seconds)
	{
		const double End = NowSeconds() + Seconds;
		do
		{
			std::this_thread::sleep_for(std::chrono::duration<double>(FrameSeconds));
			TickFrame();
		} while (NowSeconds() < End);
	}
} // namespace UE::StandIn::EditorHost
