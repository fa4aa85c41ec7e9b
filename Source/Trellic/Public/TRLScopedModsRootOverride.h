// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLScopedOverride.h"

/**
 * Replaces what UTRLLocalModProvider::GetLocalModsRoot() returns for as long as it lives, so that a caller can point
 * every mod operation at another folder. The root is answered exactly as given, a relative one included.
 * Overrides nest: when one ends, the one it replaced applies again. Game thread only.
 */
class TRELLIC_API FTRLScopedModsRootOverride : public TTRLScopedOverride<FTRLScopedModsRootOverride, FString>
{
public:
	/** What UTRLLocalModProvider::GetLocalModsRoot() answers while this override lives. */
	explicit FTRLScopedModsRootOverride(FString InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedModsRootOverride* Innermost;
};
