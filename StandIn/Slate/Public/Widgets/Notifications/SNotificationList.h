// Editor notifications: the toast items in the corner of the editor, and the settings one is made with.
#pragma once

#include "Containers/Array.h"
#include "Delegates/Delegate.h"
#include "Internationalization/Text.h"
#include "Math/Color.h"
#include "Misc/Attribute.h"
#include "Styling/SlateBrush.h"
#include "Types/SlateStructs.h"
#include "Widgets/SCompoundWidget.h"

class INotificationWidget;
class SWindow;

/** One notification on screen; FSlateNotificationManager makes them. */
class SNotificationItem : public SCompoundWidget
{
public:
	/** The outcome a notification shows: nothing, a throbber while pending, or a success or failure icon. */
	enum ECompletionState
	{
		CS_None,
		CS_Pending,
		CS_Success,
		CS_Fail
	};

	virtual ~SNotificationItem() = default;

	/** Sets the main text. */
	virtual void SetText(const TAttribute<FText>& InText) = 0;

	/** Sets the smaller text under the main text; an empty text removes the line. */
	virtual void SetSubText(const TAttribute<FText>& InSubText) = 0;

	/** Shows a link that runs InHyperlink when clicked. */
	virtual void SetHyperlink(const FSimpleDelegate& InHyperlink, const TAttribute<FText>& InHyperlinkText = TAttribute<FText>()) = 0;

	/** Sets how long, in seconds, the item stays after ExpireAndFadeout before it fades out. */
	virtual void SetExpireDuration(float ExpireDuration) = 0;
	virtual void SetFadeInDuration(float FadeInDuration) = 0;
	virtual void SetFadeOutDuration(float FadeOutDuration) = 0;

	virtual ECompletionState GetCompletionState() const = 0;
	virtual void SetCompletionState(ECompletionState State) = 0;

	/** Waits the expire duration, then fades the item out over the fade-out duration and removes it. */
	virtual void ExpireAndFadeout() = 0;

	/** Fades the item out now and removes it. */
	virtual void Fadeout() = 0;

	/** Draws attention to the item with a glow of the given colour. */
	virtual void Pulse(const FLinearColor& GlowColor) = 0;
};

/** A button on a notification, shown only while the notification is in one completion state. */
struct FNotificationButtonInfo
{
	FNotificationButtonInfo(const FText& InText, const FText& InToolTip, FSimpleDelegate InCallback,
	                        SNotificationItem::ECompletionState VisibilityInState = SNotificationItem::CS_None)
	    : Text(InText)
	    , ToolTip(InToolTip)
	    , Callback(InCallback)
	    , VisibleInState(VisibilityInState)
	{
	}

	FText Text;
	FText ToolTip;
	FSimpleDelegate Callback;
	/** The completion state in which the button shows. */
	SNotificationItem::ECompletionState VisibleInState;
};

/** The settings a notification is made with. */
struct FNotificationInfo
{
	/** A notification showing Text, with the editor's default settings. */
	FNotificationInfo(const FText& InText);

	/** A notification whose whole content is a widget of the caller's. */
	FNotificationInfo(TSharedPtr<INotificationWidget> InContentWidget);

	TSharedPtr<INotificationWidget> ContentWidget;
	TAttribute<FText> Text;
	TAttribute<FText> SubText;
	TArray<FNotificationButtonInfo> ButtonDetails;
	/** An icon beside the text; null for none. */
	const FSlateBrush* Image;
	/** Seconds. */
	float FadeInDuration;
	/** Seconds. */
	float FadeOutDuration;
	/** Seconds the item stays once it expires (at once for fire-and-forget items). */
	float ExpireDuration;
	bool bUseThrobber;
	bool bUseSuccessFailIcons;
	bool bUseLargeFont;
	bool bUseCopyToClipboard;
	FOptionalSize WidthOverride;
	/** True: the item expires and fades out by itself; false: it stays until ExpireAndFadeout or Fadeout. */
	bool bFireAndForget;
	SNotificationItem::ECompletionState DefaultState;
	FSimpleDelegate Hyperlink;
	TAttribute<FText> HyperlinkText;
	TSharedPtr<SWindow> ForWindow;
	bool bAllowThrottleWhenFrameRateIsLow;
};
