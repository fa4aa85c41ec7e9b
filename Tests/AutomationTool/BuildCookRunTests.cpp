#include "AutomationToolTestHelpers.h"

using namespace AutomationToolTest;

namespace
{
	using FBuildCookRunTest = FAutomationToolTest;
} // namespace

TEST_F(FBuildCookRunTest, RefusesACommandLineItCannotRunWithItsReasonAndExitCode1)
{
	std::filesystem::create_directories(TempDir / "Folder.uproject");
	WriteFile(TempDir / "Broken.uproject", "{ \"FileVersion\": 3,");
	const std::string Project = "-project=\"" + ProjectFile.string() + "\"";
	const struct
	{
		std::string Arguments;
		std::string Reason;
	} Cases[] = {
	    {"", "No command was given. Usage: RunUAT.sh BuildCookRun -project=<file.uproject> -platform=<platform> [-Option=Value ...]"},
	    {"Cook " + Project, "Unknown command 'Cook': this simulated automation tool runs only BuildCookRun."},
	    {"BuildCookRun -platform=Win64 -createreleaseversion=1.0", "No project was given: pass -project=<path of the .uproject file>."},
	    {"BuildCookRun -project=\"" + (TempDir / "None.uproject").string() + "\" -platform=Win64",
	     "The project file '" + (TempDir / "None.uproject").string() + "' does not exist."},
	    {"BuildCookRun -project=\"" + (TempDir / "Folder.uproject").string() + "\" -platform=Win64",
	     "The project file cannot be used: '" + (TempDir / "Folder.uproject").string() + "' could not be read."},
	    {"BuildCookRun " + Project + " -createreleaseversion=1.0", "No platform was given: pass -platform=<platform>, for example -platform=Win64."},
	    {"BuildCookRun " + Project + " -platform -createreleaseversion=1.0", "No platform was given: pass -platform=<platform>, for example -platform=Win64."},
	    {"BuildCookRun " + Project + " -platform=../Win64 -createreleaseversion=1.0", "'../Win64' is not a platform name."},
	    {"BuildCookRun " + Project + " -platform=Win64",
	     "This simulated tool runs one of two jobs: record a release with -createreleaseversion=<version>, or cook a DLC with -DLCName=<descriptor> "
	     "-basedonreleaseversion=<version>."},
	    {"BuildCookRun " + Project + " -platform=Win64 -createreleaseversion=\"\"",
	     "-createreleaseversion needs a release version that can be a folder name, such as 1.0; it was ''."},
	    {"BuildCookRun " + Project + " -platform=Win64 -DLCName=SampleMod -basedonreleaseversion=1.0",
	     "-DLCName must be the path of the DLC's .uplugin descriptor; it was 'SampleMod'."},
	    {"BuildCookRun " + Project + " -platform=Win64 -DLCName=\"" + SampleModDescriptor.string() + "\"",
	     "-basedonreleaseversion needs a release version that can be a folder name, such as 1.0; it was ''."},
	};
	for (const auto& Case : Cases)
	{
		const FProgramRun Run = RunTool(Case.Arguments);
		EXPECT_EQ(Run.ExitCode, 1) << Case.Arguments;
		EXPECT_EQ(Run.LastLine(), "BUILD FAILED: " + Case.Reason) << Case.Arguments;
	}

	const FProgramRun Broken = RunTool("BuildCookRun -project=\"" + (TempDir / "Broken.uproject").string() + "\" -platform=Win64 -createreleaseversion=1.0");
	EXPECT_EQ(Broken.ExitCode, 1);
	EXPECT_EQ(Broken.LastLine().rfind(
	              "BUILD FAILED: The project file cannot be used: '" + (TempDir / "Broken.uproject").string() + "' does not hold a JSON object: ", 0),
	          0u)
	    << Broken.LastLine();
	EXPECT_FALSE(std::filesystem::exists(ProjectDir / "Releases"));
}

TEST_F(FBuildCookRunTest, ReadsSwitchNamesInAnyCaseAndValuesThatStillCarryTheirQuotes)
{
	const FProgramRun Run =
	    RunTool("buildcookrun '-PROJECT=\"" + ProjectFile.string() + "\"' -Platform=wIN32 -CreateReleaseVersion='\"2.0\"' -createreleaseversion=3.0");
	EXPECT_EQ(Run.ExitCode, 0) << Run.LastLine();
	EXPECT_EQ(Run.LastLine(), "BUILD SUCCESSFUL");
	EXPECT_TRUE(std::filesystem::exists(ProjectDir / "Releases/2.0/Windows/AssetRegistry.bin")) << "The first value given is the one used.";
	EXPECT_FALSE(std::filesystem::exists(ProjectDir / "Releases/3.0"));
}

TEST_F(FBuildCookRunTest, RecordsTheAssetsOfTheProjectsOwnContentInTheReleaseRegistry)
{
	WriteFile(ProjectDir / "Content/Props/Crate.uasset", "crate");
	WriteFile(ProjectDir / "Content/Maps/Arena.UMAP", "arena");
	WriteFile(ProjectDir / "Content/Props/Barrel.uasset", "barrel");
	WriteFile(ProjectDir / "Content/Props/Notes.txt", "not an asset");

	const FProgramRun Run = RunTool(ReleaseCommandLine("Linux", "1.2"));

	EXPECT_EQ(Run.ExitCode, 0);
	EXPECT_EQ(Run.LastLine(), "BUILD SUCCESSFUL");
	const std::filesystem::path Registry = ProjectDir / "Releases/1.2/Linux/AssetRegistry.bin";
	EXPECT_TRUE(Run.HasLine("Wrote the release registry " + Registry.string() + " (3 assets)."));
	// The mod's assets are not the game's.
	EXPECT_EQ(ReadFile(Registry), "TRLAssetRegistry 1\n/Game/Maps/Arena\n/Game/Props/Barrel\n/Game/Props/Crate\n");
}

TEST_F(FBuildCookRunTest, RecordsAnEmptyRegistryWhenContentIsEmptyOrMissing)
{
	RecordRelease();
	EXPECT_EQ(ReadFile(ProjectDir / "Releases/1.0/Windows/AssetRegistry.bin"), "TRLAssetRegistry 1\n");

	std::filesystem::remove_all(ProjectDir / "Content");
	const FProgramRun Run = RunTool(ReleaseCommandLine("win32", "2.0"));
	EXPECT_EQ(Run.ExitCode, 0);
	EXPECT_EQ(ReadFile(ProjectDir / "Releases/2.0/Windows/AssetRegistry.bin"), "TRLAssetRegistry 1\n");
}

TEST_F(FBuildCookRunTest, FailsWithExitCode2WhenTheReleaseCannotBeWritten)
{
	WriteFile(ProjectDir / "Releases", "a file where the releases folder must go");

	const FProgramRun Run = RunTool(ReleaseCommandLine());

	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.LastLine().rfind("BUILD FAILED: Could not create '" + (ProjectDir / "Releases/1.0/Windows").string() + "': ", 0), 0u) << Run.LastLine();
}
