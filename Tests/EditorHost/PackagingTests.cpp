// Packaging through the host, end to end on a fresh copy of the demo project: a base release recorded, the sample mod
// cooked into a pak by the stand-in automation tool, and every way a job can end, the editor's own death included.
#include "HostRun.h"

#include "Misc/Base64.h"
#include "Misc/SecureHash.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace
{
	namespace fs = std::filesystem;

	const std::string RecordRelease = R"({"cmd":"call","class":"TRLModPackager","function":"CreateBaseGameRelease","args":{}})";
	const std::string WaitForTheJob = R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})";
	const std::string Quit = R"({"cmd":"quit"})";

	std::string Demo(const std::string& RelativePath)
	{
		return ReadFile(fs::path(TRL_DEMO_PROJECT_DIR) / RelativePath);
	}

	/** The two files a mod cook changes, relative to the project folder. */
	const char* const SampleDescriptor = "Mods/SampleMod/SampleMod.uplugin";
	const char* const DefaultGameIni = "Config/DefaultGame.ini";

	std::string PackageSampleMod(const FHostSandbox& Sandbox)
	{
		return R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":")" + Sandbox.GetProjectFolder() + "/" +
		       SampleDescriptor + R"("}})";
	}

	bool IsOk(const TSharedPtr<FJsonObject>& Reply)
	{
		bool bOk = false;
		return Reply.IsValid() && Reply->TryGetBoolField(TEXT("ok"), bOk) && bOk;
	}

	TArray<FString> LogMessages(const FHostRun& Run, const FString& Category, const FString& Verbosity)
	{
		TArray<FString> Messages;
		for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("log")))
		{
			if (Event->GetStringField(TEXT("category")).Equals(Category) && Event->GetStringField(TEXT("verbosity")).Equals(Verbosity))
			{
				Messages.Add(Event->GetStringField(TEXT("message")));
			}
		}
		return Messages;
	}

	/** The lines with the whole seconds of "in 12 s" or "after 12 s" as N: how long a job takes is the machine's business. */
	TArray<FString> WithoutSeconds(const TArray<FString>& Lines)
	{
		TArray<FString> Result;
		for (const FString& Line : Lines)
		{
			const std::string Text = std::regex_replace(Line.ToUtf8(), std::regex("(in|after) [0-9]+ s\\b"), "$1 N s");
			Result.Add(FString::FromUtf8(Text));
		}
		return Result;
	}

	std::string Output(const char* Command)
	{
		std::string Text;
		if (FILE* Pipe = popen(Command, "r"))
		{
			char Buffer[4096];
			size_t Read = 0;
			while ((Read = fread(Buffer, 1, sizeof(Buffer), Pipe)) > 0)
			{
				Text.append(Buffer, Read);
			}
			pclose(Pipe);
		}
		return Text;
	}

	/** @return whether an automation tool still runs a cook of a mod in that project folder. */
	bool IsACookRunningIn(const std::string& ProjectFolder)
	{
		const std::string Text = "-DLCName=" + ProjectFolder + "/";
		std::error_code Ignored;
		for (const fs::directory_entry& Entry : fs::directory_iterator("/proc", Ignored))
		{
			const std::string CommandLine = ReadFile(Entry.path() / "cmdline");
			const std::string Status = ReadFile(Entry.path() / "stat");
			// A zombie has ended; only its parent has not yet asked how.
			const size_t StateAt = Status.rfind(") ");
			const bool bZombie = StateAt != std::string::npos && Status.compare(StateAt + 2, 1, "Z") == 0;
			if (!bZombie && CommandLine.find(Text) != std::string::npos)
			{
				return true;
			}
		}
		return false;
	}

	void WriteBytes(const fs::path& Path, const std::string& Bytes)
	{
		fs::create_directories(Path.parent_path());
		std::ofstream(Path, std::ios::binary) << Bytes;
	}

	class HostPackaging : public ::testing::Test
	{
	protected:
		fs::path Project() const { return fs::path(Sandbox.GetProjectFolder()); }

		void ExpectFilesAsInTheDemo(const char* When) const
		{
			EXPECT_EQ(ReadFile(Project() / SampleDescriptor), Demo(SampleDescriptor)) << When;
			EXPECT_EQ(ReadFile(Project() / DefaultGameIni), Demo(DefaultGameIni)) << When;
			EXPECT_FALSE(fs::exists(Project() / "Saved/Trellic")) << When;
		}

		void ExpectFilesPrepared() const
		{
			EXPECT_NE(ReadFile(Project() / SampleDescriptor).find("\t\"ExplicitlyLoaded\": false,\r\n"), std::string::npos);
			EXPECT_NE(
			    ReadFile(Project() / DefaultGameIni).find("[/Script/UnrealEd.ProjectPackagingSettings]\r\n+DirectoriesToAlwaysCook=(Path=\"/SampleMod\")\r\n"),
			    std::string::npos);
			EXPECT_TRUE(fs::exists(Project() / "Saved/Trellic/PendingCook.json"));
		}

		FHostSandbox Sandbox;
	};
} // namespace

