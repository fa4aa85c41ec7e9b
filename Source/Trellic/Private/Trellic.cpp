// Copyright Trellic contributors. All Rights Reserved.

#include "Trellic.h"

#include "Misc/CommandLine.h"
#include "Misc/Parse.h"
#include "Modules/ModuleManager.h"

DEFINE_LOG_CATEGORY(LogTrellic);

void FTrellicModule::StartupModule()
{
	if (FParse::Param(FCommandLine::Get(), TEXT("TrellicWithoutSettings")))
	{
		WithoutSettings.Emplace(nullptr);
		UE_LOG(LogTrellic, Log, TEXT("Trellic settings are ignored in this session (-TrellicWithoutSettings)."));
	}
}

void FTrellicModule::ShutdownModule()
{
	WithoutSettings.Reset();
}

IMPLEMENT_MODULE(FTrellicModule, Trellic)
