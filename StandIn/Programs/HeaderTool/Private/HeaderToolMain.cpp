// The header tool: reads a module's headers and writes their reflection code into the build tree.
// Usage: HeaderTool <ModuleName> <ModuleDir> <GeneratedIncludeDir> <GeneratedSource> <HeaderListFile>
#include "CodeGenerator.h"
#include "HeaderParser.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace
{
	namespace fs = std::filesystem;

	std::string ReadFile(const fs::path& Path)
	{
		std::ifstream Stream(Path, std::ios::binary);
		if (!Stream)
		{
			throw HeaderTool::FParseError{Path.string(), 0, "Cannot read the file"};
		}
		std::ostringstream Content;
		Content << Stream.rdbuf();
		return Content.str();
	}

	// Leaves an unchanged file alone, so that what includes it is not rebuilt.
	void WriteIfChanged(const fs::path& Path, const std::string& Content)
	{
		std::error_code Error;
		if (fs::exists(Path, Error))
		{
			std::ifstream Existing(Path, std::ios::binary);
			std::ostringstream Old;
			Old << Existing.rdbuf();
			if (Old.str() == Content)
			{
				return;
			}
		}
		fs::create_directories(Path.parent_path());
		std::ofstream Stream(Path, std::ios::binary | std::ios::trunc);
		Stream << Content;
		if (!Stream)
		{
			throw HeaderTool::FParseError{Path.string(), 0, "Cannot write the file"};
		}
	}

	// "Public/Sub/Foo.h" is included as "Sub/Foo.h"; a header elsewhere by its path in the module.
	std::string IncludePathOf(const std::string& RelativePath)
	{
		for (const char* Root : {"Public/", "Classes/", "Private/"})
		{
			if (RelativePath.rfind(Root, 0) == 0)
			{
				return RelativePath.substr(std::string(Root).size());
			}
		}
		return RelativePath;
	}
} // namespace

int main(int ArgC, char** ArgV)
{
	if (ArgC != 6)
	{
		std::cerr << "Usage: HeaderTool <ModuleName> <ModuleDir> <GeneratedIncludeDir> <GeneratedSource> <HeaderListFile>\n";
		return 2;
	}
	const std::string ModuleName = ArgV[1];
	const fs::path ModuleDir = fs::absolute(ArgV[2]);
	const fs::path IncludeDir = ArgV[3];
	const fs::path SourceFile = ArgV[4];
	try
	{
		std::vector<HeaderTool::FHeader> Headers;
		std::map<std::string, std::string> SeenBaseNames;
		std::istringstream List(ReadFile(ArgV[5]));
		std::string Line;
		while (std::getline(List, Line))
		{
			if (Line.empty())
			{
				continue;
			}
			const fs::path Path = fs::absolute(Line);
			HeaderTool::FHeader Header;
			Header.Path = Path.generic_string();
			Header.BaseName = Path.stem().string();
			Header.RelativePath = Path.lexically_relative(ModuleDir).generic_string();
			Header.IncludePath = IncludePathOf(Header.RelativePath);
			const auto [Existing, bInserted] = SeenBaseNames.emplace(Header.BaseName, Header.Path);
			if (!bInserted)
			{
				throw HeaderTool::FParseError{Header.Path, 1, "Another header of module " + ModuleName + " has the same name: " + Existing->second};
			}
			HeaderTool::ParseHeader(ReadFile(Path), Header);
			Headers.push_back(std::move(Header));
		}
		// Nothing is written until every header has been understood.
		for (const HeaderTool::FHeader& Header : Headers)
		{
			WriteIfChanged(IncludeDir / (Header.BaseName + ".generated.h"), HeaderTool::GenerateHeader(ModuleName, Header));
		}
		WriteIfChanged(SourceFile, HeaderTool::GenerateModuleSource(ModuleName, Headers));
	}
	catch (const HeaderTool::FParseError& Error)
	{
		std::cerr << Error.Describe() << "\n";
		return 1;
	}
	catch (const std::exception& Error)
	{
		std::cerr << "HeaderTool: " << Error.what() << "\n";
		return 1;
	}
	return 0;
}
