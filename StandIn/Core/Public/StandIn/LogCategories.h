// Stand-in only: the live log categories by name, for the host's console, and which module defines each, for the
// host to know a plug-in's lines from what the plug-in's modules declare.
#pragma once

#include "Containers/Array.h"
#include "Logging/LogCategory.h"

namespace UE::StandIn
{
	/** Stand-in only, for the host's console: @return the live category of that name, or null. */
	FLogCategoryBase* FindLogCategory(const FName& CategoryName);

	/** @return the categories that the code of the module ModuleName defines, in the order they were defined. */
	CORE_API TArray<FName> GetLogCategoriesDefinedBy(const FName& ModuleName);
} // namespace UE::StandIn
