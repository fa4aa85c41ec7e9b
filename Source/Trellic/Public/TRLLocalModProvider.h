// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLLocalModProvider.generated.h"

/**
 * Knows where the mods on this machine live: one folder inside the project, the local mods root, with one subfolder
 * per mod. Nothing the plug-in does with mods reaches outside the project through it.
 */
UCLASS()
class TRELLIC_API UTRLLocalModProvider : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Folder that holds one subfolder per local mod.
	 *
	 * The settings' ModsDirectory, or "Mods" when that is empty or no settings are available: a relative one joined
	 * to the project folder, an absolute one as it is. Either must lie inside the project folder. While an
	 * FTRLScopedModsRootOverride lives, its root instead.
	 *
	 * @return the root (a relative setting joined, not made absolute), which may not exist yet; empty, with a Warning
	 *         that names the setting, when ModsDirectory leads outside the project.
	 */
	UFUNCTION(BlueprintPure, Category = "Trellic")
	static FString GetLocalModsRoot();

	/**
	 * The root GetLocalModsRoot answers, for a caller that reports a refusal itself; nothing is logged.
	 * @param OutRoot set to the root when there is one
	 * @param OutError set when ModsDirectory leads outside the project, to what to write instead
	 * @return false when there is no usable root
	 */
	static bool TryGetLocalModsRoot(FString& OutRoot, FText& OutError);
};
