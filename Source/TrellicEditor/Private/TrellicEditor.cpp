// Copyright Trellic contributors. All Rights Reserved.

#include "TrellicEditor.h"

#include "Modules/ModuleManager.h"
#include "TRLCookJournal.h"
#include "TRLEditorMenu.h"
#include "Trellic.h"

void FTrellicEditorModule::StartupModule()
{
	// An editor that ended during a cook left the project prepared for it; put it back before anything reads it.
	FTRLCookJournal::RestoreLeftBehind();
	FTRLEditorMenu::Register();
	UE_LOG(LogTrellic, Log, TEXT("Trellic editor module started."));
}

void FTrellicEditorModule::ShutdownModule()
{
	FTRLEditorMenu::Unregister();
}

IMPLEMENT_MODULE(FTrellicEditorModule, TrellicEditor)
