// Copyright Trellic contributors. All Rights Reserved.

#include "TRLSettings.h"

#include "TRLScopedOverrides.h"

const UTRLSettings* UTRLSettings::Get()
{
	if (const UTRLSettings* const* Override = FTRLScopedSettingsOverride::Get())
	{
		return *Override;
	}
	return GetDefault<UTRLSettings>();
}

int32 UTRLSettings::GetModApiVersion()
{
	const UTRLSettings* Settings = Get();
	return Settings ? Settings->ModApiVersion : FTRLSettingsDefaults::ModApiVersion;
}

FString UTRLSettings::GetModsDirectory()
{
	// An empty folder would be the project folder itself, where every plug-in of the project would count as a mod.
	const UTRLSettings* Settings = Get();
	return Settings && !Settings->ModsDirectory.IsEmpty() ? Settings->ModsDirectory : FString(FTRLSettingsDefaults::ModsDirectory);
}

int32 UTRLSettings::GetDefaultLoadOrder()
{
	const UTRLSettings* Settings = Get();
	return Settings ? Settings->DefaultLoadOrder : FTRLSettingsDefaults::DefaultLoadOrder;
}

ETRLWorkshopVisibility UTRLSettings::GetWorkshopDefaultVisibility()
{
	const UTRLSettings* Settings = Get();
	return Settings ? Settings->WorkshopDefaultVisibility : FTRLSettingsDefaults::WorkshopDefaultVisibility;
}

FString UTRLSettings::GetBaseReleaseVersion()
{
	const UTRLSettings* Settings = Get();
	return Settings ? Settings->BaseReleaseVersion : FString(FTRLSettingsDefaults::BaseReleaseVersion);
}

FString UTRLSettings::GetTargetPlatform()
{
	const UTRLSettings* Settings = Get();
	return Settings ? Settings->TargetPlatform : FString(FTRLSettingsDefaults::TargetPlatform);
}
