#include "IUATHelperModule.h"
#include "StandIn/UatRunControl.h"
#include "StandIn/UatTaskObserver.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "Framework/Notifications/NotificationManager.h"
#include "Misc/Paths.h"
#include "StandIn/NotificationObserver.h"
#include "StandIn/OutputDeviceCapture.h"
#include "Widgets/Notifications/SNotificationList.h"

#include <gtest/gtest.h>

#include "StandIn/EngineDir.h"
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace
{
	struct FTaskEnd
	{
		int32 NumCalls = 0;
		FString Result;
		double Seconds = -1.0;
		bool bOnGameThread = false;
	};

	class UATHelperTest : public testing::Test
	{
	protected:
		void SetUp() override
		{
			char Template[] = "/tmp/UATHelperTest-XXXXXX";
			ASSERT_NE(mkdtemp(Template), nullptr);
			TempDir = Template;
			OriginalEngineDir = FPaths::EngineDir();
			UE::StandIn::SetEngineDir(FString((TempDir / "Engine").c_str()));
		}

		void TearDown() override
		{
			UE::StandIn::SetEngineDir(OriginalEngineDir);
			UE::StandIn::SetUatTaskObserver({});
			std::filesystem::remove_all(TempDir);
		}

		// A RunUAT.sh in the test's engine folder that runs Body.
		void WriteRunUat(const std::string& Body) const
		{
			const std::filesystem::path Script = TempDir / "Engine/Build/BatchFiles/RunUAT.sh";
			std::filesystem::create_directories(Script.parent_path());
			std::ofstream(Script) << "#!/bin/sh\n" << Body << "\n";
			std::filesystem::permissions(Script, std::filesystem::perms::owner_all);
		}

		// Starts a task whose end is recorded in End, which must outlive it.
		static void StartTask(const FString& CommandLine, FTaskEnd& End, const TCHAR* TaskName = TEXT("Cook"))
		{
			IUATHelperModule::Get().CreateUatTask(CommandLine, FText::FromString(TEXT("Win64")), FText::FromString(TaskName), FText::FromString(TaskName),
			                                      nullptr, nullptr, [&End](FString Result, double Seconds) {
				                                      ++End.NumCalls;
				                                      End.Result = Result;
				                                      End.Seconds = Seconds;
				                                      End.bOnGameThread = IsInGameThread();
			                                      });
			EXPECT_EQ(End.NumCalls, 0) << "The callback must not run before the ticker polls the task.";
		}

		static void WaitForEnd(const FTaskEnd& End)
		{
			TickUntil([&End]() {
				return End.NumCalls > 0;
			});
			// A few more frames: a second call would show here.
			for (int32 Frame = 0; Frame < 5; ++Frame)
			{
				FTSTicker::GetCoreTicker().Tick(0.01f);
			}
		}

		static FTaskEnd RunTask(const FString& CommandLine, const TCHAR* TaskName = TEXT("Cook"))
		{
			FTaskEnd End;
			StartTask(CommandLine, End, TaskName);
			WaitForEnd(End);
			return End;
		}

		static void TickUntil(const TFunction<bool()>& bIsDone)
		{
			const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
			while (!bIsDone() && std::chrono::steady_clock::now() < Deadline)
			{
				FTSTicker::GetCoreTicker().Tick(0.01f);
				std::this_thread::sleep_for(std::chrono::milliseconds(2));
			}
		}

		static TArray<FString> LinesOf(const UE::StandIn::FOutputDeviceCapture& Capture, const TCHAR* Category)
		{
			TArray<FString> Lines;
			for (const UE::StandIn::FCapturedLogLine& Line : Capture.GetLines())
			{
				if (Line.Category == FName(Category))
				{
					Lines.Add(Line.Message);
				}
			}
			return Lines;
		}

		std::filesystem::path TempDir;
		FString OriginalEngineDir;
	};
} // namespace

