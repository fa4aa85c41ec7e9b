// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

class UTRLSettings;

/**
 * What every scoped override of the plug-in shares: while one lives, the code it overrides answers with its value
 * instead of the engine's; overrides of one kind nest, and when one ends the one it replaced applies again. Game
 * thread only.
 *
 * The innermost override is a static of DerivedType, declared by it and defined in one .cpp of the module that owns
 * it: a static of this template would be instantiated once per module, and an override made in one module would go
 * unseen in another.
 */
template <typename DerivedType, typename ValueType>
class TTRLScopedOverride
{
public:
	TTRLScopedOverride(const TTRLScopedOverride&) = delete;
	TTRLScopedOverride& operator=(const TTRLScopedOverride&) = delete;

	/** @return the innermost override's value, or null when none lives. */
	static const ValueType* Get() { return DerivedType::Innermost ? &DerivedType::Innermost->Value : nullptr; }

protected:
	explicit TTRLScopedOverride(ValueType InValue)
	    : Value(MoveTemp(InValue))
	    , Replaced(DerivedType::Innermost)
	{
		DerivedType::Innermost = static_cast<DerivedType*>(this);
	}

	~TTRLScopedOverride() { DerivedType::Innermost = Replaced; }

private:
	ValueType Value;
	DerivedType* Replaced;
};

/**
 * Replaces what UTRLLocalModProvider::GetLocalModsRoot() returns for as long as it lives, so that a caller can point
 * every mod operation at another folder. The root is answered exactly as given, a relative one included.
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

/**
 * While it lives, the plug-in works on another project: the given project file, the folder that holds it (and the
 * mods root inside it), that folder's Config folder, and the file's base name as the project name. The engine fixes
 * its project folder at start-up, so a spec in a running editor cannot move FPaths::ProjectDir, and without this it
 * would record releases in, and rewrite the configuration of, the studio's own project.
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

/**
 * Replaces what UTRLSettings::Get() returns for as long as it lives, so that a caller can run the plug-in against other
 * settings, or against none at all (null). The caller keeps the settings object alive while the override lives.
 */
class TRELLIC_API FTRLScopedSettingsOverride : public TTRLScopedOverride<FTRLScopedSettingsOverride, const UTRLSettings*>
{
public:
	/** What UTRLSettings::Get() answers while this override lives; null means "no settings". */
	explicit FTRLScopedSettingsOverride(const UTRLSettings* InValue)
	    : TTRLScopedOverride(MoveTemp(InValue))
	{
	}

private:
	friend TTRLScopedOverride;

	static FTRLScopedSettingsOverride* Innermost;
};
