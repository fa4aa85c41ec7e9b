// STextBlock: a read-only line or paragraph of text.
#pragma once

#include "Internationalization/Text.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SLeafWidget.h"

class STextBlock : public SLeafWidget
{
public:
	SLATE_BEGIN_ARGS(STextBlock)
		{
		}
		SLATE_ATTRIBUTE(FText, Text)
		SLATE_ATTRIBUTE(FText, ToolTipText)
		SLATE_ATTRIBUTE(bool, AutoWrapText)
	SLATE_END_ARGS()

	void Construct(const FArguments& InArgs);

	/** @return the text shown now; a bound text is read again on every call. */
	const FText& GetText() const { return BoundText.Get(); }
	void SetText(TAttribute<FText> InText) { BoundText = MoveTemp(InText); }

	FText GetToolTipText() const { return ToolTipText.Get(); }

private:
	TAttribute<FText> BoundText;
	TAttribute<FText> ToolTipText;
};
