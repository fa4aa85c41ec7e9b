// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

class FJsonObject;

/**
 * The JSON files of this module: the one text form every one of them is written in (members on their own lines,
 * indented with tabs, CR LF line ends on every platform, numbers as "%.17g", no line end after the closing brace), and the one way they
 * are read. Written the same way everywhere, a file that is read and written back changes only where its values change.
 */
struct FTRLJsonText
{
	/** @return the object in the module's JSON text form. */
	static FString ToString(const TSharedRef<FJsonObject>& Object);

	/** Reads a whole file as text and parses it. @return the object; null when the file cannot be read, does not parse, or is not an object */
	static TSharedPtr<FJsonObject> LoadJsonFile(const FString& Path);
};
