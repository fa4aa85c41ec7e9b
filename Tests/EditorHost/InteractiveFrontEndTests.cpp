// The host's interactive front end, driven through a pipe as a person at a terminal would drive it. The session is
// replaced by one that only counts frames, so that these tests need no plug-in module.
#include "Editor.h"
#include "HostPlugin.h"
#include "HostSession.h"
#include "InteractiveFrontEnd.h"
#include "Misc/MessageDialog.h"
#include "Modules/ModuleManager.h"
#include "OfflineWorkshopTestHelpers.h"
#include "StandIn/ModalWindowResponder.h"
#include "StandIn/OfflineWorkshop.h"
#include "StandIn/SlateApplicationHost.h"
#include "StandIn/ToolMenusHost.h"
#include "ToolMenus.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"
#include "steam/steam_api.h"
#include <gtest/gtest.h>

#include "StandIn/MessageDialogResponder.h"
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <memory>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		int32 GFramesTicked = 0;
		TFunction<void()> GOnFrame;
		TArray<FModBuildState> GModBuildStates;
	} // namespace

	struct FHostSession::FHooks
	{
	};

	FHostSession::FHostSession(const FHostOptions& InOptions, const FHostProject& InProject, IHostFrontEnd& InFrontEnd)
	    : Options(InOptions)
	    , Project(InProject)
	    , FrontEnd(InFrontEnd)
	{
	}

	FHostSession::~FHostSession() = default;

	void FHostSession::TickFrame()
	{
		++GFramesTicked;
		if (GOnFrame)
		{
			GOnFrame();
		}
	}

	void FHostSession::Tick(double)
	{
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
		TickFrame();
	}

	FString GetModsRoot(const TArray<FName>&)
	{
		return TEXT("/Game/Mods");
	}

	TArray<FModBuildState> ListModBuildStates(const TArray<FName>&)
	{
		return GModBuildStates;
	}
} // namespace UE::StandIn::EditorHost

using namespace UE::StandIn::EditorHost;

namespace
{
	const FName ToolsMenu(TEXT("LevelEditor.MainMenu.Tools"));

	FText Text(const TCHAR* String)
	{
		return FText::FromString(String);
	}

	/**
	 * A terminal that the front end reads keys from and may draw on, and what a person sees of it. The front end must
	 * be gone before the terminal is.
	 */
	class FTestTerminal
	{
	public:
		FTestTerminal()
		    : PersonSide(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK))
		{
			if (PersonSide >= 0 && grantpt(PersonSide) == 0 && unlockpt(PersonSide) == 0)
			{
				TerminalSide = open(ptsname(PersonSide), O_RDWR | O_NOCTTY);
				Output = TerminalSide >= 0 ? fdopen(dup(TerminalSide), "w") : nullptr;
			}
		}
		~FTestTerminal() { close(PersonSide); }

		bool IsOpen() const { return Output != nullptr; }
		int GetInputFd() const { return TerminalSide; }
		std::FILE* GetOutput() const { return Output; }

		void Type(const std::string& Keys) { ASSERT_EQ(write(PersonSide, Keys.data(), Keys.size()), static_cast<ssize_t>(Keys.size())); }

		/** @return what was drawn so far, with LF line ends. */
		const std::string& GetScreen()
		{
			char Buffer[4096];
			for (ssize_t Count = 0; (Count = read(PersonSide, Buffer, sizeof(Buffer))) > 0;)
			{
				std::copy_if(Buffer, Buffer + Count, std::back_inserter(Screen), [](char Char) {
					return Char != '\r';
				});
			}
			return Screen;
		}

		/** Closes the terminal's side. @return all that was drawn, once the last of it has come through. */
		const std::string& Finish()
		{
			std::fclose(Output);
			close(TerminalSide);
			// What was written last may still be on its way; a tenth of a second without more is the end.
			for (size_t Before = std::string::npos; Before != GetScreen().size();)
			{
				Before = Screen.size();
				pollfd Drawn{PersonSide, POLLIN, 0};
				poll(&Drawn, 1, 100);
			}
			return Screen;
		}

