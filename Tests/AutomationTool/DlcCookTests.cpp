#include "AutomationToolTestHelpers.h"

#include "IUATHelperModule.h"

#include "Containers/Ticker.h"

#include <algorithm>
#include <chrono>
#include <thread>

using namespace AutomationToolTest;

namespace
{
	using FDlcCookTest = FAutomationToolTest;

	const std::string SampleAssetEntry = "SampleMod/Content/SampleAsset.uasset\t74";

	std::string DescriptorEntry(const std::filesystem::path& Descriptor)
	{
		return "SampleMod/SampleMod.uplugin\t" + std::to_string(std::filesystem::file_size(Descriptor));
	}

	// Runs the command line as the editor does: through the UAT helper, which splits it and runs RunUAT.sh.
	std::string RunThroughUatHelper(const std::string& CommandLine)
	{
		std::string Result;
		const FText Name = FText::FromString(TEXT("Job"));
		IUATHelperModule::Get().CreateUatTask(FString::FromUtf8(CommandLine), FText::FromString(TEXT("Win64")), Name, Name, nullptr, nullptr,
		                                      [&Result](FString InResult, double) {
			                                      Result = InResult.ToUtf8();
		                                      });
		const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
		while (Result.empty() && std::chrono::steady_clock::now() < Deadline)
		{
			FTSTicker::GetCoreTicker().Tick(0.01f);
			std::this_thread::sleep_for(std::chrono::milliseconds(2));
		}
		return Result;
	}

	bool PrintsAWarning(const FProgramRun& Run)
	{
		return std::any_of(Run.Lines.begin(), Run.Lines.end(), [](const std::string& Line) {
			return Line.rfind("WARNING", 0) == 0;
		});
	}

	std::vector<std::filesystem::path> FilesUnder(const std::filesystem::path& Folder)
	{
		std::vector<std::filesystem::path> Files;
		for (const std::filesystem::directory_entry& Entry : std::filesystem::recursive_directory_iterator(Folder))
		{
			if (Entry.is_regular_file())
			{
				Files.push_back(Entry.path());
			}
		}
		return Files;
	}
} // namespace

TEST_F(FDlcCookTest, TheEditorsCommandLinesRecordAReleaseAndStageTheSampleModAsAPak)
{
	EXPECT_EQ(RunThroughUatHelper(ReleaseCommandLine()), "Completed");
	ASSERT_TRUE(std::filesystem::exists(ProjectDir / "Releases/1.0/Windows/AssetRegistry.bin"));

	PrepareForCook();
	EXPECT_EQ(RunThroughUatHelper(DlcCommandLine(SampleModDescriptor)), "Completed");

	// The staging folder holds the archive alone.
	const std::filesystem::path StagingFolder = ProjectDir / "Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod";
	EXPECT_EQ(FilesUnder(StagingFolder), std::vector<std::filesystem::path>{SampleModPak()});
	const FProgramRun List = ListPak(SampleModPak());
	EXPECT_EQ(List.ExitCode, 0);
	EXPECT_EQ(List.Lines, (std::vector<std::string>{SampleAssetEntry, DescriptorEntry(SampleModDescriptor)}));
}

// As the engine's cooker: the pak holds no asset, and nothing says so; the plug-in's check after the cook does.
TEST_F(FDlcCookTest, CooksNoAssetsAndSaysNothingWhenTheDescriptorIsExplicitlyLoaded)
{
	RecordRelease();
	PrepareForCook();
	WriteFile(SampleModDescriptor, "{ \"FriendlyName\": \"SampleMod\", \"ExplicitlyLoaded\": true }");

	const FProgramRun Run = RunTool(DlcCommandLine(SampleModDescriptor));

	EXPECT_EQ(Run.ExitCode, 0);
	EXPECT_FALSE(PrintsAWarning(Run));
	EXPECT_EQ(ListPak(SampleModPak()).Lines, std::vector<std::string>{DescriptorEntry(SampleModDescriptor)});
}

TEST_F(FDlcCookTest, CooksNoAssetsAndSaysNothingWhenDefaultGameIniDoesNotAlwaysCookTheMod)
{
	RecordRelease();
	PrepareForCook();
	const std::filesystem::path Ini = ProjectDir / "Config/DefaultGame.ini";
	const std::string Section = "[/Script/UnrealEd.ProjectPackagingSettings]\r\n";
	const struct
	{
		const char* What;
		std::string Text;
	} Cases[] = {
	    {"no DefaultGame.ini", ""},
	    {"the section without the line", Section + "+DirectoriesToAlwaysCook=(Path=\"/OtherMod\")\r\n"},
	    {"the line in another section", "[/Script/Trellic.TRLSettings]\r\n+DirectoriesToAlwaysCook=(Path=\"/SampleMod\")\r\n" + Section},
	    {"the line removed again", Section + "-DirectoriesToAlwaysCook=(Path=\"/SampleMod\")\r\n"},
	};
	for (const auto& Case : Cases)
	{
		std::filesystem::remove(Ini);
		if (!Case.Text.empty())
		{
			WriteFile(Ini, Case.Text);
		}
		const FProgramRun Run = RunTool(DlcCommandLine(SampleModDescriptor));
		EXPECT_EQ(Run.ExitCode, 0) << Case.What;
		EXPECT_FALSE(PrintsAWarning(Run)) << Case.What;
		EXPECT_EQ(ListPak(SampleModPak()).Lines, std::vector<std::string>{DescriptorEntry(SampleModDescriptor)}) << Case.What;
	}
}

