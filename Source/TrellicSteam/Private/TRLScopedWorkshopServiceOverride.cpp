// Copyright Trellic contributors. All Rights Reserved.

#include "TRLScopedWorkshopServiceOverride.h"

FTRLScopedWorkshopServiceOverride* FTRLScopedWorkshopServiceOverride::Innermost = nullptr;