	private:
		int PersonSide = -1;
		int TerminalSide = -1;
		std::FILE* Output = nullptr;
		std::string Screen;
	};

	size_t CountShown(const std::string& Text, const std::string& Needle)
	{
		size_t Count = 0;
		for (size_t At = Text.find(Needle); At != std::string::npos; At = Text.find(Needle, At + 1))
		{
			++Count;
		}
		return Count;
	}

	/** What one opening of the test window ended with. */
	struct FFormResult
	{
		FString Name;
		FString Author;
		FString Pressed;
	};

	/**
	 * A Tools menu with a form, a submenu holding a greyed entry and a live one, and an entry that asks questions;
	 * a front end reading from a pipe and writing to a temporary file.
	 */
	class InteractiveFrontEndTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			GFramesTicked = 0;
			GOnFrame = nullptr;
			GModBuildStates.Empty();
			ASSERT_EQ(pipe(Pipe), 0);
			Output = std::tmpfile();
			ASSERT_NE(Output, nullptr);
			FrontEnd = std::make_unique<FInteractiveFrontEnd>(Pipe[0], Output);
			FHostProject Project;
			Project.bIsDemoCopy = true;
			Session = std::make_unique<FHostSession>(FHostOptions(), Project, *FrontEnd);
			FrontEnd->SetSession(Session.get());
			// The session routes the editor's modal windows and message dialogs to the front end.
			PreviousDialogResponder =
			    UE::StandIn::SetMessageDialogResponder([this](EAppMsgCategory, EAppMsgType::Type Type, const FText& Message, const FText& Title) {
				    return FrontEnd->OnMessageDialog(Type, Message, Title);
			    });
			WindowResponder = std::make_unique<UE::StandIn::FScopedModalWindowResponder>([this](const TSharedRef<SWindow>& Window) {
				FrontEnd->OnModalWindow(Window);
			});
			FModuleManager::Get().LoadModuleChecked(TEXT("ToolMenus"));
			UE::StandIn::DeclareToolMenusReady();
			UToolMenus::Get()->RegisterMenu(ToolsMenu);
			RegisterTestMenu();
		}

		void TearDown() override
		{
			FModuleManager::Get().UnloadModule(TEXT("ToolMenus"));
			WindowResponder.reset();
			UE::StandIn::SetMessageDialogResponder(PreviousDialogResponder);
			Session.reset();
			FrontEnd.reset();
			GOnFrame = nullptr;
			close(Pipe[0]);
			EndInput();
			Terminal.reset();
			std::fclose(Output);
		}

		/**
		 * Puts a terminal in place of the pipe, and with bDrawOnIt in place of the output file too: with both, lines
		 * are edited; with the keys alone, the front end writes prompts and leaves echoing to the terminal.
		 */
		void UseTerminal(bool bDrawOnIt)
		{
			Terminal = std::make_unique<FTestTerminal>();
			ASSERT_TRUE(Terminal->IsOpen());
			// The old front end gives Ctrl-C back before the new one takes it.
			FrontEnd.reset();
			FrontEnd = std::make_unique<FInteractiveFrontEnd>(Terminal->GetInputFd(), bDrawOnIt ? Terminal->GetOutput() : Output);
			FrontEnd->SetSession(Session.get());
		}

		void TypeAtTerminal(const std::string& Input) { Terminal->Type(Input); }

		void RegisterTestMenu()
		{
			FToolMenuSection& Section = UToolMenus::Get()->ExtendMenu(ToolsMenu)->FindOrAddSection(TEXT("Trellic"), Text(TEXT("Trellic")));
			Section.AddMenuEntry(TEXT("Form"), Text(TEXT("New Thing...")), Text(TEXT("Opens a form.")), FSlateIcon(),
			                     FUIAction(FExecuteAction::CreateLambda([this]() {
				                     OpenForm();
			                     })));
			Section.AddSubMenu(
			    TEXT("Sub"), Text(TEXT("Things")), Text(TEXT("Opens more.")), FNewToolMenuChoice(FNewToolMenuDelegate::CreateLambda([this](UToolMenu* Menu) {
				    ++SubMenuFills;
				    FToolMenuSection& Things = Menu->FindOrAddSection(TEXT("Things"), Text(TEXT("Things")));
				    Things.AddMenuEntry(TEXT("Off"), Text(TEXT("Off")), Text(TEXT("Not now.")), FSlateIcon(),
				                        FUIAction(FExecuteAction::CreateLambda([this]() {
					                                  ++OffRuns;
				                                  }),
				                                  FCanExecuteAction::CreateLambda([]() {
					                                  return false;
				                                  })));
				    Things.AddMenuEntry(TEXT("On"), Text(TEXT("On")), Text(TEXT("Works.")), FSlateIcon(), FUIAction(FExecuteAction::CreateLambda([this]() {
					                        ++OnRuns;
				                        })));
			    })));
			Section.AddMenuEntry(TEXT("Ask"), Text(TEXT("Ask")), FText::GetEmpty(), FSlateIcon(), FUIAction(FExecuteAction::CreateLambda([this]() {
				                     DialogAnswers.Add(FMessageDialog::Open(EAppMsgType::YesNo, Text(TEXT("Really?\n\nSure?")), Text(TEXT("Question"))));
				                     DialogAnswers.Add(FMessageDialog::Open(EAppMsgType::Ok, Text(TEXT("Done."))));
			                     })));
		}

		void OpenForm()
		{
			TSharedPtr<SEditableTextBox> NameBox;
			TSharedPtr<SEditableTextBox> AuthorBox;
			TSharedPtr<SWindow> Window;
			FFormResult Result;
			FramesBeforeForm = GFramesTicked;
			// clang-format off
			Window = SNew(SWindow)
				.Title(Text(TEXT("New Thing")))
				[
					SNew(SVerticalBox)
					+ SVerticalBox::Slot().AutoHeight()[SNew(STextBlock).Text(Text(TEXT("Name")))]
					+ SVerticalBox::Slot().AutoHeight()[SAssignNew(NameBox, SEditableTextBox)]
					+ SVerticalBox::Slot().AutoHeight()[SNew(STextBlock).Text(Text(TEXT("Author")))]
					+ SVerticalBox::Slot().AutoHeight()[SAssignNew(AuthorBox, SEditableTextBox)]
					+ SVerticalBox::Slot().AutoHeight()
					[
						SNew(SHorizontalBox)
						+ SHorizontalBox::Slot().AutoWidth()
						[
							SNew(SButton).Text(Text(TEXT("Create"))).OnClicked_Lambda([&Result, &Window]()
							{
								Result.Pressed = TEXT("Create");
								Window->RequestDestroyWindow();
								return FReply::Handled();
							})
						]
						+ SHorizontalBox::Slot().AutoWidth()
						[
							SNew(SButton).Text(Text(TEXT("Cancel"))).OnClicked_Lambda([&Result, &Window]()
							{
								Result.Pressed = TEXT("Cancel");
								Window->RequestDestroyWindow();
								return FReply::Handled();
							})
						]
					]
				];
			// clang-format on
			GEditor->EditorAddModalWindow(Window.ToSharedRef());
			FramesDuringForm = GFramesTicked - FramesBeforeForm;
			Result.Name = NameBox->GetText().ToString();
			Result.Author = AuthorBox->GetText().ToString();
			bFormClosed = UE::StandIn::GetWindowState(*Window) == UE::StandIn::EWindowState::Destroyed;
			Forms.Add(Result);
		}

		void Type(const std::string& Input) { ASSERT_EQ(write(Pipe[1], Input.data(), Input.size()), static_cast<ssize_t>(Input.size())); }

		void EndInput()
		{
			if (Pipe[1] >= 0)
			{
				close(Pipe[1]);
				Pipe[1] = -1;
			}
		}

		int32 RunWith(const std::string& Input)
		{
			Type(Input);
			EndInput();
			return FrontEnd->Run();
		}

		FString Transcript()
		{
			std::fflush(Output);
			std::rewind(Output);
			std::string Bytes;
			char Buffer[4096];
			size_t Count = 0;
			while ((Count = std::fread(Buffer, 1, sizeof(Buffer), Output)) > 0)
			{
				Bytes.append(Buffer, Count);
			}
			return FString::FromUtf8(Bytes);
		}

		static int32 CountOf(const FString& Haystack, const TCHAR* Needle)
		{
			int32 Count = 0;
			for (int32 At = Haystack.Find(Needle, ESearchCase::CaseSensitive); At != INDEX_NONE;
			     At = Haystack.Find(Needle, ESearchCase::CaseSensitive, ESearchDir::FromStart, At + 1))
			{
				++Count;
			}
			return Count;
		}

		int Pipe[2] = {-1, -1};
		std::FILE* Output = nullptr;
		/** Declared before the front end, so that it goes after it. */
		std::unique_ptr<FTestTerminal> Terminal;
		std::unique_ptr<FInteractiveFrontEnd> FrontEnd;
		std::unique_ptr<FHostSession> Session;
		UE::StandIn::FMessageDialogResponder PreviousDialogResponder;
		std::unique_ptr<UE::StandIn::FScopedModalWindowResponder> WindowResponder;

		int32 SubMenuFills = 0;
		int32 OffRuns = 0;
		int32 OnRuns = 0;
		TArray<FFormResult> Forms;
		bool bFormClosed = false;
		int32 FramesBeforeForm = 0;
		int32 FramesDuringForm = 0;
		TArray<EAppReturnType::Type> DialogAnswers;
	};
} // namespace

