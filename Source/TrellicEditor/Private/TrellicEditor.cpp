// Copyright Trellic contributors. All Rights Reserved.

#include "TrellicEditor.h"

#include "Modules/ModuleManager.h"
#include "TRLCookJournal.h"
#include "TRLEditorMenu.h"
#include "TRLModPackager.h"
#include "TRLPendingWorkshopItem.h"
#include "Trellic.h"

void FTrellicEditorModule::StartupModule()
{
	// An editor that ended during a cook left the project prepared for it; put it back before anything reads it.
	FTRLCookJournal::RestoreLeftBehind();
	// One that ended during an upload may have left a new Workshop item unrecorded; record it before an upload makes another.
	FTRLPendingWorkshopItem::RecordLeftBehind();
	FTRLEditorMenu::Register();
	UE_LOG(LogTrellic, Log, TEXT("Trellic editor module started."));
}

void FTrellicEditorModule::ShutdownModule()
{
	FTRLEditorMenu::Unregister();
	// A job that ended after the module would leave the project prepared for a cook that never finishes.
	UTRLModPackager::CutShortRunningJob();
}

IMPLEMENT_MODULE(FTrellicEditorModule, TrellicEditor)
