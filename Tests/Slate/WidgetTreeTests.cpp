#include "Framework/Commands/UIAction.h"
#include "StandIn/SlateApplicationHost.h"
#include "StandIn/WidgetDriver.h"
#include "Styling/AppStyle.h"
#include "Textures/SlateIcon.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBorder.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"
#include <gtest/gtest.h>

using namespace UE::StandIn;

namespace
{
	/** A small form: a titled window with a label, a name box and two buttons, as editor dialogs are built. */
	struct FTestForm
	{
		TSharedPtr<SEditableTextBox> NameBox;
		TSharedPtr<SWindow> Window;
		int32 OkClicks = 0;

		FTestForm()
		{
			// clang-format off
			Window = SNew(SWindow)
				.Title(FText::FromString(TEXT("Form")))
				.ClientSize(FVector2D(420, 170))
				.SupportsMaximize(false)
				.SupportsMinimize(false)
				[
					SNew(SBorder)
					.Padding(12)
					[
						SNew(SVerticalBox)
						+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 4)
						[
							SNew(STextBlock).Text(FText::FromString(TEXT("Name")))
						]
						+ SVerticalBox::Slot().AutoHeight().Padding(0, 0, 0, 10)
						[
							SAssignNew(NameBox, SEditableTextBox)
						]
						+ SVerticalBox::Slot().AutoHeight().HAlign(HAlign_Right)
						[
							SNew(SHorizontalBox)
							+ SHorizontalBox::Slot().AutoWidth().Padding(0, 0, 8, 0)
							[
								SNew(SButton)
								.Text(FText::FromString(TEXT("OK")))
								.OnClicked_Lambda([this]()
								{
									++OkClicks;
									Window->RequestDestroyWindow();
									return FReply::Handled();
								})
							]
							+ SHorizontalBox::Slot().AutoWidth()
							[
								SNew(SButton).Text(FText::FromString(TEXT("Cancel")))
							]
						]
					]
				];
			// clang-format on
		}

		TSharedRef<SWindow> GetWindow() const { return Window.ToSharedRef(); }
	};

	const FCompoundWidgetOneChildSlot& ChildSlotOf(const TSharedRef<SWidget>& Compound)
	{
		return static_cast<const FCompoundWidgetOneChildSlot&>(Compound->GetChildren()->GetSlotAt(0));
	}
} // namespace

TEST(SlateWidgetTree, BuildsTheDeclaredTreeWithItsLayout)
{
	FTestForm Form;
	const TSharedRef<SWindow> Window = Form.GetWindow();
	EXPECT_EQ(Window->GetTitle().ToString(), FString(TEXT("Form")));
	EXPECT_EQ(Window->GetClientSizeInScreen(), FVector2D(420, 170));
	EXPECT_FALSE(Window->HasMaximizeBox());
	EXPECT_FALSE(Window->HasMinimizeBox());
	// What the declaration left out keeps the window defaults.
	EXPECT_TRUE(Window->HasCloseBox());
	EXPECT_EQ(Window->GetSizingRule(), ESizingRule::UserSized);
	EXPECT_EQ(GetWindowAutoCenter(*Window), EAutoCenter::PreferredWorkArea);

	const TArray<TSharedRef<SWidget>> Content = GetChildWidgets(Window);
	ASSERT_EQ(Content.Num(), 1);
	EXPECT_EQ(Content[0]->GetTypeAsString(), FString(TEXT("SBorder")));
	EXPECT_EQ(Window->GetContent(), Content[0]);
	EXPECT_EQ(ChildSlotOf(Content[0]).GetPadding(), FMargin(12));
	EXPECT_EQ(StaticCastSharedRef<SBorder>(Content[0])->GetBorderImage(), FAppStyle::GetBrush(TEXT("Border")));
	EXPECT_EQ(ChildSlotOf(SNew(SBorder)).GetPadding(), FMargin(2));

	// A box's slots are its own slot type; padding and alignment are the box slot's, not every slot's.
	const TSharedRef<SVerticalBox> Box = StaticCastSharedRef<SVerticalBox>(GetChildWidgets(Content[0])[0]);
	ASSERT_EQ(Box->NumSlots(), 3);
	EXPECT_EQ(Box->GetSlot(0).GetPadding(), FMargin(0, 0, 0, 4));
	EXPECT_EQ(Box->GetSlot(1).GetPadding(), FMargin(0, 0, 0, 10));
	EXPECT_EQ(Box->GetSlot(2).GetPadding(), FMargin());
	EXPECT_EQ(Box->GetSlot(0).GetHorizontalAlignment(), HAlign_Fill);
	EXPECT_EQ(Box->GetSlot(2).GetHorizontalAlignment(), HAlign_Right);
	EXPECT_EQ(Box->GetSlot(0).GetSizeRule(), ESizeRule::SizeRule_Auto);
	EXPECT_EQ(&Box->GetSlot(1), &Box->GetChildren()->GetSlotAt(1));

	EXPECT_EQ(FindWidgetsOfType<SEditableTextBox>(Window)[0], Form.NameBox.ToSharedRef());
	EXPECT_EQ(DescribeWidgetTree(Window),
	          FString(TEXT("SWindow\n  SBorder\n    SVerticalBox\n      STextBlock \"Name\"\n      SEditableTextBox \"\"\n      SHorizontalBox\n        "
	                       "SButton\n          STextBlock \"OK\"\n        SButton\n          STextBlock \"Cancel\"\n")));
}