TEST_F(HostPackaging, RecordsABaseReleaseThenPackagesTheSampleModIntoAPakAtItsStagingFolder)
{
	const FHostRun Run = Sandbox.Run({RecordRelease, WaitForTheJob, R"({"cmd":"call","class":"TRLModPackager","function":"HasBaseGameRelease","args":{}})",
	                                  PackageSampleMod(Sandbox), WaitForTheJob, Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 6);
	for (const TSharedPtr<FJsonObject>& Reply : Replies)
	{
		EXPECT_TRUE(IsOk(Reply));
	}
	EXPECT_TRUE(Replies[0]->GetStringField(TEXT("return")).Equals(TEXT("Started")));
	EXPECT_TRUE(Replies[2]->GetBoolField(TEXT("return")));
	EXPECT_TRUE(Replies[3]->GetStringField(TEXT("return")).Equals(TEXT("Started")));

	const FString ProjectFolder = FString::FromUtf8(Sandbox.GetProjectFolder());
	const FString Staging = ProjectFolder + TEXT("/Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod");
	const TArray<TSharedPtr<FJsonObject>> Tasks = Run.Events(TEXT("uat-task"));
	ASSERT_EQ(Tasks.Num(), 2);
	EXPECT_EQ(Tasks[0]->GetStringField(TEXT("command_line")),
	          FString::Printf(TEXT("BuildCookRun -project=\"%s/DemoGame.uproject\" -noP4 -platform=Win64 -clientconfig=Shipping -build -cook -stage -pak "
	                               "-package -createreleaseversion=\"1.0\" -nocompileeditor -utf8output"),
	                          *ProjectFolder));
	EXPECT_EQ(TextString(Tasks[0]->TryGetField(TEXT("task_name"))), FString(TEXT("Creating base game release")));
	EXPECT_EQ(Tasks[0]->GetStringField(TEXT("result_location")), ProjectFolder + TEXT("/Releases"));
	EXPECT_EQ(Tasks[1]->GetStringField(TEXT("command_line")),
	          FString::Printf(TEXT("BuildCookRun -project=\"%s/DemoGame.uproject\" -noP4 -platform=Win64 -clientconfig=Shipping -cook -stage -pak -package "
	                               "-skipbuild -nocompileeditor -nocompile -utf8output -DLCName=\"%s/Mods/SampleMod/SampleMod.uplugin\" "
	                               "-basedonreleaseversion=\"1.0\" -DLCPakPluginFile -DLCIncludeEngineContent=false"),
	                          *ProjectFolder, *ProjectFolder));
	EXPECT_EQ(TextString(Tasks[1]->TryGetField(TEXT("task_name"))), FString(TEXT("Packaging mod SampleMod")));
	EXPECT_EQ(Tasks[1]->GetStringField(TEXT("result_location")), Staging);

	// The notification names the task while it runs and when it has succeeded.
	TArray<FString> NotificationTexts;
	for (const TSharedPtr<FJsonObject>& Notification : Run.Events(TEXT("notification")))
	{
		NotificationTexts.AddUnique(TextString(Notification->TryGetField(TEXT("text"))) + TEXT(" / ") + Notification->GetStringField(TEXT("state")));
	}
	EXPECT_TRUE(NotificationTexts.Contains(TEXT("Packaging mod SampleMod for Win64... / pending")));
	EXPECT_TRUE(NotificationTexts.Contains(TEXT("Packaging mod SampleMod complete! / success")));

	const TArray<FString> Lines = WithoutSeconds(LogMessages(Run, TEXT("LogTrellic"), TEXT("Log")));
	ASSERT_EQ(Lines.Num(), 6);
	EXPECT_EQ(Lines[2], FString(TEXT("Packaging finished in N s.")));
	EXPECT_EQ(Lines[3], FString(TEXT("Prepared 'SampleMod' for cooking (ExplicitlyLoaded off, content listed).")));
	EXPECT_EQ(Lines[5], FString(TEXT("Packaging finished in N s.")));
	EXPECT_TRUE(LogMessages(Run, TEXT("LogTrellic"), TEXT("Error")).IsEmpty());

	const fs::path Pak = fs::path(Staging.ToUtf8()) / "Content/Paks/Windows/SampleModWindows.pak";
	ASSERT_TRUE(fs::exists(Pak));
	const std::string Listing = Output(("'" + std::string(TRL_PAK_TOOL) + "' list '" + Pak.string() + "'").c_str());
	const size_t PreparedDescriptorSize = Demo(SampleDescriptor).size() + std::string("false").size() - std::string("true").size();
	EXPECT_EQ(Listing, "SampleMod/Content/SampleAsset.uasset\t" + std::to_string(fs::file_size(Project() / "Mods/SampleMod/Content/SampleAsset.uasset")) +
	                       "\nSampleMod/SampleMod.uplugin\t" + std::to_string(PreparedDescriptorSize) + "\n");
	ExpectFilesAsInTheDemo("after the cook");
}

TEST_F(HostPackaging, AJobWhoseEndIsCalledBackFromAWorkerThreadEndsOnTheGameThreadAsUsual)
{
	const std::string FromAWorkerThread = R"({"cmd":"uat","next":{"worker_thread":true}})";
	const FHostRun Run = Sandbox.Run({FromAWorkerThread, RecordRelease, WaitForTheJob, FromAWorkerThread, PackageSampleMod(Sandbox), WaitForTheJob, Quit});

	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	for (const TSharedPtr<FJsonObject>& Reply : Run.Replies())
	{
		EXPECT_TRUE(IsOk(Reply));
	}
	TArray<FString> Results;
	for (const TSharedPtr<FJsonObject>& Finished : Run.Events(TEXT("uat-finished")))
	{
		Results.Add(Finished->GetStringField(TEXT("result")));
	}
	EXPECT_EQ(Results, (TArray<FString>{TEXT("Completed"), TEXT("Completed")}));
	const TArray<FString> Lines = WithoutSeconds(LogMessages(Run, TEXT("LogTrellic"), TEXT("Log")));
	EXPECT_EQ(Lines
	              .FilterByPredicate([](const FString& Line) {
		              return Line.Equals(TEXT("Packaging finished in N s."));
	              })
	              .Num(),
	          2);
	EXPECT_TRUE(LogMessages(Run, TEXT("LogTrellic"), TEXT("Error")).IsEmpty());
	EXPECT_TRUE(LogMessages(Run, TEXT("LogEditorHost"), TEXT("Error")).IsEmpty()) << Run.RawOutput;
	EXPECT_TRUE(fs::exists(Project() / "Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod/Content/Paks/Windows/SampleModWindows.pak"));
	ExpectFilesAsInTheDemo("after the job");
}

TEST_F(HostPackaging, EachControlEndsOnlyTheNextRunAndEveryEndLeavesTheFilesAsTheyWere)
{
	const FHostRun Run = Sandbox.Run({RecordRelease, WaitForTheJob, R"({"cmd":"uat","next":{"exit":3}})", PackageSampleMod(Sandbox), WaitForTheJob,
	                                  R"({"cmd":"uat","next":{"crash":true}})", PackageSampleMod(Sandbox), WaitForTheJob, PackageSampleMod(Sandbox),
	                                  WaitForTheJob, R"({"cmd":"uat","next":{"exit":256}})", R"({"cmd":"uat","next":{"exit":1,"crash":true}})",
	                                  R"({"cmd":"uat","next":{"exit":"3"}})", R"({"cmd":"uat","next":{"hold":true,"later":true}})", R"({"cmd":"uat"})", Quit});

	// The malformed controls at the end are refused, so the run as a whole fails.
	ASSERT_EQ(Run.ExitCode, 1) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 16);
	for (int32 Index = 0; Index < 10; ++Index)
	{
		EXPECT_TRUE(IsOk(Replies[Index])) << Index;
	}
	for (int32 Index = 10; Index < 15; ++Index)
	{
		EXPECT_FALSE(IsOk(Replies[Index])) << Index;
		EXPECT_FALSE(Replies[Index]->GetStringField(TEXT("error")).IsEmpty());
	}

	TArray<FString> Results;
	for (const TSharedPtr<FJsonObject>& Finished : Run.Events(TEXT("uat-finished")))
	{
		Results.Add(Finished->GetStringField(TEXT("result")));
	}
	EXPECT_EQ(Results, (TArray<FString>{TEXT("Completed"), TEXT("Failed with exit code 3"), TEXT("Killed by signal 9"), TEXT("Completed")}));
	const TArray<FString> Errors = WithoutSeconds(LogMessages(Run, TEXT("LogTrellic"), TEXT("Error")));
	EXPECT_EQ(Errors, (TArray<FString>{TEXT("Packaging failed after N s (Failed with exit code 3). See the UAT log for the reason."),
	                                   TEXT("Packaging failed after N s (Killed by signal 9). See the UAT log for the reason.")}));
	ExpectFilesAsInTheDemo("after every end");
}

