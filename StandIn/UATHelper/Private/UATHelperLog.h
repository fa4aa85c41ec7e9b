// The log category of the UAT helper: its tasks and the automation tool's output.
#pragma once

#include "Logging/LogMacros.h"

DECLARE_LOG_CATEGORY_EXTERN(LogUATHelper, Log, All);