TEST(SlateWidgetTree, AWindowOpensLargerThanAskedByItsMonitorsScaleUnlessMadeNotTo)
{
	SetMonitorDPIScale(1.5f);
	const TSharedRef<SWindow> Scaled = SNew(SWindow).ClientSize(FVector2D(420, 170));
	const TSharedRef<SWindow> Unscaled = SNew(SWindow).ClientSize(FVector2D(420, 170)).AdjustInitialSizeAndPositionForDPIScale(false);
	SetMonitorDPIScale(1.0f);

	EXPECT_EQ(Scaled->GetClientSizeInScreen(), FVector2D(630, 255));
	EXPECT_EQ(Scaled->GetDPIScaleFactor(), 1.5f);
	EXPECT_EQ(Unscaled->GetClientSizeInScreen(), FVector2D(420, 170));
	EXPECT_EQ(Unscaled->GetDPIScaleFactor(), 1.5f);
	const TSharedRef<SWindow> Later = SNew(SWindow).ClientSize(FVector2D(420, 170));
	EXPECT_EQ(Later->GetClientSizeInScreen(), FVector2D(420, 170));
}

TEST(SlateWidgetTree, TypingReplacesTheTextAndRunsTheHandlers)
{
	FString Changed;
	ETextCommit::Type Commit = ETextCommit::Default;
	TSharedRef<SEditableTextBox> Box = SNew(SEditableTextBox)
	                                       .Text(FText::FromString(TEXT("old")))
	                                       .OnTextChanged_Lambda([&Changed](const FText& Text) {
		                                       Changed = Text.ToString();
	                                       })
	                                       .OnTextCommitted_Lambda([&Commit](const FText&, ETextCommit::Type How) {
		                                       Commit = How;
	                                       });
	EXPECT_EQ(Box->GetText().ToString(), FString(TEXT("old")));
	EXPECT_TRUE(TypeIntoTextBox(Box, TEXT("  My Mod  ")));
	EXPECT_EQ(Box->GetText().ToString(), FString(TEXT("  My Mod  ")));
	EXPECT_EQ(Changed, FString(TEXT("  My Mod  ")));
	EXPECT_EQ(Commit, ETextCommit::OnUserMovedFocus);

	Box->SetText(FText::FromString(TEXT("set")));
	EXPECT_EQ(GetWidgetText(Box).ToString(), FString(TEXT("set")));

	TSharedRef<SEditableTextBox> ReadOnly = SNew(SEditableTextBox).IsReadOnly(true);
	EXPECT_FALSE(TypeIntoTextBox(ReadOnly, TEXT("x")));
	EXPECT_TRUE(ReadOnly->GetText().IsEmpty());
}

TEST(SlateWidgetTree, ClickingRunsOnlyAnEnabledButtonsHandler)
{
	FTestForm Form;
	const TSharedPtr<SButton> Ok = FindButtonByLabel(Form.GetWindow(), TEXT("OK"));
	ASSERT_TRUE(Ok.IsValid());
	EXPECT_TRUE(ClickButton(Ok.ToSharedRef()).IsEventHandled());
	EXPECT_EQ(Form.OkClicks, 1);
	EXPECT_EQ(GetWindowState(*Form.Window), EWindowState::ClosePending);

	// A button without a handler answers unhandled; a disabled one never runs its handler.
	EXPECT_FALSE(ClickButton(FindButtonByLabel(Form.GetWindow(), TEXT("Cancel")).ToSharedRef()).IsEventHandled());
	Ok->SetEnabled(false);
	EXPECT_FALSE(ClickButton(Ok.ToSharedRef()).IsEventHandled());
	EXPECT_EQ(Form.OkClicks, 1);
	EXPECT_FALSE(FindButtonByLabel(Form.GetWindow(), TEXT("ok")).IsValid());
	TickSlate();
}

