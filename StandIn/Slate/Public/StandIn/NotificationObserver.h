// Stand-in only: how the host program and tests watch and drive editor notifications.
// The plug-in never includes this header; it builds against the real engine unchanged.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Internationalization/Text.h"
#include "Templates/Function.h"
#include "Templates/SharedPointer.h"
#include "Widgets/Notifications/SNotificationList.h"

namespace UE::StandIn
{
	/** Where a notification is in its life on screen. */
	enum class ENotificationPhase : uint8
	{
		FadingIn,
		/** Fully shown, not expiring: it stays until asked to go. */
		Shown,
		/** Shown, counting down its expire duration. */
		Expiring,
		FadingOut,
		/** Gone from the screen. */
		Removed
	};

	/** What just happened to a notification. */
	enum class ENotificationEvent : uint8
	{
		Added,
		TextChanged,
		SubTextChanged,
		CompletionStateChanged,
		HyperlinkChanged,
		DurationChanged,
		ExpiryStarted,
		FadeoutStarted,
		Pulsed,
		ButtonClicked,
		HyperlinkClicked,
		Removed
	};

	/** What a user sees of a notification at one moment. */
	struct FNotificationSnapshot
	{
		FText Text;
		FText SubText;
		SNotificationItem::ECompletionState CompletionState = SNotificationItem::CS_None;
		ENotificationPhase Phase = ENotificationPhase::FadingIn;
		/** The throbber spins: the item is pending and uses one. */
		bool bShowsThrobber = false;
		/** The success or failure icon shown for the completion state; null when none is shown. */
		const FSlateBrush* StateIcon = nullptr;
		const FSlateBrush* Image = nullptr;
		bool bUseLargeFont = false;
		bool bFireAndForget = false;
		FOptionalSize WidthOverride;
		float FadeInDuration = 0.0f;
		float FadeOutDuration = 0.0f;
		float ExpireDuration = 0.0f;
		/** Seconds since the item was added, as counted by the core ticker. */
		float Age = 0.0f;
		/** Empty when the item shows no link. */
		FText HyperlinkText;
		/** The texts of the buttons shown in the current completion state, in order. */
		TArray<FText> VisibleButtons;
	};

	/** Told of every notification added and every change to one, with what it shows after the change. */
	using FNotificationObserver = TFunction<void(ENotificationEvent Event, const TSharedRef<SNotificationItem>& Item, const FNotificationSnapshot& Snapshot)>;

	/** Installs the observer, replacing any other. @return the observer it replaced. */
	FNotificationObserver SetNotificationObserver(FNotificationObserver Observer);

	/** Installs an observer for as long as it lives, then puts back the one it replaced. */
	class FScopedNotificationObserver
	{
	public:
		explicit FScopedNotificationObserver(FNotificationObserver Observer)
		    : Previous(SetNotificationObserver(MoveTemp(Observer)))
		{
		}
		~FScopedNotificationObserver() { SetNotificationObserver(MoveTemp(Previous)); }
		FScopedNotificationObserver(const FScopedNotificationObserver&) = delete;
		FScopedNotificationObserver& operator=(const FScopedNotificationObserver&) = delete;

	private:
		FNotificationObserver Previous;
	};

	/** @return what the item shows now. */
	FNotificationSnapshot DescribeNotification(const SNotificationItem& Item);

	/** Clicks the button with this text. @return false when no such button shows in the item's current state. */
	bool ClickNotificationButton(const TSharedRef<SNotificationItem>& Item, const FString& ButtonText);

	/** Clicks the item's link. @return false when it shows none. */
	bool ClickNotificationHyperlink(const TSharedRef<SNotificationItem>& Item);

	/** Takes every notification off the screen at once, as a fresh editor session would start. */
	void DismissAllNotifications();
} // namespace UE::StandIn
