#include "ToolMenusInternal.h"

#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"
#include "StandIn/ToolMenusHost.h"
#include "ToolMenus.h"
#include <memory>

DEFINE_LOG_CATEGORY(LogToolMenus);

namespace UE::ToolMenus::Private
{
	namespace
	{
		struct FModuleState
		{
			std::unique_ptr<UToolMenus> Instance;
			// Registries of earlier loads stay allocated: a module that kept a pointer to one of their menus
			// gets an error on the log instead of a crash when it calls it.
			TArray<std::shared_ptr<UToolMenus>> Retired;
			int32 LiveGeneration = 0;
			int32 LoadCount = 0;
			bool bHostReady = false;
			// Kept as single delegates, so that each one's run can be reported to the host.
			TArray<FSimpleMulticastDelegate::FDelegate> PendingStartupCallbacks;
			UE::StandIn::FToolMenusStartupObserver StartupObserver;
			TArray<FToolMenuOwner> OwnerStack;
		};

		FModuleState& GetState()
		{
			static FModuleState State;
			return State;
		}
	} // namespace

	UToolMenus* GetLiveInstance()
	{
		return GetState().Instance.get();
	}

	int32 GetLiveGeneration()
	{
		return GetState().LiveGeneration;
	}

	bool ReportIfNotLive(int32 ObjectGeneration, const TCHAR* FunctionName)
	{
		const int32 Live = GetLiveGeneration();
		if (Live != 0 && ObjectGeneration == Live)
		{
			return false;
		}
		UE_LOG(LogToolMenus, Error, TEXT("%s was called on a ToolMenus object after the ToolMenus module that made it was unloaded."), FunctionName);
		return true;
	}

	FDelegateHandle AddStartupCallback(const FSimpleMulticastDelegate::FDelegate& InDelegate)
	{
		GetState().PendingStartupCallbacks.Add(InDelegate);
		return InDelegate.GetHandle();
	}

	void RemoveStartupCallback(FDelegateHandle Handle)
	{
		if (!Handle.IsValid())
		{
			return;
		}
		GetState().PendingStartupCallbacks.RemoveAll([Handle](const FSimpleMulticastDelegate::FDelegate& Delegate) {
			return Delegate.GetHandle() == Handle;
		});
	}

	void RemoveStartupCallbacksOf(FDelegateUserObjectConst UserObject)
	{
		GetState().PendingStartupCallbacks.RemoveAll([UserObject](const FSimpleMulticastDelegate::FDelegate& Delegate) {
			return Delegate.IsBoundToObject(UserObject);
		});
	}

	void RunStartupCallback(const FSimpleMulticastDelegate::FDelegate& InDelegate)
	{
		// A copy: the observer may replace itself while it runs.
		const UE::StandIn::FToolMenusStartupObserver Observer = GetState().StartupObserver;
		if (Observer)
		{
			Observer();
		}
		InDelegate.ExecuteIfBound();
	}

	TArray<FToolMenuOwner>& GetOwnerStack()
	{
		return GetState().OwnerStack;
	}

	bool CanRunStartupCallbacks()
	{
		return GetState().bHostReady && GetState().Instance != nullptr;
	}

	void RunStartupCallbacks()
	{
		if (!CanRunStartupCallbacks())
		{
			return;
		}
		// Each callback runs once: the list is emptied before any of them can register another.
		const TArray<FSimpleMulticastDelegate::FDelegate> Callbacks = MoveTemp(GetState().PendingStartupCallbacks);
		GetState().PendingStartupCallbacks.Empty();
		for (const FSimpleMulticastDelegate::FDelegate& Callback : Callbacks)
		{
			RunStartupCallback(Callback);
		}
	}
} // namespace UE::ToolMenus::Private

using namespace UE::ToolMenus::Private;

/** The ToolMenus module: its registry lives from start-up to shut-down. */
class FToolMenusModule final : public IModuleInterface
{
public:
	void StartupModule() override
	{
		FModuleState& State = GetState();
		State.Instance.reset(new UToolMenus());
		State.LiveGeneration = ++State.LoadCount;
		RunStartupCallbacks();
	}

	void ShutdownModule() override
	{
		FModuleState& State = GetState();
		State.Retired.Add(std::shared_ptr<UToolMenus>(State.Instance.release()));
		State.LiveGeneration = 0;
	}
};

IMPLEMENT_MODULE(FToolMenusModule, ToolMenus)

namespace UE::StandIn
{
	void DeclareToolMenusReady()
	{
		GetState().bHostReady = true;
		RunStartupCallbacks();
	}

	bool CanExtendToolMenus()
	{
		return CanRunStartupCallbacks();
	}

	FToolMenusStartupObserver SetToolMenusStartupObserver(FToolMenusStartupObserver Observer)
	{
		FToolMenusStartupObserver Previous = MoveTemp(GetState().StartupObserver);
		GetState().StartupObserver = MoveTemp(Observer);
		return Previous;
	}
} // namespace UE::StandIn
