#include "Framework/Notifications/NotificationManager.h"
#include "StandIn/NotificationObserver.h"
#include "Styling/AppStyle.h"
#include "Widgets/Notifications/INotificationWidget.h"

namespace
{
	UE::StandIn::FNotificationObserver& GetObserver()
	{
		static UE::StandIn::FNotificationObserver Observer;
		return Observer;
	}
} // namespace

FNotificationInfo::FNotificationInfo(const FText& InText)
    : Text(InText)
    , Image(nullptr)
    , FadeInDuration(0.5f)
    , FadeOutDuration(2.0f)
    , ExpireDuration(1.0f)
    , bUseThrobber(true)
    , bUseSuccessFailIcons(true)
    , bUseLargeFont(true)
    , bUseCopyToClipboard(false)
    , WidthOverride(320.0f)
    , bFireAndForget(true)
    , DefaultState(SNotificationItem::CS_None)
    , HyperlinkText(FText::FromString(TEXT("Show Log")))
    , bAllowThrottleWhenFrameRateIsLow(true)
{
}

FNotificationInfo::FNotificationInfo(TSharedPtr<INotificationWidget> InContentWidget)
    : FNotificationInfo(FText::GetEmpty())
{
	ContentWidget = InContentWidget;
	bUseThrobber = false;
	bUseSuccessFailIcons = false;
	bUseLargeFont = false;
}

/** A notification on screen: its settings, its state, and its age on the core ticker. */
class SNotificationItemImpl final : public SNotificationItem
{
public:
	explicit SNotificationItemImpl(const FNotificationInfo& InInfo)
	    : Info(InInfo)
	    , CompletionState(InInfo.DefaultState)
	{
		SetDebugInfo("SNotificationItem", __FILE__, __LINE__);
		if (Info.ContentWidget.IsValid())
		{
			ChildSlot[Info.ContentWidget->AsWidget()];
		}
	}

	void Start()
	{
		Notify(UE::StandIn::ENotificationEvent::Added);
		if (Info.bFireAndForget)
		{
			ExpireAndFadeout();
		}
	}

	void SetText(const TAttribute<FText>& InText) override
	{
		Info.Text = InText;
		Notify(UE::StandIn::ENotificationEvent::TextChanged);
	}

	void SetSubText(const TAttribute<FText>& InSubText) override
	{
		Info.SubText = InSubText;
		Notify(UE::StandIn::ENotificationEvent::SubTextChanged);
	}

	void SetHyperlink(const FSimpleDelegate& InHyperlink, const TAttribute<FText>& InHyperlinkText) override
	{
		Info.Hyperlink = InHyperlink;
		if (InHyperlinkText.IsSet())
		{
			Info.HyperlinkText = InHyperlinkText;
		}
		Notify(UE::StandIn::ENotificationEvent::HyperlinkChanged);
	}

	void SetExpireDuration(float InExpireDuration) override
	{
		Info.ExpireDuration = InExpireDuration;
		Notify(UE::StandIn::ENotificationEvent::DurationChanged);
	}

	void SetFadeInDuration(float InFadeInDuration) override
	{
		Info.FadeInDuration = InFadeInDuration;
		Notify(UE::StandIn::ENotificationEvent::DurationChanged);
	}

	void SetFadeOutDuration(float InFadeOutDuration) override
	{
		Info.FadeOutDuration = InFadeOutDuration;
		Notify(UE::StandIn::ENotificationEvent::DurationChanged);
	}

	ECompletionState GetCompletionState() const override { return CompletionState; }

	void SetCompletionState(ECompletionState InState) override
	{
		CompletionState = InState;
		if (Info.ContentWidget.IsValid())
		{
			Info.ContentWidget->OnSetCompletionState(InState);
		}
		Notify(UE::StandIn::ENotificationEvent::CompletionStateChanged);
	}

	void ExpireAndFadeout() override
	{
		if (IsFadingOut())
		{
			return;
		}
		ExpireAt = Age + Info.ExpireDuration;
		Notify(UE::StandIn::ENotificationEvent::ExpiryStarted);
	}

	void Fadeout() override
	{
		if (IsFadingOut())
		{
			return;
		}
		BeginFadeout(Age);
	}

