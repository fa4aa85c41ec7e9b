// Compares what the host wrote with what a test or the README shows of it: the members shown must be there with the
// same values; members left out are not checked.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonValue.h"

/**
 * True when Actual has every member of Expected with a matching value: objects member by member (extra members of
 * Actual are allowed), arrays element by element and of the same length, strings case-sensitively, numbers exactly.
 * The string "..." stands for any value, for what differs from run to run (an item id, the seconds a job took).
 * @param OutMismatch on false, where the first difference lies and what each side holds there
 */
bool MatchesShownJson(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, FString& OutMismatch);

/** Parses one JSON value; null when Text is not JSON. */
TSharedPtr<FJsonValue> ParseJsonValue(const FString& Text);