TEST_F(HostPackaging, AHeldRunShowsThePreparedFilesUntilItIsReleased)
{
	FHostProcess Host(Sandbox);
	ASSERT_TRUE(IsOk(Host.Request(RecordRelease)));
	ASSERT_TRUE(IsOk(Host.Request(WaitForTheJob)));
	EXPECT_FALSE(IsOk(Host.Request(R"({"cmd":"uat","release":true})")));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","next":{"hold":true}})")));
	ASSERT_TRUE(IsOk(Host.Request(PackageSampleMod(Sandbox))));

	// Held, the tool waits for as long as it takes, and the script reads the files as the cook sees them.
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"tick","seconds":0.3})")));
	ExpectFilesPrepared();
	EXPECT_TRUE(IsACookRunningIn(Sandbox.GetProjectFolder()));
	const TSharedPtr<FJsonObject> InProgress = Host.Request(R"({"cmd":"call","class":"TRLModPackager","function":"IsPackagingInProgress","args":{}})");
	ASSERT_TRUE(IsOk(InProgress));
	EXPECT_TRUE(InProgress->GetBoolField(TEXT("return")));

	EXPECT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","release":true})")));
	EXPECT_TRUE(IsOk(Host.Request(WaitForTheJob)));
	const TSharedPtr<FJsonObject> Again = Host.Request(R"({"cmd":"uat","release":true})");
	ASSERT_FALSE(IsOk(Again));
	EXPECT_EQ(Again->GetStringField(TEXT("error")), FString(TEXT("No automation tool run is held.")));
	EXPECT_TRUE(IsOk(Host.Request(Quit)));
	// The two refused releases make the run fail.
	EXPECT_EQ(Host.Wait(), 1);

	EXPECT_EQ(Host.GetRun().Events(TEXT("uat-finished")).Last()->GetStringField(TEXT("result")), FString(TEXT("Completed")));
	EXPECT_TRUE(fs::exists(Project() / "Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod/Content/Paks/Windows/SampleModWindows.pak"));
	ExpectFilesAsInTheDemo("after the release");
}

