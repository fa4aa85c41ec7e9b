// A temporary copy of the demo project, and the automation tool and trellic-pak run on it as programs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace AutomationToolTest
{
	/** How a program ended and what it printed (standard output and error together), line by line. */
	struct FProgramRun
	{
		/** The exit code; -1 when a signal ended the program. */
		int ExitCode = -1;
		std::vector<std::string> Lines;

		/** The last line printed, empty when there is none. */
		std::string LastLine() const { return Lines.empty() ? std::string() : Lines.back(); }
		bool HasLine(const std::string& Line) const;
	};

	/** Runs "<program> <Arguments>" through /bin/sh, which splits and unquotes the arguments. */
	FProgramRun RunProgram(const std::string& Program, const std::string& Arguments);

	std::string ReadFile(const std::filesystem::path& File);
	void WriteFile(const std::filesystem::path& File, const std::string& Text);

	class FAutomationToolTest : public testing::Test
	{
	protected:
		void SetUp() override;
		void TearDown() override;

		/** The automation tool run with Arguments. */
		static FProgramRun RunTool(const std::string& Arguments) { return RunProgram(TRL_AUTOMATION_TOOL, Arguments); }
		/** "trellic-pak list" of the pak. */
		static FProgramRun ListPak(const std::filesystem::path& Pak) { return RunProgram(TRL_PAK_TOOL, "list '" + Pak.string() + "'"); }

		/** The editor's release command line for these values. */
		std::string ReleaseCommandLine(const std::string& Platform = "Win64", const std::string& Version = "1.0") const;
		/** The editor's mod cook command line for a descriptor. */
		std::string DlcCommandLine(const std::filesystem::path& Descriptor, const std::string& Platform = "Win64", const std::string& Version = "1.0") const;

		/** What the editor changes for a cook: "ExplicitlyLoaded" off, and the mod's content root always cooked. */
		void PrepareForCook(const std::string& ModName = "SampleMod") const;

		/** Records release 1.0 for Win64 and expects it to succeed. */
		void RecordRelease() const;

		/** Where the sample mod's pak is staged for Win64. */
		std::filesystem::path SampleModPak() const;

		std::filesystem::path TempDir;
		/** TempDir/DemoGame, a copy of the demo project. */
		std::filesystem::path ProjectDir;
		std::filesystem::path ProjectFile;
		std::filesystem::path SampleModDescriptor;
	};
} // namespace AutomationToolTest
