// The mod pipeline commandlet through the host, as a build machine runs it: trellic-editor --project <copy>
// -run=TRLModPipeline ..., with its lines on standard output, its exit code, and the project's files afterwards.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace
{
	namespace fs = std::filesystem;

	const char* const Pipeline = "TRLModPipeline";
	const char* const SampleDescriptor = "Mods/SampleMod/SampleMod.uplugin";
	const char* const DefaultGameIni = "Config/DefaultGame.ini";
	const char* const SamplePak = "Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod/Content/Paks/Windows/SampleModWindows.pak";

	/** Standard output with the whole seconds of "in 12 s" or "after 12 s" as N: how long a job takes is the machine's. */
	std::string WithoutSeconds(const std::string& Text)
	{
		return std::regex_replace(Text, std::regex("(in|after) [0-9]+ s\\b"), "$1 N s");
	}

	/** Standard output without the upload's progress lines, whose number depends on how fast the machine copies. */
	std::string WithoutProgress(const std::string& Text)
	{
		return std::regex_replace(Text, std::regex("(\\[upload\\] progress [0-9]+%|\\{\"step\":\"upload\",\"state\":\"progress\"[^\n]*)\n"), "");
	}

	class HostPipeline : public ::testing::Test
	{
	protected:
		fs::path Project() const { return fs::path(Sandbox.GetProjectFolder()); }

		/** Records the base release through the commandlet, as a build machine does once per public build. */
		void RecordBaseRelease() const
		{
			const FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-BaseRelease"});
			ASSERT_EQ(Run.ExitCode, 0) << Run.StdErr;
			ASSERT_TRUE(fs::exists(Project() / "Releases/1.0/Windows/AssetRegistry.bin"));
		}

		void ExpectSampleFilesAsInTheDemo() const
		{
			EXPECT_EQ(ReadFile(Project() / SampleDescriptor), ReadFile(fs::path(TRL_DEMO_PROJECT_DIR) / SampleDescriptor));
			EXPECT_EQ(ReadFile(Project() / DefaultGameIni), ReadFile(fs::path(TRL_DEMO_PROJECT_DIR) / DefaultGameIni));
			EXPECT_FALSE(fs::exists(Project() / "Saved/Trellic"));
		}

		FHostSandbox Sandbox;
	};
} // namespace

TEST_F(HostPipeline, RecordsABaseReleaseAndPackagesTheSampleModInOneRunWithAJsonLinePerStep)
{
	const FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-BaseRelease", "-Package", "-Json"});

	EXPECT_EQ(Run.ExitCode, 0) << Run.StdErr;
	EXPECT_EQ(WithoutSeconds(Run.RawOutput), "{\"step\":\"base-release\",\"state\":\"started\"}\n"
	                                         "{\"step\":\"base-release\",\"state\":\"succeeded\",\"message\":\"Packaging finished in N s.\"}\n"
	                                         "{\"step\":\"package\",\"state\":\"started\"}\n"
	                                         "{\"step\":\"package\",\"state\":\"succeeded\",\"message\":\"Packaging finished in N s.\"}\n");
	EXPECT_TRUE(fs::exists(Project() / SamplePak));
	ExpectSampleFilesAsInTheDemo();
	// Without a notification the UAT helper would never have run the tool: the log shows the path taken instead.
	EXPECT_NE(Run.StdErr.find("as a child process: a commandlet has no notifications for the editor's UAT helper."), std::string::npos);
	EXPECT_NE(Run.StdErr.find("LogTrellic: UAT: BUILD SUCCESSFUL"), std::string::npos);
	// A run that succeeds says nothing is wrong: UAT's lines come from the process reader's thread, and nothing on the
	// way asked for an editor style, which a commandlet does not have.
	EXPECT_EQ(Run.StdErr.find(": Error: "), std::string::npos) << Run.StdErr;
}

TEST_F(HostPipeline, CreatesAModByNameWithItsAuthorAndDescriptionAndSaysWhere)
{
	const FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=Fresh", "-Create", "-Author=Ann Lee", "-Description=A fresh \"mod\"", "-Json"});

	EXPECT_EQ(Run.ExitCode, 0) << Run.StdErr;
	const std::string Descriptor = (Project() / "Mods/Fresh/Fresh.uplugin").string();
	EXPECT_EQ(Run.RawOutput, "{\"step\":\"create\",\"state\":\"started\"}\n"
	                         "{\"step\":\"create\",\"state\":\"succeeded\",\"message\":\"" +
	                             Descriptor + "\"}\n");
	const std::string Text = ReadFile(Descriptor);
	EXPECT_NE(Text.find("\t\"CreatedBy\": \"Ann Lee\",\r\n"), std::string::npos) << Text;
	EXPECT_NE(Text.find("\t\"Description\": \"A fresh \\\"mod\\\"\",\r\n"), std::string::npos) << Text;
	EXPECT_TRUE(fs::is_directory(Project() / "Mods/Fresh/Content"));
}

