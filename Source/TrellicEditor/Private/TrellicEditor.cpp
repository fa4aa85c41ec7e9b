// Copyright Trellic contributors. All Rights Reserved.

#include "TrellicEditor.h"

#include "Modules/ModuleManager.h"
#include "TRLEditorMenu.h"
#include "Trellic.h"

void FTrellicEditorModule::StartupModule()
{
	FTRLEditorMenu::Register();
	UE_LOG(LogTrellic, Log, TEXT("Trellic editor module started."));
}

void FTrellicEditorModule::ShutdownModule()
{
	FTRLEditorMenu::Unregister();
}

IMPLEMENT_MODULE(FTrellicEditorModule, TrellicEditor)
