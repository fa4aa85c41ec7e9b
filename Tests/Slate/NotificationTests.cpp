#include "Containers/Ticker.h"
#include "Framework/Notifications/NotificationManager.h"
#include "StandIn/NotificationObserver.h"
#include "Styling/AppStyle.h"
#include "Widgets/Notifications/INotificationWidget.h"
#include "Widgets/Notifications/SNotificationList.h"
#include "Widgets/SNullWidget.h"
#include <gtest/gtest.h>

using namespace UE::StandIn;

namespace
{
	struct FSeenEvent
	{
		ENotificationEvent Event;
		FNotificationSnapshot Snapshot;
	};

	class NotificationTest : public ::testing::Test
	{
	protected:
		NotificationTest()
		    : Observer([this](ENotificationEvent Event, const TSharedRef<SNotificationItem>&, const FNotificationSnapshot& Snapshot) {
			    Seen.Add({Event, Snapshot});
		    })
		{
		}

		~NotificationTest() override
		{
			DismissAllNotifications();
			FTSTicker::GetCoreTicker().Tick(0.0f);
		}

		/** Lets Seconds pass on the core ticker, in steps of a tenth of a second. */
		static void PassTime(float Seconds)
		{
			for (float Passed = 0.0f; Passed < Seconds - 0.001f; Passed += 0.1f)
			{
				FTSTicker::GetCoreTicker().Tick(0.1f);
			}
		}

		static int32 NumActive()
		{
			TArray<TSharedRef<SNotificationItem>> Active;
			FSlateNotificationManager::Get().GetActiveNotifications(Active);
			return Active.Num();
		}

		TArray<ENotificationEvent> SeenEvents() const
		{
			TArray<ENotificationEvent> Events;
			for (const FSeenEvent& Event : Seen)
			{
				Events.Add(Event.Event);
			}
			return Events;
		}

		TArray<FSeenEvent> Seen;
		FScopedNotificationObserver Observer;
	};

	class FTestContent final : public INotificationWidget
	{
	public:
		void OnSetCompletionState(SNotificationItem::ECompletionState InState) override { LastState = InState; }
		TSharedRef<SWidget> AsWidget() override { return SNullWidget::NullWidget; }
		SNotificationItem::ECompletionState LastState = SNotificationItem::CS_None;
	};
} // namespace

TEST_F(NotificationTest, InfoHasTheEditorDefaults)
{
	const FNotificationInfo Info(FText::FromString(TEXT("Hello")));
	EXPECT_EQ(Info.Text.Get().ToString(), FString(TEXT("Hello")));
	EXPECT_FLOAT_EQ(Info.FadeInDuration, 0.5f);
	EXPECT_FLOAT_EQ(Info.FadeOutDuration, 2.0f);
	EXPECT_FLOAT_EQ(Info.ExpireDuration, 1.0f);
	EXPECT_TRUE(Info.bUseThrobber);
	EXPECT_TRUE(Info.bUseSuccessFailIcons);
	EXPECT_TRUE(Info.bUseLargeFont);
	EXPECT_FALSE(Info.bUseCopyToClipboard);
	EXPECT_FLOAT_EQ(Info.WidthOverride.Get(), 320.0f);
	EXPECT_TRUE(Info.bFireAndForget);
	EXPECT_EQ(Info.DefaultState, SNotificationItem::CS_None);
	EXPECT_EQ(Info.Image, nullptr);
	EXPECT_EQ(Info.HyperlinkText.Get().ToString(), FString(TEXT("Show Log")));

	const FNotificationInfo WidgetInfo(MakeShared<FTestContent>());
	EXPECT_FALSE(WidgetInfo.bUseThrobber);
	EXPECT_FALSE(WidgetInfo.bUseSuccessFailIcons);
	EXPECT_FALSE(WidgetInfo.bUseLargeFont);
}