TEST_F(UATHelperTest, ReportsCompletedOnceOnTheGameThreadWhenTheToolSucceeds)
{
	WriteRunUat("echo 'Tool banner'\nsleep 0.2\necho 'Cooking 50%'\nexit 0");
	UE::StandIn::FOutputDeviceCapture Capture;
	TArray<UE::StandIn::FNotificationSnapshot> Snapshots;
	UE::StandIn::FScopedNotificationObserver Observer(
	    [&Snapshots](UE::StandIn::ENotificationEvent, const TSharedRef<SNotificationItem>&, const UE::StandIn::FNotificationSnapshot& Snapshot) {
		    Snapshots.Add(Snapshot);
	    });

	const FTaskEnd End = RunTask(TEXT("BuildCookRun -cook"));

	EXPECT_EQ(End.NumCalls, 1);
	EXPECT_EQ(End.Result, TEXT("Completed"));
	EXPECT_TRUE(End.bOnGameThread);
	EXPECT_GE(End.Seconds, 0.2);
	EXPECT_LT(End.Seconds, 20.0);

	const TArray<FString> Lines = LinesOf(Capture, TEXT("LogUATHelper"));
	EXPECT_TRUE(Lines.Contains(TEXT("Tool banner")));
	EXPECT_TRUE(Lines.Contains(TEXT("Cooking 50%")));

	ASSERT_GT(Snapshots.Num(), 1);
	EXPECT_EQ(Snapshots[0].Text.ToString(), TEXT("Cook for Win64..."));
	const UE::StandIn::FNotificationSnapshot& Last = Snapshots.Last();
	EXPECT_EQ(Last.CompletionState, SNotificationItem::CS_Success);
	EXPECT_EQ(Last.Text.ToString(), TEXT("Cook complete!"));
	EXPECT_EQ(Last.SubText.ToString(), TEXT("Tool banner\nCooking 50%"));
	bool bShowedPending = false;
	for (const UE::StandIn::FNotificationSnapshot& Snapshot : Snapshots)
	{
		bShowedPending = bShowedPending || Snapshot.CompletionState == SNotificationItem::CS_Pending;
	}
	EXPECT_TRUE(bShowedPending);
}

TEST_F(UATHelperTest, ReportsHowTheToolFailed)
{
	WriteRunUat("exit 3");
	FTaskEnd End = RunTask(TEXT("BuildCookRun"));
	EXPECT_EQ(End.NumCalls, 1);
	EXPECT_EQ(End.Result, TEXT("Failed with exit code 3"));

	WriteRunUat("kill -9 $$");
	End = RunTask(TEXT("BuildCookRun"));
	EXPECT_EQ(End.NumCalls, 1);
	EXPECT_EQ(End.Result, TEXT("Killed by signal 9"));
}

TEST_F(UATHelperTest, ReportsAToolThatCannotBeStartedFromTheTickerAsAnyOtherEnd)
{
	TArray<UE::StandIn::FNotificationSnapshot> Snapshots;
	UE::StandIn::FScopedNotificationObserver Observer(
	    [&Snapshots](UE::StandIn::ENotificationEvent, const TSharedRef<SNotificationItem>&, const UE::StandIn::FNotificationSnapshot& Snapshot) {
		    Snapshots.Add(Snapshot);
	    });

	const FTaskEnd End = RunTask(TEXT("BuildCookRun"));

	EXPECT_EQ(End.NumCalls, 1);
	EXPECT_TRUE(End.bOnGameThread);
	const FString Expected =
	    FString(TEXT("Could not start ")) + FString((TempDir / "Engine/Build/BatchFiles/RunUAT.sh").c_str()) + TEXT(": No such file or directory");
	EXPECT_EQ(End.Result, Expected);
	ASSERT_GT(Snapshots.Num(), 0);
	EXPECT_EQ(Snapshots.Last().CompletionState, SNotificationItem::CS_Fail);
	EXPECT_EQ(Snapshots.Last().Text.ToString(), FString(TEXT("Cook failed: ")) + Expected);
}

