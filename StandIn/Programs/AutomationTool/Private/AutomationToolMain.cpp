// The stand-in automation tool. It knows no command yet: it shows what it was asked to do and refuses,
// so that a job handed to it ends visibly and with an error instead of pretending to have built something.

#include <cstdio>
#include <string>
#include <vector>

namespace
{
	constexpr int ExitCodeUnknownCommand = 1;

	// Quotes an argument that holds blanks, so that the echoed command line reads as it was given.
	std::string QuoteIfNeeded(const std::string& Argument)
	{
		if (!Argument.empty() && Argument.find_first_of(" \t") == std::string::npos)
		{
			return Argument;
		}
		return "\"" + Argument + "\"";
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
			Joined += QuoteIfNeeded(Argument);
		}
		return Joined;
	}

	// The command is the first argument that is not an option, as in "BuildCookRun -project=...".
	std::string FindCommand(const std::vector<std::string>& Arguments)
	{
		for (const std::string& Argument : Arguments)
		{
			if (!Argument.empty() && Argument[0] != '-')
			{
				return Argument;
			}
		}
		return std::string();
	}
} // namespace

int main(int ArgC, char** ArgV)
{
	const std::vector<std::string> Arguments(ArgV + 1, ArgV + ArgC);

	std::printf("Simulated automation tool: this is a stand-in for the engine's automation tool; nothing is built, cooked or packaged.\n");
	std::printf("Command line: %s\n", JoinCommandLine(Arguments).c_str());

	const std::string Command = FindCommand(Arguments);
	if (Command.empty())
	{
		std::printf("ERROR: No command was given. Usage: RunUAT.sh <Command> [-Option=Value ...]\n");
	}
	else
	{
		std::printf("ERROR: The command '%s' is not available in this simulated automation tool.\n", Command.c_str());
	}
	std::fflush(stdout);
	return ExitCodeUnknownCommand;
}