TEST_F(InteractiveFrontEndTest, ShowsTheMenuByNumberWithSubmenusGreyedEntriesAndTooltips)
{
	FrontEnd->PrintHeader(TEXT("Thing"));
	EXPECT_EQ(RunWith("?2\n2\n1\n?1\nb\n2\n2\nb\n7\n?9\n0\n?0\nwhat\nq\n"), 0);
	const FString Out = Transcript();

	EXPECT_TRUE(Out.StartsWith(TEXT("Thing editor host\n")));
	EXPECT_TRUE(Out.Contains(TEXT("(a fresh copy of the demo project)")));
	EXPECT_TRUE(Out.Contains(TEXT("The engine, its cooker and Steam are simulated")));
	EXPECT_TRUE(Out.Contains(TEXT("Mods folder: /Game/Mods")));
	EXPECT_TRUE(Out.Contains(TEXT("Tools\n  Trellic\n     1  New Thing...\n     2  Things  >\n     3  Ask\n")));
	EXPECT_TRUE(Out.Contains(TEXT("  Things: Opens more.")));
	EXPECT_TRUE(Out.Contains(TEXT("Tools > Things\n  Things\n     1  Off  (greyed out)\n     2  On\n")));
	EXPECT_TRUE(Out.Contains(TEXT("'Off' is greyed out and cannot be chosen now (?1 shows its tooltip).")));
	EXPECT_TRUE(Out.Contains(TEXT("  Off: Not now.")));
	EXPECT_TRUE(Out.Contains(TEXT("There is no entry 7 here.")));
	EXPECT_TRUE(Out.Contains(TEXT("There is no entry 9 here.")));
	EXPECT_EQ(CountOf(Out, TEXT("There is no entry 0 here.")), 2);
	EXPECT_TRUE(Out.Contains(TEXT("Unknown command 'what'.")));
	// Choosing closes the menu as in the editor, so the "b" after it is already at the top.
	EXPECT_TRUE(Out.Contains(TEXT("> b\nThis is the top of the Tools menu.")));
	EXPECT_TRUE(Out.EndsWith(TEXT("> q\nClosing the editor.\n")));
	EXPECT_EQ(OffRuns, 0);
	EXPECT_EQ(OnRuns, 1);
	// Filled afresh at each opening; the choice opens it once more on its way to the entry.
	EXPECT_EQ(SubMenuFills, 3);
}