TEST_F(HostPackaging, AHostThatCrashesDuringACookHasItsFilesPutBackByTheNextStart)
{
	{
		FHostProcess Host(Sandbox);
		ASSERT_TRUE(IsOk(Host.Request(RecordRelease)));
		ASSERT_TRUE(IsOk(Host.Request(WaitForTheJob)));
		ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","next":{"hold":true}})")));
		ASSERT_TRUE(IsOk(Host.Request(PackageSampleMod(Sandbox))));
		ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"tick","seconds":0.3})")));
		EXPECT_FALSE(Host.Request(R"({"cmd":"crash"})", 10.0).IsValid());
		EXPECT_EQ(Host.Wait(), 137);
	}
	ExpectFilesPrepared();

	// The held tool sees its editor gone and ends on its own.
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
	while (IsACookRunningIn(Sandbox.GetProjectFolder()) && std::chrono::steady_clock::now() < Deadline)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	EXPECT_FALSE(IsACookRunningIn(Sandbox.GetProjectFolder()));

	const FHostRun Next = Sandbox.Run({Quit});
	ASSERT_EQ(Next.ExitCode, 0) << Next.RawOutput;
	const FString ProjectFolder = FString::FromUtf8(Sandbox.GetProjectFolder());
	// A Warning, so that a terminal or an editor's log shows it without asking for every line.
	EXPECT_EQ(LogMessages(Next, TEXT("LogTrellic"), TEXT("Warning")),
	          (TArray<FString>{FString::Printf(TEXT("The editor ended during a cook of 'SampleMod'; put back as before the cook: "
	                                                "%s/Mods/SampleMod/SampleMod.uplugin, %s/Config/DefaultGame.ini."),
	                                           *ProjectFolder, *ProjectFolder)}));
	EXPECT_EQ(LogMessages(Next, TEXT("LogTrellic"), TEXT("Log")), (TArray<FString>{TEXT("Trellic editor module started.")}));
	ExpectFilesAsInTheDemo("after the next start");
}

TEST_F(HostPackaging, EveryWayOutOfTheHostDuringACookPutsBothFilesBackAndSaysTheCookWasCutShort)
{
	ASSERT_EQ(Sandbox.Run({RecordRelease, WaitForTheJob, Quit}).ExitCode, 0);
	const std::string Staging = Sandbox.GetProjectFolder() + "/Mods/SampleMod/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod";
	const std::string CutShort = "The cook of 'SampleMod' was cut short: the editor closed before UAT ended, so the cooked output in " + Staging +
	                             " is incomplete. The mod's descriptor and DefaultGame.ini are as they were before the cook. Package the mod again.";
	const std::string ShuttingDown = "Shutting down the modules, last loaded first: TrellicEditor, TrellicSteam, Trellic, UATHelper, ToolMenus.";

	const struct
	{
		const char* Name;
		int ExitCode;
		void (*Take)(FHostProcess&);
	} WaysOut[] = {
	    {"quit", 0,
	     [](FHostProcess& Host) {
		     EXPECT_TRUE(IsOk(Host.Request(Quit)));
	     }},
	    {"the end of the input", 0, [](FHostProcess&) {}},
	    {"Ctrl-C", 130,
	     [](FHostProcess& Host) {
		     Host.Interrupt();
	     }},
	};
	for (const auto& Way : WaysOut)
	{
		FHostProcess Host(Sandbox);
		ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","next":{"hold":true}})")));
		ASSERT_TRUE(IsOk(Host.Request(PackageSampleMod(Sandbox))));
		ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"tick","seconds":0.3})")));
		ExpectFilesPrepared();
		Way.Take(Host);
		EXPECT_EQ(Host.Wait(), Way.ExitCode) << Way.Name;

		ExpectFilesAsInTheDemo(Way.Name);
		EXPECT_FALSE(IsACookRunningIn(Sandbox.GetProjectFolder())) << Way.Name;
		EXPECT_EQ(LogMessages(Host.GetRun(), TEXT("LogEditorHost"), TEXT("Display")), TArray<FString>{FString::FromUtf8(ShuttingDown)}) << Way.Name;
		EXPECT_EQ(LogMessages(Host.GetRun(), TEXT("LogTrellic"), TEXT("Warning")), TArray<FString>{FString::FromUtf8(CutShort)}) << Way.Name;
		// The job ended once, at the shutdown: no end of the job after it.
		EXPECT_TRUE(LogMessages(Host.GetRun(), TEXT("LogTrellic"), TEXT("Error")).IsEmpty()) << Host.GetRun().RawOutput;
	}

	// A person at the menu who quits while the cook is held.
	FHostProcess Person(Sandbox, {});
	Person.Write("uat hold\n3\n1\nt 0.3\n");
	ASSERT_TRUE(Person.WaitForOutput("Letting 0.3 s pass...")) << Person.GetRun().RawOutput;
	ExpectFilesPrepared();
	Person.Write("q\n");
	EXPECT_EQ(Person.Wait(), 0);
	ExpectFilesAsInTheDemo("after q");
	const std::string& Terminal = Person.GetRun().RawOutput;
	EXPECT_NE(Terminal.find("> q\nClosing the editor.\nLogEditorHost: Display: " + ShuttingDown + "\nLogTrellic: Warning: " + CutShort + "\n"),
	          std::string::npos)
	    << Terminal;
}

