// Stand-in only: the simulated cook's AssetRegistry.bin, the packages a recorded base release contains. The engine's
// registry format is not reproduced. Its one home: the stand-in automation tool writes and reads it, and
// FAssetRegistryState loads it.
//
// UTF-8 text with "\n" line ends:
//   line 1: "TRLAssetRegistry 1" (the format and its version)
//   then:   one package name per line, sorted by byte value, each once, e.g. "/Game/Maps/Arena"
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace UE::StandIn::SimulatedAssetRegistry
{
	/** Writes the registry, replacing any file there. @return false with OutError when it cannot be written */
	bool Write(const std::filesystem::path& File, const std::set<std::string>& PackageNames, std::string& OutError);

	/** Reads a registry file. @return false with OutError when the file cannot be read or is not a registry of this format */
	bool Read(const std::filesystem::path& File, std::set<std::string>& OutPackageNames, std::string& OutError);

	/** Parses a registry's bytes. @return false when they are not a registry of this format */
	bool Parse(std::string_view Bytes, std::set<std::string>& OutPackageNames);
} // namespace UE::StandIn::SimulatedAssetRegistry