TEST_F(InteractiveFrontEndTest, ASubmenuShowsEachModsBuildStateBesideItsLabelAndMListsWhy)
{
	GModBuildStates = {
	    {TEXT("On"), TEXT("/Game/Mods/On/On.uplugin"), TEXT("Stale"), {TEXT("Its content changed since it was packaged: Content/A.uasset (added).")}},
	    {TEXT("Ask"), TEXT("/Game/Mods/Ask/Ask.uplugin"), TEXT("NotPackaged"), {}}};
	EXPECT_EQ(RunWith("\n2\nb\nm\nq\n"), 0);
	const FString Out = Transcript();

	// The labels stay the plug-in's own; only a submenu lists mods, so the Tools menu's own entries are left alone.
	EXPECT_TRUE(Out.Contains(TEXT("Tools > Things\n  Things\n     1  Off  (greyed out)\n     2  On  [build stale]\n")));
	EXPECT_TRUE(Out.Contains(TEXT("     3  Ask\n")));
	EXPECT_TRUE(
	    Out.Contains(TEXT("> m\n  On  build stale\n      Its content changed since it was packaged: Content/A.uasset (added).\n  Ask  not packaged\n")));
}

TEST_F(InteractiveFrontEndTest, FormTypesEachBoxAsEnteredThenPressesTheChosenButtonOrCloses)
{
	EXPECT_EQ(RunWith("1\n  My Name  \n\nnope\n9\ncreate\n1\na\nb\nx\nq\n"), 0);
	ASSERT_EQ(Forms.Num(), 2);
	EXPECT_EQ(Forms[0].Name, FString(TEXT("  My Name  ")));
	EXPECT_EQ(Forms[0].Author, FString());
	EXPECT_EQ(Forms[0].Pressed, FString(TEXT("Create")));
	EXPECT_EQ(Forms[1].Name, FString(TEXT("a")));
	EXPECT_EQ(Forms[1].Author, FString(TEXT("b")));
	EXPECT_EQ(Forms[1].Pressed, FString());
	EXPECT_TRUE(bFormClosed);

	const FString Out = Transcript();
	EXPECT_TRUE(Out.Contains(TEXT("=== New Thing ===\n  Name\n  []\n  Author\n  []\n  Buttons:  1 Create  2 Cancel  x close the window\n")));
	EXPECT_TRUE(Out.Contains(TEXT("  Name:   My Name  \n  Author: \n  Press: nope\n")));
	EXPECT_EQ(CountOf(Out, TEXT("Type a button's number or label, or x to close the window.")), 2);
}

TEST_F(InteractiveFrontEndTest, EndOfInputInsideAWindowLeavesItToTheCloseButtonAndQuits)
{
	EXPECT_EQ(RunWith("1\nonly the name"), 0);
	ASSERT_EQ(Forms.Num(), 1);
	EXPECT_EQ(Forms[0].Pressed, FString());
	EXPECT_EQ(Forms[0].Name, FString());
	EXPECT_TRUE(bFormClosed);
	// The same closing line as quitting with q.
	EXPECT_TRUE(Transcript().EndsWith(TEXT("Closing the editor.\n")));
}