TEST_F(HostPackaging, AJobCutShortByItsModuleEndsOnceAndTheToolsLaterEndChangesNothing)
{
	FHostProcess Host(Sandbox);
	ASSERT_TRUE(IsOk(Host.Request(RecordRelease)));
	ASSERT_TRUE(IsOk(Host.Request(WaitForTheJob)));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","next":{"hold":true}})")));
	ASSERT_TRUE(IsOk(Host.Request(PackageSampleMod(Sandbox))));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"tick","seconds":0.3})")));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"module","action":"unload","name":"TrellicEditor"})")));
	ExpectFilesAsInTheDemo("once the module has shut down");

	// The modder edits the descriptor; the tool, which the editor's UAT helper still runs, then ends.
	const std::string Edited = Demo(SampleDescriptor) + "\n";
	WriteBytes(Project() / SampleDescriptor, Edited);
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","release":true})")));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"tick","seconds":1.0})")));
	ASSERT_EQ(Host.GetRun().Events(TEXT("uat-finished")).Num(), 2);
	EXPECT_EQ(ReadFile(Project() / SampleDescriptor), Edited) << "written back a second time";
	const TArray<FString> Ended = WithoutSeconds(LogMessages(Host.GetRun(), TEXT("LogTrellic"), TEXT("Log")));
	EXPECT_EQ(Ended.FilterByPredicate([](const FString& Line) {
		return Line.StartsWith(TEXT("Packaging"));
	}),
	          TArray<FString>{TEXT("Packaging finished in N s.")})
	    << "only the base release's end";
	EXPECT_TRUE(LogMessages(Host.GetRun(), TEXT("LogTrellic"), TEXT("Error")).IsEmpty());

	// Loaded again, the module runs a new job to its end.
	WriteBytes(Project() / SampleDescriptor, Demo(SampleDescriptor));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"module","action":"load","name":"TrellicEditor"})")));
	const TSharedPtr<FJsonObject> Again = Host.Request(PackageSampleMod(Sandbox));
	ASSERT_TRUE(IsOk(Again));
	EXPECT_EQ(Again->GetStringField(TEXT("return")), FString(TEXT("Started")));
	EXPECT_TRUE(IsOk(Host.Request(WaitForTheJob)));
	EXPECT_TRUE(IsOk(Host.Request(Quit)));
	EXPECT_EQ(Host.Wait(), 0);
	EXPECT_EQ(Host.GetRun().Events(TEXT("uat-finished")).Last()->GetStringField(TEXT("result")), FString(TEXT("Completed")));
	ExpectFilesAsInTheDemo("after the new job");
}

// What a project from anywhere, a quoted path, a link or a locked file may not do to a cook: each is refused or set
// aside before anything outside the project, or anything a user sees as finished, changes.
namespace
{
	std::string Sha1Of(const std::string& Bytes)
	{
		return FSHA1::HashBuffer(Bytes.data(), Bytes.size()).ToString().ToUtf8();
	}

	std::string Base64Of(const std::string& Bytes)
	{
		TArray<uint8> Array;
		Array.Append(reinterpret_cast<const uint8*>(Bytes.data()), static_cast<int32>(Bytes.size()));
		return FBase64::Encode(Array).ToUtf8();
	}

	/** A string in JSON's quotes. */
	std::string Json(const std::string& Text)
	{
		std::string Quoted = "\"";
		for (const char Char : Text)
		{
			Quoted += (Char == '"' || Char == '\\') ? std::string("\\") + Char : std::string(1, Char);
		}
		return Quoted + "\"";
	}

	/** A journal entry that says the file now holds the preparation's bytes (its current ones), to be put back as Original. */
	std::string JournalEntry(const std::string& Path, const std::string& Current, const std::string& Original, bool bExisted = true)
	{
		return "{ \"Path\": " + Json(Path) + ", \"Existed\": " + (bExisted ? "true" : "false") +
		       (bExisted ? ", \"OriginalBytes\": \"" + Base64Of(Original) + "\"" : std::string()) + ", \"PreparedSHA1\": \"" + Sha1Of(Current) + "\" }";
	}

	void ReplaceSetting(const fs::path& Project, const std::string& Key, const std::string& Value)
	{
		std::string Ini = ReadFile(Project / DefaultGameIni);
		const size_t Start = Ini.find("\r\n" + Key + "=") + 2;
		const size_t End = Ini.find("\r\n", Start);
		Ini.replace(Start, End - Start, Key + "=" + Value);
		WriteBytes(Project / DefaultGameIni, Ini);
	}

	FString OutError(const TSharedPtr<FJsonObject>& Reply)
	{
		return TextString(Reply->GetObjectField(TEXT("out"))->TryGetField(TEXT("OutError")));
	}

	FString OutErrorKey(const TSharedPtr<FJsonObject>& Reply)
	{
		FString Key;
		Reply->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"))->TryGetStringField(TEXT("key"), Key);
		return Key;
	}

	/** Makes a file immutable for as long as it lives: no write, rename or removal reaches it, not even root's. */
	class FImmutableFile
	{
	public:
		explicit FImmutableFile(const fs::path& InPath)
		    : Path(InPath)
		    , bLocked(std::system(("chattr +i '" + Path.string() + "' 2>/dev/null").c_str()) == 0)
		{
		}
		~FImmutableFile()
		{
			if (bLocked)
			{
				std::system(("chattr -i '" + Path.string() + "'").c_str());
			}
		}
		bool IsLocked() const { return bLocked; }

	private:
		fs::path Path;
		bool bLocked;
	};

	std::string CallPackageMod(const std::string& Descriptor)
	{
		return R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":)" + Json(Descriptor) + "}}";
	}
} // namespace

