// The Json module's log category, where misuse of values (reading a field as a kind it does not have) is reported.
#pragma once

#include "Logging/LogMacros.h"

JSON_API DECLARE_LOG_CATEGORY_EXTERN(LogJson, Log, All);
