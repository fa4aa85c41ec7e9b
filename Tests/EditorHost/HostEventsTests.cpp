// The editor's services reach a script as events: a session runs in-process on a copy of the demo project and
// its script front end writes to a temporary file that the test reads back.
#include "Dom/JsonObject.h"
#include "Editor.h"
#include "Editor/EditorEngine.h"
#include "Framework/Notifications/NotificationManager.h"
#include "HostSession.h"
#include "IUATHelperModule.h"
#include "Misc/MessageDialog.h"
#include "Misc/OutputDeviceRedirector.h"
#include "ScriptFrontEnd.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "StandIn/UatRunControl.h"
#include "ToolMenus.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Notifications/SNotificationList.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace UE::StandIn::EditorHost;

namespace
{
	class FHostEventsTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			std::string Pattern = (std::filesystem::temp_directory_path() / "trellic-events-XXXXXX").string();
			ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
			Root = Pattern;
			OutputPath = Root + "/events.jsonl";
			Output = std::fopen(OutputPath.c_str(), "w+");
			Options.CopyTo = FString::FromUtf8(Root + "/Project");
			FString Error;
			ASSERT_TRUE(OpenProject(Options, Project, Error)) << Error.ToUtf8();
			FrontEnd = std::make_unique<FScriptFrontEnd>(Output);
			Session = std::make_unique<FHostSession>(Options, Project, *FrontEnd);
			FrontEnd->SetSession(Session.get());
			ASSERT_TRUE(Session->Start(Error)) << Error.ToUtf8();
		}

		void TearDown() override
		{
			Session.reset();
			FrontEnd.reset();
			if (Output)
			{
				std::fclose(Output);
			}
			std::error_code Ignored;
			std::filesystem::remove_all(Root, Ignored);
		}

		/** @return the lines written so far whose Kind ("event" or "reply") is Name, or any name when Name is empty. */
		TArray<TSharedPtr<FJsonObject>> Lines(const TCHAR* Kind, const FString& Name)
		{
			std::fflush(Output);
			std::ifstream File(OutputPath);
			std::string Line;
			TArray<TSharedPtr<FJsonObject>> Found;
			while (std::getline(File, Line))
			{
				TSharedPtr<FJsonObject> Object;
				FString Value;
				if (FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString::FromUtf8(Line)), Object) &&
				    Object->TryGetStringField(Kind, Value) && (Name.IsEmpty() || Value.Equals(Name)))
				{
					Found.Add(Object);
				}
			}
			return Found;
		}

		TArray<TSharedPtr<FJsonObject>> Events(const FString& Name) { return Lines(TEXT("event"), Name); }
		TArray<TSharedPtr<FJsonObject>> Replies() { return Lines(TEXT("reply"), FString()); }

		std::string Root;
		std::string OutputPath;
		std::FILE* Output = nullptr;
		FHostOptions Options;
		FHostProject Project;
		std::unique_ptr<FScriptFrontEnd> FrontEnd;
		std::unique_ptr<FHostSession> Session;
	};

	/** Opens a modal window whose Create button counts a press and closes it. */
	void OpenCreateWindow(int32& Created)
	{
		TSharedPtr<SWindow> Window;
		// clang-format off
		Window = SNew(SWindow).Title(FText::FromString(TEXT("Thing")))
			[
				SNew(SButton).Text(FText::FromString(TEXT("Create"))).OnClicked_Lambda([&Created, &Window]()
				{
					++Created;
					Window->RequestDestroyWindow();
					return FReply::Handled();
				})
			];
		// clang-format on
		GEditor->EditorAddModalWindow(Window.ToSharedRef());
	}

	FString TextOf(const TSharedPtr<FJsonObject>& Object, const TCHAR* Field)
	{
		return Object->GetObjectField(Field)->GetStringField(TEXT("string"));
	}
} // namespace