	void Pulse(const FLinearColor&) override { Notify(UE::StandIn::ENotificationEvent::Pulsed); }

	/** Lets time pass. @return false once the item has faded out and is gone. */
	bool Advance(float DeltaTime)
	{
		Age += DeltaTime;
		if (!IsFadingOut() && ExpireAt >= 0.0f && Age >= ExpireAt)
		{
			BeginFadeout(ExpireAt);
		}
		if (IsFadingOut() && Age >= FadeoutStartedAt + Info.FadeOutDuration)
		{
			Remove();
		}
		return !bRemoved;
	}

	bool IsRemoved() const { return bRemoved; }

	void Remove()
	{
		if (!bRemoved)
		{
			bRemoved = true;
			Notify(UE::StandIn::ENotificationEvent::Removed);
		}
	}

	UE::StandIn::FNotificationSnapshot Describe() const
	{
		UE::StandIn::FNotificationSnapshot Snapshot;
		Snapshot.Text = Info.Text.Get();
		Snapshot.SubText = Info.SubText.Get();
		Snapshot.CompletionState = CompletionState;
		Snapshot.Phase = GetPhase();
		Snapshot.bShowsThrobber = Info.bUseThrobber && CompletionState == CS_Pending;
		if (Info.bUseSuccessFailIcons && (CompletionState == CS_Success || CompletionState == CS_Fail))
		{
			Snapshot.StateIcon =
			    FAppStyle::GetBrush(CompletionState == CS_Success ? TEXT("NotificationList.SuccessImage") : TEXT("NotificationList.FailImage"));
		}
		Snapshot.Image = Info.Image;
		Snapshot.bUseLargeFont = Info.bUseLargeFont;
		Snapshot.bFireAndForget = Info.bFireAndForget;
		Snapshot.WidthOverride = Info.WidthOverride;
		Snapshot.FadeInDuration = Info.FadeInDuration;
		Snapshot.FadeOutDuration = Info.FadeOutDuration;
		Snapshot.ExpireDuration = Info.ExpireDuration;
		Snapshot.Age = Age;
		if (Info.Hyperlink.IsBound())
		{
			Snapshot.HyperlinkText = Info.HyperlinkText.Get();
		}
		for (const FNotificationButtonInfo& Button : Info.ButtonDetails)
		{
			if (Button.VisibleInState == CompletionState)
			{
				Snapshot.VisibleButtons.Add(Button.Text);
			}
		}
		return Snapshot;
	}

	bool ClickButton(const FString& ButtonText)
	{
		for (const FNotificationButtonInfo& Button : Info.ButtonDetails)
		{
			if (!bRemoved && Button.VisibleInState == CompletionState && Button.Text.ToString().Equals(ButtonText, ESearchCase::CaseSensitive))
			{
				Notify(UE::StandIn::ENotificationEvent::ButtonClicked);
				const FSimpleDelegate Callback = Button.Callback;
				Callback.ExecuteIfBound();
				return true;
			}
		}
		return false;
	}

	bool ClickHyperlink()
	{
		if (bRemoved || !Info.Hyperlink.IsBound())
		{
			return false;
		}
		Notify(UE::StandIn::ENotificationEvent::HyperlinkClicked);
		const FSimpleDelegate Hyperlink = Info.Hyperlink;
		Hyperlink.Execute();
		return true;
	}

private:
	bool IsFadingOut() const { return FadeoutStartedAt >= 0.0f || bRemoved; }

	void BeginFadeout(float StartAge)
	{
		FadeoutStartedAt = StartAge;
		Notify(UE::StandIn::ENotificationEvent::FadeoutStarted);
	}

	UE::StandIn::ENotificationPhase GetPhase() const
	{
		using UE::StandIn::ENotificationPhase;
		if (bRemoved)
		{
			return ENotificationPhase::Removed;
		}
		if (FadeoutStartedAt >= 0.0f)
		{
			return ENotificationPhase::FadingOut;
		}
		if (Age < Info.FadeInDuration)
		{
			return ENotificationPhase::FadingIn;
		}
		return ExpireAt >= 0.0f ? ENotificationPhase::Expiring : ENotificationPhase::Shown;
	}

