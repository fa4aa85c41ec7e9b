// The Tools > Trellic menu through the host, each test on a fresh copy of the demo project: the submenus as a user
// sees them, the New Mod window answered every way, and the menu's dialogs and Warning lines.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
	namespace fs = std::filesystem;

	const std::string Quit = R"({"cmd":"quit"})";
	const std::string NewMod = R"({"cmd":"choose","name":"LevelEditor.MainMenu.Tools","path":["TRLNewMod"]})";

	std::string OpenMenu(const std::string& SubMenu)
	{
		return R"({"cmd":"menu","name":"LevelEditor.MainMenu.Tools","path":[")" + SubMenu + R"("]})";
	}

	std::string Choose(const std::string& SubMenu, const std::string& Entry)
	{
		return R"({"cmd":"choose","name":"LevelEditor.MainMenu.Tools","path":[")" + SubMenu + R"(",")" + Entry + R"("]})";
	}

	bool IsOk(const TSharedPtr<FJsonObject>& Reply)
	{
		bool bOk = false;
		return Reply.IsValid() && Reply->TryGetBoolField(TEXT("ok"), bOk) && bOk;
	}

	/** One entry of a menu reply as the user reads it; texts as UTF-8, so that they compare exactly. */
	struct FEntry
	{
		std::string Name;
		std::string Label;
		std::string ToolTip;
		bool bEnabled = false;
	};

	/** The entries of a menu reply's one section "Mods", in order; none when the reply holds anything else. */
	TArray<FEntry> ModEntries(const TSharedPtr<FJsonObject>& MenuReply)
	{
		TArray<FEntry> Entries;
		const TArray<TSharedPtr<FJsonValue>>* Sections = nullptr;
		if (!MenuReply.IsValid() || !MenuReply->TryGetArrayField(TEXT("sections"), Sections) || Sections->Num() != 1 ||
		    !(*Sections)[0]->AsObject()->GetStringField(TEXT("name")).Equals(TEXT("Mods"), ESearchCase::CaseSensitive))
		{
			return Entries;
		}
		for (const TSharedPtr<FJsonValue>& Value : (*Sections)[0]->AsObject()->GetArrayField(TEXT("entries")))
		{
			const TSharedPtr<FJsonObject> Entry = Value->AsObject();
			Entries.Add(FEntry{Entry->GetStringField(TEXT("name")).ToUtf8(), TextString(Entry->TryGetField(TEXT("label"))).ToUtf8(),
			                   TextString(Entry->TryGetField(TEXT("tooltip"))).ToUtf8(), Entry->GetBoolField(TEXT("enabled"))});
		}
		return Entries;
	}

	const FEntry* FindEntry(const TArray<FEntry>& Entries, const std::string& Name)
	{
		const FEntry* Found = Entries.FindByPredicate([&Name](const FEntry& Entry) {
			return Entry.Name == Name;
		});
		static const FEntry Missing;
		return Found ? Found : &Missing;
	}

	/** Every dialog's text, in order; each must be an OK dialog. */
	std::vector<std::string> DialogTexts(const FHostRun& Run)
	{
		std::vector<std::string> Texts;
		for (const TSharedPtr<FJsonObject>& Dialog : Run.Events(TEXT("dialog")))
		{
			EXPECT_EQ(Dialog->GetStringField(TEXT("type")).ToUtf8(), "Ok");
			Texts.push_back(TextString(Dialog->TryGetField(TEXT("text"))).ToUtf8());
		}
		return Texts;
	}

	std::vector<std::string> TrellicLines(const FHostRun& Run, const char* Verbosity)
	{
		std::vector<std::string> Messages;
		for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("log")))
		{
			if (Event->GetStringField(TEXT("category")).ToUtf8() == "LogTrellic" && Event->GetStringField(TEXT("verbosity")).ToUtf8() == Verbosity)
			{
				Messages.push_back(Event->GetStringField(TEXT("message")).ToUtf8());
			}
		}
		return Messages;
	}

	class HostMenu : public ::testing::Test
	{
	protected:
		fs::path Mods() const { return fs::path(Sandbox.GetModsRoot()); }

		/** Runs New Mod... with the window answered by the given window request. */
		FHostRun RunNewMod(const std::string& WindowAnswer) const { return Sandbox.Run({WindowAnswer, NewMod, Quit}); }

		/** Nothing was created under the mods root, and nothing was said. */
		void ExpectNothingCreated(const FHostRun& Run) const
		{
			ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
			ASSERT_EQ(Run.Events(TEXT("window")).Num(), 1);
			EXPECT_TRUE(Run.Events(TEXT("window"))[0]->GetBoolField(TEXT("answered")));
			std::vector<std::string> Folders;
			for (const fs::directory_entry& Entry : fs::directory_iterator(Mods()))
			{
				Folders.push_back(Entry.path().filename().string());
			}
			EXPECT_EQ(Folders, std::vector<std::string>{"SampleMod"});
			EXPECT_TRUE(Run.Events(TEXT("dialog")).IsEmpty());
			EXPECT_EQ(TrellicLines(Run, "Log"), std::vector<std::string>{"Trellic editor module started."});
			EXPECT_TRUE(TrellicLines(Run, "Warning").empty());
		}

		FHostSandbox Sandbox;
	};
} // namespace