TEST_F(HostPackaging, AJournalThatNamesAFileOutsideTheProjectIsSetAsideWholeAndChangesNothing)
{
	ASSERT_EQ(Sandbox.Run({Quit}).ExitCode, 0);
	const fs::path Outside = fs::path(Sandbox.GetRoot()) / "Outside";
	WriteBytes(Outside / "victim.uplugin", "the user's own file\n");
	WriteBytes(Outside / "gone.txt", "a file the journal would delete\n");
	fs::create_directory_symlink(Outside, Project() / "Mods/Evil");
	const std::string Victim = ReadFile(Outside / "victim.uplugin");
	const std::string ProjectFolder = Sandbox.GetProjectFolder();

	struct FHostile
	{
		std::string Path;
		std::string Current;
		bool bExisted;
	};
	const FHostile Cases[] = {
	    {(Outside / "victim.uplugin").string(), Victim, true},
	    {ProjectFolder + "/../Outside/victim.uplugin", Victim, true},
	    {"../Outside/victim.uplugin", Victim, true},
	    {"Mods/../../Outside/victim.uplugin", Victim, true},
	    {"Mods/Evil/victim.uplugin", Victim, true},
	    {(Outside / "gone.txt").string(), ReadFile(Outside / "gone.txt"), false},
	    {"DemoGame.uproject", Demo("DemoGame.uproject"), true},
	};
	const fs::path Journal = Project() / "Saved/Trellic/PendingCook.json";
	int Number = 1;
	for (const FHostile& Case : Cases)
	{
		// With the sample mod's entry after it, written as the journal's other paths are: the whole journal goes aside.
		const std::string SampleEntryPath = fs::path(Case.Path).is_absolute() ? ProjectFolder + "/" + SampleDescriptor : SampleDescriptor;
		const std::string Text = "{ \"ModName\": \"SampleMod\", \"Files\": [ " +
		                         JournalEntry(Case.Path, Case.Current, "replaced by a hostile journal", Case.bExisted) + ", " +
		                         JournalEntry(SampleEntryPath, Demo(SampleDescriptor), "replaced by a hostile journal") + " ] }";
		WriteBytes(Journal, Text);

		const FHostRun Run = Sandbox.Run({Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		EXPECT_EQ(ReadFile(Outside / "victim.uplugin"), Victim) << Case.Path;
		EXPECT_TRUE(fs::exists(Outside / "gone.txt")) << Case.Path;
		EXPECT_EQ(ReadFile(Project() / "DemoGame.uproject"), Demo("DemoGame.uproject")) << Case.Path;
		EXPECT_EQ(ReadFile(Project() / SampleDescriptor), Demo(SampleDescriptor)) << Case.Path;
		EXPECT_FALSE(fs::exists(Journal)) << Case.Path;
		const std::string Aside = Journal.string() + (Number == 1 ? "" : "." + std::to_string(Number)) + ".set-aside";
		EXPECT_EQ(ReadFile(Aside), Text) << Case.Path;
		const TArray<FString> Warnings = LogMessages(Run, TEXT("LogTrellic"), TEXT("Warning"));
		ASSERT_EQ(Warnings.Num(), 1) << Case.Path << "\n" << Run.RawOutput;
		const std::string Warning = Warnings[0].ToUtf8();
		EXPECT_NE(Warning.find("names '" + Case.Path + "', which "), std::string::npos) << Warning;
		EXPECT_NE(Warning.find(", so no file was put back. It is kept as '" + Aside + "'."), std::string::npos) << Warning;
		EXPECT_TRUE(LogMessages(Run, TEXT("LogTrellic"), TEXT("Log"))
		                .FilterByPredicate([](const FString& Line) {
			                return Line.Contains(TEXT("put back as before the cook"));
		                })
		                .IsEmpty());
		++Number;
	}
}

TEST_F(HostPackaging, ACopiedProjectPutsBackItsOwnFilesNotThoseOfTheProjectItCameFrom)
{
	{
		FHostProcess Host(Sandbox);
		ASSERT_TRUE(IsOk(Host.Request(RecordRelease)));
		ASSERT_TRUE(IsOk(Host.Request(WaitForTheJob)));
		ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","next":{"hold":true}})")));
		ASSERT_TRUE(IsOk(Host.Request(PackageSampleMod(Sandbox))));
		EXPECT_FALSE(Host.Request(R"({"cmd":"crash"})", 10.0).IsValid());
		EXPECT_EQ(Host.Wait(), 137);
	}
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
	while (IsACookRunningIn(Sandbox.GetProjectFolder()) && std::chrono::steady_clock::now() < Deadline)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	const fs::path Copy = fs::path(Sandbox.GetRoot()) / "Copy";
	fs::copy(Project(), Copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);

	const FHostRun Run = Sandbox.RunWithArguments({Quit}, {"--project", (Copy / "DemoGame.uproject").string()});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	EXPECT_EQ(ReadFile(Copy / SampleDescriptor), Demo(SampleDescriptor));
	EXPECT_EQ(ReadFile(Copy / DefaultGameIni), Demo(DefaultGameIni));
	EXPECT_FALSE(fs::exists(Copy / "Saved/Trellic"));
	const TArray<FString> Lines = LogMessages(Run, TEXT("LogTrellic"), TEXT("Warning"));
	ASSERT_FALSE(Lines.IsEmpty());
	EXPECT_EQ(Lines[0].ToUtf8(), "The editor ended during a cook of 'SampleMod'; put back as before the cook: " + Copy.string() + "/" + SampleDescriptor +
	                                 ", " + Copy.string() + "/" + DefaultGameIni + ".");
	// The project it was copied from is its own: still prepared, with its journal, for its own next start.
	ExpectFilesPrepared();
}

