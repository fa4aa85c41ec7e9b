// What the ToolMenus sources share: the module's live state and the report of calls made after it was unloaded.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Logging/LogMacros.h"
#include "ToolMenuOwner.h"

class UToolMenus;

DECLARE_LOG_CATEGORY_EXTERN(LogToolMenus, Log, All);

namespace UE::ToolMenus::Private
{
	/** @return the registry of the current load of the module; null while it is unloaded. */
	UToolMenus* GetLiveInstance();

	/** @return the number of the current load of the module; 0 while it is unloaded. */
	int32 GetLiveGeneration();

	/** Logs an error when an object of an earlier load, or any object while unloaded, is called. @return true if it did. */
	bool ReportIfNotLive(int32 ObjectGeneration, const TCHAR* FunctionName);

	/** Keeps a start-up callback until menus can be extended. @return its handle. */
	FDelegateHandle AddStartupCallback(const FSimpleMulticastDelegate::FDelegate& InDelegate);
	void RemoveStartupCallback(FDelegateHandle Handle);
	void RemoveStartupCallbacksOf(FDelegateUserObjectConst UserObject);

	/** Runs one start-up callback, telling the host's observer first. */
	void RunStartupCallback(const FSimpleMulticastDelegate::FDelegate& InDelegate);
	TArray<FToolMenuOwner>& GetOwnerStack();
	bool CanRunStartupCallbacks();
	void RunStartupCallbacks();
} // namespace UE::ToolMenus::Private
