// The script protocol's wire form: one JSON object a line, UTF-8, with lone surrogates escaped so that a single
// UTF-16 code unit survives the trip.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include <string>

namespace UE::StandIn::EditorHost
{
	/** @return the object as one line of UTF-8, without the line end. */
	std::string ToProtocolLine(const TSharedRef<FJsonObject>& Object);

	/** Parses one line of UTF-8. @return null with OutError set when it is not a JSON object. */
	TSharedPtr<FJsonObject> ParseProtocolLine(const std::string& Line, FString& OutError);

	/** A text as {"string", "namespace", "key"}; namespace and key are null for a text made from a plain string. */
	TSharedRef<FJsonValue> MakeTextValue(const FText& Text);
} // namespace UE::StandIn::EditorHost
