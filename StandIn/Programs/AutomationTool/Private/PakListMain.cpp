// trellic-pak: shows what a pak of the simulated cook holds, one entry a line: its path, a tab, its size in bytes.

#include "StandIn/SimulatedPak.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int ArgC, char** ArgV)
{
	if (ArgC != 3 || std::strcmp(ArgV[1], "list") != 0)
	{
		std::fprintf(stderr, "Usage: trellic-pak list <file.pak>\n");
		return 2;
	}
	std::vector<UE::StandIn::SimulatedPak::FPakEntry> Entries;
	std::string Error;
	if (!UE::StandIn::SimulatedPak::ReadPakEntries(ArgV[2], Entries, Error))
	{
		std::fprintf(stderr, "trellic-pak: %s\n", Error.c_str());
		return 1;
	}
	for (const UE::StandIn::SimulatedPak::FPakEntry& Entry : Entries)
	{
		std::printf("%s\t%llu\n", Entry.Path.c_str(), static_cast<unsigned long long>(Entry.Size));
	}
	return 0;
}
