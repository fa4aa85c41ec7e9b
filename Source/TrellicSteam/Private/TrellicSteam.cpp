// Copyright Trellic contributors. All Rights Reserved.

#include "Modules/ModuleManager.h"

// The Steam module has nothing to set up at start-up: a publisher reaches Steam only while a request runs.
IMPLEMENT_MODULE(FDefaultModuleImpl, TrellicSteam)
