// The engine's basic types and constants.
#pragma once

#include "HAL/Platform.h"

enum
{
	INDEX_NONE = -1
};

enum EForceInit
{
	ForceInit,
	ForceInitToZero
};

enum ENoInit
{
	NoInit
};
