// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLScopedOverride.h"

class UTRLSettings;

/**
 * Replaces what UTRLSettings::Get() returns for as long as it lives, so that a caller can run the plug-in against other
 * settings, or against none at all (null). Overrides nest: when one ends, the one it replaced applies again.
 * The caller keeps the settings object alive while the override lives. Game thread only.
 */
class TRELLIC_API FTRLScopedSettingsOverride : public TTRLScopedOverride<FTRLScopedSettingsOverride, const UTRLSettings*>
{
public:
	/** What UTRLSettings::Get() answers while this override lives; null means "no settings". */
	explicit FTRLScopedSettingsOverride(const UTRLSettings* InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedSettingsOverride* Innermost;
};
