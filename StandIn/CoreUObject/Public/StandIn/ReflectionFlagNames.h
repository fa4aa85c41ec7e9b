// Stand-in only: the engine's names of the flags a host shows when it describes reflected types. Not part of the
// engine's API.
#pragma once

#include "Containers/Array.h"
#include "UObject/ObjectMacros.h"

namespace UE::StandIn
{
	/** The names of the class flags that are set ("CLASS_Native", ...), lowest bit first. */
	COREUOBJECT_API TArray<const TCHAR*> GetClassFlagNames(EClassFlags Flags);
	/** The names of the function flags that are set ("FUNC_Static", ...), lowest bit first. */
	COREUOBJECT_API TArray<const TCHAR*> GetFunctionFlagNames(EFunctionFlags Flags);
	/** The names of the property flags that are set ("CPF_Parm", ...), lowest bit first. */
	COREUOBJECT_API TArray<const TCHAR*> GetPropertyFlagNames(EPropertyFlags Flags);
} // namespace UE::StandIn
