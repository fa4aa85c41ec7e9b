// Copyright Trellic contributors. All Rights Reserved.

#include "TRLScopedOverrides.h"

FTRLScopedModsRootOverride* FTRLScopedModsRootOverride::Innermost = nullptr;
FTRLScopedProjectOverride* FTRLScopedProjectOverride::Innermost = nullptr;
FTRLScopedSettingsOverride* FTRLScopedSettingsOverride::Innermost = nullptr;