TEST_F(NotificationTest, EveryChangeReachesTheObserverWithWhatTheItemShows)
{
	FNotificationInfo Info(FText::FromString(TEXT("Uploading")));
	Info.bFireAndForget = false;
	Info.ExpireDuration = 6.0f;
	const TSharedPtr<SNotificationItem> Item = FSlateNotificationManager::Get().AddNotification(Info);
	ASSERT_TRUE(Item.IsValid());
	ASSERT_EQ(Seen.Num(), 1);
	EXPECT_EQ(Seen[0].Event, ENotificationEvent::Added);
	EXPECT_EQ(Seen[0].Snapshot.Text.ToString(), FString(TEXT("Uploading")));
	EXPECT_FALSE(Seen[0].Snapshot.bShowsThrobber);

	Item->SetCompletionState(SNotificationItem::CS_Pending);
	EXPECT_TRUE(Seen.Last().Snapshot.bShowsThrobber);
	EXPECT_EQ(Seen.Last().Snapshot.StateIcon, nullptr);
	Item->SetSubText(FText::FromString(TEXT("13% uploaded")));
	EXPECT_EQ(Seen.Last().Snapshot.SubText.ToString(), FString(TEXT("13% uploaded")));
	Item->SetText(FText::FromString(TEXT("Done")));
	Item->SetSubText(FText::GetEmpty());
	Item->SetCompletionState(SNotificationItem::CS_Success);

	EXPECT_EQ(SeenEvents(),
	          (TArray<ENotificationEvent>{ENotificationEvent::Added, ENotificationEvent::CompletionStateChanged, ENotificationEvent::SubTextChanged,
	                                      ENotificationEvent::TextChanged, ENotificationEvent::SubTextChanged, ENotificationEvent::CompletionStateChanged}));
	const FNotificationSnapshot& Final = Seen.Last().Snapshot;
	EXPECT_EQ(Final.Text.ToString(), FString(TEXT("Done")));
	EXPECT_TRUE(Final.SubText.IsEmpty());
	EXPECT_FALSE(Final.bShowsThrobber);
	EXPECT_EQ(Final.StateIcon, FAppStyle::GetBrush(TEXT("NotificationList.SuccessImage")));
	EXPECT_EQ(Item->GetCompletionState(), SNotificationItem::CS_Success);
	EXPECT_EQ(DescribeNotification(*Item).Text.ToString(), FString(TEXT("Done")));
}

TEST_F(NotificationTest, AFireAndForgetItemGoesAfterItsExpiryAndFadeOut)
{
	const TSharedPtr<SNotificationItem> Item = FSlateNotificationManager::Get().AddNotification(FNotificationInfo(FText::FromString(TEXT("Saved"))));
	ASSERT_TRUE(Item.IsValid());
	EXPECT_EQ(DescribeNotification(*Item).Phase, ENotificationPhase::FadingIn);
	PassTime(0.6f);
	EXPECT_EQ(DescribeNotification(*Item).Phase, ENotificationPhase::Expiring);
	PassTime(0.5f);
	EXPECT_EQ(DescribeNotification(*Item).Phase, ENotificationPhase::FadingOut);
	PassTime(1.8f);
	EXPECT_EQ(NumActive(), 1);
	PassTime(0.2f);
	EXPECT_EQ(NumActive(), 0);
	EXPECT_EQ(SeenEvents().Last(), ENotificationEvent::Removed);
}

TEST_F(NotificationTest, AKeptItemStaysUntilToldToGo)
{
	FNotificationInfo Info(FText::FromString(TEXT("Working")));
	Info.bFireAndForget = false;
	const TSharedPtr<SNotificationItem> Kept = FSlateNotificationManager::Get().AddNotification(Info);
	const TSharedPtr<SNotificationItem> Faded = FSlateNotificationManager::Get().AddNotification(Info);
	PassTime(30.0f);
	EXPECT_EQ(NumActive(), 2);
	EXPECT_EQ(DescribeNotification(*Kept).Phase, ENotificationPhase::Shown);

	Kept->SetExpireDuration(6.0f);
	Kept->ExpireAndFadeout();
	Faded->Fadeout();
	PassTime(2.1f);
	EXPECT_EQ(NumActive(), 1);
	PassTime(5.8f);
	EXPECT_EQ(NumActive(), 1);
	PassTime(0.2f);
	EXPECT_EQ(NumActive(), 0);
}