TEST_F(InteractiveFrontEndTest, ShowsTypedControlCharactersEscapedNeverRaw)
{
	// An arrow key, a C1 control character (CSI as one character) and Ctrl-G, as a pipe passes them on.
	EXPECT_EQ(RunWith("\x1b[A\n\xc2\x9b"
	                  "2J\nb\x07\nq\n"),
	          0);
	const FString Out = Transcript();
	EXPECT_TRUE(Out.Contains(TEXT("> \\x1B[A\nUnknown command '\\x1B[A'. Type h for help.\n")));
	EXPECT_TRUE(Out.Contains(TEXT("Unknown command '\\u009B2J'.")));
	EXPECT_TRUE(Out.Contains(TEXT("Unknown command 'b\\x07'.")));
	for (int32 Index = 0; Index < Out.Len(); ++Index)
	{
		const TCHAR Char = Out[Index];
		ASSERT_TRUE(Char == '\n' || (Char >= 0x20 && Char != 0x7F && (Char < 0x80 || Char > 0x9F))) << "control character at " << Index;
	}
}

TEST_F(InteractiveFrontEndTest, DialogsShowTheirMessageAndWaitForAnAnswer)
{
	EXPECT_EQ(RunWith("3\nmaybe\nNO\n\nq\n"), 0);
	EXPECT_EQ(DialogAnswers, (TArray<EAppReturnType::Type>{EAppReturnType::No, EAppReturnType::Ok}));
	const FString Out = Transcript();
	EXPECT_TRUE(Out.Contains(TEXT("--- Question ---\n  Really?\n\n  Sure?\n  1 Yes   2 No\n")));
	EXPECT_TRUE(Out.Contains(TEXT("  Type the number or the name of an answer.")));
	EXPECT_TRUE(Out.Contains(TEXT("--- Message ---\n  Done.\n  [Enter: Ok] \n")));
}

TEST_F(InteractiveFrontEndTest, DialogsGetTheUnattendedAnswerOnceTheInputEnds)
{
	EXPECT_EQ(RunWith("3\n"), 0);
	EXPECT_EQ(DialogAnswers, (TArray<EAppReturnType::Type>{UE::StandIn::GetUnattendedAnswer(EAppMsgType::YesNo), EAppReturnType::Ok}));
}

TEST_F(InteractiveFrontEndTest, ShowsWarningsAndErrorsAndNotificationChangesButLogLinesOnlyOnRequest)
{
	FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Warning, TEXT("careful"));
	FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Error, TEXT("broken"));
	FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Log, TEXT("hidden"));
	UE::StandIn::FNotificationSnapshot Notification;
	Notification.Text = Text(TEXT("Cooking"));
	Notification.CompletionState = SNotificationItem::CS_Pending;
	FrontEnd->OnNotification(4, UE::StandIn::ENotificationEvent::CompletionStateChanged, Notification);
	// A change a person cannot read (a fade, a pulse) prints nothing.
	Notification.Phase = UE::StandIn::ENotificationPhase::FadingOut;
	FrontEnd->OnNotification(4, UE::StandIn::ENotificationEvent::FadeoutStarted, Notification);
	Notification.SubText = Text(TEXT("50%"));
	FrontEnd->OnNotification(4, UE::StandIn::ENotificationEvent::SubTextChanged, Notification);
	// Once removed, the same notification shown again is a new line.
	FrontEnd->OnNotification(4, UE::StandIn::ENotificationEvent::Removed, Notification);
	FrontEnd->OnNotification(4, UE::StandIn::ENotificationEvent::Added, Notification);
	Notification.CompletionState = SNotificationItem::CS_None;
	FrontEnd->OnNotification(4, UE::StandIn::ENotificationEvent::CompletionStateChanged, Notification);
	EXPECT_EQ(RunWith("l\nq\n"), 0);
	FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Log, TEXT("shown"));
	FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Display, TEXT("displayed"));

	const FString Out = Transcript();
	EXPECT_TRUE(Out.Contains(TEXT("LogTest: Warning: careful\n")));
	EXPECT_TRUE(Out.Contains(TEXT("LogTest: Error: broken\n")));
	EXPECT_FALSE(Out.Contains(TEXT("hidden")));
	EXPECT_TRUE(Out.Contains(TEXT("LogTest: shown\n")));
	EXPECT_TRUE(Out.Contains(TEXT("LogTest: Display: displayed\n")));
	EXPECT_EQ(CountOf(Out, TEXT("  [notification 4] Cooking  (pending)\n")), 1);
	EXPECT_EQ(CountOf(Out, TEXT("  [notification 4] Cooking - 50%  (pending)\n")), 2);
	EXPECT_EQ(CountOf(Out, TEXT("  [notification 4] Cooking - 50%\n")), 1);
}

