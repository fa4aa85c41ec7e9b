// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "IUATHelperModule.h"
#include "TRLScopedOverride.h"

/** Receives what IUATHelperModule::CreateUatTask would have received, in the same order. */
using FTRLCreateUatTask = TFunction<void(const FString& CommandLine, const FText& PlatformDisplayName, const FText& TaskName, const FText& TaskShortName,
                                         const FSlateBrush* TaskIcon, const TArray<struct FAnalyticsEventAttribute>* OptionalAnalyticsParamArray,
                                         IUATHelperModule::UatTaskResultCallack ResultCallback, const FString& ResultLocation)>;

/**
 * While it lives, the packager hands its UAT tasks to this override instead of the engine's UAT helper, with the eight
 * arguments it would have given IUATHelperModule::CreateUatTask. It exists for specs: in a running editor a spec cannot
 * start a real BuildCookRun, yet it must read the exact command line, task name, result location and icon, and end the
 * job with whatever result text it likes by calling the result callback. Overrides nest. Game thread only.
 */
class FTRLScopedUatTaskOverride : public TTRLScopedOverride<FTRLScopedUatTaskOverride, FTRLCreateUatTask>
{
public:
	explicit FTRLScopedUatTaskOverride(FTRLCreateUatTask InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedUatTaskOverride* Innermost;
};
