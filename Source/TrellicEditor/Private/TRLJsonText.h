// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

class FJsonObject;

/**
 * The one text form of every JSON file this module writes: members on their own lines, indented with tabs, CR LF line
 * ends, numbers as "%.17g", and no line end after the closing brace. Written the same way everywhere, a file that is
 * read and written back changes only where its values change.
 */
struct FTRLJsonText
{
	/** @return the object in the module's JSON text form. */
	static FString Write(const TSharedRef<FJsonObject>& Object);
};