TEST_F(HostPipeline, AFailedStepSaysWhyInPlainLinesAndEndsTheRunWithOne)
{
	// A file where the new mod's folder must go: the name passes, the creation cannot.
	Sandbox.RunCommandlet(Pipeline, {"-help"});
	std::ofstream(Project() / "Mods/Blocked") << "in the way";
	FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=Blocked", "-Create", "-Package"});
	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	EXPECT_EQ(Run.RawOutput, "[create] started\n[create] failed: Could not create '" + (Project() / "Mods/Blocked/Content").string() + "'.\n");

	// No base release yet: the packager refuses before any UAT runs, in its own words.
	Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package"});
	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	EXPECT_EQ(Run.RawOutput, "[package] started\n[package] failed: No base game release named '1.0' was found in " +
	                             (Project() / "Releases/1.0/Windows").string() + ". Run Tools > Trellic > Create Base Game Release first.\n");
	EXPECT_EQ(Run.StdErr.find("Starting UAT"), std::string::npos);

	// The tool killed part-way through recording the release.
	Run = Sandbox.RunCommandlet(Pipeline, {"-BaseRelease", "--uat-next=crash"});
	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	EXPECT_EQ(WithoutSeconds(Run.RawOutput), "[base-release] started\n[base-release] failed: Packaging failed after N s (Failed (UAT was killed before it "
	                                         "could exit)). See the UAT log for the reason.\n");
	EXPECT_FALSE(fs::exists(Project() / "Releases/1.0/Windows/AssetRegistry.bin"));
}

TEST_F(HostPipeline, APackagingFailureStopsTheRunBeforeTheUploadAndLeavesTheFilesAsTheyWere)
{
	RecordBaseRelease();

	const FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package", "-Upload", "-Json", "--uat-next=exit:3"});

	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	EXPECT_EQ(
	    WithoutSeconds(Run.RawOutput),
	    "{\"step\":\"package\",\"state\":\"started\"}\n"
	    "{\"step\":\"package\",\"state\":\"failed\",\"message\":\"Packaging failed after N s (Failed (exit code 3)). See the UAT log for the reason.\"}\n");
	EXPECT_FALSE(fs::exists(Project() / SamplePak));
	// The upload never ran: no record, no item.
	EXPECT_FALSE(fs::exists(Project() / "Mods/SampleMod/workshop.json"));
	EXPECT_FALSE(fs::exists(Project() / "Saved/OfflineWorkshop"));
	EXPECT_EQ(Run.StdErr.find("Uploading mod"), std::string::npos);
	ExpectSampleFilesAsInTheDemo();
}

