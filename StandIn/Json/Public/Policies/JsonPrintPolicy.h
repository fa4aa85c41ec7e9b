// What every JSON print policy writes the same way: characters and strings, unchanged.
#pragma once

#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

template <class CharType>
struct TJsonPrintPolicy
{
	static void WriteChar(FString& Stream, CharType Char) { Stream.AppendChar(Char); }
	static void WriteString(FString& Stream, FStringView String) { Stream.Append(String); }
};
