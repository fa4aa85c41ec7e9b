#include "StandIn/OutputDeviceCapture.h"
#include "TestHelpers.h"
#include "TestTypes.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

namespace
{
	class DynamicDelegate : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Publisher = NewObject<UTestPublisher>();
			Publisher->AddToRoot();
			Upload = NewObject<UTestUpload>();
			Upload->AddToRoot();
			Upload->Publisher = Publisher;
		}

		void TearDown() override
		{
			Upload->RemoveFromRoot();
			Publisher->RemoveFromRoot();
			CollectGarbage();
		}

		void Publish(ETestRequestResult Result = ETestRequestResult::Started)
		{
			Publisher->OnPublished.Broadcast(Result, TEXT("3021"), FText::FromString(TEXT("Done")));
		}

		UTestPublisher* Publisher = nullptr;
		UTestUpload* Upload = nullptr;
	};
} // namespace

TEST_F(DynamicDelegate, ABindingByNameReachesItsObjectWithTheArguments)
{
	Upload->Start();
	EXPECT_TRUE(Upload->IsListening());
	EXPECT_TRUE(Publisher->OnPublished.IsBound());

	Publish(ETestRequestResult::InvalidInput);

	EXPECT_EQ(Upload->NumCalls, 1);
	EXPECT_EQ(Upload->LastResult, ETestRequestResult::InvalidInput);
	EXPECT_EQ(Utf8(Upload->LastItemId), "3021");
	EXPECT_EQ(Utf8(Upload->LastStatus), "Done");
}

TEST_F(DynamicDelegate, AddUniqueTwiceBindsOnceAndRemoveStopsIt)
{
	Upload->StartTwice();
	Publish();
	EXPECT_EQ(Upload->NumCalls, 1);

	Upload->Stop();
	EXPECT_FALSE(Upload->IsListening());
	Publish();
	EXPECT_EQ(Upload->NumCalls, 1);
}

TEST_F(DynamicDelegate, BroadcastReachesLiveObjectsInBindingOrder)
{
	UTestUpload* Second = NewObject<UTestUpload>();
	Second->Publisher = Publisher;
	UTestUpload* Third = NewObject<UTestUpload>();
	Third->AddToRoot();
	Third->Publisher = Publisher;
	Second->Start();
	Third->Start();
	Upload->Start();

	Publish();
	EXPECT_LT(Second->CallOrder, Third->CallOrder);
	EXPECT_LT(Third->CallOrder, Upload->CallOrder);

	// The unrooted listener is collected; the broadcast goes on to the others.
	const TWeakObjectPtr<UTestUpload> WeakSecond(Second);
	CollectGarbage();
	ASSERT_FALSE(WeakSecond.IsValid());
	Publish();
	EXPECT_EQ(Third->NumCalls, 2);
	EXPECT_EQ(Upload->NumCalls, 2);
	Third->RemoveFromRoot();
}

TEST_F(DynamicDelegate, BindingAFunctionThatIsNotReflectedIsAnErrorAndBindsNothing)
{
	UE::StandIn::FOutputDeviceCapture Capture;
	Upload->BindUnknownFunction();

	EXPECT_FALSE(Publisher->OnPublished.IsBound());
	const TArray<UE::StandIn::FCapturedLogLine> Errors = Capture.GetLines(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 1);
	EXPECT_TRUE(Errors[0].Message.Contains(TEXT("NotReflected"), ESearchCase::CaseSensitive));
}

TEST_F(DynamicDelegate, TheDelegateMemberIsReflectedWithItsSignature)
{
	FMulticastInlineDelegateProperty* Property =
	    CastField<FMulticastInlineDelegateProperty>(UTestPublisher::StaticClass()->FindPropertyByName(TEXT("OnPublished")));
	ASSERT_NE(Property, nullptr);
	EXPECT_TRUE(Property->HasAnyPropertyFlags(CPF_BlueprintAssignable));
	UFunction* Signature = Property->SignatureFunction;
	ASSERT_NE(Signature, nullptr);
	EXPECT_EQ(Utf8(Signature->GetName()), "TestOnPublished__DelegateSignature");
	EXPECT_TRUE(Signature->HasAllFunctionFlags(FUNC_Delegate | FUNC_MulticastDelegate));
	EXPECT_EQ(Signature->NumParms, 3);
	EXPECT_NE(CastField<FEnumProperty>(Signature->FindPropertyByName(TEXT("Result"))), nullptr);
	EXPECT_NE(CastField<FStrProperty>(Signature->FindPropertyByName(TEXT("ItemId"))), nullptr);
	EXPECT_NE(CastField<FTextProperty>(Signature->FindPropertyByName(TEXT("StatusMessage"))), nullptr);

	// The binding is visible through reflection too.
	Upload->Start();
	const FMulticastScriptDelegate* Delegate = Property->GetMulticastDelegate(Property->ContainerPtrToValuePtr<void>(Publisher));
	const TArray<UObject*> Bound = Delegate->GetAllObjects();
	ASSERT_EQ(Bound.Num(), 1);
	EXPECT_EQ(Bound[0], Upload);
}
