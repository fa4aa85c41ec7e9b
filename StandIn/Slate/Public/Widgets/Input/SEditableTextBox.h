// SEditableTextBox: a one-line box the user types text into.
#pragma once

#include "Framework/SlateDelegates.h"
#include "Internationalization/Text.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SLeafWidget.h"

namespace UE::StandIn
{
	struct FSlateInputAccess;
}

class SEditableTextBox : public SLeafWidget
{
public:
	SLATE_BEGIN_ARGS(SEditableTextBox)
		{
		}
		SLATE_ATTRIBUTE(FText, Text)
		SLATE_ATTRIBUTE(FText, HintText)
		SLATE_ATTRIBUTE(bool, IsReadOnly)
		SLATE_EVENT(FOnTextChanged, OnTextChanged)
		SLATE_EVENT(FOnTextCommitted, OnTextCommitted)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	/** @return the text in the box now: what was typed, or the text it was last given. */
	FText GetText() const { return EditedText; }

	/** Replaces the text in the box (a bound text is read once, now). */
	void SetText(const TAttribute<FText>& InNewText) { EditedText = InNewText.Get(); }

	/** @return the grey text shown while the box is empty. */
	FText GetHintText() const { return HintText.Get(); }
	void SetHintText(const TAttribute<FText>& InHintText) { HintText = InHintText; }

	bool IsReadOnly() const { return bIsReadOnly.Get(false); }

private:
	friend struct UE::StandIn::FSlateInputAccess;

	FText EditedText;
	TAttribute<FText> HintText;
	TAttribute<bool> bIsReadOnly;
	FOnTextChanged OnTextChanged;
	FOnTextCommitted OnTextCommitted;
};
