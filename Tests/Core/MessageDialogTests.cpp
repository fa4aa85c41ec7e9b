#include "CoreMinimal.h"
#include "Misc/MessageDialog.h"
#include "StandIn/OutputDeviceCapture.h"

#include "StandIn/MessageDialogResponder.h"
#include <gtest/gtest.h>

#define LOCTEXT_NAMESPACE "MessageDialogTests"

namespace
{
	struct FAskedQuestion
	{
		EAppMsgCategory Category = EAppMsgCategory::Info;
		EAppMsgType::Type Type = EAppMsgType::Ok;
		FString Message;
		FString Title;
	};

	// Installs a responder for one test and restores the previous one afterwards.
	class FScopedResponder
	{
	public:
		FScopedResponder(EAppReturnType::Type InAnswer, TArray<FAskedQuestion>& InAsked)
		{
			Previous = UE::StandIn::SetMessageDialogResponder(
			    [InAnswer, &InAsked](EAppMsgCategory Category, EAppMsgType::Type Type, const FText& Message, const FText& Title) {
				    InAsked.Add(FAskedQuestion{Category, Type, Message.ToString(), Title.ToString()});
				    return InAnswer;
			    });
		}
		~FScopedResponder() { UE::StandIn::SetMessageDialogResponder(MoveTemp(Previous)); }

	private:
		UE::StandIn::FMessageDialogResponder Previous;
	};
} // namespace

TEST(FMessageDialog, RoutesEveryOverloadToTheInstalledResponder)
{
	TArray<FAskedQuestion> Asked;
	{
		FScopedResponder Responder(EAppReturnType::Yes, Asked);
		EXPECT_EQ(FMessageDialog::Open(EAppMsgType::YesNo, LOCTEXT("Q1", "Delete the mod?")), EAppReturnType::Yes);
		EXPECT_EQ(FMessageDialog::Open(EAppMsgCategory::Error, EAppMsgType::OkCancel, LOCTEXT("Q2", "Failed"), LOCTEXT("T2", "Cook")), EAppReturnType::Yes);
		// The default answer is for unattended runs only; a responder still decides.
		EXPECT_EQ(FMessageDialog::Open(EAppMsgType::YesNo, EAppReturnType::No, LOCTEXT("Q3", "Upload?"), FText::GetEmpty()), EAppReturnType::Yes);
		FMessageDialog::Debugf(FText::FromString(TEXT("debug")));
	}

	ASSERT_EQ(Asked.Num(), 4);
	EXPECT_EQ(Asked[0].Category, EAppMsgCategory::Info);
	EXPECT_EQ(Asked[0].Type, EAppMsgType::YesNo);
	EXPECT_EQ(Asked[0].Message.ToStdString(), u"Delete the mod?");
	// A box without a title gets the default one.
	EXPECT_EQ(Asked[0].Title.ToStdString(), u"Message");
	EXPECT_EQ(Asked[1].Category, EAppMsgCategory::Error);
	EXPECT_EQ(Asked[1].Type, EAppMsgType::OkCancel);
	EXPECT_EQ(Asked[1].Title.ToStdString(), u"Cook");
	EXPECT_EQ(Asked[2].Title.ToStdString(), u"Message");
	EXPECT_EQ(Asked[3].Type, EAppMsgType::Ok);
}

TEST(FMessageDialog, SetResponderReturnsThePreviousOne)
{
	TArray<FAskedQuestion> Outer;
	TArray<FAskedQuestion> Inner;
	FScopedResponder OuterResponder(EAppReturnType::No, Outer);
	{
		FScopedResponder InnerResponder(EAppReturnType::Retry, Inner);
		EXPECT_EQ(FMessageDialog::Open(EAppMsgType::CancelRetryContinue, LOCTEXT("Q4", "Again?")), EAppReturnType::Retry);
	}
	EXPECT_EQ(FMessageDialog::Open(EAppMsgType::YesNo, LOCTEXT("Q5", "Sure?")), EAppReturnType::No);
	EXPECT_EQ(Inner.Num(), 1);
	EXPECT_EQ(Outer.Num(), 1);
}

TEST(FMessageDialog, UnattendedLogsAndReturnsTheDefaultAnswer)
{
	const UE::StandIn::FMessageDialogResponder Previous = UE::StandIn::SetMessageDialogResponder(nullptr);
	UE::StandIn::FOutputDeviceCapture Capture;

	EXPECT_EQ(FMessageDialog::Open(EAppMsgType::YesNo, EAppReturnType::Yes, LOCTEXT("Q6", "Overwrite the release?")), EAppReturnType::Yes);
	EXPECT_EQ(FMessageDialog::Open(EAppMsgType::Ok, LOCTEXT("Q7", "Done")), EAppReturnType::Ok);
	EXPECT_EQ(FMessageDialog::Open(EAppMsgType::YesNo, LOCTEXT("Q8", "Proceed?")), EAppReturnType::No);
	EXPECT_EQ(FMessageDialog::Open(EAppMsgType::YesNoCancel, LOCTEXT("Q9", "Save?")), EAppReturnType::Cancel);
	EXPECT_EQ(FMessageDialog::Open(EAppMsgType::OkCancel, LOCTEXT("Q10", "Continue?")), EAppReturnType::Cancel);

	ASSERT_EQ(Capture.Num(), 5);
	EXPECT_TRUE(Capture.Contains(TEXT("Overwrite the release?")));
	EXPECT_EQ(Capture.GetLines()[0].Category, FName(TEXT("LogMessageDialog")));

	UE::StandIn::SetMessageDialogResponder(Previous);
}

#undef LOCTEXT_NAMESPACE