TEST_F(FDlcCookTest, FindsTheAlwaysCookLineInAnyCaseAndInAUtf16File)
{
	RecordRelease();
	PrepareForCook();
	const std::filesystem::path Ini = ProjectDir / "Config/DefaultGame.ini";

	WriteFile(Ini, "[/script/unrealed.projectpackagingsettings]\n  +directoriestoalwayscook=(path=\"/samplemod\")  \n");
	RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(ListPak(SampleModPak()).Lines.size(), 2u);

	// The editor saves a file with any non-ASCII character as UTF-16 with a byte-order mark.
	const std::string Text = "; Caf\xC3\xA9\r\n[/Script/UnrealEd.ProjectPackagingSettings]\r\n+DirectoriesToAlwaysCook=(Path=\"/SampleMod\")\r\n";
	std::string Utf16 = "\xFF\xFE";
	for (size_t Index = 0; Index < Text.size(); ++Index)
	{
		const bool bTwoByteE9 = Text[Index] == '\xC3';
		Utf16 += bTwoByteE9 ? '\xE9' : Text[Index];
		Utf16 += '\0';
		Index += bTwoByteE9 ? 1 : 0;
	}
	WriteFile(Ini, Utf16);
	RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(ListPak(SampleModPak()).Lines.size(), 2u);
}

TEST_F(FDlcCookTest, LeavesOutTheAssetsTheReleaseAlreadyHas)
{
	PrepareForCook();
	WriteFile(ProjectDir / "Mods/SampleMod/Content/Maps/Level.umap", "level");
	// Package names are compared as the engine compares names, without regard to case.
	WriteFile(ProjectDir / "Releases/1.0/Windows/AssetRegistry.bin", "TRLAssetRegistry 1\n/Game/Props/Crate\n/samplemod/sampleasset\n");

	const FProgramRun Run = RunTool(DlcCommandLine(SampleModDescriptor));

	EXPECT_EQ(Run.ExitCode, 0);
	EXPECT_TRUE(Run.HasLine("Release 1.0 lists 2 assets."));
	EXPECT_TRUE(Run.HasLine("Skipped /SampleMod/SampleAsset: release 1.0 already has it."));
	EXPECT_TRUE(Run.HasLine("Cooked /SampleMod/Maps/Level"));
	EXPECT_EQ(ListPak(SampleModPak()).Lines, (std::vector<std::string>{"SampleMod/Content/Maps/Level.umap\t5", DescriptorEntry(SampleModDescriptor)}));
}

TEST_F(FDlcCookTest, PacksTheDescriptorOnlyWithDLCPakPluginFile)
{
	RecordRelease();
	PrepareForCook();
	std::string CommandLine = DlcCommandLine(SampleModDescriptor);
	CommandLine.erase(CommandLine.find(" -DLCPakPluginFile"), std::string(" -DLCPakPluginFile").size());

	EXPECT_EQ(RunTool(CommandLine).ExitCode, 0);
	EXPECT_EQ(ListPak(SampleModPak()).Lines, std::vector<std::string>{SampleAssetEntry});
}

TEST_F(FDlcCookTest, FailsWithoutTheRegistryOfTheReleaseForThatPlatform)
{
	PrepareForCook();
	// A registry under another platform folder is not the one the cooker reads.
	WriteFile(ProjectDir / "Releases/1.0/Win64/AssetRegistry.bin", "TRLAssetRegistry 1\n");

	FProgramRun Run = RunTool(DlcCommandLine(SampleModDescriptor));

	const std::filesystem::path Registry = ProjectDir / "Releases/1.0/Windows/AssetRegistry.bin";
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.LastLine(),
	          "BUILD FAILED: The release 1.0 has no asset registry at '" + Registry.string() + "'. Record the release first (-createreleaseversion=1.0).");
	EXPECT_FALSE(std::filesystem::exists(ProjectDir / "Mods/SampleMod/Saved"));

	WriteFile(Registry, "not a registry\n");
	Run = RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.LastLine(),
	          "BUILD FAILED: '" + Registry.string() + "' is not a release registry of this simulated tool (it does not start with \"TRLAssetRegistry 1\").");
	EXPECT_FALSE(std::filesystem::exists(ProjectDir / "Mods/SampleMod/Saved"));
}

TEST_F(FDlcCookTest, FailsForADescriptorThatIsMissingOrNotJson)
{
	RecordRelease();
	const std::filesystem::path Missing = ProjectDir / "Mods/NoMod/NoMod.uplugin";
	FProgramRun Run = RunTool(DlcCommandLine(Missing));
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.LastLine(), "BUILD FAILED: The DLC descriptor '" + Missing.string() + "' does not exist.");

	WriteFile(SampleModDescriptor, "[]");
	Run = RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.LastLine().rfind("BUILD FAILED: The DLC descriptor cannot be used: '" + SampleModDescriptor.string() + "' does not hold a JSON object", 0),
	          0u)
	    << Run.LastLine();
}

