// Copyright Trellic contributors. All Rights Reserved.

#include "TRLSettings.h"

#include "TRLScopedSettingsOverride.h"

FTRLScopedSettingsOverride* FTRLScopedSettingsOverride::Innermost = nullptr;

FTRLScopedSettingsOverride::FTRLScopedSettingsOverride(const UTRLSettings* InSettings)
    : Settings(InSettings)
    , Replaced(Innermost)
{
	Innermost = this;
}

FTRLScopedSettingsOverride::~FTRLScopedSettingsOverride()
{
	Innermost = Replaced;
}

const UTRLSettings* UTRLSettings::Get()
{
	if (const FTRLScopedSettingsOverride* Override = FTRLScopedSettingsOverride::Innermost)
	{
		return Override->Settings;
	}
	return GetDefault<UTRLSettings>();
}
