// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/Optional.h"
#include "Modules/ModuleInterface.h"
#include "TRLScopedOverrides.h"

/** Every line the plug-in writes, in the runtime module and in the editor module, goes to this category. */
TRELLIC_API DECLARE_LOG_CATEGORY_EXTERN(LogTrellic, Log, All);

/**
 * The plug-in's runtime module: owns the settings, the local mods root and mounting. Its services are static and ready
 * as soon as its code is loaded; start-up only reads one command-line switch.
 */
class FTrellicModule : public IModuleInterface
{
public:
	virtual void StartupModule() override;
	virtual void ShutdownModule() override;

private:
	/**
	 * Held from start-up to shut-down when the editor's command line has -TrellicWithoutSettings: UTRLSettings::Get()
	 * then answers null, so that what the plug-in does without settings can be tried in a running editor without
	 * editing the project's configuration.
	 */
	TOptional<FTRLScopedSettingsOverride> WithoutSettings;
};