TEST_F(UATHelperTest, StartsNothingAndNeverCallsBackWhereNoNotificationCanBeShown)
{
	const std::filesystem::path Marker = TempDir / "ran";
	WriteRunUat("touch '" + Marker.string() + "'");
	FSlateNotificationManager::Get().SetAllowNotifications(false);
	FTaskEnd End;
	StartTask(TEXT("BuildCookRun"), End);
	for (int32 Frame = 0; Frame < 50; ++Frame)
	{
		FTSTicker::GetCoreTicker().Tick(0.01f);
		std::this_thread::sleep_for(std::chrono::milliseconds(4));
	}
	FSlateNotificationManager::Get().SetAllowNotifications(true);

	EXPECT_EQ(End.NumCalls, 0);
	EXPECT_FALSE(std::filesystem::exists(Marker));
}

TEST_F(UATHelperTest, SplitsTheCommandLineAsTheToolDoesWithoutAShell)
{
	WriteRunUat("for a in \"$@\"; do echo \"[$a]\"; done");
	UE::StandIn::FOutputDeviceCapture Capture;

	const FTaskEnd End = RunTask(TEXT("BuildCookRun  -project=\"/My Game/Game.uproject\"\t\"\" -x=$(touch pwned);echo|cat"));

	EXPECT_EQ(End.Result, TEXT("Completed"));
	const TArray<FString> Lines = LinesOf(Capture, TEXT("LogUATHelper"));
	const int32 First = Lines.IndexOfByKey(TEXT("[BuildCookRun]"));
	ASSERT_NE(First, INDEX_NONE);
	ASSERT_GE(Lines.Num(), First + 6);
	EXPECT_FALSE(Lines[First + 5].StartsWith(TEXT("["))) << "More arguments than expected: " << Lines[First + 5].ToUtf8();
	EXPECT_EQ(Lines[First + 1].ToUtf8(), "[-project=/My Game/Game.uproject]");
	EXPECT_EQ(Lines[First + 2].ToUtf8(), "[]");
	EXPECT_EQ(Lines[First + 3].ToUtf8(), "[-x=$(touch]");
	EXPECT_EQ(Lines[First + 4].ToUtf8(), "[pwned);echo|cat]");
	EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(UATHelperTest, ShowsTheHostEveryArgumentAndTheEnd)
{
	WriteRunUat("exit 0");
	TArray<UE::StandIn::FUatTaskRequest> Created;
	TArray<FString> Finished;
	UE::StandIn::SetUatTaskObserver({[&Created](const UE::StandIn::FUatTaskRequest& Request) {
		                                 Created.Add(Request);
	                                 },
	                                 [&Finished](const UE::StandIn::FUatTaskRequest& Request, const FString& Result, double Seconds) {
		                                 Finished.Add(FString::FromInt(Request.TaskId) + TEXT(" ") + Result + (Seconds >= 0.0 ? TEXT("") : TEXT(" negative")));
	                                 },
	                                 {}});

	IUATHelperModule::Get().CreateUatTask(TEXT("BuildCookRun -a"), FText::FromString(TEXT("Win64")), FText::FromString(TEXT("Packaging Mod")),
	                                      FText::FromString(TEXT("Package")), nullptr, nullptr, nullptr, TEXT("/out/Mod"));
	TickUntil([&Finished]() {
		return Finished.Num() > 0;
	});

	ASSERT_EQ(Created.Num(), 1);
	const UE::StandIn::FUatTaskRequest& Request = Created[0];
	EXPECT_EQ(Request.CommandLine, TEXT("BuildCookRun -a"));
	EXPECT_EQ(Request.PlatformDisplayName.ToString(), TEXT("Win64"));
	EXPECT_EQ(Request.TaskName.ToString(), TEXT("Packaging Mod"));
	EXPECT_EQ(Request.TaskShortName.ToString(), TEXT("Package"));
	EXPECT_EQ(Request.TaskIcon, nullptr);
	EXPECT_EQ(Request.OptionalAnalyticsParamArray, nullptr);
	EXPECT_FALSE(Request.bHasResultCallback);
	EXPECT_EQ(Request.ResultLocation, TEXT("/out/Mod"));
	ASSERT_EQ(Finished.Num(), 1);
	EXPECT_EQ(Finished[0], FString::FromInt(Request.TaskId) + TEXT(" Completed"));
}

TEST_F(UATHelperTest, TheStandInToolSaysItIsASimulationAndRefusesAMissingProject)
{
	UE::StandIn::SetEngineDir(OriginalEngineDir);
	UE::StandIn::FOutputDeviceCapture Capture;
	TArray<UE::StandIn::FNotificationSnapshot> Snapshots;
	UE::StandIn::FScopedNotificationObserver Observer(
	    [&Snapshots](UE::StandIn::ENotificationEvent, const TSharedRef<SNotificationItem>&, const UE::StandIn::FNotificationSnapshot& Snapshot) {
		    Snapshots.Add(Snapshot);
	    });

	const FTaskEnd End = RunTask(TEXT("BuildCookRun -project=\"/A B/G.uproject\""));

	EXPECT_EQ(End.Result, TEXT("Failed with exit code 1"));
	const TArray<FString> Lines = LinesOf(Capture, TEXT("LogUATHelper"));
	const int32 Banner = Lines.IndexOfByPredicate([](const FString& Line) {
		return Line.StartsWith(TEXT("Simulated automation tool"));
	});
	ASSERT_NE(Banner, INDEX_NONE);
	EXPECT_EQ(Lines[Banner + 1], TEXT("Command line: BuildCookRun \"-project=/A B/G.uproject\""));
	EXPECT_EQ(Lines[Banner + 2], TEXT("BUILD FAILED: The project file '/A B/G.uproject' does not exist."));
	ASSERT_GT(Snapshots.Num(), 0);
	EXPECT_TRUE(Snapshots.Last().SubText.ToString().Contains(TEXT("Simulated automation tool")));
}

TEST_F(UATHelperTest, CancelFromTheNotificationStopsTheTool)
{
	WriteRunUat("echo started\nsleep 30");
	TSharedPtr<SNotificationItem> Item;
	UE::StandIn::FScopedNotificationObserver Observer(
	    [&Item](UE::StandIn::ENotificationEvent Event, const TSharedRef<SNotificationItem>& Changed, const UE::StandIn::FNotificationSnapshot&) {
		    if (Event == UE::StandIn::ENotificationEvent::Added)
		    {
			    Item = Changed;
		    }
	    });

	FTaskEnd End;
	StartTask(TEXT("BuildCookRun"), End);
	ASSERT_TRUE(Item.IsValid());
	EXPECT_TRUE(UE::StandIn::ClickNotificationButton(Item.ToSharedRef(), TEXT("Cancel")));
	WaitForEnd(End);

	EXPECT_EQ(End.NumCalls, 1);
	EXPECT_EQ(End.Result, TEXT("Canceled"));
	EXPECT_LT(End.Seconds, 10.0);
	EXPECT_EQ(Item->GetCompletionState(), SNotificationItem::CS_Fail);
	EXPECT_FALSE(UE::StandIn::ClickNotificationButton(Item.ToSharedRef(), TEXT("Cancel")));
}

TEST_F(UATHelperTest, UnloadingTheModuleEndsARunningToolWithoutCallingBack)
{
	const std::filesystem::path PidFile = TempDir / "pid";
	WriteRunUat("echo $$ > '" + PidFile.string() + "'\nexec sleep 30");
	FTaskEnd End;
	StartTask(TEXT("BuildCookRun"), End);
	TickUntil([&PidFile]() {
		return std::filesystem::exists(PidFile) && std::filesystem::file_size(PidFile) > 0;
	});
	pid_t ToolId = 0;
	std::ifstream(PidFile) >> ToolId;
	ASSERT_GT(ToolId, 0);

	FModuleManager::Get().UnloadModule("UATHelper");

	// Killed and reaped: not even a zombie is left.
	EXPECT_EQ(kill(ToolId, 0), -1);
	for (int32 Frame = 0; Frame < 5; ++Frame)
	{
		FTSTicker::GetCoreTicker().Tick(0.01f);
	}
	EXPECT_EQ(End.NumCalls, 0);
	EXPECT_FALSE(IUATHelperModule::IsAvailable());
}

namespace
{
	/** The stand-in automation tool recording a release of a small project, with the next run's control. */
	class UatRunControlTest : public UATHelperTest
	{
	protected:
		void SetUp() override
		{
			UATHelperTest::SetUp();
			UE::StandIn::SetEngineDir(OriginalEngineDir);
			std::filesystem::create_directories(TempDir / "Game/Content");
			std::ofstream(TempDir / "Game/Game.uproject") << "{}";
			std::ofstream(TempDir / "Game/Content/Crate.uasset") << "crate";
			Registry = TempDir / "Game/Releases/1.0/Windows/AssetRegistry.bin";
		}

		void TearDown() override
		{
			UE::StandIn::SetNextUatRun({});
			UATHelperTest::TearDown();
		}

		FString ReleaseCommandLine() const
		{
			return FString::FromUtf8("BuildCookRun -project=\"" + (TempDir / "Game/Game.uproject").string() + "\" -platform=Win64 -createreleaseversion=1.0");
		}

		static UE::StandIn::FUatRunControl Hold()
		{
			UE::StandIn::FUatRunControl Control;
			Control.bHold = true;
			return Control;
		}

		static UE::StandIn::FUatRunControl ExitWith(int32 ExitCode)
		{
			UE::StandIn::FUatRunControl Control;
			Control.ExitCode = ExitCode;
			return Control;
		}

		std::filesystem::path Registry;
	};
} // namespace

TEST_F(UatRunControlTest, AHeldRunTouchesNothingUntilReleasedAndThenDoesItsWork)
{
	UE::StandIn::FOutputDeviceCapture Capture;
	EXPECT_FALSE(UE::StandIn::ReleaseHeldUatRun()) << "Nothing is held yet.";
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(Hold()));

	FTaskEnd End;
	StartTask(ReleaseCommandLine(), End);
	TickUntil([&Capture]() {
		return LinesOf(Capture, TEXT("LogUATHelper")).Contains(TEXT("Simulation control: held before any work, waiting to be released."));
	});
	const auto HeldUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
	TickUntil([HeldUntil]() {
		return std::chrono::steady_clock::now() >= HeldUntil;
	});
	EXPECT_EQ(End.NumCalls, 0);
	EXPECT_FALSE(std::filesystem::exists(TempDir / "Game/Releases"));
	const TArray<FString> HeldLines = LinesOf(Capture, TEXT("LogUATHelper"));
	ASSERT_GE(HeldLines.Num(), 3);
	EXPECT_TRUE(HeldLines[1].StartsWith(TEXT("Simulated automation tool")));
	EXPECT_EQ(HeldLines.Last(), TEXT("Simulation control: held before any work, waiting to be released."));

	EXPECT_TRUE(UE::StandIn::ReleaseHeldUatRun());
	WaitForEnd(End);
	EXPECT_EQ(End.Result, TEXT("Completed"));
	EXPECT_TRUE(std::filesystem::exists(Registry));
	EXPECT_TRUE(LinesOf(Capture, TEXT("LogUATHelper")).Contains(TEXT("Simulation control: released.")));
	EXPECT_FALSE(UE::StandIn::ReleaseHeldUatRun()) << "The run was released already.";
}

