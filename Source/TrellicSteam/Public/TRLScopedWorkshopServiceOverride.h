// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLScopedOverrides.h"
#include "TRLWorkshopService.h"

/**
 * Makes every request that a UTRLWorkshopPublisher starts while it lives use Service instead of Steam, so that a spec
 * can run uploads without talking to Steam. A request keeps the service it started with to its end. Overrides nest:
 * when one ends, the one it replaced applies again. Game thread only.
 */
class TRELLICSTEAM_API FTRLScopedWorkshopServiceOverride : public TTRLScopedOverride<FTRLScopedWorkshopServiceOverride, TSharedRef<ITRLWorkshopService>>
{
public:
	/** The service that requests started from now on use. */
	explicit FTRLScopedWorkshopServiceOverride(TSharedRef<ITRLWorkshopService> InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedWorkshopServiceOverride* Innermost;
};
