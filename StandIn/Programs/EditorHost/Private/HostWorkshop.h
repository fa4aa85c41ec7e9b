// The offline Workshop as the host offers it: its folder for the open project, and the controls of its next request
// that a script or a person sets. Uploads made here go to that folder, never to Steam.
#pragma once

#include "CoreMinimal.h"
#include "HostOptions.h"
#include "HostProject.h"

namespace UE::StandIn::EditorHost
{
	/** @return the offline Workshop's folder, absolute: --workshop-dir, else the project's Saved/OfflineWorkshop. */
	FString GetWorkshopFolder(const FHostOptions& Options, const FHostProject& Project);

	/** What the offline Workshop's next request does; whatever is unset keeps its ordinary course. */
	struct FWorkshopNextRequest
	{
		/** Pause the content's upload once this fraction of its bytes is sent, until ReleaseWorkshopHold. */
		TOptional<double> HoldAt;
		/** Steam is not running for the request. */
		bool bRefuse = false;
		/** Fail with this EResult, named as the SDK names it. */
		FString FailResult;
		/** Make the item first and fail its update, rather than fail making the item. */
		bool bFailAfterCreate = false;
		/** Fail the next AddDependency, RemoveDependency or details query with this EResult, named as the SDK names it. */
		FString FailAddDependency;
		FString FailRemoveDependency;
		FString FailDetailsQuery;
		/** Refuse the next key-value tag call, or the next extra preview call (they answer false). */
		bool bRefuseKeyValueTag = false;
		bool bRefusePreview = false;
	};

	/** Checks every control, then sets them all. @return false with OutError, having set none, when one is not valid */
	bool SetWorkshopNextRequest(const FWorkshopNextRequest& Next, FString& OutError);

	/** Lets the held copy go on. @return false with OutError when no copy is held */
	bool ReleaseWorkshopHold(FString& OutError);
} // namespace UE::StandIn::EditorHost
