// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLLocalModProvider.generated.h"

/** Knows where the mods on this machine live: one folder, the local mods root, with one subfolder per mod. */
UCLASS()
class TRELLIC_API UTRLLocalModProvider : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Folder that holds one subfolder per local mod.
	 *
	 * The project folder joined with the settings' ModsDirectory, or with "Mods" when that is empty or no settings
	 * are available; while an FTRLScopedModsRootOverride lives, its root instead.
	 *
	 * @return the root as joined, not made absolute; it may not exist yet.
	 */
	UFUNCTION(BlueprintPure, Category = "Trellic")
	static FString GetLocalModsRoot();
};