TEST_F(HostMenu, TheSampleModIsListedInEveryModSubmenu)
{
	const FHostRun Run = Sandbox.Run({OpenMenu("TRLMountMod"), OpenMenu("TRLPackageMod"), OpenMenu("TRLUploadMod"), Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	const char* const ToolTips[] = {"Mount SampleMod so assets can be saved into it.", "Cook SampleMod as DLC on top of the base game release.",
	                                "Create a Workshop item for SampleMod and upload it."};
	for (int32 Submenu = 0; Submenu < 3; ++Submenu)
	{
		SCOPED_TRACE(ToolTips[Submenu]);
		const TArray<FEntry> Entries = ModEntries(Replies[Submenu]);
		ASSERT_EQ(Entries.Num(), 1) << Run.RawOutput;
		EXPECT_EQ(Entries[0].Name, "SampleMod");
		EXPECT_EQ(Entries[0].Label, "SampleMod");
		EXPECT_EQ(Entries[0].ToolTip, ToolTips[Submenu]);
		EXPECT_TRUE(Entries[0].bEnabled);
	}
}

TEST_F(HostMenu, TheSampleModGoesFromABaseReleaseToAPackageToTheWorkshopAndIsThenListedAsAnUpdate)
{
	const std::string WaitForPackaging = R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})";
	const std::string WaitForUpload = R"({"cmd":"wait","class":"TRLWorkshopUpload","function":"IsUploadInProgress","equals":false,"timeout":60})";
	const FHostRun Run = Sandbox.Run({R"({"cmd":"choose","name":"LevelEditor.MainMenu.Tools","path":["TRLCreateBaseRelease"]})", WaitForPackaging,
	                                  Choose("TRLPackageMod", "SampleMod"), WaitForPackaging, Choose("TRLUploadMod", "SampleMod"), WaitForUpload,
	                                  OpenMenu("TRLUploadMod"), R"({"cmd":"workshop","items":true})", Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 9);
	// Each operation reports itself; a start from the menu shows no dialog.
	EXPECT_TRUE(Run.Events(TEXT("dialog")).IsEmpty()) << Run.RawOutput;
	EXPECT_TRUE(TrellicLines(Run, "Error").empty());
	EXPECT_TRUE(fs::exists(Mods() / "SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod/Content/Paks/Windows/SampleModWindows.pak"));

	const TArray<TSharedPtr<FJsonValue>> Items = Replies[7]->GetArrayField(TEXT("items"));
	ASSERT_EQ(Items.Num(), 1);
	const std::string ItemId = Items[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8();
	EXPECT_NE(ReadFile(Mods() / "SampleMod/workshop.json").find("\"ItemId\": \"" + ItemId + "\""), std::string::npos);
	const TArray<FEntry> Upload = ModEntries(Replies[6]);
	ASSERT_EQ(Upload.Num(), 1);
	EXPECT_EQ(Upload[0].Label, "SampleMod (update)");
	EXPECT_EQ(Upload[0].ToolTip, "Upload a new version of SampleMod to Workshop item " + ItemId + ".");
	EXPECT_TRUE(Upload[0].bEnabled);
}

TEST_F(HostMenu, EveryUploadEntryIsGreyedWhileAnUploadRunsAndOnlyThen)
{
	// Packaged, so that the upload has something to send.
	const std::string WaitForPackaging = R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})";
	ASSERT_EQ(Sandbox
	              .Run({R"({"cmd":"choose","name":"LevelEditor.MainMenu.Tools","path":["TRLCreateBaseRelease"]})", WaitForPackaging,
	                    Choose("TRLPackageMod", "SampleMod"), WaitForPackaging, Quit})
	              .ExitCode,
	          0);
	const FHostRun Run = Sandbox.Run(
	    {R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":"Second","Author":"","Description":""}})",
	     R"({"cmd":"workshop","next":{"hold_at":0.5}})", Choose("TRLUploadMod", "SampleMod"), R"({"cmd":"workshop","wait_for_hold":30})",
	     OpenMenu("TRLUploadMod"), OpenMenu("TRLPackageMod"), R"({"cmd":"workshop","release":true})",
	     R"({"cmd":"wait","class":"TRLWorkshopUpload","function":"IsUploadInProgress","equals":false,"timeout":60})", OpenMenu("TRLUploadMod"), Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 10);
	const TArray<FEntry> While = ModEntries(Replies[4]);
	ASSERT_EQ(While.Num(), 2) << Run.RawOutput;
	for (const FEntry& Entry : While)
	{
		EXPECT_FALSE(Entry.bEnabled) << Entry.Name;
	}
	const TArray<FEntry> Package = ModEntries(Replies[5]);
	ASSERT_EQ(Package.Num(), 2);
	for (const FEntry& Entry : Package)
	{
		EXPECT_TRUE(Entry.bEnabled) << Entry.Name;
	}
	const TArray<FEntry> After = ModEntries(Replies[8]);
	ASSERT_EQ(After.Num(), 2);
	for (const FEntry& Entry : After)
	{
		EXPECT_TRUE(Entry.bEnabled) << Entry.Name;
	}
	EXPECT_EQ(FindEntry(After, "SampleMod")->Label, "SampleMod (update)");
	EXPECT_EQ(FindEntry(After, "Second")->Label, "Second");
}

TEST_F(HostMenu, NewModCreatesTheModFromTheTrimmedAnswersAndSaysSo)
{
	const FHostRun Run = RunNewMod(R"({"cmd":"window","fill":["  MyMod  ","  Ada  "],"press":"Create"})");

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Windows = Run.Events(TEXT("window"));
	ASSERT_EQ(Windows.Num(), 1);
	EXPECT_EQ(TextString(Windows[0]->TryGetField(TEXT("title"))).ToUtf8(), "New Mod");
	std::vector<std::string> Texts;
	for (const TSharedPtr<FJsonValue>& Text : Windows[0]->GetArrayField(TEXT("texts")))
	{
		Texts.push_back(TextString(Text).ToUtf8());
	}
	EXPECT_EQ(Texts, (std::vector<std::string>{"Mod name (letters, digits and underscores)", "", "Author", ""}));
	std::vector<std::string> Buttons;
	for (const TSharedPtr<FJsonValue>& Button : Windows[0]->GetArrayField(TEXT("buttons")))
	{
		Buttons.push_back(TextString(Button).ToUtf8());
	}
	EXPECT_EQ(Buttons, (std::vector<std::string>{"Create", "Cancel"}));
	EXPECT_EQ(Windows[0]->GetArrayField(TEXT("client_size"))[0]->AsNumber(), 420);
	EXPECT_EQ(Windows[0]->GetArrayField(TEXT("client_size"))[1]->AsNumber(), 170);

	const std::string Descriptor = ReadFile(Mods() / "MyMod/MyMod.uplugin");
	EXPECT_NE(Descriptor.find("\t\"FriendlyName\": \"MyMod\",\r\n"), std::string::npos) << Descriptor;
	EXPECT_NE(Descriptor.find("\t\"CreatedBy\": \"Ada\",\r\n"), std::string::npos);
	EXPECT_NE(Descriptor.find("\t\"Description\": \"A mod for this game.\",\r\n"), std::string::npos);
	EXPECT_TRUE(fs::is_directory(Mods() / "MyMod/Content"));
	EXPECT_EQ(DialogTexts(Run),
	          std::vector<std::string>{"Created 'MyMod'.\n\nPut your assets in its Content folder, then package it from Tools > Trellic > Package Mod."});
	EXPECT_TRUE(TrellicLines(Run, "Warning").empty());
}

TEST_F(HostMenu, NewModCancelledCreatesNothing)
{
	ExpectNothingCreated(RunNewMod(R"({"cmd":"window","fill":["MyMod","Ada"],"press":"Cancel"})"));
}

TEST_F(HostMenu, NewModClosedWithTheWindowsCloseButtonCreatesNothing)
{
	ExpectNothingCreated(RunNewMod(R"({"cmd":"window","fill":["MyMod","Ada"],"press":"close"})"));
}

TEST_F(HostMenu, NewModWithABlankNameIsRefusedInAWarningAndAnOkDialog)
{
	const FHostRun Run = RunNewMod(R"({"cmd":"window","fill":["   ","Ada"],"press":"Create"})");

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	// The text is the scaffold's, word for word, in the log and in the dialog.
	const std::vector<std::string> Warnings = TrellicLines(Run, "Warning");
	ASSERT_EQ(Warnings.size(), 1u) << Run.RawOutput;
	EXPECT_FALSE(Warnings[0].empty());
	EXPECT_EQ(DialogTexts(Run), Warnings);
	EXPECT_EQ(Run.Events(TEXT("dialog"))[0]->GetObjectField(TEXT("text"))->GetStringField(TEXT("namespace")).ToUtf8(), "TRLModScaffold");
	EXPECT_EQ(std::distance(fs::directory_iterator(Mods()), fs::directory_iterator()), 1);
}

TEST_F(HostMenu, NewModRefusesANameThatDiffersFromAModOnlyInCapitalsAndTheModStaysInEverySubmenu)
{
	// Created, samplemod would be a second plug-in of the same name to the engine, and SampleMod would leave the menus.
	const FHostRun Run = Sandbox.Run({R"({"cmd":"window","fill":["samplemod","Ada"],"press":"Create"})", NewMod, OpenMenu("TRLMountMod"),
	                                  OpenMenu("TRLPackageMod"), OpenMenu("TRLUploadMod"), Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string Reason = "A mod called 'samplemod' already exists as 'SampleMod'. Names differ only in capitals there, so choose another name.";
	EXPECT_EQ(TrellicLines(Run, "Warning"), std::vector<std::string>{Reason});
	EXPECT_EQ(DialogTexts(Run), std::vector<std::string>{Reason});
	EXPECT_EQ(std::distance(fs::directory_iterator(Mods()), fs::directory_iterator()), 1);
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 6) << Run.RawOutput;
	for (int32 Submenu = 2; Submenu < 5; ++Submenu)
	{
		const TArray<FEntry> Entries = ModEntries(Replies[Submenu]);
		ASSERT_EQ(Entries.Num(), 1) << Run.RawOutput;
		EXPECT_EQ(Entries[0].Name, "SampleMod");
	}
}

TEST_F(HostMenu, AModOpenedForEditingIsThenListedAsOpenAndGreyed)
{
	const FHostRun Run = Sandbox.Run({Choose("TRLMountMod", "SampleMod"), OpenMenu("TRLMountMod"), Choose("TRLMountMod", "SampleMod"), Quit});

	// Choosing the greyed entry is refused by the menu itself, so the run as a whole fails.
	ASSERT_EQ(Run.ExitCode, 1) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	EXPECT_TRUE(IsOk(Replies[0]));
	EXPECT_EQ(DialogTexts(Run),
	          std::vector<std::string>{"'SampleMod' is open for editing.\n\nIts content folder is now in the Content Browser, under plugin content."});
	const TArray<FEntry> Mount = ModEntries(Replies[1]);
	ASSERT_EQ(Mount.Num(), 1) << Run.RawOutput;
	EXPECT_EQ(Mount[0].Label, "SampleMod (open)");
	EXPECT_EQ(Mount[0].ToolTip, "Already mounted; its content is in the Content Browser.");
	EXPECT_FALSE(Mount[0].bEnabled);
	EXPECT_FALSE(IsOk(Replies[2]));
}

TEST_F(HostMenu, ARefusalArrivesAsAWarningAndAnOkDialogWithTheOperationsText)
{
	// The demo project has no base release yet.
	const FHostRun Run = Sandbox.Run({Choose("TRLPackageMod", "SampleMod"), Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string Text = "No base game release named '1.0' was found in " + Sandbox.GetProjectFolder() +
	                         "/Releases/1.0/Windows. Run Tools > Trellic > Create Base Game Release first.";
	EXPECT_EQ(TrellicLines(Run, "Warning"), std::vector<std::string>{Text});
	ASSERT_EQ(DialogTexts(Run), std::vector<std::string>{Text});
	const TSharedPtr<FJsonObject> Dialog = Run.Events(TEXT("dialog"))[0]->GetObjectField(TEXT("text"));
	EXPECT_EQ(Dialog->GetStringField(TEXT("namespace")).ToUtf8(), "TRLModPackager");
	EXPECT_EQ(Dialog->GetStringField(TEXT("key")).ToUtf8(), "NoBaseRelease");
	EXPECT_TRUE(Run.Events(TEXT("uat-task")).IsEmpty());
}

TEST_F(HostMenu, TheMenuThePipelineAndNewModAgreeOnWhichModsThereAre)
{
	// A mod is its folder's first descriptor, named by the descriptor: A holds the mod B, Two holds one mod of two
	// descriptors, and Empty holds none.
	Sandbox.Run({Quit});
	const auto WriteDescriptor = [this](const std::string& Folder, const std::string& Name) {
		fs::create_directories(Mods() / Folder / "Content");
		std::ofstream(Mods() / Folder / (Name + ".uplugin")) << "{\r\n\t\"FileVersion\": 3,\r\n\t\"FriendlyName\": \"" << Name << "\"\r\n}";
	};
	WriteDescriptor("A", "B");
	WriteDescriptor("C", "C");
	WriteDescriptor("Two", "First");
	WriteDescriptor("Two", "Second");
	fs::create_directories(Mods() / "Empty");
	const std::vector<std::string> Names = {"SampleMod", "A", "B", "C", "Two", "First", "Second", "Empty", "Missing"};

	std::vector<std::string> Requests = {OpenMenu("TRLPackageMod")};
	for (const std::string& Name : Names)
	{
		Requests.push_back(R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":")" + Name + R"("}})");
	}
	Requests.push_back(Quit);
	const FHostRun Run = Sandbox.Run(Requests);
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), static_cast<int32>(Names.size()) + 2) << Run.RawOutput;

	std::vector<std::string> Listed;
	for (const FEntry& Entry : ModEntries(Replies[0]))
	{
		Listed.push_back(Entry.Name);
	}
	std::sort(Listed.begin(), Listed.end());
	// Which of Two's descriptors the listing gives first is the file system's choice; exactly one of them is a mod.
	const bool bFirstListed = std::find(Listed.begin(), Listed.end(), "First") != Listed.end();
	EXPECT_EQ(Listed, (std::vector<std::string>{"B", "C", bFirstListed ? "First" : "Second", "SampleMod"})) << Run.RawOutput;

	for (size_t Index = 0; Index < Names.size(); ++Index)
	{
		const std::string& Name = Names[Index];
		SCOPED_TRACE(Name);
		const bool bListed = std::find(Listed.begin(), Listed.end(), Name) != Listed.end();
		const bool bFolder = fs::is_directory(Mods() / Name);

		// The scaffold refuses to create a listed mod again, and a name whose folder is taken; it takes any other.
		const TSharedPtr<FJsonObject>& Reply = Replies[static_cast<int32>(Index) + 1];
		ASSERT_TRUE(IsOk(Reply)) << Run.RawOutput;
		EXPECT_EQ(Reply->GetBoolField(TEXT("return")), !bListed && !bFolder);
		if (bListed || bFolder)
		{
			EXPECT_EQ(TextString(Reply->GetObjectField(TEXT("out"))->TryGetField(TEXT("OutReason"))).ToUtf8(), "A mod called '" + Name + "' already exists.");
		}

		// The pipeline works on a listed mod (and fails at a step: nothing is packaged here), and knows no other.
		const FHostRun Pipeline = Sandbox.RunCommandlet("TRLModPipeline", {"-Mod=" + Name, "-Package"});
		if (bListed)
		{
			EXPECT_EQ(Pipeline.ExitCode, 1) << Pipeline.StdErr;
			EXPECT_EQ(Pipeline.RawOutput.rfind("[package] started\n[package] failed: ", 0), 0u) << Pipeline.RawOutput;
		}
		else
		{
			EXPECT_EQ(Pipeline.ExitCode, 2) << Pipeline.StdErr;
			EXPECT_NE(Pipeline.StdErr.find("LogTrellic: Error: There is no mod '" + Name + "' in " + Sandbox.GetModsRoot() +
			                               ". Name an existing mod, or add -Create to make it.\n"),
			          std::string::npos)
			    << Pipeline.StdErr;
		}
	}
}
