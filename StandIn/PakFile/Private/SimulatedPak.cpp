#include "StandIn/SimulatedPak.h"

#include <array>
#include <fstream>
#include <iterator>

namespace UE::StandIn::SimulatedPak
{
	namespace
	{
		constexpr std::array<char, 8> PakMagic = {'T', 'R', 'L', 'P', 'A', 'K', '0', '1'};
		// Paths longer than any file system allows mean a damaged file, not an entry.
		constexpr std::uint32_t MaxEntryPathBytes = 4096;
		constexpr std::uint64_t SkipByReadingBytes = 64 * 1024;

		template <typename IntType>
		void WriteInt(std::ofstream& Out, IntType Value)
		{
			std::array<char, sizeof(IntType)> Bytes;
			for (size_t Index = 0; Index < sizeof(IntType); ++Index)
			{
				Bytes[Index] = static_cast<char>((Value >> (8 * Index)) & 0xFF);
			}
			Out.write(Bytes.data(), Bytes.size());
		}

		template <typename IntType>
		bool ReadInt(std::ifstream& In, IntType& OutValue)
		{
			std::array<unsigned char, sizeof(IntType)> Bytes;
			if (!In.read(reinterpret_cast<char*>(Bytes.data()), Bytes.size()))
			{
				return false;
			}
			OutValue = 0;
			for (size_t Index = 0; Index < sizeof(IntType); ++Index)
			{
				OutValue |= static_cast<IntType>(Bytes[Index]) << (8 * Index);
			}
			return true;
		}
	} // namespace

	bool WritePak(const std::filesystem::path& PakFile, const std::vector<FPakSource>& Sources, std::string& OutError)
	{
		std::filesystem::path Partial = PakFile;
		Partial += ".partial";
		std::ofstream Out(Partial, std::ios::binary | std::ios::trunc);
		Out.write(PakMagic.data(), PakMagic.size());
		WriteInt<std::uint32_t>(Out, static_cast<std::uint32_t>(Sources.size()));
		for (const FPakSource& Source : Sources)
		{
			std::ifstream In(Source.File, std::ios::binary);
			if (!In.is_open())
			{
				OutError = "Could not read '" + Source.File.string() + "'.";
				Out.close();
				std::filesystem::remove(Partial);
				return false;
			}
			const std::vector<char> Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
			WriteInt<std::uint32_t>(Out, static_cast<std::uint32_t>(Source.EntryPath.size()));
			Out.write(Source.EntryPath.data(), static_cast<std::streamsize>(Source.EntryPath.size()));
			WriteInt<std::uint64_t>(Out, Data.size());
			Out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
		}
		Out.close();
		std::error_code Error;
		if (Out)
		{
			std::filesystem::rename(Partial, PakFile, Error);
		}
		if (!Out || Error)
		{
			OutError = "Could not write '" + PakFile.string() + "'.";
			std::filesystem::remove(Partial, Error);
			return false;
		}
		return true;
	}

	bool ReadPakEntries(const std::filesystem::path& PakFile, std::vector<FPakEntry>& OutEntries, std::string& OutError)
	{
		std::ifstream In(PakFile, std::ios::binary);
		std::error_code Error;
		const std::uint64_t FileSize = std::filesystem::file_size(PakFile, Error);
		if (!In || Error)
		{
			OutError = "'" + PakFile.string() + "' cannot be read.";
			return false;
		}
		std::array<char, PakMagic.size()> Magic;
		std::uint32_t NumEntries = 0;
		if (!In.read(Magic.data(), Magic.size()) || Magic != PakMagic || !ReadInt(In, NumEntries))
		{
			OutError = "'" + PakFile.string() + "' is not a pak of this simulated tool (it does not start with \"TRLPAK01\").";
			return false;
		}
		OutEntries.clear();
		for (std::uint32_t Index = 0; Index < NumEntries; ++Index)
		{
			FPakEntry Entry;
			std::uint32_t PathBytes = 0;
			if (!ReadInt(In, PathBytes) || PathBytes > MaxEntryPathBytes)
			{
				OutError = "'" + PakFile.string() + "' is damaged: entry " + std::to_string(Index + 1) + " has no valid path.";
				return false;
			}
			Entry.Path.resize(PathBytes);
			if (!In.read(Entry.Path.data(), PathBytes) || !ReadInt(In, Entry.Size))
			{
				OutError = "'" + PakFile.string() + "' is damaged: entry " + std::to_string(Index + 1) + " is cut short.";
				return false;
			}
			Entry.DataOffset = static_cast<std::uint64_t>(In.tellg());
			if (Entry.Size > FileSize - Entry.DataOffset)
			{
				OutError = "'" + PakFile.string() + "' is damaged: the data of '" + Entry.Path + "' is cut short.";
				return false;
			}
			// Small data is read past within the stream's buffer; a seek would cost a system call for every entry.
			if (Entry.Size <= SkipByReadingBytes)
			{
				In.ignore(static_cast<std::streamsize>(Entry.Size));
			}
			else
			{
				In.seekg(static_cast<std::streamoff>(Entry.Size), std::ios::cur);
			}
			OutEntries.push_back(std::move(Entry));
		}
		if (static_cast<std::uint64_t>(In.tellg()) != FileSize)
		{
			OutError = "'" + PakFile.string() + "' is damaged: it holds bytes after its last entry.";
			return false;
		}
		return true;
	}
} // namespace UE::StandIn::SimulatedPak