TEST_F(FHostEventsTest, AMessageDialogIsReportedAndAnsweredWithOk)
{
	const EAppReturnType::Type Answer = FMessageDialog::Open(EAppMsgType::Ok, NSLOCTEXT("HostTest", "Refused", "Refused."));

	EXPECT_EQ(Answer, EAppReturnType::Ok);
	const TArray<TSharedPtr<FJsonObject>> Dialogs = Events(TEXT("dialog"));
	ASSERT_EQ(Dialogs.Num(), 1);
	EXPECT_TRUE(Dialogs[0]->GetStringField(TEXT("type")).Equals(TEXT("Ok")));
	EXPECT_TRUE(TextOf(Dialogs[0], TEXT("text")).Equals(TEXT("Refused.")));
	EXPECT_TRUE(Dialogs[0]->GetObjectField(TEXT("text"))->GetStringField(TEXT("key")).Equals(TEXT("Refused")));
}

TEST_F(FHostEventsTest, AModalWindowTakesTheAnswerWaitingForIt)
{
	TSharedPtr<SEditableTextBox> NameBox;
	FString Pressed;
	const auto OnCreate = [&Pressed, &NameBox]() {
		Pressed = NameBox->GetText().ToString();
		return FReply::Handled();
	};
	// clang-format off
	const TSharedRef<SWindow> Window = SNew(SWindow)
		.Title(FText::FromString(TEXT("New Mod")))
		.ClientSize(FVector2D(420, 170))
		[
			SNew(SVerticalBox)
			+ SVerticalBox::Slot()
			[
				SNew(STextBlock).Text(FText::FromString(TEXT("Name")))
			]
			+ SVerticalBox::Slot()
			[
				SAssignNew(NameBox, SEditableTextBox)
			]
			+ SVerticalBox::Slot()
			[
				SNew(SButton).Text(FText::FromString(TEXT("Create"))).OnClicked_Lambda(OnCreate)
			]
		];
	// clang-format on

	// The answer is queued as a script's "window" request queues it.
	std::istringstream Requests("{\"cmd\":\"window\",\"fill\":[\"  MyMod  \"],\"press\":\"Create\"}\n");
	FrontEnd->Run(Requests);
	GEditor->EditorAddModalWindow(Window);

	EXPECT_TRUE(Pressed.Equals(TEXT("  MyMod  ")));
	const TArray<TSharedPtr<FJsonObject>> Windows = Events(TEXT("window"));
	ASSERT_EQ(Windows.Num(), 1);
	EXPECT_TRUE(TextOf(Windows[0], TEXT("title")).Equals(TEXT("New Mod")));
	EXPECT_TRUE(Windows[0]->GetBoolField(TEXT("answered")));
	const TArray<TSharedPtr<FJsonValue>>& Size = Windows[0]->GetArrayField(TEXT("client_size"));
	ASSERT_EQ(Size.Num(), 2);
	EXPECT_EQ(Size[0]->AsNumber(), 420);
	EXPECT_EQ(Size[1]->AsNumber(), 170);
	ASSERT_EQ(Windows[0]->GetArrayField(TEXT("buttons")).Num(), 1);

	// A second window finds no answer waiting and is closed with its close button.
	Pressed.Empty();
	GEditor->EditorAddModalWindow(SNew(SWindow).Title(FText::FromString(TEXT("Again"))));
	EXPECT_TRUE(Pressed.IsEmpty());
	ASSERT_EQ(Events(TEXT("window")).Num(), 2);
	EXPECT_FALSE(Events(TEXT("window"))[1]->GetBoolField(TEXT("answered")));
}