TEST_F(HostPipeline, RefusesBadSwitchesAndUnknownModsWithTwoBeforeAnyStepStarts)
{
	Sandbox.RunCommandlet(Pipeline, {"-help"});
	const struct
	{
		std::vector<std::string> Arguments;
		std::string Error;
	} Cases[] = {
	    {{"-Mod=SampleMod", "-Pakage"}, "LogTrellic: Error: Unknown switch '-Pakage'. Run with -help to see the switches.\n"},
	    {{"-Package"}, "LogTrellic: Error: No mod given: name it with -Mod=<name>, or give its descriptor with -Mod=<path of the .uplugin>.\n"},
	    {{"-Mod=SampleMod", "-Mod=" + (Project() / SampleDescriptor).string(), "-Package"},
	     "LogTrellic: Error: -Mod is given twice. Give it once: the pipeline works on one mod at a time.\n"},
	    {{"-Mod=Missing", "-Package"},
	     "LogTrellic: Error: There is no mod 'Missing' in " + (Project() / "Mods").string() + ". Name an existing mod, or add -Create to make it.\n"},
	    {{"-Mod=SampleMod", "-Create"}, "LogTrellic: Error: Cannot create the mod 'SampleMod': A mod called 'SampleMod' already exists.\n"},
	    {{"-Mod=samplemod", "-Create"},
	     "LogTrellic: Error: Cannot create the mod 'samplemod': A mod called 'samplemod' already exists as 'SampleMod'. Names differ only in capitals "
	     "there, so choose another name.\n"},
	    {{"-Mod=Temp", "-Create", "-Package"},
	     "LogTrellic: Error: Cannot create the mod 'Temp': The engine keeps the content root /Temp/ for itself, so a mod called 'Temp' could never "
	     "be opened for editing or cooked on its own. Choose another name.\n"},
	};
	for (const auto& Case : Cases)
	{
		const FHostRun Run = Sandbox.RunCommandlet(Pipeline, Case.Arguments);
		EXPECT_EQ(Run.ExitCode, 2) << Case.Error;
		EXPECT_EQ(Run.RawOutput, "") << Case.Error;
		EXPECT_NE(Run.StdErr.find(Case.Error), std::string::npos) << Run.StdErr;
	}
	EXPECT_FALSE(fs::exists(Project() / "Releases"));
	EXPECT_EQ(std::distance(fs::directory_iterator(Project() / "Mods"), fs::directory_iterator()), 1);

	// With -Json, wherever it stands, a build step that reads standard output learns why nothing ran.
	FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Pakage", "-Json"});
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.RawOutput, "{\"step\":null,\"state\":\"refused\",\"message\":\"Unknown switch '-Pakage'. Run with -help to see the switches.\"}\n");
	Run = Sandbox.RunCommandlet(Pipeline, {"-json", "-Mod=Missing", "-Package"});
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.RawOutput, "{\"step\":null,\"state\":\"refused\",\"message\":\"There is no mod 'Missing' in " + (Project() / "Mods").string() +
	                             ". Name an existing mod, or add -Create to make it.\"}\n");

	const FHostRun Unknown = Sandbox.RunCommandlet("NoSuchThing", {});
	EXPECT_EQ(Unknown.ExitCode, 2);
	EXPECT_NE(Unknown.StdErr.find("-run=NoSuchThing: there is no commandlet class UNoSuchThingCommandlet."), std::string::npos) << Unknown.StdErr;
}

TEST_F(HostPipeline, ARunWithoutAProjectIsRefusedAndLeavesNoCopyOfTheDemoBehind)
{
	const auto CountCopies = []() {
		std::error_code Ignored;
		return std::distance(fs::directory_iterator(TRL_HOST_PROJECTS_DIR, Ignored), fs::directory_iterator());
	};
	const auto Before = CountCopies();

	const FHostRun Run = Sandbox.RunProgram({"-run=" + std::string(Pipeline), "-Mod=SampleMod", "-Package"});

	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.RawOutput, "");
	EXPECT_EQ(Run.StdErr, "trellic-editor: -run=TRLModPipeline needs a project: give --project <file.uproject>, or --copy-to <new folder> to run it on a "
	                      "fresh copy of the demo project there.\n");
	EXPECT_EQ(CountCopies(), Before);
}

