// SWidget: the base of every Slate widget; a widget tree is walked through each widget's children.
#pragma once

#include "CoreTypes.h"
#include "Misc/Attribute.h"
#include "Templates/SharedPointer.h"
#include "UObject/NameTypes.h"

class FChildren;
struct FSlateBaseNamedArgs;

class SWidget : public TSharedFromThis<SWidget>
{
public:
	SWidget() = default;
	virtual ~SWidget() = default;
	SWidget(const SWidget&) = delete;
	SWidget& operator=(const SWidget&) = delete;

	/** Applies the arguments that every widget takes; SNew calls it before the widget's own Construct. */
	void SWidgetConstruct(const FSlateBaseNamedArgs& Args);

	/** Records which declaration made the widget; SNew calls it. */
	void SetDebugInfo(const ANSICHAR* InType, const ANSICHAR* InFile, int32 OnLine);

	/** @return the widget's children; a widget without any returns an empty list, never null. */
	virtual FChildren* GetChildren() = 0;

	/** @return the widget's type as written in its declaration ("SButton"). */
	FName GetType() const { return TypeOfWidget; }
	FString GetTypeAsString() const { return TypeOfWidget.ToString(); }

	/** @return whether the widget takes input. */
	bool IsEnabled() const { return EnabledState.Get(true); }
	void SetEnabled(TAttribute<bool> InEnabledState) { EnabledState = MoveTemp(InEnabledState); }

private:
	FName TypeOfWidget = FName(TEXT("SWidget"));
	TAttribute<bool> EnabledState;
};