TEST_F(FHostEventsTest, AWindowAnswerServesTheNextRequestOrIsReportedUnused)
{
	// A Tools entry that opens a window, as the New Mod entry does.
	const FName Owner(TEXT("HostEventsTest"));
	int32 Created = 0;
	{
		FToolMenuOwnerScoped OwnerScope(Owner);
		UToolMenus::Get()
		    ->ExtendMenu(TEXT("LevelEditor.MainMenu.Tools"))
		    ->FindOrAddSection(TEXT("HostEventsTest"))
		    .AddMenuEntry(TEXT("OpenWindow"), FText::FromString(TEXT("Open")), FText::GetEmpty(), FSlateIcon(),
		                  FUIAction(FExecuteAction::CreateLambda([&Created]() {
			                  OpenCreateWindow(Created);
		                  })));
	}

	const std::string Window = "{\"cmd\":\"window\",\"press\":\"Create\"}\n";
	const std::string Choose = "{\"cmd\":\"choose\",\"name\":\"LevelEditor.MainMenu.Tools\",\"path\":[\"OpenWindow\"]}\n";
	std::istringstream Requests(Window + Choose + Window + Window + Choose + Choose);
	EXPECT_EQ(FrontEnd->Run(Requests), 0);
	UToolMenus::Get()->UnregisterOwnerByName(Owner);

	const TArray<TSharedPtr<FJsonObject>> Answered = Replies();
	ASSERT_EQ(Answered.Num(), 6);
	EXPECT_FALSE(Answered[1]->HasField(TEXT("unused_window_answer")));
	// Two answers for one window: the second is reported and dropped, so the next window finds none.
	EXPECT_TRUE(Answered[4]->GetBoolField(TEXT("unused_window_answer")));
	EXPECT_FALSE(Answered[5]->HasField(TEXT("unused_window_answer")));
	EXPECT_EQ(Created, 2);
	const TArray<TSharedPtr<FJsonObject>> Windows = Events(TEXT("window"));
	ASSERT_EQ(Windows.Num(), 3);
	EXPECT_TRUE(Windows[0]->GetBoolField(TEXT("answered")));
	EXPECT_TRUE(Windows[1]->GetBoolField(TEXT("answered")));
	EXPECT_FALSE(Windows[2]->GetBoolField(TEXT("answered")));
}

TEST_F(FHostEventsTest, NotificationsReportEachChangeUntilTheyExpire)
{
	FNotificationInfo Info(FText::FromString(TEXT("Uploading")));
	Info.bFireAndForget = false;
	const TSharedPtr<SNotificationItem> Item = FSlateNotificationManager::Get().AddNotification(Info);
	ASSERT_TRUE(Item.IsValid());
	Item->SetCompletionState(SNotificationItem::CS_Pending);
	Item->SetText(FText::FromString(TEXT("50% uploaded")));
	Item->SetCompletionState(SNotificationItem::CS_Success);
	Item->ExpireAndFadeout();
	Session->Tick(Info.ExpireDuration + Info.FadeOutDuration + 0.3);

	const TArray<TSharedPtr<FJsonObject>> Notifications = Events(TEXT("notification"));
	ASSERT_GE(Notifications.Num(), 4);
	const double Id = Notifications[0]->GetNumberField(TEXT("id"));
	for (const TSharedPtr<FJsonObject>& Notification : Notifications)
	{
		EXPECT_EQ(Notification->GetNumberField(TEXT("id")), Id);
	}
	EXPECT_TRUE(Notifications[0]->GetStringField(TEXT("state")).Equals(TEXT("none")));
	EXPECT_FALSE(Notifications[0]->GetBoolField(TEXT("expiring")));
	EXPECT_TRUE(Notifications[1]->GetStringField(TEXT("state")).Equals(TEXT("pending")));
	EXPECT_TRUE(TextOf(Notifications[2], TEXT("text")).Equals(TEXT("50% uploaded")));
	EXPECT_TRUE(Notifications[3]->GetStringField(TEXT("state")).Equals(TEXT("success")));
	EXPECT_TRUE(Notifications.Last()->GetStringField(TEXT("state")).Equals(TEXT("removed")));
}

