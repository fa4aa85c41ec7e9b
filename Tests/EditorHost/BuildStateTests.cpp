// A build you can trust, through the host on a fresh copy of the demo project: the sample mod packaged by the simulated
// cook, then changed, cooked wrongly on purpose or cut short, and what the mods listing and an upload say about it.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace
{
	namespace fs = std::filesystem;

	const std::string RecordRelease = R"({"cmd":"call","class":"TRLModPackager","function":"CreateBaseGameRelease","args":{}})";
	const std::string WaitForTheJob = R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})";
	const std::string WaitForUpload = R"({"cmd":"wait","class":"TRLWorkshopUpload","function":"IsUploadInProgress","equals":false,"timeout":60})";
	const std::string ListMods = R"({"cmd":"mods"})";
	const std::string Items = R"({"cmd":"workshop","items":true})";
	const std::string Quit = R"({"cmd":"quit"})";

	void WriteFile(const fs::path& Path, const std::string& Text)
	{
		fs::create_directories(Path.parent_path());
		std::ofstream(Path, std::ios::binary) << Text;
	}

	/** The demo project's sample mod in a sandbox of its own, and the requests and places that concern it. */
	struct FSampleMod
	{
		FSampleMod()
		    : Folder(Sandbox.GetModsRoot() + "/SampleMod")
		    , Descriptor(Folder + "/SampleMod.uplugin")
		    , Staging(Folder + "/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod")
		    , Pak(Staging + "/Content/Paks/Windows/SampleModWindows.pak")
		{
		}

		std::string Package() const
		{
			return R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":")" + Descriptor + R"("}})";
		}

		std::string Upload() const
		{
			return R"({"cmd":"call","class":"TRLWorkshopUpload","function":"UploadMod","args":{"ModDescriptorPath":")" + Descriptor + R"(","ChangeNote":""}})";
		}

		/** Records the base release and packages the mod, which the simulated cook stages rightly. */
		void PackageRightly() const
		{
			const FHostRun Run = Sandbox.Run({RecordRelease, WaitForTheJob, Package(), WaitForTheJob, Quit});
			ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
			ASSERT_TRUE(fs::exists(Pak)) << Run.RawOutput;
		}

		FHostSandbox Sandbox;
		std::string Folder;
		std::string Descriptor;
		std::string Staging;
		std::string Pak;
	};

	/** The LogTrellic lines of a run from line Start on, as "Verbosity: message". */
	std::vector<std::string> TrellicLines(const FHostRun& Run, int32 Start = 0)
	{
		std::vector<std::string> Lines;
		for (int32 Index = Start; Index < Run.Lines.Num(); ++Index)
		{
			const TSharedPtr<FJsonObject>& Line = Run.Lines[Index];
			FString Event;
			if (Line->TryGetStringField(TEXT("event"), Event) && Event.Equals(TEXT("log")) && Line->GetStringField(TEXT("category")).Equals(TEXT("LogTrellic")))
			{
				Lines.push_back(Line->GetStringField(TEXT("verbosity")).ToUtf8() + ": " + Line->GetStringField(TEXT("message")).ToUtf8());
			}
		}
		return Lines;
	}

	/** The sample mod as the first "mods" reply of the run lists it: its build state, then its reasons. */
	std::vector<std::string> SampleModState(const FHostRun& Run)
	{
		const int32 Reply = Run.IndexOfReply(TEXT("mods"));
		if (Reply == INDEX_NONE)
		{
			return {};
		}
		for (const TSharedPtr<FJsonValue>& Value : Run.Lines[Reply]->GetArrayField(TEXT("mods")))
		{
			const TSharedPtr<FJsonObject>& Mod = Value->AsObject();
			if (Mod->GetStringField(TEXT("name")).Equals(TEXT("SampleMod")))
			{
				std::vector<std::string> State = {Mod->GetStringField(TEXT("build_state")).ToUtf8()};
				for (const TSharedPtr<FJsonValue>& Reason : Mod->GetArrayField(TEXT("reasons")))
				{
					State.push_back(Reason->AsString().ToUtf8());
				}
				return State;
			}
		}
		return {};
	}

	/** The reply to the run's last call, the upload in every run here. */
	TSharedPtr<FJsonObject> UploadReply(const FHostRun& Run)
	{
		TSharedPtr<FJsonObject> Last;
		for (const TSharedPtr<FJsonObject>& Reply : Run.Replies())
		{
			Last = Reply->GetStringField(TEXT("reply")).Equals(TEXT("call")) ? Reply : Last;
		}
		return Last;
	}

	const std::string NoPreview = "Warning: 'SampleMod' has no preview image. Put a square preview.png (under 1 MB) next to the .uplugin, or the Workshop tile "
	                              "stays blank.";
	const std::string NoTags = "Warning: 'SampleMod' has no TRLTags. Nobody will find the mod by browsing - add a couple to the .uplugin.";
} // namespace

