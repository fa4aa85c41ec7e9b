// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * Replaces what UTRLLocalModProvider::GetLocalModsRoot() returns for as long as it lives, so that a caller can point
 * every mod operation at another folder. The root is answered exactly as given, a relative one included.
 * Overrides nest: when one ends, the one it replaced applies again. Game thread only.
 */
class TRELLIC_API FTRLScopedModsRootOverride
{
public:
	/** @param InRoot what UTRLLocalModProvider::GetLocalModsRoot() answers while this override lives. */
	explicit FTRLScopedModsRootOverride(const FString& InRoot);
	~FTRLScopedModsRootOverride();

	FTRLScopedModsRootOverride(const FTRLScopedModsRootOverride&) = delete;
	FTRLScopedModsRootOverride& operator=(const FTRLScopedModsRootOverride&) = delete;

private:
	friend class UTRLLocalModProvider;

	FString Root;
	FTRLScopedModsRootOverride* Replaced;

	static FTRLScopedModsRootOverride* Innermost;
};
