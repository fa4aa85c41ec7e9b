// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"

/** Every line the plug-in writes, in the runtime module and in the editor module, goes to this category. */
TRELLIC_API DECLARE_LOG_CATEGORY_EXTERN(LogTrellic, Log, All);

/**
 * The plug-in's runtime module: owns the settings, the local mods root and mounting. It has nothing to set up at
 * start-up; its services are static and ready as soon as its code is loaded.
 */
class FTrellicModule : public IModuleInterface
{
};