TEST_F(UatRunControlTest, AHeldRunThatWasCanceledCannotBeReleased)
{
	TSharedPtr<SNotificationItem> Item;
	UE::StandIn::FScopedNotificationObserver Observer(
	    [&Item](UE::StandIn::ENotificationEvent Event, const TSharedRef<SNotificationItem>& Changed, const UE::StandIn::FNotificationSnapshot&) {
		    if (Event == UE::StandIn::ENotificationEvent::Added)
		    {
			    Item = Changed;
		    }
	    });
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(Hold()));
	FTaskEnd End;
	StartTask(ReleaseCommandLine(), End);
	ASSERT_TRUE(Item.IsValid());
	EXPECT_TRUE(UE::StandIn::ClickNotificationButton(Item.ToSharedRef(), TEXT("Cancel")));
	WaitForEnd(End);

	EXPECT_EQ(End.Result, TEXT("Canceled"));
	EXPECT_FALSE(UE::StandIn::ReleaseHeldUatRun());
	EXPECT_FALSE(std::filesystem::exists(TempDir / "Game/Releases"));
}

TEST_F(UatRunControlTest, AnExitCodeEndsTheNextRunWithoutItsWorkAndOnlyThatRun)
{
	UE::StandIn::FOutputDeviceCapture Capture;
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(ExitWith(3)));
	FTaskEnd End = RunTask(ReleaseCommandLine());
	EXPECT_EQ(End.Result, TEXT("Failed with exit code 3"));
	EXPECT_FALSE(std::filesystem::exists(TempDir / "Game/Releases"));
	const TArray<FString> Lines = LinesOf(Capture, TEXT("LogUATHelper"));
	EXPECT_TRUE(Lines.Contains(TEXT("BUILD FAILED: the simulation control asked for exit code 3.")));

	// A control the editor itself inherited must not reach its tools either.
	setenv("TRELLIC_UAT_EXIT_CODE", "5", 1);
	End = RunTask(ReleaseCommandLine());
	unsetenv("TRELLIC_UAT_EXIT_CODE");
	EXPECT_EQ(End.Result, TEXT("Completed"));
	EXPECT_TRUE(std::filesystem::exists(Registry));
}

