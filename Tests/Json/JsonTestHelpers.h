// Shortcuts for the Json tests: parse text, write objects, and compare text as UTF-8 so that failures print readably.
#pragma once

#include "Containers/UnrealString.h"
#include "Dom/JsonObject.h"
#include <string>

namespace JsonTest
{
	/** Parses Text as an object; OutError receives the reader's message. */
	TSharedPtr<FJsonObject> Parse(const FString& Text, FString* OutError = nullptr);
	/** Writes the object in the pretty layout. */
	FString WritePretty(const TSharedPtr<FJsonObject>& Object);
	/** Writes the object with no white space. */
	FString WriteCondensed(const TSharedPtr<FJsonObject>& Object);
	/** UTF-8 bytes of the text. */
	std::string Utf8(const FString& Text);
	/** The text from UTF-8 bytes. */
	FString FromUtf8(const std::string& Text);
} // namespace JsonTest