// What a spec uses to act in a window that is never shown: a click from code, and a close request kept by the spec.
TEST(SlateWidgetTree, ASimulatedClickRunsTheHandlerAndAnOverriddenCloseRequestLeavesTheWindowOpen)
{
	FTestForm Form;
	int32 CloseRequests = 0;
	Form.Window->SetRequestDestroyWindowOverride(FRequestDestroyWindowOverride::CreateLambda([&Form, &CloseRequests](const TSharedRef<SWindow>& Window) {
		EXPECT_EQ(&Window.Get(), Form.Window.Get());
		++CloseRequests;
	}));
	FindButtonByLabel(Form.GetWindow(), TEXT("OK"))->SimulateClick();
	EXPECT_EQ(Form.OkClicks, 1);
	EXPECT_EQ(CloseRequests, 1);
	EXPECT_EQ(GetWindowState(*Form.Window), EWindowState::Created);
	EXPECT_EQ(TickSlate(), 0);

	// A button without a handler does nothing.
	FindButtonByLabel(Form.GetWindow(), TEXT("Cancel"))->SimulateClick();
	EXPECT_EQ(CloseRequests, 1);
}

TEST(SlateWidgetTree, AWindowClosesOnTheNextSlateTickAndOnlyOnce)
{
	FTestForm Form;
	int32 Closed = 0;
	Form.Window->SetOnWindowClosed(FOnWindowClosed::CreateLambda([&Closed](const TSharedRef<SWindow>&) {
		++Closed;
	}));
	EXPECT_TRUE(ShowWindow(Form.GetWindow(), false));
	EXPECT_TRUE(Form.Window->IsVisible());

	EXPECT_TRUE(PressWindowCloseButton(Form.GetWindow()));
	Form.Window->RequestDestroyWindow();
	EXPECT_EQ(Closed, 0);
	EXPECT_EQ(TickSlate(), 1);
	EXPECT_EQ(Closed, 1);
	EXPECT_EQ(GetWindowState(*Form.Window), EWindowState::Destroyed);
	EXPECT_FALSE(PressWindowCloseButton(Form.GetWindow()));
	EXPECT_FALSE(ShowWindow(Form.GetWindow(), true));
	EXPECT_EQ(TickSlate(), 0);

	TSharedRef<SWindow> NoCloseButton = SNew(SWindow).HasCloseButton(false).ClientSize(FVector2f(300, 100));
	EXPECT_EQ(NoCloseButton->GetClientSizeInScreen(), FVector2D(300, 100));
	ShowWindow(NoCloseButton, false);
	EXPECT_FALSE(PressWindowCloseButton(NoCloseButton));
}

TEST(SlateWidgetTree, BoundAttributesAreReadAgainOnEveryRead)
{
	int32 Reads = 0;
	TSharedPtr<STextBlock> Text;
	TSharedRef<SWidget> Block = SAssignNew(Text, STextBlock).Text_Lambda([&Reads]() {
		return FText::FromString(FString::Printf(TEXT("read %d"), ++Reads));
	});
	EXPECT_EQ(&Block.Get(), static_cast<SWidget*>(Text.Get()));
	EXPECT_EQ(Text->GetText().ToString(), FString(TEXT("read 1")));
	EXPECT_EQ(Text->GetText().ToString(), FString(TEXT("read 2")));

	// A border's image is an attribute too, so a bound one follows its source.
	const FSlateBrush* Image = FAppStyle::GetBrush(TEXT("Icons.Plus"));
	ASSERT_NE(Image, FAppStyle::GetBrush(TEXT("Border")));
	const TSharedRef<SBorder> Border = SNew(SBorder).BorderImage_Lambda([&Image]() {
		return Image;
	});
	EXPECT_EQ(Border->GetBorderImage(), FAppStyle::GetBrush(TEXT("Icons.Plus")));
	Image = FAppStyle::GetBrush(TEXT("Border"));
	EXPECT_EQ(Border->GetBorderImage(), FAppStyle::GetBrush(TEXT("Border")));

	const TAttribute<FMargin> Fixed = 3;
	EXPECT_TRUE(Fixed.IsSet());
	EXPECT_FALSE(Fixed.IsBound());
	EXPECT_EQ(Fixed.Get(), FMargin(3));
	EXPECT_FALSE(TAttribute<FText>().IsSet());
}