TEST_F(UatRunControlTest, ACrashKillsTheToolPartWayThroughItsWork)
{
	UE::StandIn::FOutputDeviceCapture Capture;
	UE::StandIn::FUatRunControl Crash;
	Crash.bCrash = true;
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(Crash));

	FTaskEnd End = RunTask(ReleaseCommandLine());

	EXPECT_EQ(End.Result, TEXT("Killed by signal 9"));
	const TArray<FString> Lines = LinesOf(Capture, TEXT("LogUATHelper"));
	EXPECT_TRUE(Lines.Contains(TEXT("Release asset: /Game/Crate"))) << "The work had begun.";
	EXPECT_TRUE(Lines.Contains(TEXT("Simulation control: killing the tool part-way through its work.")));
	EXPECT_FALSE(Lines.ContainsByPredicate([](const FString& Line) {
		return Line.StartsWith(TEXT("BUILD"));
	}));
	EXPECT_TRUE(std::filesystem::is_directory(Registry.parent_path()));
	EXPECT_FALSE(std::filesystem::exists(Registry));

	End = RunTask(ReleaseCommandLine());
	EXPECT_EQ(End.Result, TEXT("Completed"));
}

TEST_F(UatRunControlTest, AControlThatAsksForTwoEndsOrAnImpossibleExitCodeIsRefusedAndKeepsTheOneBefore)
{
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(ExitWith(4)));
	UE::StandIn::FUatRunControl Both = ExitWith(3);
	Both.bCrash = true;
	EXPECT_FALSE(UE::StandIn::SetNextUatRun(Both));
	EXPECT_FALSE(UE::StandIn::SetNextUatRun(ExitWith(256)));
	EXPECT_FALSE(UE::StandIn::SetNextUatRun(ExitWith(-1)));

	EXPECT_EQ(RunTask(ReleaseCommandLine()).Result, TEXT("Failed with exit code 4"));
}

