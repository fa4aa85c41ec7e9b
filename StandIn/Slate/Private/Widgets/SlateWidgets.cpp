#include "Styling/AppStyle.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBorder.h"
#include "Widgets/SNullWidget.h"
#include "Widgets/Text/STextBlock.h"

void SBorder::Construct(const FArguments& InArgs)
{
	// The engine's arguments start with the style's border brush; an unset attribute here stands for it.
	BorderImage = InArgs._BorderImage.IsSet() ? InArgs._BorderImage : TAttribute<const FSlateBrush*>(FAppStyle::GetBrush(TEXT("Border")));
	ChildSlot.HAlign(InArgs._HAlign).VAlign(InArgs._VAlign).Padding(InArgs._Padding)[InArgs._Content.Widget];
}

void STextBlock::Construct(const FArguments& InArgs)
{
	BoundText = InArgs._Text;
	ToolTipText = InArgs._ToolTipText;
}

void SEditableTextBox::Construct(const FArguments& InArgs)
{
	EditedText = InArgs._Text.Get();
	HintText = InArgs._HintText;
	bIsReadOnly = InArgs._IsReadOnly;
	OnTextChanged = InArgs._OnTextChanged;
	OnTextCommitted = InArgs._OnTextCommitted;
}

void SButton::Construct(const FArguments& InArgs)
{
	OnClicked = InArgs._OnClicked;
	ToolTipText = InArgs._ToolTipText;
	// A button given only a text shows it in a text block of its own, as the editor's buttons do.
	TSharedRef<SWidget> Content = InArgs._Content.Widget;
	if (&Content.Get() == &SNullWidget::NullWidget.Get() && InArgs._Text.IsSet())
	{
		Content = SNew(STextBlock).Text(InArgs._Text);
	}
	ChildSlot.HAlign(InArgs._HAlign).VAlign(InArgs._VAlign).Padding(InArgs._ContentPadding)[Content];
}

void SButton::SimulateClick()
{
	// A copy: the handler may close the window that owns the button and so release it.
	const FOnClicked Handler = OnClicked;
	if (Handler.IsBound())
	{
		Handler.Execute();
	}
}
