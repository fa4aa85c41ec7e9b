#include "Misc/MessageDialog.h"

#include "Internationalization/Internationalization.h"
#include "Logging/LogMacros.h"
#include "StandIn/MessageDialogResponder.h"
#include <mutex>

DEFINE_LOG_CATEGORY_STATIC(LogMessageDialog, Log, All);

namespace
{
	std::mutex GResponderMutex;
	UE::StandIn::FMessageDialogResponder GResponder;

	const FText& DefaultTitle()
	{
		static const FText Title = NSLOCTEXT("MessageDialog", "DefaultMessageTitle", "Message");
		return Title;
	}

	EAppReturnType::Type Show(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message,
	                          const FText& Title)
	{
		const FText& ShownTitle = Title.IsEmpty() ? DefaultTitle() : Title;
		UE::StandIn::FMessageDialogResponder Responder;
		{
			std::lock_guard<std::mutex> Lock(GResponderMutex);
			Responder = GResponder;
		}
		if (Responder)
		{
			// Called outside the lock: a responder may open another box or replace itself.
			return Responder(MessageCategory, MessageType, Message, ShownTitle);
		}
		UE_LOG(LogMessageDialog, Display, TEXT("%s: %s (unattended: answered %s)"), *ShownTitle.ToString(), *Message.ToString(), LexToString(DefaultValue));
		return DefaultValue;
	}
} // namespace

const TCHAR* LexToString(EAppMsgType::Type MessageType)
{
	switch (MessageType)
	{
		case EAppMsgType::Ok:
			return TEXT("Ok");
		case EAppMsgType::YesNo:
			return TEXT("YesNo");
		case EAppMsgType::OkCancel:
			return TEXT("OkCancel");
		case EAppMsgType::YesNoCancel:
			return TEXT("YesNoCancel");
		case EAppMsgType::CancelRetryContinue:
			return TEXT("CancelRetryContinue");
		case EAppMsgType::YesNoYesAllNoAll:
			return TEXT("YesNoYesAllNoAll");
		case EAppMsgType::YesNoYesAllNoAllCancel:
			return TEXT("YesNoYesAllNoAllCancel");
		case EAppMsgType::YesNoYesAll:
			return TEXT("YesNoYesAll");
	}
	return TEXT("Unknown");
}

const TCHAR* LexToString(EAppReturnType::Type ReturnType)
{
	switch (ReturnType)
	{
		case EAppReturnType::No:
			return TEXT("No");
		case EAppReturnType::Yes:
			return TEXT("Yes");
		case EAppReturnType::YesAll:
			return TEXT("YesAll");
		case EAppReturnType::NoAll:
			return TEXT("NoAll");
		case EAppReturnType::Cancel:
			return TEXT("Cancel");
		case EAppReturnType::Ok:
			return TEXT("Ok");
		case EAppReturnType::Retry:
			return TEXT("Retry");
		case EAppReturnType::Continue:
			return TEXT("Continue");
	}
	return TEXT("Unknown");
}

namespace UE::StandIn
{
	FMessageDialogResponder SetMessageDialogResponder(FMessageDialogResponder Responder)
	{
		std::lock_guard<std::mutex> Lock(GResponderMutex);
		FMessageDialogResponder Previous = MoveTemp(GResponder);
		GResponder = MoveTemp(Responder);
		return Previous;
	}

	EAppReturnType::Type GetUnattendedAnswer(EAppMsgType::Type MessageType)
	{
		switch (MessageType)
		{
			case EAppMsgType::Ok:
				return EAppReturnType::Ok;
			case EAppMsgType::YesNo:
			case EAppMsgType::YesNoYesAllNoAll:
			case EAppMsgType::YesNoYesAll:
				return EAppReturnType::No;
			case EAppMsgType::OkCancel:
			case EAppMsgType::YesNoCancel:
			case EAppMsgType::CancelRetryContinue:
			case EAppMsgType::YesNoYesAllNoAllCancel:
				return EAppReturnType::Cancel;
		}
		return EAppReturnType::Cancel;
	}
} // namespace UE::StandIn

EAppReturnType::Type FMessageDialog::Open(EAppMsgType::Type MessageType, const FText& Message)
{
	return Open(EAppMsgCategory::Info, MessageType, UE::StandIn::GetUnattendedAnswer(MessageType), Message, FText::GetEmpty());
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgType::Type MessageType, const FText& Message, const FText& Title)
{
	return Open(EAppMsgCategory::Info, MessageType, UE::StandIn::GetUnattendedAnswer(MessageType), Message, Title);
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, const FText& Message)
{
	return Open(MessageCategory, MessageType, UE::StandIn::GetUnattendedAnswer(MessageType), Message, FText::GetEmpty());
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, const FText& Message, const FText& Title)
{
	return Open(MessageCategory, MessageType, UE::StandIn::GetUnattendedAnswer(MessageType), Message, Title);
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message)
{
	return Open(EAppMsgCategory::Info, MessageType, DefaultValue, Message, FText::GetEmpty());
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue, const FText& Message, const FText& Title)
{
	return Open(EAppMsgCategory::Info, MessageType, DefaultValue, Message, Title);
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue,
                                          const FText& Message)
{
	return Open(MessageCategory, MessageType, DefaultValue, Message, FText::GetEmpty());
}

EAppReturnType::Type FMessageDialog::Open(EAppMsgCategory MessageCategory, EAppMsgType::Type MessageType, EAppReturnType::Type DefaultValue,
                                          const FText& Message, const FText& Title)
{
	return Show(MessageCategory, MessageType, DefaultValue, Message, Title);
}

void FMessageDialog::Debugf(const FText& Message)
{
	Open(EAppMsgCategory::Info, EAppMsgType::Ok, Message);
}
