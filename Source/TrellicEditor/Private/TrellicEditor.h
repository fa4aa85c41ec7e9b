// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"

/** The plug-in's editor module: adds the Trellic section to the editor's Tools menu while it is loaded. */
class FTrellicEditorModule : public IModuleInterface
{
public:
	virtual void StartupModule() override;
	virtual void ShutdownModule() override;
};
