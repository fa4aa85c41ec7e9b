// Stand-in only: the live log categories by name, for the host's console.
#pragma once

#include "Logging/LogCategory.h"

namespace UE::StandIn
{
	/** Stand-in only, for the host's console: @return the live category of that name, or null. */
	FLogCategoryBase* FindLogCategory(const FName& CategoryName);
} // namespace UE::StandIn
