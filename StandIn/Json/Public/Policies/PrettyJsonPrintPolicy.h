// The readable layout: a line per member or element, indented with tabs, the platform's line terminator
// (CR LF, the plug-in's home platform's, so that files written here are the files written there).
#pragma once

#include "Policies/JsonPrintPolicy.h"

template <class CharType>
struct TPrettyJsonPrintPolicy : public TJsonPrintPolicy<CharType>
{
	static void WriteLineTerminator(FString& Stream) { Stream.Append(LINE_TERMINATOR); }
	static void WriteTabs(FString& Stream, int32 Count)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Stream.AppendChar(TEXT('\t'));
		}
	}
	static void WriteSpace(FString& Stream) { Stream.AppendChar(TEXT(' ')); }
};
