// Copyright Trellic contributors. All Rights Reserved.

#include "Trellic.h"

#include "Modules/ModuleManager.h"

DEFINE_LOG_CATEGORY(LogTrellic);

IMPLEMENT_MODULE(FTrellicModule, Trellic)