TEST_F(InteractiveFrontEndTest, TheLoopRunsWhileThePromptWaitsAndStopsWhileAWindowIsUp)
{
	// Taken before the person starts typing, whose pauses add up to the least the run can take.
	const auto Start = std::chrono::steady_clock::now();
	std::thread Person([this]() {
		std::this_thread::sleep_for(std::chrono::milliseconds(100));
		Type("1\n");
		std::this_thread::sleep_for(std::chrono::milliseconds(100));
		Type("n\na\n");
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		Type("2\n");
		EndInput();
	});
	EXPECT_EQ(FrontEnd->Run(), 0);
	Person.join();
	EXPECT_GE(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(250));
	EXPECT_GE(FramesBeforeForm, 1);
	EXPECT_EQ(FramesDuringForm, 0);
	ASSERT_EQ(Forms.Num(), 1);
	EXPECT_EQ(Forms[0].Pressed, FString(TEXT("Cancel")));
}

TEST_F(InteractiveFrontEndTest, UatWordsSetHowTheNextToolRunEndsAndRefuseWhatCannotBe)
{
	EXPECT_EQ(RunWith("uat release\nuat hold exit 3\nuat crash\nuat exit 300\nuat exit 3 crash\nuat\nuat exit\nuat normal hold\nuat hold\nuat normal\nuat "
	                  "worker crash\nuat stage empty-pak\nuat stage broken\nh\nq\n"),
	          0);
	const FString Out = Transcript();
	EXPECT_TRUE(Out.Contains(TEXT("> uat release\nNo automation tool run is held.\n")));
	EXPECT_TRUE(Out.Contains(TEXT("> uat hold exit 3\nThe next automation tool run: held until released, then exit code 3, without doing its work.\n")));
	EXPECT_TRUE(Out.Contains(TEXT("> uat crash\nThe next automation tool run: killed part-way through its work.\n")));
	EXPECT_EQ(CountOf(Out, TEXT("An exit code is a whole number from 0 to 255, and a run cannot both end with one and crash.\n")), 2);
	EXPECT_EQ(CountOf(Out, TEXT("Type uat hold, uat exit <code>, uat crash, uat hold exit <code>, uat hold crash, uat worker, uat stage <fault> (nothing, "
	                            "empty-pak, no-descriptor, base-assets or iostore), uat normal or uat release.\n")),
	          4);
	EXPECT_TRUE(Out.Contains(TEXT("> uat stage empty-pak\nThe next automation tool run: a normal run; a mod's cook completes but stages an empty pak.\n")));
	EXPECT_TRUE(Out.Contains(TEXT("> uat hold\nThe next automation tool run: held until released.\n")));
	EXPECT_TRUE(Out.Contains(TEXT("> uat normal\nThe next automation tool run: a normal run.\n")));
	EXPECT_TRUE(
	    Out.Contains(TEXT("> uat worker crash\nThe next automation tool run: killed part-way through its work; its end called back from a worker thread.\n")));
	EXPECT_TRUE(Out.Contains(TEXT("  crash        end the editor at once")));
}

TEST_F(InteractiveFrontEndTest, LettingTimePassRunsTheLoopThatLong)
{
	const auto Start = std::chrono::steady_clock::now();
	EXPECT_EQ(RunWith("t 0.1\nt 0\nt -1\nt 1x\nq\n"), 0);
	EXPECT_GE(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(100));
	// One frame to read the input; the rest are the tenth of a second that "t" let pass.
	EXPECT_GE(GFramesTicked, 2);
	EXPECT_EQ(CountOf(Transcript(), TEXT("Type t and a number of seconds above 0 and up to 3600, for example t 5.")), 3);
}

TEST_F(InteractiveFrontEndTest, CtrlCEndsTheRunAndTheFormerHandlerComesBack)
{
	FrontEnd.reset();
	struct sigaction Before = {};
	ASSERT_EQ(sigaction(SIGINT, nullptr, &Before), 0);
	// The front end takes Ctrl-C over, so that the program is not killed while modules are loaded.
	FrontEnd = std::make_unique<FInteractiveFrontEnd>(Pipe[0], Output);
	FrontEnd->SetSession(Session.get());
	struct sigaction During = {};
	ASSERT_EQ(sigaction(SIGINT, nullptr, &During), 0);
	EXPECT_NE(During.sa_handler, Before.sa_handler);

	GOnFrame = []() {
		if (GFramesTicked == 3)
		{
			std::raise(SIGINT);
		}
	};
	// The input stays open: only Ctrl-C can end this run.
	EXPECT_EQ(FrontEnd->Run(), 130);
	EXPECT_EQ(GFramesTicked, 3);
	EXPECT_TRUE(Transcript().Contains(TEXT("Interrupted: closing the editor.")));

	FrontEnd.reset();
	struct sigaction After = {};
	ASSERT_EQ(sigaction(SIGINT, nullptr, &After), 0);
	EXPECT_EQ(After.sa_handler, Before.sa_handler);
}

