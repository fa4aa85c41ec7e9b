#include "StandIn/SimulatedAssetRegistry.h"

#include <fstream>
#include <iterator>

namespace UE::StandIn::SimulatedAssetRegistry
{
	namespace
	{
		constexpr std::string_view RegistryHeader = "TRLAssetRegistry 1";
	} // namespace

	bool Write(const std::filesystem::path& File, const std::set<std::string>& PackageNames, std::string& OutError)
	{
		std::ofstream Out(File, std::ios::binary | std::ios::trunc);
		Out << RegistryHeader << '\n';
		for (const std::string& PackageName : PackageNames)
		{
			Out << PackageName << '\n';
		}
		Out.close();
		if (!Out)
		{
			OutError = "Could not write '" + File.string() + "'.";
			return false;
		}
		return true;
	}

	bool Read(const std::filesystem::path& File, std::set<std::string>& OutPackageNames, std::string& OutError)
	{
		std::ifstream In(File, std::ios::binary);
		if (!In.is_open())
		{
			OutError = "'" + File.string() + "' could not be read.";
			return false;
		}
		const std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
		if (!Parse(Bytes, OutPackageNames))
		{
			OutError =
			    "'" + File.string() + "' is not a release registry of this simulated tool (it does not start with \"" + std::string(RegistryHeader) + "\").";
			return false;
		}
		return true;
	}

	bool Parse(std::string_view Bytes, std::set<std::string>& OutPackageNames)
	{
		const size_t HeaderEnd = Bytes.find('\n');
		if (Bytes.substr(0, HeaderEnd) != RegistryHeader)
		{
			return false;
		}
		OutPackageNames.clear();
		for (size_t Start = HeaderEnd; Start != std::string_view::npos && Start < Bytes.size();)
		{
			++Start;
			const size_t End = Bytes.find('\n', Start);
			const std::string_view Line = Bytes.substr(Start, End == std::string_view::npos ? std::string_view::npos : End - Start);
			if (!Line.empty())
			{
				OutPackageNames.emplace(Line);
			}
			Start = End;
		}
		return true;
	}
} // namespace UE::StandIn::SimulatedAssetRegistry