TEST_F(UatRunControlTest, AWorkerThreadCallbackComesFromAThreadOfItsOwnWhileTheGameThreadGoesOnForTheNextRunOnly)
{
	// Shared with the callback's thread, which may outlive any one frame of the test.
	struct FThreadedEnd
	{
		std::mutex Mutex;
		std::condition_variable Changed;
		int32 NumCalls = 0;
		FString Result;
		bool bOnGameThread = true;
		bool bMayReturn = false;
		bool bReturned = false;
	};
	const std::shared_ptr<FThreadedEnd> End = std::make_shared<FThreadedEnd>();
	bool bObserverOnGameThread = false;
	UE::StandIn::FUatTaskObserver Observer;
	Observer.OnTaskFinished = [&bObserverOnGameThread](const UE::StandIn::FUatTaskRequest&, const FString&, double) {
		bObserverOnGameThread = IsInGameThread();
	};
	UE::StandIn::SetUatTaskObserver(MoveTemp(Observer));

	UE::StandIn::FUatRunControl Worker;
	Worker.bCallBackOnWorkerThread = true;
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(Worker));
	IUATHelperModule::Get().CreateUatTask(ReleaseCommandLine(), FText::FromString(TEXT("Win64")), FText::FromString(TEXT("Release")),
	                                      FText::FromString(TEXT("Release")), nullptr, nullptr, [End](FString Result, double) {
		                                      std::unique_lock<std::mutex> Lock(End->Mutex);
		                                      ++End->NumCalls;
		                                      End->Result = Result;
		                                      End->bOnGameThread = IsInGameThread();
		                                      End->Changed.notify_all();
		                                      // Held until the test has ticked on: a callback made inside the tick would never be let go.
		                                      End->Changed.wait_for(Lock, std::chrono::seconds(10), [&End]() {
			                                      return End->bMayReturn;
		                                      });
		                                      End->bReturned = true;
		                                      End->Changed.notify_all();
	                                      });
	TickUntil([&End]() {
		std::lock_guard<std::mutex> Lock(End->Mutex);
		return End->NumCalls > 0;
	});
	for (int32 Frame = 0; Frame < 3; ++Frame)
	{
		FTSTicker::GetCoreTicker().Tick(0.01f);
	}
	{
		std::unique_lock<std::mutex> Lock(End->Mutex);
		EXPECT_EQ(End->NumCalls, 1);
		EXPECT_EQ(End->Result, TEXT("Completed"));
		EXPECT_FALSE(End->bOnGameThread);
		EXPECT_FALSE(End->bReturned) << "The game thread went on while the callback was still running.";
		End->bMayReturn = true;
		End->Changed.notify_all();
		EXPECT_TRUE(End->Changed.wait_for(Lock, std::chrono::seconds(10), [&End]() {
			return End->bReturned;
		}));
	}
	EXPECT_TRUE(bObserverOnGameThread) << "Only the result callback moves; the task ends on the game thread.";

	const FTaskEnd Next = RunTask(ReleaseCommandLine());
	EXPECT_EQ(Next.Result, TEXT("Completed"));
	EXPECT_TRUE(Next.bOnGameThread);
}