TEST_F(InteractiveFrontEndTest, AtATerminalALineTypedWhileTimePassesRunsUnderNoSecondPrompt)
{
	UseTerminal(false);
	TypeAtTerminal("t 0.3\n");
	GOnFrame = [this]() {
		// Well inside the time that "t" lets pass; Ctrl-D then ends the input.
		if (GFramesTicked == 3)
		{
			TypeAtTerminal("9\n\x04");
		}
	};
	EXPECT_EQ(FrontEnd->Run(), 0);
	// The terminal echoed the line as it was typed; a prompt written now would stand empty above what the line does.
	const FString Out = Transcript();
	EXPECT_TRUE(Out.Contains(TEXT("Letting 0.3 s pass...\nThere is no entry 9 here.\n"))) << Out.ToUtf8();
	EXPECT_TRUE(Out.EndsWith(TEXT("Closing the editor.\n"))) << Out.ToUtf8();
}

TEST_F(InteractiveFrontEndTest, AtATerminalCtrlCWhileTimePassesClosesOnANewLine)
{
	UseTerminal(false);
	TypeAtTerminal("t 5\n");
	GOnFrame = []() {
		if (GFramesTicked == 3)
		{
			std::raise(SIGINT);
		}
	};
	EXPECT_EQ(FrontEnd->Run(), 130);
	// The terminal shows ^C after the last line; the closing line does not run on from it.
	EXPECT_TRUE(Transcript().Contains(TEXT("Letting 5 s pass...\n\nInterrupted: closing the editor.\n"))) << Transcript().ToUtf8();
}

TEST_F(InteractiveFrontEndTest, WorkshopListingShowsUnderEachItemWhatItRequiresItsKeyValueTagsAndItsExtraPreviews)
{
	char Folder[] = "/tmp/trellic-workshop-XXXXXX";
	ASSERT_NE(mkdtemp(Folder), nullptr);
	UE::StandIn::SetOfflineWorkshopFolder(Folder);
	const OfflineWorkshopTest::FLinkedItems Linked = OfflineWorkshopTest::MakeItemThatRequiresAnother(Folder);
	EXPECT_EQ(RunWith("w\nq\n"), 0);
	const FString Requiring = FString::FromUtf8(std::to_string(Linked.Requiring));
	const FString Required = FString::FromUtf8(std::to_string(Linked.Required));
	// The item without any of it is a single line.
	EXPECT_TRUE(Transcript().Contains(FString::Printf(TEXT("  %s  \"\"  private, 0 file(s), preview none, 0 change note(s)\n      requires %s\n      key-value "
	                                                       "tags Version=1.0\n      extra previews shot.png\n  %s  \"\"  private, 0 file(s), preview none, 0 "
	                                                       "change note(s)\n>"),
	                                                  *Requiring, *Required, *Required)))
	    << Transcript().ToUtf8();
	UE::StandIn::SetOfflineWorkshopFolder(std::string());
	std::filesystem::remove_all(Folder);
}

TEST_F(InteractiveFrontEndTest, AtATerminalLinesAreEditedAndEarlierLinesComeBack)
{
	// The key sequences of an xterm, whatever terminal the tests run in.
	setenv("TERM", "xterm", 1);
	UseTerminal(true);
	const std::string Things = "  Things: Opens more.";
	const std::string Ask = "  Ask: (no tooltip)";
	// Up brings the last line back, Home goes to the start of the line, Ctrl-R finds an earlier line by what it holds,
	// and Ctrl-D on an empty line ends the input. Each line is typed once the one before has been answered, so that the
	// editor reads its keys, not the terminal's own line discipline (which would take Ctrl-R and Ctrl-D for itself).
	const std::vector<std::string> Lines = {"?2\n", "\x1b[A\n", "3\x1b[H?\n", "\x12?2\n", "\x04"};
	size_t Next = 0;
	GOnFrame = [&]() {
		const std::string& Screen = Terminal->GetScreen();
		if (Next < Lines.size() && CountShown(Screen, Things) + CountShown(Screen, Ask) == Next)
		{
			TypeAtTerminal(Lines[Next++]);
		}
		else if (GFramesTicked > 600)
		{
			std::raise(SIGINT);
		}
	};
	EXPECT_EQ(FrontEnd->Run(), 0);
	FrontEnd.reset();
	const std::string Screen = Terminal->Finish();
	EXPECT_EQ(Next, Lines.size()) << Screen;
	EXPECT_EQ(CountShown(Screen, Things), 3u) << Screen;
	EXPECT_EQ(CountShown(Screen, Ask), 1u) << Screen;
	EXPECT_EQ(CountShown(Screen, "Unknown command"), 0u) << Screen;
	EXPECT_NE(Screen.find("Closing the editor.\n"), std::string::npos) << Screen;
}

