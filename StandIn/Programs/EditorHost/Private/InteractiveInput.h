// What the parts of the interactive front end share about what a person types: Ctrl-C, and the reading and showing of
// typed text.
#pragma once

#include "CoreMinimal.h"
#include "HostInterrupt.h"

#include <string>

namespace UE::StandIn::EditorHost::Interactive
{
	/** The menu that the front end shows and chooses from. */
	inline const TCHAR* const ToolsMenuName = TEXT("LevelEditor.MainMenu.Tools");

	/** @return Text without the spaces and tabs around it. */
	std::string TrimSpaces(const std::string& Text);

	/** @return true with OutNumber when Text is a whole decimal number and nothing else; 0 counts, and is out of every range. */
	bool ParseNumber(const std::string& Text, int32& OutNumber);

	/**
	 * @return typed text as it may be shown: control characters, which a terminal would act on (an arrow key's escape
	 *         sequence moves the cursor), written as escapes instead.
	 */
	FString EscapeControlCharacters(const std::string& Typed);
} // namespace UE::StandIn::EditorHost::Interactive