TEST_F(FHostEventsTest, AUatTaskIsReportedWithItsArgumentsAndItsEnd)
{
	FString Result;
	IUATHelperModule::Get().CreateUatTask(TEXT("BuildCookRun -project=\"A B.uproject\""), FText::FromString(TEXT("Windows")),
	                                      FText::FromString(TEXT("Cooking mod")), FText::FromString(TEXT("Cook")), nullptr, nullptr,
	                                      [&Result](FString InResult, double) {
		                                      Result = InResult;
	                                      });
	for (int32 Frame = 0; Frame < 500 && Result.IsEmpty(); ++Frame)
	{
		Session->Tick(0.02);
	}

	const TArray<TSharedPtr<FJsonObject>> Tasks = Events(TEXT("uat-task"));
	ASSERT_EQ(Tasks.Num(), 1);
	EXPECT_TRUE(Tasks[0]->GetStringField(TEXT("command_line")).Equals(TEXT("BuildCookRun -project=\"A B.uproject\"")));
	EXPECT_TRUE(TextOf(Tasks[0], TEXT("task_name")).Equals(TEXT("Cooking mod")));
	const TArray<TSharedPtr<FJsonObject>> Finished = Events(TEXT("uat-finished"));
	ASSERT_EQ(Finished.Num(), 1);
	// The project does not exist, so the automation tool refuses the job.
	EXPECT_FALSE(Finished[0]->GetStringField(TEXT("result")).Equals(TEXT("Completed")));
	EXPECT_TRUE(Finished[0]->GetStringField(TEXT("result")).Equals(Result));
	EXPECT_GE(Finished[0]->GetNumberField(TEXT("seconds")), 0.0);
}

TEST_F(FHostEventsTest, ThePluginsLogMayComeFromAnyThreadButAJobsEndOrANotificationOffTheGameThreadIsAnError)
{
	// The engine's log is thread-safe: a process reader's thread may log in the plug-in's categories.
	std::thread([] {
		GLog->Serialize(TEXT("from a reader"), ELogVerbosity::Log, FName(TEXT("LogTrellic")));
	}).join();

	// A job's end that runs where the helper called it back, off the game thread, and does its work there.
	UE::StandIn::FUatRunControl FromAWorker;
	FromAWorker.bCallBackOnWorkerThread = true;
	ASSERT_TRUE(UE::StandIn::SetNextUatRun(FromAWorker));
	std::atomic<bool> bCalledBack = false;
	IUATHelperModule::Get().CreateUatTask(TEXT("BuildCookRun"), FText::FromString(TEXT("Win64")), FText::FromString(TEXT("Cook")),
	                                      FText::FromString(TEXT("Cook")), nullptr, nullptr, [&bCalledBack](FString, double) {
		                                      GLog->Serialize(TEXT("ending the job here"), ELogVerbosity::Log, FName(TEXT("LogTrellic")));
		                                      bCalledBack = true;
	                                      });
	for (int32 Frame = 0; Frame < 500 && !bCalledBack; ++Frame)
	{
		Session->Tick(0.02);
	}
	ASSERT_TRUE(bCalledBack);

	std::thread([] {
		FSlateNotificationManager::Get().AddNotification(FNotificationInfo(FText::FromString(TEXT("Uploading"))));
	}).join();

	TArray<FString> Reports;
	for (const TSharedPtr<FJsonObject>& Log : Events(TEXT("log")))
	{
		if (Log->GetStringField(TEXT("category")).Equals(TEXT("LogEditorHost")) && !Log->GetStringField(TEXT("verbosity")).Equals(TEXT("Display")))
		{
			// Once a kind: adding a notification may tell of more than one change.
			Reports.AddUnique(Log->GetStringField(TEXT("verbosity")) + TEXT(": ") + Log->GetStringField(TEXT("message")));
		}
	}
	EXPECT_EQ(FString::Join(Reports, TEXT("\n")).ToUtf8(),
	          "Error: LogTrellic wrote \"ending the job here\" in a UAT task's end called back off the game thread\n"
	          "Error: A notification (\"Uploading\") changed off the game thread");
}