TEST_F(InteractiveFrontEndTest, ColoursWarningAndErrorLinesAtATerminalUnlessNoColorIsSet)
{
	const std::string Coloured = "\x1b[33mLogTest: Warning: careful\x1b[0m\n\x1b[31mLogTest: Error: broken\x1b[0m\n";
	const std::string Plain = "LogTest: Warning: careful\nLogTest: Error: broken\n";
	// Any value but the empty one turns colours off.
	for (const auto& [NoColor, Expected] : {std::pair<const char*, std::string>{nullptr, Coloured}, {"", Coloured}, {"1", Plain}})
	{
		NoColor ? setenv("NO_COLOR", NoColor, 1) : unsetenv("NO_COLOR");
		FrontEnd.reset();
		Terminal = std::make_unique<FTestTerminal>();
		ASSERT_TRUE(Terminal->IsOpen());
		FrontEnd = std::make_unique<FInteractiveFrontEnd>(Pipe[0], Terminal->GetOutput());
		FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Warning, TEXT("careful"));
		FrontEnd->OnLog(FName(TEXT("LogTest")), ELogVerbosity::Error, TEXT("broken"));
		FrontEnd.reset();
		EXPECT_EQ(Terminal->Finish(), Expected) << (NoColor ? NoColor : "NO_COLOR unset");
	}
}

TEST_F(InteractiveFrontEndTest, WorkshopCommandsListItemsAndSetTheNextRequestOnlyWhenValid)
{
	char Folder[] = "/tmp/trellic-workshop-XXXXXX";
	ASSERT_NE(mkdtemp(Folder), nullptr);
	UE::StandIn::SetOfflineWorkshopFolder(Folder);
	FrontEnd->PrintHeader(TEXT("Thing"));
	EXPECT_EQ(RunWith("w\nw hold 2\nw hold half\nw fail k_EResultNope\nw fail k_EResultAccessDenied later\nw release\nw bogus\nw refuse\n"
	                  "w fail-details-query k_EResultNope\nw fail-add-dependency k_EResultAccessDenied\nw refuse-preview\nh\nq\n"),
	          0);
	const FString Out = Transcript();

	EXPECT_TRUE(Out.Contains(TEXT("Uploads go to the offline Workshop in Saved/OfflineWorkshop, not to Steam (w lists its items).")));
	EXPECT_TRUE(Out.Contains(FString::Printf(TEXT("> w\n  The offline Workshop in %s has no items yet."), *FString::FromUtf8(Folder))));
	EXPECT_TRUE(Out.Contains(TEXT("> w hold 2\n  A hold is a fraction of the content's bytes, from 0 to 1.")));
	EXPECT_TRUE(Out.Contains(TEXT("> w hold half\n  Type w hold and a fraction from 0 to 1, for example w hold 0.5.")));
	EXPECT_TRUE(Out.Contains(TEXT("> w fail k_EResultNope\n  'k_EResultNope' is not an EResult the offline Workshop knows")));
	EXPECT_TRUE(Out.Contains(TEXT("> w fail k_EResultAccessDenied later\n  Type w fail, an EResult's name and")));
	EXPECT_TRUE(Out.Contains(TEXT("> w release\n  No upload is held")));
	EXPECT_TRUE(Out.Contains(TEXT("Unknown Workshop command 'bogus'.")));
	EXPECT_TRUE(Out.Contains(TEXT("> w refuse\n  The next upload finds Steam not running.")));
	EXPECT_TRUE(Out.Contains(TEXT("  w refuse     Steam is not running")));
	EXPECT_TRUE(Out.Contains(TEXT("> w fail-details-query k_EResultNope\n  'k_EResultNope' is not an EResult the offline Workshop knows")));
	EXPECT_TRUE(Out.Contains(TEXT("> w fail-add-dependency k_EResultAccessDenied\n  The next add-dependency call fails with k_EResultAccessDenied.")));
	EXPECT_TRUE(Out.Contains(TEXT("> w refuse-preview\n  The next extra preview call answers false.")));

	// Only the refusal was set, and it applies to the next request alone.
	EXPECT_EQ(SteamAPI_InitEx(nullptr), k_ESteamAPIInitResult_NoSteamClient);
	ASSERT_EQ(SteamAPI_InitEx(nullptr), k_ESteamAPIInitResult_OK);
	SteamAPI_Shutdown();
	// The dependency and the preview that come next are refused, and only they: the item has its key-value tag.
	OfflineWorkshopTest::MakeItemThatRequiresAnother(Folder);
	const std::vector<UE::StandIn::FOfflineWorkshopItem> Items = UE::StandIn::ListOfflineWorkshopItems();
	ASSERT_EQ(Items.size(), 2u);
	EXPECT_TRUE(Items[0].Children.empty());
	EXPECT_TRUE(Items[0].ExtraPreviewFileNames.empty());
	EXPECT_EQ(Items[0].KeyValueTags.size(), 1u);
	UE::StandIn::ResetOfflineWorkshopControls();
	UE::StandIn::SetOfflineWorkshopFolder(std::string());
	std::filesystem::remove_all(Folder);
}
