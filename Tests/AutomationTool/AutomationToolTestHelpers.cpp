#include "AutomationToolTestHelpers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace AutomationToolTest
{
	bool FProgramRun::HasLine(const std::string& Line) const
	{
		return std::find(Lines.begin(), Lines.end(), Line) != Lines.end();
	}

	FProgramRun RunProgram(const std::string& Program, const std::string& Arguments)
	{
		const std::string Command = "exec '" + Program + "' " + Arguments + " 2>&1";
		FILE* Pipe = popen(Command.c_str(), "r");
		FProgramRun Run;
		if (Pipe == nullptr)
		{
			ADD_FAILURE() << "Could not run " << Program;
			return Run;
		}
		std::string Output;
		std::array<char, 4096> Buffer;
		for (size_t Count; (Count = fread(Buffer.data(), 1, Buffer.size(), Pipe)) > 0;)
		{
			Output.append(Buffer.data(), Count);
		}
		const int Status = pclose(Pipe);
		Run.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
		std::istringstream Stream(Output);
		for (std::string Line; std::getline(Stream, Line);)
		{
			Run.Lines.push_back(Line);
		}
		return Run;
	}

	std::string ReadFile(const std::filesystem::path& File)
	{
		std::ifstream In(File, std::ios::binary);
		std::stringstream Text;
		Text << In.rdbuf();
		return Text.str();
	}

	void WriteFile(const std::filesystem::path& File, const std::string& Text)
	{
		std::filesystem::create_directories(File.parent_path());
		std::ofstream(File, std::ios::binary) << Text;
	}

	void FAutomationToolTest::SetUp()
	{
		std::string Template = (std::filesystem::temp_directory_path() / "AutomationToolXXXXXX").string();
		ASSERT_NE(mkdtemp(Template.data()), nullptr);
		TempDir = Template;
		ProjectDir = TempDir / "DemoGame";
		std::filesystem::copy(TRL_DEMO_GAME, ProjectDir, std::filesystem::copy_options::recursive);
		ProjectFile = ProjectDir / "DemoGame.uproject";
		SampleModDescriptor = ProjectDir / "Mods/SampleMod/SampleMod.uplugin";
	}

	void FAutomationToolTest::TearDown()
	{
		std::filesystem::remove_all(TempDir);
	}

	std::string FAutomationToolTest::ReleaseCommandLine(const std::string& Platform, const std::string& Version) const
	{
		return "BuildCookRun -project=\"" + ProjectFile.string() + "\" -noP4 -platform=" + Platform +
		       " -clientconfig=Shipping -build -cook -stage -pak -package " + "-createreleaseversion=\"" + Version + "\" -nocompileeditor -utf8output";
	}

	std::string FAutomationToolTest::DlcCommandLine(const std::filesystem::path& Descriptor, const std::string& Platform, const std::string& Version) const
	{
		return "BuildCookRun -project=\"" + ProjectFile.string() + "\" -noP4 -platform=" + Platform +
		       " -clientconfig=Shipping -cook -stage -pak -package -skipbuild -nocompileeditor -nocompile -utf8output -DLCName=\"" + Descriptor.string() +
		       "\" -basedonreleaseversion=\"" + Version + "\" -DLCPakPluginFile -DLCIncludeEngineContent=false";
	}

	void FAutomationToolTest::PrepareForCook(const std::string& ModName) const
	{
		const std::filesystem::path Descriptor = ProjectDir / "Mods" / ModName / (ModName + ".uplugin");
		std::string Text = ReadFile(Descriptor);
		const size_t Field = Text.find("\"ExplicitlyLoaded\": true");
		if (Field != std::string::npos)
		{
			Text.replace(Field, std::string("\"ExplicitlyLoaded\": true").size(), "\"ExplicitlyLoaded\": false");
			WriteFile(Descriptor, Text);
		}
		const std::filesystem::path Ini = ProjectDir / "Config/DefaultGame.ini";
		WriteFile(Ini, ReadFile(Ini) + "\r\n[/Script/UnrealEd.ProjectPackagingSettings]\r\n+DirectoriesToAlwaysCook=(Path=\"/" + ModName + "\")\r\n");
	}

	void FAutomationToolTest::RecordRelease() const
	{
		const FProgramRun Run = RunTool(ReleaseCommandLine());
		ASSERT_EQ(Run.ExitCode, 0) << Run.LastLine();
	}

	std::filesystem::path FAutomationToolTest::SampleModPak() const
	{
		return ProjectDir / "Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod/Content/Paks/Windows/SampleModWindows.pak";
	}
} // namespace AutomationToolTest
