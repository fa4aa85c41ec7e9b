#include "HostWindows.h"

#include "StandIn/SlateApplicationHost.h"
#include "StandIn/WidgetDriver.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/SWindow.h"
#include "Widgets/Text/STextBlock.h"

namespace UE::StandIn::EditorHost
{
	namespace
	{
		// A button's label is read as the button, not as loose text inside it.
		void CollectWidgetTexts(const TSharedRef<SWidget>& Widget, FWindowView& View)
		{
			if (dynamic_cast<SButton*>(&Widget.Get()))
			{
				View.Buttons.Add(UE::StandIn::GetWidgetText(Widget));
				return;
			}
			if (dynamic_cast<SEditableTextBox*>(&Widget.Get()))
			{
				View.Texts.Add(UE::StandIn::GetWidgetText(Widget));
				View.IsTextBox.Add(1);
				return;
			}
			if (dynamic_cast<STextBlock*>(&Widget.Get()))
			{
				View.Texts.Add(UE::StandIn::GetWidgetText(Widget));
				View.IsTextBox.Add(0);
				return;
			}
			for (const TSharedRef<SWidget>& Child : UE::StandIn::GetChildWidgets(Widget))
			{
				CollectWidgetTexts(Child, View);
			}
		}
	} // namespace

	FWindowView DescribeWindow(const TSharedRef<SWindow>& Window)
	{
		FWindowView View;
		View.Title = Window->GetTitle();
		View.ClientSize = Window->GetClientSizeInScreen();
		for (const TSharedRef<SWidget>& Child : UE::StandIn::GetChildWidgets(Window))
		{
			CollectWidgetTexts(Child, View);
		}
		return View;
	}

	bool AnswerWindow(const TSharedRef<SWindow>& Window, const TArray<FString>& Fill, const FString& Press, FString& OutError)
	{
		const TArray<TSharedRef<SEditableTextBox>> TextBoxes = UE::StandIn::FindWidgetsOfType<SEditableTextBox>(Window);
		if (Fill.Num() > TextBoxes.Num())
		{
			OutError = FString::Printf(TEXT("The window has %d text boxes; %d texts were given."), TextBoxes.Num(), Fill.Num());
			return false;
		}
		for (int32 Index = 0; Index < Fill.Num(); ++Index)
		{
			if (!UE::StandIn::TypeIntoTextBox(TextBoxes[Index], Fill[Index]))
			{
				OutError = FString::Printf(TEXT("Text box %d does not accept typing."), Index + 1);
				return false;
			}
		}
		if (Press.Equals(TEXT("close")))
		{
			if (!UE::StandIn::PressWindowCloseButton(Window))
			{
				OutError = TEXT("The window has no close button.");
				return false;
			}
			return true;
		}
		if (Press.IsEmpty())
		{
			return true;
		}
		const TSharedPtr<SButton> Button = UE::StandIn::FindButtonByLabel(Window, Press);
		if (!Button.IsValid())
		{
			OutError = FString::Printf(TEXT("The window has no button '%s'."), *Press);
			return false;
		}
		UE::StandIn::ClickButton(Button.ToSharedRef());
		return true;
	}
} // namespace UE::StandIn::EditorHost
