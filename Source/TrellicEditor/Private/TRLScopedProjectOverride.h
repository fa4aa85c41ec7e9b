// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * While it lives, packaging works on another project: the given project file, the folder that holds it, that
 * folder's Config folder, and the file's base name as the project name. It exists for specs: the engine fixes its
 * project folder at start-up, so a spec in a running editor cannot move FPaths::ProjectDir, and without this it would
 * record releases in, and rewrite the configuration of, the studio's own project. Overrides nest. Game thread only.
 */
class FTRLScopedProjectOverride
{
public:
	/** @param InProjectFilePath the .uproject to work on. */
	explicit FTRLScopedProjectOverride(const FString& InProjectFilePath);
	~FTRLScopedProjectOverride();

	FTRLScopedProjectOverride(const FTRLScopedProjectOverride&) = delete;
	FTRLScopedProjectOverride& operator=(const FTRLScopedProjectOverride&) = delete;

	/** @return the innermost override's project file as given, or null when packaging works on the engine's project. */
	static const FString* GetProjectFilePath();

private:
	FString ProjectFilePath;
	FTRLScopedProjectOverride* Replaced;

	static FTRLScopedProjectOverride* Innermost;
};
