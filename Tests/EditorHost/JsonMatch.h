// Compares what the host wrote with what a test or a page of the documentation shows of it: the members shown must be
// there with the same values; members left out are not checked.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonValue.h"

#include <map>
#include <string>
#include <vector>

/**
 * True when Actual has every member of Expected with a matching value: objects member by member (extra members of
 * Actual are allowed), arrays element by element and of the same length, strings case-sensitively, numbers exactly.
 * The string "..." stands for any value, for what differs from run to run (an item id, the seconds a job took).
 * @param OutMismatch on false, where the first difference lies and what each side holds there
 */
bool MatchesShownJson(const TSharedPtr<FJsonValue>& Expected, const TSharedPtr<FJsonValue>& Actual, FString& OutMismatch);

/** Parses one JSON value; null when Text is not JSON. */
TSharedPtr<FJsonValue> ParseJsonValue(const FString& Text);

/**
 * What an example of the documentation shows, matched against what was written, with what varies from run to run
 * left to stand for itself:
 * - in a text, "..." stands for any text; a number of 15 or more digits for a Workshop item id, the same written id
 *   wherever the example shows the same id, and another wherever it shows another; a number before " s" for any
 *   number of seconds; an ISO 8601 time ("2026-12-06T02:40:57.122Z") for any such time;
 * - in JSON, as MatchesShownJson, with strings matched as texts and "..." in an array for any number of elements;
 * - in a list of lines, a line "..." stands for any number of lines; a line that holds a JSON object is matched as
 *   JSON against a written line that holds one, any other as a text.
 * One object serves one example, so that the ids it has seen hold for all of its lines.
 */
class FShownMatch
{
public:
	/** @return whether Written is what Shown shows. */
	bool MatchesText(const std::string& Shown, const std::string& Written);

	/** @return whether Written is what Shown shows; on false OutMismatch says where they first differ. */
	bool MatchesJson(const TSharedPtr<FJsonValue>& Shown, const TSharedPtr<FJsonValue>& Written, FString& OutMismatch);

	/** @return whether one shown line is one written line, as JSON when the shown line holds a JSON object. */
	bool MatchesLine(const std::string& Shown, const std::string& Written);

	/**
	 * Matches every shown line, in order and next to each other but where "..." stands for lines left out.
	 * @param OutMismatch on false, the first shown line that could not be matched, and where
	 */
	bool MatchesLines(const std::vector<std::string>& Shown, const std::vector<std::string>& Written, std::string& OutMismatch);

private:
	bool MatchLinesFrom(const std::vector<std::string>& Shown, size_t ShownIndex, const std::vector<std::string>& Written, size_t WrittenIndex,
	                    size_t& OutFurthest, int32& Budget);

	/** Shown item id to written id, and back, so that one id is never two. */
	std::map<std::string, std::string> WrittenIds;
	std::map<std::string, std::string> ShownIds;
};