TEST(SlateStyleAndActions, UnknownBrushesFallBackToTheDefaultBrush)
{
	const FSlateBrush* Known = FAppStyle::Get().GetBrush(TEXT("Icons.Plus"));
	const FSlateBrush* Unknown = FAppStyle::GetBrush(TEXT("No.Such.Brush"));
	ASSERT_NE(Known, nullptr);
	ASSERT_NE(Unknown, nullptr);
	EXPECT_EQ(Known->GetResourceName(), FName(TEXT("Icons.Plus")));
	EXPECT_EQ(Unknown, FAppStyle::Get().GetDefaultBrush());

	EXPECT_EQ(FSlateIcon().GetIcon(), nullptr);
	EXPECT_FALSE(FSlateIcon().IsSet());
	EXPECT_EQ(FSlateIcon(FAppStyle::GetAppStyleSetName(), TEXT("Icons.Plus")).GetIcon(), Known);
}

TEST(SlateStyleAndActions, AnActionWithOnlyAnExecuteDelegateIsAlwaysEnabled)
{
	int32 Runs = 0;
	const FUIAction ExecuteOnly(FExecuteAction::CreateLambda([&Runs]() {
		++Runs;
	}));
	EXPECT_TRUE(ExecuteOnly.CanExecute());
	EXPECT_TRUE(ExecuteOnly.Execute());
	EXPECT_EQ(Runs, 1);

	const FUIAction Greyed(FExecuteAction(), FCanExecuteAction::CreateLambda([]() {
		                       return false;
	                       }));
	EXPECT_FALSE(Greyed.CanExecute());
	EXPECT_FALSE(Greyed.Execute());
	EXPECT_TRUE(FUIAction().CanExecute());
	EXPECT_FALSE(FUIAction().Execute());
}

namespace
{
	struct FClickCounter : public TSharedFromThis<FClickCounter>
	{
		FReply Count(int32 Amount)
		{
			Total += Amount;
			return FReply::Handled();
		}
		int32 Total = 0;
	};

	FReply CountStatic(int32* Counter, int32 Amount)
	{
		*Counter += Amount;
		return FReply::Handled();
	}
} // namespace

TEST(SlateWidgetTree, EventSettersBindTheirPayloadsAndAssignExposesTheWidget)
{
	const TSharedRef<FClickCounter> Counter = MakeShared<FClickCounter>();
	int32 StaticTotal = 0;
	TSharedRef<SWidget> Placeholder = SNew(STextBlock);
	TSharedRef<SButton> Raw = SNew(SButton).OnClicked_Raw(&Counter.Get(), &FClickCounter::Count, 2);
	TSharedRef<SButton> Shared = SNew(SButton).OnClicked_SP(Counter, &FClickCounter::Count, 5);
	SAssignNew(Placeholder, SButton).OnClicked_Static(&CountStatic, &StaticTotal, 7);

	ClickButton(Raw);
	ClickButton(Shared);
	ClickButton(StaticCastSharedRef<SButton>(Placeholder));
	EXPECT_EQ(Counter->Total, 7);
	EXPECT_EQ(StaticTotal, 7);
	EXPECT_EQ(Placeholder->GetTypeAsString(), FString(TEXT("SButton")));
}

TEST(SlateWidgetTree, ReplacedContentLeavesTheTreeAndADestroyedWindowClosesOnce)
{
	FTestForm Form;
	int32 Closed = 0;
	Form.Window->SetOnWindowClosed(FOnWindowClosed::CreateLambda([&Closed](const TSharedRef<SWindow>&) {
		++Closed;
	}));
	Form.Window->SetContent(SNew(STextBlock).Text(FText::FromString(TEXT("Only"))));
	EXPECT_EQ(DescribeWidgetTree(Form.GetWindow()), FString(TEXT("SWindow\n  STextBlock \"Only\"\n")));
	EXPECT_TRUE(FindWidgetsOfType<SEditableTextBox>(Form.GetWindow()).IsEmpty());

	ShowWindow(Form.GetWindow(), false);
	Form.Window->RequestDestroyWindow();
	Form.Window->DestroyWindowImmediately();
	EXPECT_EQ(Closed, 1);
	EXPECT_FALSE(Form.Window->IsVisible());
	EXPECT_EQ(TickSlate(), 0);
	EXPECT_EQ(Closed, 1);
}
