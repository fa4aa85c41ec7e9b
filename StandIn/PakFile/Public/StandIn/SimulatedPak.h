// Stand-in only: the simulated cook's archive, the staged files of a mod in one file. The engine's pak format is not
// reproduced. Its one home: the stand-in automation tool writes it, FPakFile and trellic-pak read it.
//
// Layout (integers little-endian):
//   8 bytes   magic "TRLPAK01" (the format and its version)
//   u32       number of entries
//   for each entry, in the order written:
//     u32     length in bytes of the entry's path
//     bytes   the path, UTF-8, relative with "/" separators, e.g. "SampleMod/Content/Maps/Arena.umap"
//     u64     length in bytes of the data
//     bytes   the data: the file's bytes as they were staged
// The file ends right after the last entry; anything else (a short file, bytes after the end) is not a pak.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace UE::StandIn::SimulatedPak
{
	/** A file to put into a pak, under the entry path it gets there. */
	struct FPakSource
	{
		std::string EntryPath;
		std::filesystem::path File;
	};

	/** An entry as a pak holds it. */
	struct FPakEntry
	{
		std::string Path;
		std::uint64_t Size = 0;
		/** Where the data starts in the pak file. */
		std::uint64_t DataOffset = 0;
	};

	/**
	 * Writes the sources into a new pak at PakFile, in their order. The pak is written beside its place and moved
	 * there once complete, so that a failed write leaves no partial pak. @return false with OutError on failure
	 */
	bool WritePak(const std::filesystem::path& PakFile, const std::vector<FPakSource>& Sources, std::string& OutError);

	/** Reads the entries of a pak. @return false with OutError when it cannot be read or is not a pak */
	bool ReadPakEntries(const std::filesystem::path& PakFile, std::vector<FPakEntry>& OutEntries, std::string& OutError);
} // namespace UE::StandIn::SimulatedPak
