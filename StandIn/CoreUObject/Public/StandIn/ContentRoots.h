// Stand-in only: what the host shows of the content roots. Not part of the engine's API.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"

namespace UE::StandIn
{
	/** A content root and its folder; the folder is empty for the engine's roots that have none on disk. */
	struct FContentRootEntry
	{
		FString RootPath;
		FString ContentPath;
	};

	/** The engine's own roots ("/Game/", "/Engine/", "/Script/", "/Temp/", "/Memory/", "/Config/"). */
	COREUOBJECT_API const TArray<FString>& GetEngineContentRoots();
	/** True when RootPath ("/Name/" or "/Name", any case) is one of the engine's own roots. */
	COREUOBJECT_API bool IsEngineContentRoot(FStringView RootPath);
	/** Every content root: the engine's first, then the registered ones in the order they were mounted. */
	COREUOBJECT_API TArray<FContentRootEntry> GetRegisteredContentRoots();
} // namespace UE::StandIn
