// FPlatformMisc: the running platform's miscellany. Linux's answers are the generic ones, with errno as its last error.
#pragma once

#include "GenericPlatform/GenericPlatformMisc.h"

typedef FGenericPlatformMisc FPlatformMisc;
