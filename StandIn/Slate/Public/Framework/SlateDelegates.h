// Delegates that Slate widgets call back through.
#pragma once

#include "Delegates/Delegate.h"
#include "Input/Reply.h"
#include "Internationalization/Text.h"
#include "Templates/SharedPointer.h"
#include "Types/SlateEnums.h"

class SWidget;

/** A button was clicked; the answer says whether the click was handled. */
DECLARE_DELEGATE_RetVal(FReply, FOnClicked);

/** Makes a widget on demand, e.g. the content of a menu. */
DECLARE_DELEGATE_RetVal(TSharedRef<SWidget>, FOnGetContent);

/** The text of a text box changed while being edited. */
DECLARE_DELEGATE_OneParam(FOnTextChanged, const FText&);

/** An edit of a text box ended, and how. */
DECLARE_DELEGATE_TwoParams(FOnTextCommitted, const FText&, ETextCommit::Type);
