// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "IUATHelperModule.h"

/**
 * While it lives, the packager hands its UAT tasks to this override instead of the engine's UAT helper, with the nine
 * arguments it would have given IUATHelperModule::CreateUatTask. It exists for specs: in a running editor a spec cannot
 * start a real BuildCookRun, yet it must read the exact command line, task name, result location and icon, and end the
 * job with whatever result text it likes by calling the result callback. Overrides nest. Game thread only.
 */
class FTRLScopedUatTaskOverride
{
public:
	/** Receives what IUATHelperModule::CreateUatTask would have received, in the same order. */
	using FCreateUatTask = TFunction<void(const FString& CommandLine, const FText& PlatformDisplayName, const FText& TaskName, const FText& TaskShortName,
	                                      const FSlateBrush* TaskIcon, const TArray<struct FAnalyticsEventAttribute>* OptionalAnalyticsParamArray,
	                                      IUATHelperModule::UatTaskResultCallack ResultCallback, const FString& ResultLocation, const FText& ExtraSubText)>;

	explicit FTRLScopedUatTaskOverride(FCreateUatTask InCreateUatTask);
	~FTRLScopedUatTaskOverride();

	FTRLScopedUatTaskOverride(const FTRLScopedUatTaskOverride&) = delete;
	FTRLScopedUatTaskOverride& operator=(const FTRLScopedUatTaskOverride&) = delete;

	/** @return what creates UAT tasks now: the innermost override's function, or null for the engine's UAT helper. */
	static const FCreateUatTask* Get();

private:
	FCreateUatTask CreateUatTask;
	FTRLScopedUatTaskOverride* Replaced;

	static FTRLScopedUatTaskOverride* Innermost;
};
