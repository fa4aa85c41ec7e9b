// The platform's FPlatformMisc, as the engine names it for the platform it is built for.
#pragma once

#include "GenericPlatform/GenericPlatformMisc.h"

typedef FGenericPlatformMisc FPlatformMisc;