	void Notify(UE::StandIn::ENotificationEvent Event)
	{
		// A copy: the observer may install another observer while it runs.
		const UE::StandIn::FNotificationObserver Observer = GetObserver();
		if (Observer)
		{
			Observer(Event, StaticCastSharedRef<SNotificationItem>(AsShared()), Describe());
		}
	}

	FNotificationInfo Info;
	ECompletionState CompletionState;
	float Age = 0.0f;
	// Ages in seconds at which expiry ends and fading out began; negative while not reached.
	float ExpireAt = -1.0f;
	float FadeoutStartedAt = -1.0f;
	bool bRemoved = false;
};

FSlateNotificationManager& FSlateNotificationManager::Get()
{
	static FSlateNotificationManager Manager;
	return Manager;
}

TSharedPtr<SNotificationItem> FSlateNotificationManager::AddNotification(const FNotificationInfo& Info)
{
	if (!bAllowNotifications)
	{
		return nullptr;
	}
	TSharedRef<SNotificationItemImpl> Item = MakeShared<SNotificationItemImpl>(Info);
	Items.Add(Item);
	EnsureTicking();
	Item->Start();
	return Item;
}

void FSlateNotificationManager::QueueNotification(FNotificationInfo* Info)
{
	QueuedInfos.Add(std::unique_ptr<FNotificationInfo>(Info));
	EnsureTicking();
}

void FSlateNotificationManager::GetActiveNotifications(TArray<TSharedRef<SNotificationItem>>& OutNotifications) const
{
	for (const TSharedRef<SNotificationItemImpl>& Item : Items)
	{
		if (!Item->IsRemoved())
		{
			OutNotifications.Add(Item);
		}
	}
}

void FSlateNotificationManager::EnsureTicking()
{
	if (!TickerHandle.IsValid())
	{
		TickerHandle = FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateRaw(this, &FSlateNotificationManager::Tick), 0.0f);
	}
}

bool FSlateNotificationManager::Tick(float DeltaTime)
{
	TArray<std::unique_ptr<FNotificationInfo>> Queued = MoveTemp(QueuedInfos);
	QueuedInfos.Empty();
	for (const std::unique_ptr<FNotificationInfo>& Info : Queued)
	{
		AddNotification(*Info);
	}
	// Items added meanwhile (by an observer, say) start their time on the next tick.
	const TArray<TSharedRef<SNotificationItemImpl>> Ticking = Items;
	for (const TSharedRef<SNotificationItemImpl>& Item : Ticking)
	{
		if (!Item->Advance(DeltaTime))
		{
			Items.Remove(Item);
		}
	}
	if (Items.IsEmpty() && QueuedInfos.IsEmpty())
	{
		TickerHandle.Reset();
		return false;
	}
	return true;
}

namespace UE::StandIn
{
	FNotificationObserver SetNotificationObserver(FNotificationObserver Observer)
	{
		FNotificationObserver Previous = MoveTemp(GetObserver());
		GetObserver() = MoveTemp(Observer);
		return Previous;
	}

	FNotificationSnapshot DescribeNotification(const SNotificationItem& Item)
	{
		return static_cast<const SNotificationItemImpl&>(Item).Describe();
	}

	bool ClickNotificationButton(const TSharedRef<SNotificationItem>& Item, const FString& ButtonText)
	{
		return StaticCastSharedRef<SNotificationItemImpl>(Item)->ClickButton(ButtonText);
	}

	bool ClickNotificationHyperlink(const TSharedRef<SNotificationItem>& Item)
	{
		return StaticCastSharedRef<SNotificationItemImpl>(Item)->ClickHyperlink();
	}

	void DismissAllNotifications()
	{
		TArray<TSharedRef<SNotificationItem>> Active;
		FSlateNotificationManager::Get().GetActiveNotifications(Active);
		for (const TSharedRef<SNotificationItem>& Item : Active)
		{
			StaticCastSharedRef<SNotificationItemImpl>(Item)->Remove();
		}
		// The manager drops removed items on its next tick.
	}
} // namespace UE::StandIn