TEST_F(NotificationTest, ButtonsShowOnlyInTheirStateAndRunWhenClicked)
{
	int32 Cancels = 0;
	int32 LogOpens = 0;
	FNotificationInfo Info(FText::FromString(TEXT("Cooking")));
	Info.bFireAndForget = false;
	Info.ButtonDetails.Add(FNotificationButtonInfo(FText::FromString(TEXT("Cancel")), FText::GetEmpty(), FSimpleDelegate::CreateLambda([&Cancels]() {
		                                               ++Cancels;
	                                               }),
	                                               SNotificationItem::CS_Pending));
	Info.Hyperlink = FSimpleDelegate::CreateLambda([&LogOpens]() {
		++LogOpens;
	});
	const TSharedRef<SNotificationItem> Item = FSlateNotificationManager::Get().AddNotification(Info).ToSharedRef();
	EXPECT_TRUE(DescribeNotification(*Item).VisibleButtons.IsEmpty());
	EXPECT_FALSE(ClickNotificationButton(Item, TEXT("Cancel")));

	Item->SetCompletionState(SNotificationItem::CS_Pending);
	ASSERT_EQ(DescribeNotification(*Item).VisibleButtons.Num(), 1);
	EXPECT_TRUE(ClickNotificationButton(Item, TEXT("Cancel")));
	EXPECT_EQ(Cancels, 1);
	EXPECT_EQ(DescribeNotification(*Item).HyperlinkText.ToString(), FString(TEXT("Show Log")));
	EXPECT_TRUE(ClickNotificationHyperlink(Item));
	EXPECT_EQ(LogOpens, 1);
}

TEST_F(NotificationTest, ContentWidgetsHearStateChangesAndNothingShowsWhenNotificationsAreOff)
{
	const TSharedRef<FTestContent> Content = MakeShared<FTestContent>();
	const TSharedPtr<SNotificationItem> Item = FSlateNotificationManager::Get().AddNotification(FNotificationInfo(Content));
	Item->SetCompletionState(SNotificationItem::CS_Fail);
	EXPECT_EQ(Content->LastState, SNotificationItem::CS_Fail);
	EXPECT_EQ(DescribeNotification(*Item).StateIcon, nullptr);

	FSlateNotificationManager::Get().SetAllowNotifications(false);
	Seen.Empty();
	EXPECT_FALSE(FSlateNotificationManager::Get().AddNotification(FNotificationInfo(FText::FromString(TEXT("x")))).IsValid());
	FSlateNotificationManager::Get().SetAllowNotifications(true);
	EXPECT_TRUE(Seen.IsEmpty());

	FSlateNotificationManager::Get().QueueNotification(new FNotificationInfo(FText::FromString(TEXT("Queued"))));
	EXPECT_TRUE(Seen.IsEmpty());
	FTSTicker::GetCoreTicker().Tick(0.0f);
	ASSERT_EQ(Seen.Num(), 2);
	EXPECT_EQ(Seen[0].Snapshot.Text.ToString(), FString(TEXT("Queued")));
}

TEST_F(NotificationTest, AScopedObserverPutsBackTheOneItReplaced)
{
	int32 InnerEvents = 0;
	{
		FScopedNotificationObserver Inner([&InnerEvents](ENotificationEvent, const TSharedRef<SNotificationItem>&, const FNotificationSnapshot&) {
			++InnerEvents;
		});
		FSlateNotificationManager::Get().AddNotification(FNotificationInfo(FText::FromString(TEXT("inner"))));
	}
	EXPECT_EQ(InnerEvents, 2);
	EXPECT_TRUE(Seen.IsEmpty());
	FSlateNotificationManager::Get().AddNotification(FNotificationInfo(FText::FromString(TEXT("outer"))));
	ASSERT_FALSE(Seen.IsEmpty());
	EXPECT_EQ(Seen[0].Snapshot.Text.ToString(), FString(TEXT("outer")));
	EXPECT_EQ(InnerEvents, 2);
}