TEST(BuildState, ACurrentBuildUploadsExactlyAsBeforeWithTheSameLogLines)
{
	const FSampleMod Mod;
	Mod.PackageRightly();

	const FHostRun Run = Mod.Sandbox.Run({ListMods, Mod.Upload(), WaitForUpload, Items, Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	EXPECT_EQ(SampleModState(Run), std::vector<std::string>{"Current"});
	const int32 ItemsReply = Run.IndexOfReply(TEXT("workshop"));
	ASSERT_NE(ItemsReply, INDEX_NONE);
	const std::string ItemId = Run.Lines[ItemsReply]->GetArrayField(TEXT("items"))[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8();
	const std::string Payload = Mod.Folder + "/Saved/WorkshopUpload";
	EXPECT_EQ(TrellicLines(Run, Run.IndexOfReply(TEXT("mods"))),
	          (std::vector<std::string>{NoPreview, NoTags, "Log: Upload payload assembled in '" + Payload + "' (2 file(s)).",
	                                    "Log: Uploading mod 'SampleMod' from '" + Payload + "' (new Workshop item).",
	                                    "Log: Visibility: Public. Title and description from the descriptor: yes.",
	                                    "Log: Workshop item " + ItemId + " recorded in '" + Mod.Folder + "/workshop.json'.",
	                                    "Log: Mod 'SampleMod' published as Workshop item " + ItemId + "."}));
}

TEST(BuildState, EachStaleReasonIsOneWarningBeforeThePreflightAndTheBuildStillGoes)
{
	struct FCase
	{
		const char* What;
		TFunction<void(const FSampleMod&)> Change;
		std::string Reason;
	};
	const FCase Cases[] = {
	    {"content",
	     [](const FSampleMod& Mod) {
		     WriteFile(Mod.Folder + "/Content/Maps/Arena.umap", "a new level");
		     WriteFile(Mod.Folder + "/Content/SampleAsset.uasset", "saved again, longer than before");
	     },
	     "Its content changed since it was packaged: Content/Maps/Arena.umap (added), Content/SampleAsset.uasset (changed)."},
	    {"descriptor",
	     [](const FSampleMod& Mod) {
		     std::string Text = ReadFile(Mod.Descriptor);
		     Text.replace(Text.find("A sample mod"), 12, "A better mod");
		     WriteFile(Mod.Descriptor, Text);
	     },
	     ""},
	    {"another release",
	     [](const FSampleMod& Mod) {
		     const std::string Ini = Mod.Sandbox.GetProjectFolder() + "/Config/DefaultGame.ini";
		     std::string Text = ReadFile(Ini);
		     Text.replace(Text.find("BaseReleaseVersion=1.0"), 22, "BaseReleaseVersion=2.0");
		     WriteFile(Ini, Text);
	     },
	     "It was packaged for base release '1.0', but the settings now name '2.0'."},
	    {"the release recorded again",
	     [](const FSampleMod& Mod) {
		     ASSERT_EQ(Mod.Sandbox.Run({RecordRelease, WaitForTheJob, Quit}).ExitCode, 0);
	     },
	     "Base release '1.0' was recorded again since it was packaged."},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(Case.What);
		const FSampleMod Mod;
		Mod.PackageRightly();
		Case.Change(Mod);
		const std::string Reason = Case.Reason.empty() ? "Its descriptor '" + Mod.Descriptor + "' changed since it was packaged." : Case.Reason;

		const FHostRun Run = Mod.Sandbox.Run({ListMods, Mod.Upload(), WaitForUpload, Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		EXPECT_EQ(SampleModState(Run), (std::vector<std::string>{"Stale", Reason}));
		const TSharedPtr<FJsonObject> Reply = UploadReply(Run);
		ASSERT_TRUE(Reply.IsValid());
		EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "Success");
		const std::vector<std::string> Lines = TrellicLines(Run, Run.IndexOfReply(TEXT("mods")));
		ASSERT_GE(Lines.size(), 3u);
		EXPECT_EQ(Lines[0], "Warning: 'SampleMod' is uploaded from a stale build. " + Reason + " Package it again to send these changes.");
		EXPECT_EQ(Lines[1], NoPreview);
	}
}

TEST(BuildState, EachBrokenStagingIsAnErrorAfterTheCookAndTheBuildNeverReachesTheWorkshop)
{
	const std::string ReSave = "Save every asset of the mod, then package it again; the UAT log shows what the cook did.";
	const struct
	{
		const char* Fault;
		TFunction<std::string(const FSampleMod&)> Error;
	} Cases[] = {
	    {"nothing",
	     [&ReSave](const FSampleMod& Mod) {
		     return "The cook of 'SampleMod' completed but staged no pak in '" + Mod.Staging +
		            "'. Likely cause: the cook found nothing to stage, as when the mod's assets were never saved. " + ReSave;
	     }},
	    {"empty-pak",
	     [&ReSave](const FSampleMod& Mod) {
		     return "The pak '" + Mod.Pak +
		            "' is empty. Likely cause: the cook of 'SampleMod' staged nothing into it, as when the mod's assets were never saved. " + ReSave;
	     }},
	    {"no-descriptor",
	     [](const FSampleMod& Mod) {
		     return "The pak '" + Mod.Pak +
		            "' does not hold 'SampleMod.uplugin', so the game's mod loader will not find the mod. Likely cause: the cook did not pack the plug-in's "
		            "descriptor (-DLCPakPluginFile missing from UAT's command line). Package the mod again from Tools > Trellic > Package Mod, whose command "
		            "line has it.";
	     }},
	    {"base-assets",
	     [](const FSampleMod& Mod) {
		     return "The pak '" + Mod.Pak +
		            "' holds 1 asset(s) that base release '1.0' already has: /Game/Props/Crate. Likely cause: the cook was not based on that release, or the "
		            "release was recorded from a build that held the mod already; players would load these assets twice. Record the release again from the "
		            "build players have (Tools > Trellic > Create Base Game Release), then package the mod again.";
	     }},
	};
	for (const auto& Case : Cases)
	{
		SCOPED_TRACE(Case.Fault);
		const FSampleMod Mod;
		ASSERT_EQ(Mod.Sandbox.Run({Quit}).ExitCode, 0);
		// The game's own asset, which the release records and a cook based on it leaves out.
		WriteFile(Mod.Sandbox.GetProjectFolder() + "/Content/Props/Crate.uasset", "a crate");
		const FHostRun Run = Mod.Sandbox.Run({RecordRelease, WaitForTheJob, R"({"cmd":"uat","next":{"stage":")" + std::string(Case.Fault) + R"("}})",
		                                      Mod.Package(), WaitForTheJob, ListMods, Mod.Upload(), Items, Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		const std::string Error = Case.Error(Mod);

		std::vector<std::string> Errors;
		for (const std::string& Line : TrellicLines(Run))
		{
			if (Line.rfind("Error: ", 0) == 0)
			{
				Errors.push_back(Line.substr(7));
			}
		}
		EXPECT_EQ(Errors, std::vector<std::string>{Error});
		EXPECT_EQ(SampleModState(Run), (std::vector<std::string>{"FailedCheck", Error}));

		// Refused before any Workshop call, with the check's reason.
		const TSharedPtr<FJsonObject> Reply = UploadReply(Run);
		ASSERT_TRUE(Reply.IsValid());
		EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "InvalidMod");
		const TSharedPtr<FJsonObject> Refusal = Reply->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"));
		EXPECT_EQ(Refusal->GetStringField(TEXT("key")).ToUtf8(), "UploadFailedCheck");
		EXPECT_EQ(Refusal->GetStringField(TEXT("string")).ToUtf8(),
		          "'SampleMod' was not uploaded: its packaged build failed the check made after its cook. " + Error);
		EXPECT_TRUE(Run.Lines[Run.IndexOfReply(TEXT("workshop"))]->GetArrayField(TEXT("items")).IsEmpty());
		EXPECT_FALSE(fs::exists(Mod.Folder + "/Saved/WorkshopUpload"));
	}
}

TEST(BuildState, ACookThatDidNotCompleteLeavesNoBuildToUploadThoughItsFilesStayStaged)
{
	const FSampleMod Mod;
	Mod.PackageRightly();

	const FHostRun Run = Mod.Sandbox.Run({R"({"cmd":"uat","next":{"exit":3}})", Mod.Package(), WaitForTheJob, ListMods, Mod.Upload(), Items, Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	// The earlier cook's pak is still there: this is what an upload used to send after a failed cook.
	EXPECT_TRUE(fs::exists(Mod.Pak));
	const std::string Reason =
	    "The files staged in '" + Mod.Staging + "' were not left by a cook that completed: it failed, was cancelled, or the editor ended during it.";
	EXPECT_EQ(SampleModState(Run), (std::vector<std::string>{"NotPackaged", Reason}));
	const TSharedPtr<FJsonObject> Reply = UploadReply(Run);
	ASSERT_TRUE(Reply.IsValid());
	EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "InvalidMod");
	EXPECT_EQ(Reply->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"))->GetStringField(TEXT("string")).ToUtf8(),
	          "'SampleMod' was not uploaded. " + Reason + " Package it again, then upload it.");
	EXPECT_TRUE(Run.Lines[Run.IndexOfReply(TEXT("workshop"))]->GetArrayField(TEXT("items")).IsEmpty());
}

TEST(BuildState, AFileChangedWhileTheCookRunsLeavesTheBuildStaleSinceTheCookMayHaveReadItBefore)
{
	const FSampleMod Mod;
	FHostProcess Host(Mod.Sandbox);
	ASSERT_TRUE(Host.Request(RecordRelease).IsValid());
	ASSERT_TRUE(Host.Request(WaitForTheJob).IsValid());
	ASSERT_TRUE(Host.Request(R"({"cmd":"uat","next":{"hold":true}})").IsValid());
	ASSERT_TRUE(Host.Request(Mod.Package()).IsValid());
	const TSharedPtr<FJsonObject> During = Host.Request(ListMods);
	ASSERT_TRUE(During.IsValid());
	const TSharedPtr<FJsonObject> Listed = During->GetArrayField(TEXT("mods"))[0]->AsObject();
	EXPECT_EQ(Listed->GetStringField(TEXT("build_state")), TEXT("NotPackaged"));
	EXPECT_EQ(Listed->GetArrayField(TEXT("reasons"))[0]->AsString(), TEXT("It is being packaged now."));

	WriteFile(Mod.Folder + "/Content/SampleAsset.uasset", "saved while the cook runs");
	ASSERT_TRUE(Host.Request(R"({"cmd":"uat","release":true})").IsValid());
	ASSERT_TRUE(Host.Request(WaitForTheJob).IsValid());
	const TSharedPtr<FJsonObject> After = Host.Request(ListMods);
	ASSERT_TRUE(After.IsValid());
	const TSharedPtr<FJsonObject> Stale = After->GetArrayField(TEXT("mods"))[0]->AsObject();
	EXPECT_EQ(Stale->GetStringField(TEXT("build_state")), TEXT("Stale"));
	EXPECT_EQ(Stale->GetArrayField(TEXT("reasons"))[0]->AsString(), TEXT("Its content changed since it was packaged: Content/SampleAsset.uasset (changed)."));
	EXPECT_EQ(Host.Wait(), 0);
}

TEST(BuildState, ARecordThatCannotBeWrittenFailsTheJobAndLeavesNoBuildToUpload)
{
	const FSampleMod Mod;
	const FHostRun Run =
	    Mod.Sandbox.Run({RecordRelease, WaitForTheJob, R"({"cmd":"fault","fail_writes":{"path_suffix":".trellic-build.json","error":"disk-full"}})",
	                     Mod.Package(), WaitForTheJob, ListMods, Mod.Upload(), Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string Record = Mod.Staging + ".trellic-build.json";
	std::vector<std::string> Errors;
	for (const std::string& Line : TrellicLines(Run))
	{
		if (Line.rfind("Error: ", 0) == 0)
		{
			Errors.push_back(Line);
		}
	}
	ASSERT_EQ(Errors.size(), 1u) << Run.RawOutput;
	EXPECT_EQ(Errors[0].rfind("Error: Could not write the build record '" + Record + "', so the build cannot be told from a half-staged one: ", 0), 0u)
	    << Errors[0];
	EXPECT_FALSE(fs::exists(Record));
	EXPECT_FALSE(fs::exists(Record + ".writing"));
	EXPECT_EQ(SampleModState(Run)[0], "NotPackaged");
	EXPECT_EQ(UploadReply(Run)->GetStringField(TEXT("return")).ToUtf8(), "InvalidMod");
}

TEST(BuildState, ACookThatLeftOutEveryAssetOfTheModIsAnErrorThatNamesTheAssetsAndTheLikelyCauses)
{
	const FSampleMod Mod;
	ASSERT_EQ(Mod.Sandbox.Run({RecordRelease, WaitForTheJob, Quit}).ExitCode, 0);
	// A release recorded from a build that held the mod already: a cook based on it leaves the mod's one asset out.
	WriteFile(Mod.Sandbox.GetProjectFolder() + "/Releases/1.0/Windows/AssetRegistry.bin", "TRLAssetRegistry 1\n/SampleMod/SampleAsset\n");

	const FHostRun Run = Mod.Sandbox.Run({Mod.Package(), WaitForTheJob, ListMods, Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string Error =
	    "The pak '" + Mod.Pak +
	    "' holds none of the 1 asset(s) of 'SampleMod': Content/SampleAsset.uasset. Likely cause: the cooker did not cook the mod's "
	    "content, because its descriptor said \"ExplicitlyLoaded\": true during the cook, Config/DefaultGame.ini did not list /SampleMod "
	    "under DirectoriesToAlwaysCook, or the assets were never saved. Save every asset of the mod and package it from Tools > Trellic > "
	    "Package Mod, which sets both for the cook.";
	EXPECT_EQ(SampleModState(Run), (std::vector<std::string>{"FailedCheck", Error}));
}

TEST(BuildState, LinksInTheContentAreNeitherCountedNorEnteredAndALinkInAFilesPlaceIsAChange)
{
	{
		SCOPED_TRACE("links added beside the content");
		const FSampleMod Mod;
		Mod.PackageRightly();
		WriteFile(Mod.Sandbox.GetRoot() + "/Outside/Elsewhere.uasset", "an asset outside the project");
		fs::create_directory_symlink(Mod.Sandbox.GetRoot() + "/Outside", Mod.Folder + "/Content/Out");
		fs::create_symlink(Mod.Sandbox.GetRoot() + "/Outside/Elsewhere.uasset", Mod.Folder + "/Content/Linked.uasset");
		fs::create_directory_symlink("..", Mod.Folder + "/Content/Up");
		const FHostRun Run = Mod.Sandbox.Run({ListMods, Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		EXPECT_EQ(SampleModState(Run), std::vector<std::string>{"Current"});
	}
	{
		// Moved out keeps the file's size and time, which its link now shows in its place: only its folder's time moved.
		SCOPED_TRACE("a file replaced by a link to it");
		const FSampleMod Mod;
		Mod.PackageRightly();
		fs::rename(Mod.Folder + "/Content/SampleAsset.uasset", Mod.Sandbox.GetRoot() + "/SampleAsset.uasset");
		fs::create_symlink(Mod.Sandbox.GetRoot() + "/SampleAsset.uasset", Mod.Folder + "/Content/SampleAsset.uasset");
		const FHostRun Run = Mod.Sandbox.Run({ListMods, Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		EXPECT_EQ(SampleModState(Run), (std::vector<std::string>{"Stale", "Its content changed since it was packaged: Content/SampleAsset.uasset (removed)."}));
	}
}

TEST(BuildState, AnIoStoreBuildPassesTheCheckSayingWhatItCouldNotReadAndUploadsItsContainer)
{
	const FSampleMod Mod;
	const std::string Container = Mod.Staging + "/Content/Paks/Windows/SampleModWindows.utoc";
	const FHostRun Run = Mod.Sandbox.Run({RecordRelease, WaitForTheJob, R"({"cmd":"uat","next":{"stage":"iostore"}})", Mod.Package(), WaitForTheJob, ListMods,
	                                      Mod.Upload(), WaitForUpload, Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	ASSERT_TRUE(fs::exists(Container)) << Run.RawOutput;

	const std::vector<std::string> Lines = TrellicLines(Run);
	EXPECT_EQ(std::count_if(Lines.begin(), Lines.end(),
	                        [](const std::string& Line) {
		                        return Line.rfind("Error: ", 0) == 0;
	                        }),
	          0)
	    << Run.RawOutput;
	const std::string NotRead = "Log: 'SampleMod' was staged with the IoStore container(s) " + Container +
	                            ", which this check does not read, so the assets in them were not checked against the mod's content or against base "
	                            "release '1.0'. The UAT log of the cook lists what was staged.";
	EXPECT_NE(std::find(Lines.begin(), Lines.end(), NotRead), Lines.end()) << Run.RawOutput;
	EXPECT_EQ(SampleModState(Run), std::vector<std::string>{"Current"});
	const TSharedPtr<FJsonObject> Reply = UploadReply(Run);
	ASSERT_TRUE(Reply.IsValid());
	EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "Success");
	EXPECT_TRUE(fs::exists(Mod.Folder + "/Saved/WorkshopUpload/Content/Paks/Windows/SampleModWindows.ucas"));
}