TEST_F(HostPipeline, CtrlCEndsTheCurrentStepWithAFailedLineAndLeavesNothingHalfDone)
{
	RecordBaseRelease();
	// An engine whose automation tool runs until it is stopped.
	const fs::path Engine = fs::path(Sandbox.GetRoot()) / "SlowEngine";
	fs::create_directories(Engine / "Build/BatchFiles");
	std::ofstream(Engine / "Build/BatchFiles/RunUAT.sh") << "#!/bin/sh\necho 'A tool that takes its time'\nexec sleep 60\n";
	fs::permissions(Engine / "Build/BatchFiles/RunUAT.sh", fs::perms::owner_all);

	FHostProcess Cook(Sandbox, {"-run=" + std::string(Pipeline), "-Mod=SampleMod", "-Package", "-Upload", "--engine-dir", Engine.string()});
	ASSERT_TRUE(Cook.WaitForOutput("[package] started\n"));
	for (int32 Wait = 0; Wait < 500 && !fs::exists(Project() / "Saved/Trellic/PendingCook.json"); ++Wait)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	Cook.Interrupt();
	EXPECT_EQ(Cook.Wait(), 1);
	EXPECT_EQ(WithoutSeconds(Cook.GetRun().RawOutput), "[package] started\n[package] failed: The run was asked to stop, so UAT was stopped after N s. Run the "
	                                                   "step again.\n");
	ExpectSampleFilesAsInTheDemo();
	EXPECT_FALSE(fs::exists(Project() / SamplePak));

	// The upload is cut short while the offline Workshop copies the mod's files.
	ASSERT_EQ(Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package"}).ExitCode, 0);
	FHostProcess Upload(Sandbox, {"-run=" + std::string(Pipeline), "-Mod=SampleMod", "-Upload", "-Json", "--workshop-bandwidth=200"});
	ASSERT_TRUE(Upload.WaitForOutput("\"state\":\"progress\""));
	Upload.Interrupt();
	EXPECT_EQ(Upload.Wait(), 1);
	ASSERT_TRUE(Upload.GetRun().Lines.Last().IsValid()) << Upload.GetRun().RawOutput;
	EXPECT_EQ(Upload.GetRun().Lines.Last()->GetStringField(TEXT("state")), TEXT("failed"));
	EXPECT_EQ(Upload.GetRun().Lines.Last()->GetStringField(TEXT("message")),
	          TEXT("The run was asked to stop before Steam answered, so the upload may not have finished. Run the upload again."));
	std::error_code Ignored;
	for (fs::recursive_directory_iterator It(Project() / "Saved/OfflineWorkshop", Ignored), End; It != End; It.increment(Ignored))
	{
		EXPECT_EQ(It->path().string().find(".incoming"), std::string::npos) << "a half-written upload: " << It->path();
	}
}

TEST_F(HostPipeline, HelpPrintsTheUsageOnStandardOutputAndSucceeds)
{
	const FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-help"});
	EXPECT_EQ(Run.ExitCode, 0);
	EXPECT_EQ(Run.RawOutput.rfind("Usage: <Project>.uproject -run=TRLModPipeline -Mod=<name or descriptor path>\n", 0), 0u) << Run.RawOutput;
}

TEST_F(HostPipeline, UploadsThePackagedModAsANewItemThenUpdatesItWithTheChangeNote)
{
	RecordBaseRelease();
	FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package", "-Upload", "-Json"});
	EXPECT_EQ(Run.ExitCode, 0) << Run.StdErr;
	FString ItemId;
	ASSERT_TRUE(Run.Lines.Num() > 0 && Run.Lines.Last().IsValid() && Run.Lines.Last()->TryGetStringField(TEXT("item_id"), ItemId)) << Run.RawOutput;
	EXPECT_EQ(WithoutProgress(WithoutSeconds(Run.RawOutput)),
	          "{\"step\":\"package\",\"state\":\"started\"}\n"
	          "{\"step\":\"package\",\"state\":\"succeeded\",\"message\":\"Packaging finished in N s.\"}\n"
	          "{\"step\":\"upload\",\"state\":\"started\",\"build_state\":\"Current\",\"build_reasons\":[]}\n"
	          "{\"step\":\"upload\",\"state\":\"succeeded\",\"message\":\"SampleMod is on the Steam Workshop (item " +
	              ItemId.ToUtf8() + ").\",\"item_id\":\"" + ItemId.ToUtf8() + "\"}\n");
	EXPECT_NE(ReadFile(Project() / "Mods/SampleMod/workshop.json").find("\t\"ItemId\": \"" + ItemId.ToUtf8() + "\",\r\n"), std::string::npos);
	const fs::path Item = Project() / "Saved/OfflineWorkshop" / ItemId.ToUtf8();
	EXPECT_TRUE(fs::exists(Item / "content/SampleMod.uplugin"));

	// The second run finds the record and updates the same item, with the note given in quotes.
	Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=" + std::string(SampleDescriptor), "-Upload", "-ChangeNote=Fixed the bridge"});
	EXPECT_EQ(Run.ExitCode, 0) << Run.StdErr;
	EXPECT_EQ(WithoutProgress(Run.RawOutput), "[upload] started\n[upload] succeeded: SampleMod is on the Steam Workshop (item " + ItemId.ToUtf8() + ").\n");
	EXPECT_NE(ReadFile(Item / "item.txt").find("Fixed the bridge"), std::string::npos) << ReadFile(Item / "item.txt");
}

TEST_F(HostPipeline, WritesTheUploadsProgressAsItRisesThenItsEnd)
{
	RecordBaseRelease();
	ASSERT_EQ(Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package"}).ExitCode, 0);

	// Slow enough for the offline Workshop's copy of the small sample to take a few half-second frames.
	const FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Upload", "-Json", "--workshop-bandwidth=400"});

	EXPECT_EQ(Run.ExitCode, 0) << Run.StdErr;
	ASSERT_GE(Run.Lines.Num(), 4) << Run.RawOutput;
	double Last = 0.0;
	for (int32 Index = 1; Index + 1 < Run.Lines.Num(); ++Index)
	{
		const TSharedPtr<FJsonObject>& Line = Run.Lines[Index];
		ASSERT_TRUE(Line.IsValid()) << Run.RawOutput;
		EXPECT_EQ(Line->GetStringField(TEXT("state")), TEXT("progress"));
		const double Percent = Line->GetNumberField(TEXT("percent"));
		EXPECT_GT(Percent, Last) << Run.RawOutput;
		EXPECT_LE(Percent, 100.0);
		Last = Percent;
	}
	EXPECT_GT(Last, 0.0) << "at least one progress line: " << Run.RawOutput;
	EXPECT_EQ(Run.Lines.Last()->GetStringField(TEXT("state")), TEXT("succeeded"));
}

TEST_F(HostPipeline, AFailedUploadSaysWhyInTheUploadsOwnWords)
{
	RecordBaseRelease();
	// Never packaged: the upload refuses before anything goes to Steam.
	FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Upload"});
	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	EXPECT_EQ(Run.RawOutput, "[upload] started\n[upload] failed: 'SampleMod' has not been packaged yet, so there is nothing to upload. Run Tools > "
	                         "Trellic > Package Mod first.\n");

	// Steam says no after the item was made: the id still comes back, and is recorded for the next run.
	ASSERT_EQ(Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package"}).ExitCode, 0);
	Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Upload", "-Json", "--workshop-next=fail-after-create:k_EResultAccessDenied"});
	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	ASSERT_GE(Run.Lines.Num(), 2) << Run.RawOutput;
	const TSharedPtr<FJsonObject> End = Run.Lines.Last();
	ASSERT_TRUE(End.IsValid()) << Run.RawOutput;
	EXPECT_EQ(End->GetStringField(TEXT("state")), TEXT("failed"));
	const FString ItemId = End->GetStringField(TEXT("item_id"));
	EXPECT_FALSE(ItemId.IsEmpty());
	EXPECT_TRUE(End->GetStringField(TEXT("message"))
	                .Equals(FString::Printf(TEXT("Steam denied the upload to Workshop item %s (Steam result 15, access denied): the account does not own "
	                                             "a licence for the game, or did not create the item. Log in with the account that owns the game and "
	                                             "created the item, then try again."),
	                                        *ItemId),
	                        ESearchCase::CaseSensitive))
	    << End->GetStringField(TEXT("message")).ToUtf8();
	EXPECT_NE(ReadFile(Project() / "Mods/SampleMod/workshop.json").find(ItemId.ToUtf8()), std::string::npos);
}

TEST_F(HostPipeline, AStaleBuildIsUploadedOnlyWhenAskedForAndABrokenOneFailsThePackageStep)
{
	RecordBaseRelease();
	ASSERT_EQ(Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package"}).ExitCode, 0);
	std::ofstream(Project() / "Mods/SampleMod/Content/Bridge.uasset", std::ios::binary) << "a new asset";
	const std::string Reason = "Its content changed since it was packaged: Content/Bridge.uasset (added).";

	// Refused before any step: the build machine would otherwise ship what it did not build.
	FHostRun Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Upload"});
	EXPECT_EQ(Run.ExitCode, 2);
	EXPECT_EQ(Run.RawOutput, "");
	EXPECT_NE(Run.StdErr.find("LogTrellic: Error: 'SampleMod' has a stale build. " + Reason +
	                          " Add -Package to package it again before the upload, or -AllowStale to upload it as it is."),
	          std::string::npos)
	    << Run.StdErr;

	Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Upload", "-AllowStale", "-Json"});
	EXPECT_EQ(Run.ExitCode, 0) << Run.StdErr;
	ASSERT_GE(Run.Lines.Num(), 2) << Run.RawOutput;
	EXPECT_EQ(Run.RawOutput.substr(0, Run.RawOutput.find('\n')),
	          "{\"step\":\"upload\",\"state\":\"started\",\"build_state\":\"Stale\",\"build_reasons\":[\"" + Reason + "\"]}");
	EXPECT_EQ(Run.Lines.Last()->GetStringField(TEXT("state")), TEXT("succeeded"));

	// A cook that completes with a broken staging fails its step with the check's reason, and stops the run.
	Run = Sandbox.RunCommandlet(Pipeline, {"-Mod=SampleMod", "-Package", "-Upload", "--uat-next=stage:empty-pak"});
	EXPECT_EQ(Run.ExitCode, 1) << Run.StdErr;
	EXPECT_EQ(Run.RawOutput, "[package] started\n[package] failed: The pak '" + (Project() / SamplePak).string() +
	                             "' is empty. Likely cause: the cook of 'SampleMod' staged nothing into it, as when the mod's assets were never saved. Save "
	                             "every asset of the mod, then package it again; the UAT log shows what the cook did.\n");
}