TEST_F(FDlcCookTest, FindsThePluginOnlyWhereTheEngineDiscoversPlugins)
{
	RecordRelease();
	PrepareForCook();
	const std::string NotFound = "BUILD FAILED: The plug-in SampleMod (" + SampleModDescriptor.string() +
	                             ") was not found among the project's plug-ins: list its folder in \"AdditionalPluginDirectories\" in DemoGame.uproject, or "
	                             "move it under the project's Plugins folder.";

	WriteFile(ProjectFile, "{ \"FileVersion\": 3, \"AdditionalPluginDirectories\": [ \"Other\" ] }");
	FProgramRun Run = RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.LastLine(), NotFound);
	EXPECT_FALSE(std::filesystem::exists(SampleModPak()));

	// A descriptor inside another plug-in's folder is not discovered.
	WriteFile(ProjectFile, "{ \"AdditionalPluginDirectories\": [ \"Mods\" ] }");
	WriteFile(ProjectDir / "Mods/Outer.uplugin", "{}");
	Run = RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(Run.LastLine(), NotFound);
	std::filesystem::remove(ProjectDir / "Mods/Outer.uplugin");

	// At any depth below a listed folder, and through an absolute path.
	WriteFile(ProjectFile, "{ \"AdditionalPluginDirectories\": [ \"" + TempDir.string() + "/\" ] }");
	Run = RunTool(DlcCommandLine(SampleModDescriptor));
	EXPECT_EQ(Run.LastLine(), "BUILD SUCCESSFUL");

	// The project's own Plugins folder needs no listing.
	WriteFile(ProjectFile, "{}");
	std::filesystem::create_directories(ProjectDir / "Plugins/Deep");
	std::filesystem::rename(ProjectDir / "Mods/SampleMod", ProjectDir / "Plugins/Deep/SampleMod");
	Run = RunTool(DlcCommandLine(ProjectDir / "Plugins/Deep/SampleMod/SampleMod.uplugin"));
	EXPECT_EQ(Run.LastLine(), "BUILD SUCCESSFUL");
	EXPECT_TRUE(std::filesystem::exists(
	    ProjectDir / "Plugins/Deep/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Plugins/Deep/SampleMod/Content/Paks/Windows/SampleModWindows.pak"));
}

TEST_F(FDlcCookTest, StagesAModOutsideTheProjectUnderItsPathRelativeToTheProject)
{
	ASSERT_EQ(RunTool(ReleaseCommandLine("PS5")).ExitCode, 0);
	PrepareForCook();
	const std::filesystem::path ModFolder = TempDir / "Shared/Mods/SampleMod";
	std::filesystem::create_directories(ModFolder.parent_path());
	std::filesystem::rename(ProjectDir / "Mods/SampleMod", ModFolder);
	WriteFile(ProjectFile, "{ \"AdditionalPluginDirectories\": [ \"../Shared/Mods\" ] }");

	const FProgramRun Run = RunTool(DlcCommandLine(ModFolder / "SampleMod.uplugin", "PS5"));

	EXPECT_EQ(Run.LastLine(), "BUILD SUCCESSFUL");
	// <mod>/Saved/StagedBuilds/PS5/DemoGame/../Shared/Mods/SampleMod, resolved as the editor resolves it.
	EXPECT_TRUE(std::filesystem::exists(ModFolder / "Saved/StagedBuilds/PS5/Shared/Mods/SampleMod/Content/Paks/PS5/SampleModPS5.pak"));
}

TEST_F(FDlcCookTest, TrellicPakRefusesAFileThatIsNotACompletePak)
{
	RecordRelease();
	PrepareForCook();
	ASSERT_EQ(RunTool(DlcCommandLine(SampleModDescriptor)).ExitCode, 0);
	const std::string Pak = ReadFile(SampleModPak());
	const std::filesystem::path Damaged = TempDir / "Damaged.pak";
	const struct
	{
		std::string Bytes;
		std::string Error;
	} Cases[] = {
	    {"PK\x03\x04", "is not a pak of this simulated tool (it does not start with \"TRLPAK01\")."},
	    {Pak.substr(0, Pak.size() - 1), "is damaged: the data of 'SampleMod/SampleMod.uplugin' is cut short."},
	    {Pak.substr(0, 14), "is damaged: entry 1 has no valid path."},
	    {Pak + "x", "is damaged: it holds bytes after its last entry."},
	};
	for (const auto& Case : Cases)
	{
		WriteFile(Damaged, Case.Bytes);
		const FProgramRun Run = ListPak(Damaged);
		EXPECT_EQ(Run.ExitCode, 1);
		EXPECT_EQ(Run.Lines, std::vector<std::string>{"trellic-pak: '" + Damaged.string() + "' " + Case.Error});
	}
	EXPECT_EQ(RunProgram(TRL_PAK_TOOL, "show '" + SampleModPak().string() + "'").ExitCode, 2);
}
