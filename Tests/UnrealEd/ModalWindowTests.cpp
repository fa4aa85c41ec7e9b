#include "Editor.h"
#include "StandIn/ModalWindowResponder.h"
#include "StandIn/OutputDeviceCapture.h"
#include "StandIn/SlateApplicationHost.h"
#include "StandIn/WidgetDriver.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include <gtest/gtest.h>

using namespace UE::StandIn;

namespace
{
	/** A dialog whose OK button records the typed text and closes the window, as editor forms do. */
	struct FDialog
	{
		TSharedPtr<SEditableTextBox> TextBox;
		TSharedPtr<SWindow> Window;
		bool bAccepted = false;
		int32 ClosedCount = 0;

		FDialog()
		{
			// clang-format off
			Window = SNew(SWindow)
				.Title(FText::FromString(TEXT("Dialog")))
				[
					SNew(SVerticalBox)
					+ SVerticalBox::Slot().AutoHeight()[SAssignNew(TextBox, SEditableTextBox)]
					+ SVerticalBox::Slot().AutoHeight()
					[
						SNew(SButton)
						.Text(FText::FromString(TEXT("OK")))
						.OnClicked_Lambda([this]()
						{
							bAccepted = true;
							Window->RequestDestroyWindow();
							return FReply::Handled();
						})
					]
				];
			// clang-format on
			Window->SetOnWindowClosed(FOnWindowClosed::CreateLambda([this](const TSharedRef<SWindow>&) {
				++ClosedCount;
			}));
		}
	};
} // namespace

TEST(EditorModalWindow, TheResponderActsInTheWindowBeforeTheCallReturns)
{
	ASSERT_NE(GEditor, nullptr);
	FDialog Dialog;
	int32 Calls = 0;
	bool bWasModalAndShown = false;
	FScopedModalWindowResponder Responder([&](const TSharedRef<SWindow>& Window) {
		++Calls;
		bWasModalAndShown = Window->IsModalWindow() && Window->IsVisible();
		TypeIntoTextBox(FindWidgetsOfType<SEditableTextBox>(Window)[0], TEXT("typed"));
		ClickButton(FindButtonByLabel(Window, TEXT("OK")).ToSharedRef());
		// Asked to close, the window stays until the next Slate tick.
		EXPECT_EQ(GetWindowState(*Window), EWindowState::ClosePending);
	});

	GEditor->EditorAddModalWindow(Dialog.Window.ToSharedRef());
	EXPECT_EQ(Calls, 1);
	EXPECT_TRUE(bWasModalAndShown);
	EXPECT_TRUE(Dialog.bAccepted);
	EXPECT_EQ(Dialog.TextBox->GetText().ToString(), FString(TEXT("typed")));
	EXPECT_EQ(GetWindowState(*Dialog.Window), EWindowState::Destroyed);
	EXPECT_EQ(Dialog.ClosedCount, 1);
}

TEST(EditorModalWindow, WithoutAResponderTheWindowIsClosedWithItsCloseButton)
{
	FDialog Dialog;
	UE::StandIn::FOutputDeviceCapture Capture;
	GEditor->EditorAddModalWindow(Dialog.Window.ToSharedRef());
	EXPECT_FALSE(Dialog.bAccepted);
	EXPECT_EQ(Dialog.ClosedCount, 1);
	EXPECT_EQ(GetWindowState(*Dialog.Window), EWindowState::Destroyed);
	EXPECT_EQ(Capture.GetLines(ELogVerbosity::Warning).Num(), 0);
}

TEST(EditorModalWindow, AWindowLeftOpenIsClosedWithAWarning)
{
	FDialog Dialog;
	UE::StandIn::FOutputDeviceCapture Capture;
	{
		FScopedModalWindowResponder Responder([](const TSharedRef<SWindow>&) {});
		GEditor->EditorAddModalWindow(Dialog.Window.ToSharedRef());
	}
	EXPECT_EQ(Dialog.ClosedCount, 1);
	EXPECT_FALSE(Dialog.bAccepted);
	ASSERT_EQ(Capture.GetLines(ELogVerbosity::Warning).Num(), 1);
	EXPECT_TRUE(Capture.Contains(TEXT("'Dialog' was left open")));

	// A closed window cannot be shown again.
	Capture.Clear();
	GEditor->EditorAddModalWindow(Dialog.Window.ToSharedRef());
	EXPECT_EQ(Capture.GetLines(ELogVerbosity::Error).Num(), 1);
	EXPECT_EQ(Dialog.ClosedCount, 1);
}

TEST(EditorModalWindow, AModalWindowMayOpenAnotherFromInsideIt)
{
	FDialog Outer;
	FDialog Inner;
	TArray<FString> Order;
	FScopedModalWindowResponder Responder([&](const TSharedRef<SWindow>& Window) {
		if (Window == Outer.Window.ToSharedRef())
		{
			Order.Add(TEXT("outer"));
			GEditor->EditorAddModalWindow(Inner.Window.ToSharedRef());
			Order.Add(TEXT("outer again"));
			ClickButton(FindButtonByLabel(Window, TEXT("OK")).ToSharedRef());
			return;
		}
		Order.Add(TEXT("inner"));
		EXPECT_TRUE(PressWindowCloseButton(Window));
	});

	GEditor->EditorAddModalWindow(Outer.Window.ToSharedRef());
	EXPECT_EQ(Order, (TArray<FString>{TEXT("outer"), TEXT("inner"), TEXT("outer again")}));
	EXPECT_TRUE(Outer.bAccepted);
	EXPECT_FALSE(Inner.bAccepted);
	EXPECT_EQ(Inner.ClosedCount, 1);
	EXPECT_EQ(Outer.ClosedCount, 1);
}