TEST_F(HostPackaging, APreparationThatCannotWriteAFileSaysWhyAndStartsNoJob)
{
	ASSERT_EQ(Sandbox.Run({RecordRelease, WaitForTheJob, Quit}).ExitCode, 0);
	for (const char* Locked : {SampleDescriptor, DefaultGameIni})
	{
		const FImmutableFile Immutable(Project() / Locked);
		if (!Immutable.IsLocked())
		{
			GTEST_SKIP() << "chattr +i does not work on this file system";
		}
		const FHostRun Run = Sandbox.Run({PackageSampleMod(Sandbox), Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		const TSharedPtr<FJsonObject> Reply = Run.Replies()[0];
		EXPECT_EQ(Reply->GetStringField(TEXT("return")), FString(TEXT("InvalidMod")));
		EXPECT_EQ(OutError(Reply), FString(TEXT("Could not prepare 'SampleMod' for cooking. Is its descriptor writable?")));
		EXPECT_EQ(OutErrorKey(Reply), FString(TEXT("PrepareFailed")));
		const TArray<FString> Warnings = LogMessages(Run, TEXT("LogTrellic"), TEXT("Warning"));
		ASSERT_EQ(Warnings.Num(), 1) << Run.RawOutput;
		EXPECT_EQ(Warnings[0].ToUtf8(), "Could not write '" + (Project() / Locked).string() +
		                                    "' for the cook: Operation not permitted. Make sure the file can be written (not locked, not marked immutable) "
		                                    "and the disk has room, then package again.");
		EXPECT_TRUE(Run.Events(TEXT("uat-task")).IsEmpty());
		ExpectFilesAsInTheDemo(Locked);
	}

	// A full disk takes the same way, with the system's own words for it.
	for (const char* Full : {SampleDescriptor, DefaultGameIni})
	{
		const std::string Fault = std::string(R"({"cmd":"fault","fail_writes":{"path_suffix":")") + Full + R"(","error":"disk-full"}})";
		const FHostRun Run = Sandbox.Run({Fault, PackageSampleMod(Sandbox), Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		EXPECT_EQ(OutErrorKey(Run.Replies()[1]), FString(TEXT("PrepareFailed"))) << Run.RawOutput;
		const TArray<FString> Warnings = LogMessages(Run, TEXT("LogTrellic"), TEXT("Warning"));
		ASSERT_EQ(Warnings.Num(), 1) << Run.RawOutput;
		EXPECT_EQ(Warnings[0].ToUtf8(), "Could not write '" + (Project() / Full).string() +
		                                    "' for the cook: No space left on device. Make sure the file can be written (not locked, not marked "
		                                    "immutable) and the disk has room, then package again.");
		EXPECT_TRUE(Run.Events(TEXT("uat-task")).IsEmpty());
		ExpectFilesAsInTheDemo(Full);
	}
}

TEST_F(HostPackaging, TheSearchesForAssetsAndForAReleaseDoNotFollowLinks)
{
	ASSERT_EQ(Sandbox.Run({RecordRelease, WaitForTheJob, Quit}).ExitCode, 0);
	const fs::path Root(Sandbox.GetRoot());
	const std::string Descriptor = Demo(SampleDescriptor);
	// A mod whose only asset lies behind a link to a folder outside the project.
	WriteBytes(Root / "OutsideAssets/Thing.uasset", "asset");
	WriteBytes(Project() / "Mods/Linked/Linked.uplugin", Descriptor);
	fs::create_directories(Project() / "Mods/Linked/Content");
	fs::create_directory_symlink(Root / "OutsideAssets", Project() / "Mods/Linked/Content/Out");
	// A mod with an asset beside two links that loop back into its own folders.
	WriteBytes(Project() / "Mods/Looped/Looped.uplugin", Descriptor);
	WriteBytes(Project() / "Mods/Looped/Content/Hero.uasset", "asset");
	fs::create_directory_symlink(".", Project() / "Mods/Looped/Content/Loop");
	fs::create_directory_symlink("..", Project() / "Mods/Looped/Content/Up");

	const FHostRun Run = Sandbox.Run({CallPackageMod(Sandbox.GetModsRoot() + "/Linked/Linked.uplugin"), R"({"cmd":"uat","next":{"exit":3}})",
	                                  CallPackageMod(Sandbox.GetModsRoot() + "/Looped/Looped.uplugin"), WaitForTheJob, Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	EXPECT_EQ(OutErrorKey(Replies[0]), FString(TEXT("EmptyMod")));
	EXPECT_EQ(Replies[2]->GetStringField(TEXT("return")), FString(TEXT("Started"))) << Run.RawOutput;

	// The recorded release moved out of the project, and a link to it below the version folder: the search for a
	// release under another platform folder does not go through it.
	fs::rename(Project() / "Releases/1.0", Root / "OutsideRelease");
	fs::create_directories(Project() / "Releases/1.0");
	fs::create_directory_symlink(Root / "OutsideRelease/Windows", Project() / "Releases/1.0/Elsewhere");
	const FHostRun Release = Sandbox.Run({R"({"cmd":"call","class":"TRLModPackager","function":"HasBaseGameRelease","args":{}})", Quit});
	ASSERT_EQ(Release.ExitCode, 0) << Release.RawOutput;
	EXPECT_FALSE(Release.Replies()[0]->GetBoolField(TEXT("return")));
}

TEST_F(HostPackaging, AQuoteInASettingOrInThePathsNeverReachesTheAutomationTool)
{
	ASSERT_EQ(Sandbox.Run({Quit}).ExitCode, 0);
	ReplaceSetting(Project(), "BaseReleaseVersion", R"(1.0" -createreleaseversion="../../x)");
	WriteBytes(Project() / "Releases/1.0/Windows/AssetRegistry.bin", "registry");
	const FHostRun Run = Sandbox.Run({RecordRelease, PackageSampleMod(Sandbox), Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string SettingRefused =
	    R"(The Trellic setting BaseReleaseVersion is '1.0" -createreleaseversion="../../x', which cannot be passed safely on the automation tool's )"
	    R"(command line. Change it in Project Settings > Plugins > Trellic, using letters, digits, dots, dashes and underscores.)";
	for (const TSharedPtr<FJsonObject>& Reply : Run.Replies().FilterByPredicate([](const TSharedPtr<FJsonObject>& Line) {
		     return Line->GetStringField(TEXT("reply")).Equals(TEXT("call"));
	     }))
	{
		EXPECT_EQ(Reply->GetStringField(TEXT("return")), FString(TEXT("InvalidMod")));
		EXPECT_EQ(OutError(Reply).ToUtf8(), SettingRefused);
	}
	EXPECT_TRUE(Run.Events(TEXT("uat-task")).IsEmpty());

	const fs::path Quoted = fs::path(Sandbox.GetRoot()) / "quote\"d";
	const FHostRun Copied = Sandbox.RunWithArguments({Quit}, {"--copy-to", Quoted.string()});
	ASSERT_EQ(Copied.ExitCode, 0) << Copied.RawOutput;
	WriteBytes(Quoted / "Releases/1.0/Windows/AssetRegistry.bin", "registry");
	const FHostRun InQuotedFolder = Sandbox.RunWithArguments({RecordRelease, CallPackageMod((Quoted / SampleDescriptor).string()), Quit},
	                                                         {"--project", (Quoted / "DemoGame.uproject").string()});
	ASSERT_EQ(InQuotedFolder.ExitCode, 0) << InQuotedFolder.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = InQuotedFolder.Replies();
	const std::string PathRefused = "The path '" + (Quoted / "DemoGame.uproject").string() +
	                                "' cannot be passed safely on the automation tool's command line: it holds a quote, a backslash, a percent or "
	                                "dollar sign, a backquote or a control character. Rename the folder so that the path has none of them.";
	EXPECT_EQ(OutError(Replies[0]).ToUtf8(), PathRefused);
	EXPECT_EQ(OutError(Replies[1]).ToUtf8(), PathRefused);
	EXPECT_TRUE(InQuotedFolder.Events(TEXT("uat-task")).IsEmpty());
	EXPECT_EQ(ReadFile(Quoted / SampleDescriptor), Demo(SampleDescriptor));
}

TEST_F(HostPackaging, AnUploadOfTheModBeingPackagedIsRefusedAndTheCookKeepsItsPreparation)
{
	FHostProcess Host(Sandbox);
	ASSERT_TRUE(IsOk(Host.Request(RecordRelease)));
	ASSERT_TRUE(IsOk(Host.Request(WaitForTheJob)));
	ASSERT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","next":{"hold":true}})")));
	ASSERT_TRUE(IsOk(Host.Request(PackageSampleMod(Sandbox))));
	const TSharedPtr<FJsonObject> Upload = Host.Request(R"({"cmd":"call","class":"TRLWorkshopUpload","function":"UploadMod","args":{"ModDescriptorPath":)" +
	                                                    Json(Sandbox.GetProjectFolder() + "/" + SampleDescriptor) + R"(,"ChangeNote":""}})");
	ASSERT_TRUE(IsOk(Upload));
	EXPECT_EQ(Upload->GetStringField(TEXT("return")), FString(TEXT("Busy")));
	EXPECT_EQ(OutError(Upload), FString(TEXT("'SampleMod' is being packaged. Wait for packaging to finish, then upload it.")));
	ExpectFilesPrepared();

	EXPECT_TRUE(IsOk(Host.Request(R"({"cmd":"uat","release":true})")));
	EXPECT_TRUE(IsOk(Host.Request(WaitForTheJob)));
	EXPECT_TRUE(IsOk(Host.Request(Quit)));
	EXPECT_EQ(Host.Wait(), 0);
	EXPECT_EQ(Host.GetRun().Events(TEXT("uat-finished")).Last()->GetStringField(TEXT("result")), FString(TEXT("Completed")));
	ExpectFilesAsInTheDemo("after the cook");
}

TEST_F(HostPackaging, AModsDirectoryOutsideTheProjectIsRefusedNeverGluedOntoIt)
{
	ASSERT_EQ(Sandbox.Run({Quit}).ExitCode, 0);
	const fs::path Elsewhere = fs::path(Sandbox.GetRoot()) / "Elsewhere";
	ReplaceSetting(Project(), "ModsDirectory", Elsewhere.string());
	const FHostRun Run =
	    Sandbox.Run({R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":"NewMod","Author":"","Description":""}})", Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string Refused = "The ModsDirectory setting '" + Elsewhere.string() +
	                            "' leads outside the project, so there is no mods folder. Set it to a folder inside the project, such as Mods (Project "
	                            "Settings > Plugins > Trellic, or ModsDirectory= under [/Script/Trellic.TRLSettings] in Config/DefaultGame.ini).";
	const TSharedPtr<FJsonObject> Reply = Run.Replies()[0];
	EXPECT_EQ(Reply->GetStringField(TEXT("return")), FString());
	EXPECT_EQ(OutError(Reply).ToUtf8(), Refused);
	EXPECT_FALSE(fs::exists(Elsewhere));
	EXPECT_FALSE(fs::exists(Project() / Elsewhere.relative_path()));
}
