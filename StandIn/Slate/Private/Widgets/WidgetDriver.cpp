#include "StandIn/WidgetDriver.h"

#include "Layout/Children.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/SNullWidget.h"
#include "Widgets/Text/STextBlock.h"

namespace UE::StandIn
{
	/** Reaches the handlers a user's input would trigger. */
	struct FSlateInputAccess
	{
		static void Type(SEditableTextBox& TextBox, const FText& NewText)
		{
			TextBox.EditedText = NewText;
			TextBox.OnTextChanged.ExecuteIfBound(NewText);
			TextBox.OnTextCommitted.ExecuteIfBound(NewText, ETextCommit::OnUserMovedFocus);
		}

		static FReply Click(const SButton& Button)
		{
			// A copy: the handler may close the window that owns the button and so release it.
			const FOnClicked Handler = Button.OnClicked;
			return Handler.IsBound() ? Handler.Execute() : FReply::Unhandled();
		}
	};

	namespace
	{
		void CollectDepthFirst(const TSharedRef<SWidget>& Widget, TArray<TSharedRef<SWidget>>& OutWidgets)
		{
			OutWidgets.Add(Widget);
			for (const TSharedRef<SWidget>& Child : GetChildWidgets(Widget))
			{
				CollectDepthFirst(Child, OutWidgets);
			}
		}

		void AppendDescription(const TSharedRef<SWidget>& Widget, int32 Depth, FString& OutDescription)
		{
			for (int32 Level = 0; Level < Depth; ++Level)
			{
				OutDescription += TEXT("  ");
			}
			OutDescription += Widget->GetTypeAsString();
			const bool bShowsText = dynamic_cast<const STextBlock*>(&Widget.Get()) || dynamic_cast<const SEditableTextBox*>(&Widget.Get());
			if (bShowsText)
			{
				OutDescription += FString(TEXT(" \"")) + GetWidgetText(Widget).ToString() + TEXT("\"");
			}
			OutDescription += TEXT("\n");
			for (const TSharedRef<SWidget>& Child : GetChildWidgets(Widget))
			{
				AppendDescription(Child, Depth + 1, OutDescription);
			}
		}
	} // namespace

	TArray<TSharedRef<SWidget>> GetChildWidgets(const TSharedRef<SWidget>& Widget)
	{
		TArray<TSharedRef<SWidget>> Children;
		FChildren* AllChildren = Widget->GetChildren();
		for (int32 Index = 0; Index < AllChildren->Num(); ++Index)
		{
			TSharedRef<SWidget> Child = AllChildren->GetChildAt(Index);
			if (&Child.Get() != &SNullWidget::NullWidget.Get())
			{
				Children.Add(Child);
			}
		}
		return Children;
	}

	TArray<TSharedRef<SWidget>> GetWidgetsDepthFirst(const TSharedRef<SWidget>& Root)
	{
		TArray<TSharedRef<SWidget>> Widgets;
		CollectDepthFirst(Root, Widgets);
		return Widgets;
	}

	FText GetWidgetText(const TSharedRef<SWidget>& Widget)
	{
		if (const STextBlock* TextBlock = dynamic_cast<const STextBlock*>(&Widget.Get()))
		{
			return TextBlock->GetText();
		}
		if (const SEditableTextBox* TextBox = dynamic_cast<const SEditableTextBox*>(&Widget.Get()))
		{
			return TextBox->GetText();
		}
		if (dynamic_cast<const SButton*>(&Widget.Get()) != nullptr)
		{
			FString Label;
			for (const TSharedRef<STextBlock>& TextBlock : FindWidgetsOfType<STextBlock>(Widget))
			{
				Label += Label.IsEmpty() ? FString() : FString(TEXT(" "));
				Label += TextBlock->GetText().ToString();
			}
			return FText::FromString(Label);
		}
		return FText::GetEmpty();
	}

	TSharedPtr<SButton> FindButtonByLabel(const TSharedRef<SWidget>& Root, const FString& Label)
	{
		for (const TSharedRef<SButton>& Button : FindWidgetsOfType<SButton>(Root))
		{
			if (GetWidgetText(Button).ToString().Equals(Label, ESearchCase::CaseSensitive))
			{
				return Button;
			}
		}
		return nullptr;
	}

	bool TypeIntoTextBox(const TSharedRef<SEditableTextBox>& TextBox, const FString& Text)
	{
		if (TextBox->IsReadOnly() || !TextBox->IsEnabled())
		{
			return false;
		}
		FSlateInputAccess::Type(TextBox.Get(), FText::FromString(Text));
		return true;
	}

	FReply ClickButton(const TSharedRef<SButton>& Button)
	{
		if (!Button->IsEnabled())
		{
			return FReply::Unhandled();
		}
		return FSlateInputAccess::Click(Button.Get());
	}

	FString DescribeWidgetTree(const TSharedRef<SWidget>& Root)
	{
		FString Description;
		AppendDescription(Root, 0, Description);
		return Description;
	}
} // namespace UE::StandIn
