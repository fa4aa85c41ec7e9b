// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

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
