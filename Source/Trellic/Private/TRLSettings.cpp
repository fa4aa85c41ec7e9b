// Copyright Trellic contributors. All Rights Reserved.

#include "TRLSettings.h"

#include "TRLScopedSettingsOverride.h"

FTRLScopedSettingsOverride* FTRLScopedSettingsOverride::Innermost = nullptr;

const UTRLSettings* UTRLSettings::Get()
{
	if (const UTRLSettings* const* Override = FTRLScopedSettingsOverride::Get())
	{
		return *Override;
	}
	return GetDefault<UTRLSettings>();
}
