// The automation tool's arguments: command words and -Name=Value switches, read as the engine's tool reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace AutomationTool
{
	struct FCommandLine
	{
		/** The arguments that do not start with "-", in order: the commands to run. */
		std::vector<std::string> Commands;

		/** "-Name=Value" and "-Name" arguments in order, the name without its dash; Value is empty for a bare switch. */
		struct FSwitch
		{
			std::string Name;
			std::string Value;
			bool bHasValue = false;
		};
		std::vector<FSwitch> Switches;

		/**
		 * The value of the first "-Name=Value" whose name matches without regard to case, with one pair of enclosing
		 * double quotes removed; none when there is no such switch (a bare "-Name" has no value either).
		 */
		std::optional<std::string> FindValue(std::string_view Name) const;

		/** Whether "-Name" or "-Name=..." was given, the name compared without regard to case. */
		bool HasSwitch(std::string_view Name) const;
	};

	FCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);

	/** ASCII comparison without regard to case, as switch, command and package names are compared. */
	bool EqualsNoCase(std::string_view A, std::string_view B);

	/** The arguments joined by blanks, those holding blanks (or empty) in double quotes, to echo what was asked. */
	std::string JoinCommandLine(const std::vector<std::string>& Arguments);
} // namespace AutomationTool
