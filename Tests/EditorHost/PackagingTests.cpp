// Packaging through the host, end to end on a fresh copy of the demo project: a base release recorded, the sample mod
// cooked into a pak by the stand-in automation tool, and every way a job can end, the editor's own death included.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
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
	const TArray<FString> Lines = LogMessages(Next, TEXT("LogTrellic"), TEXT("Log"));
	ASSERT_EQ(Lines.Num(), 2);
	EXPECT_EQ(Lines[0], FString::Printf(TEXT("The editor ended during a cook of 'SampleMod'; put back as before the cook: %s/Mods/SampleMod/SampleMod.uplugin, "
	                                         "%s/Config/DefaultGame.ini."),
	                                    *ProjectFolder, *ProjectFolder));
	EXPECT_EQ(Lines[1], FString(TEXT("Trellic editor module started.")));
	EXPECT_TRUE(LogMessages(Next, TEXT("LogTrellic"), TEXT("Warning")).IsEmpty());
	ExpectFilesAsInTheDemo("after the next start");
}
