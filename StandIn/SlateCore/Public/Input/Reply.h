// FReply: a widget's answer to an input event, saying whether it handled it.
#pragma once

#include "CoreTypes.h"

class FReply
{
public:
	/** The event was handled: it goes no further. */
	static FReply Handled() { return FReply(true); }

	/** The event was not handled: the widget's parents may handle it. */
	static FReply Unhandled() { return FReply(false); }

	bool IsEventHandled() const { return bIsHandled; }

private:
	explicit FReply(bool bInIsHandled)
	    : bIsHandled(bInIsHandled)
	{
	}

	bool bIsHandled;
};
