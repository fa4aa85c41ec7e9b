#include "CommandLine.h"

#include <algorithm>
#include <cctype>

namespace AutomationTool
{
	namespace
	{
		std::string Unquote(const std::string& Value)
		{
			if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"')
			{
				return Value.substr(1, Value.size() - 2);
			}
			return Value;
		}
	} // namespace

	bool EqualsNoCase(std::string_view A, std::string_view B)
	{
		return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char Left, char Right) {
			       return std::tolower(static_cast<unsigned char>(Left)) == std::tolower(static_cast<unsigned char>(Right));
		       });
	}

	FCommandLine ParseCommandLine(const std::vector<std::string>& Arguments)
	{
		FCommandLine CommandLine;
		for (const std::string& Argument : Arguments)
		{
			if (Argument.empty() || Argument[0] != '-')
			{
				CommandLine.Commands.push_back(Argument);
				continue;
			}
			FCommandLine::FSwitch Switch;
			const size_t Equals = Argument.find('=');
			Switch.Name = Argument.substr(1, Equals == std::string::npos ? std::string::npos : Equals - 1);
			if (Equals != std::string::npos)
			{
				Switch.Value = Unquote(Argument.substr(Equals + 1));
				Switch.bHasValue = true;
			}
			CommandLine.Switches.push_back(std::move(Switch));
		}
		return CommandLine;
	}

	std::optional<std::string> FCommandLine::FindValue(std::string_view Name) const
	{
		for (const FSwitch& Switch : Switches)
		{
			if (Switch.bHasValue && EqualsNoCase(Switch.Name, Name))
			{
				return Switch.Value;
			}
		}
		return std::nullopt;
	}

	bool FCommandLine::HasSwitch(std::string_view Name) const
	{
		return std::any_of(Switches.begin(), Switches.end(), [Name](const FSwitch& Switch) {
			return EqualsNoCase(Switch.Name, Name);
		});
	}

	std::string JoinCommandLine(const std::vector<std::string>& Arguments)
	{
		std::string Joined;
		for (const std::string& Argument : Arguments)
		{
			if (!Joined.empty())
			{
				Joined += ' ';
			}
			const bool bNeedsQuotes = Argument.empty() || Argument.find_first_of(" \t") != std::string::npos;
			Joined += bNeedsQuotes ? "\"" + Argument + "\"" : Argument;
		}
		return Joined;
	}
} // namespace AutomationTool