TEST_F(UatRunControlTest, AHeldToolWhoseEditorDiesEndsOnItsOwn)
{
	// Orphans are handed to this process, so that it can see the tool end and reap it.
	ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
	const std::string HolderLog = (TempDir / "holder.log").string();
	posix_spawn_file_actions_t Actions;
	posix_spawn_file_actions_init(&Actions);
	posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, HolderLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	posix_spawn_file_actions_adddup2(&Actions, STDOUT_FILENO, STDERR_FILENO);
	std::string CommandLine = ReleaseCommandLine().ToUtf8();
	char* const HolderArgV[] = {const_cast<char*>(TRL_UAT_HOLDER), CommandLine.data(), nullptr};
	pid_t HolderId = 0;
	ASSERT_EQ(posix_spawn(&HolderId, TRL_UAT_HOLDER, &Actions, nullptr, HolderArgV, environ), 0);
	posix_spawn_file_actions_destroy(&Actions);

	// The tool is the holder's only child; it is found once it says that it is held.
	pid_t ToolId = 0;
	const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
	while (ToolId == 0 && std::chrono::steady_clock::now() < Deadline)
	{
		std::stringstream Log;
		Log << std::ifstream(HolderLog).rdbuf();
		if (Log.str().find("Simulation control: held before any work") != std::string::npos)
		{
			std::ifstream(std::filesystem::path("/proc") / std::to_string(HolderId) / "task" / std::to_string(HolderId) / "children") >> ToolId;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	kill(HolderId, SIGKILL);
	waitpid(HolderId, nullptr, 0);
	ASSERT_GT(ToolId, 0) << "The holder never held its tool.";

	int Status = 0;
	pid_t Waited = 0;
	const auto GoneBy = std::chrono::steady_clock::now() + std::chrono::seconds(5);
	while ((Waited = waitpid(ToolId, &Status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < GoneBy)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	if (Waited == 0)
	{
		kill(ToolId, SIGKILL);
		waitpid(ToolId, nullptr, 0);
	}
	prctl(PR_SET_CHILD_SUBREAPER, 0);

	ASSERT_EQ(Waited, ToolId) << "The tool was still running 5 s after its editor died.";
	EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 3) << "Status " << Status;
	EXPECT_FALSE(std::filesystem::exists(TempDir / "Game/Releases"));
}
