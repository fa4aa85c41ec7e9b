// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLScopedOverride.h"

/**
 * While it lives, the plug-in works on another project: the given project file, the folder that holds it (and the
 * mods root inside it), that folder's Config folder, and the file's base name as the project name. It exists for
 * specs: the engine fixes its project folder at start-up, so a spec in a running editor cannot move
 * FPaths::ProjectDir, and without this it would record releases in, and rewrite the configuration of, the studio's
 * own project. Overrides nest. Game thread only.
 */
class TRELLIC_API FTRLScopedProjectOverride : public TTRLScopedOverride<FTRLScopedProjectOverride, FString>
{
public:
	/** The .uproject to work on. */
	explicit FTRLScopedProjectOverride(FString InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedProjectOverride* Innermost;
};
