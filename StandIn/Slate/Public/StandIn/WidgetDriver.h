// Stand-in only: how the host program and tests see and drive a widget tree as a user would.
// The plug-in never includes this header; it builds against the real engine unchanged.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Input/Reply.h"
#include "Internationalization/Text.h"
#include "Templates/SharedPointer.h"
#include "Widgets/SWidget.h"

class SButton;
class SEditableTextBox;

namespace UE::StandIn
{
	/** @return the widget's children in layout order, leaving out empty slots (the null widget). */
	TArray<TSharedRef<SWidget>> GetChildWidgets(const TSharedRef<SWidget>& Widget);

	/** @return Root and every widget below it, depth first, parents before their children. */
	TArray<TSharedRef<SWidget>> GetWidgetsDepthFirst(const TSharedRef<SWidget>& Root);

	/** @return every widget of type WidgetType at or below Root, in depth-first order. */
	template <class WidgetType>
	TArray<TSharedRef<WidgetType>> FindWidgetsOfType(const TSharedRef<SWidget>& Root)
	{
		TArray<TSharedRef<WidgetType>> Found;
		for (const TSharedRef<SWidget>& Widget : GetWidgetsDepthFirst(Root))
		{
			if (dynamic_cast<WidgetType*>(&Widget.Get()) != nullptr)
			{
				Found.Add(StaticCastSharedRef<WidgetType>(Widget));
			}
		}
		return Found;
	}

	/**
	 * @return the text a user reads on the widget: a text block's text, a text box's contents, the label of a button
	 * (its text blocks, joined by a blank); empty for any other widget.
	 */
	FText GetWidgetText(const TSharedRef<SWidget>& Widget);

	/** @return the first button at or below Root whose label is Label (exact match), or null. */
	TSharedPtr<SButton> FindButtonByLabel(const TSharedRef<SWidget>& Root, const FString& Label);

	/**
	 * Types into a text box as a user does: its contents become Text, then its text-changed and, as focus leaves,
	 * its text-committed handlers run. @return false, changing nothing, when the box is read-only or disabled.
	 */
	bool TypeIntoTextBox(const TSharedRef<SEditableTextBox>& TextBox, const FString& Text);

	/** Clicks a button. @return the button's answer; unhandled when it is disabled or has no click handler. */
	FReply ClickButton(const TSharedRef<SButton>& Button);

	/** @return one line per widget, indented by depth: its type and, where it has one, its text in quotes. */
	FString DescribeWidgetTree(const TSharedRef<SWidget>& Root);
} // namespace UE::StandIn
