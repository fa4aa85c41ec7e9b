// SNullWidget: the empty widget that fills every slot nobody filled.
#pragma once

#include "Templates/SharedPointer.h"

class SWidget;

class SNullWidget
{
public:
	/** The one empty widget; it has no children and draws nothing. */
	static TSharedRef<SWidget> NullWidget;
};

namespace UE::Slate::Private
{
	/** The null widget, usable while other statics are still being built. */
	const TSharedRef<SWidget>& GetNullWidget();
} // namespace UE::Slate::Private
