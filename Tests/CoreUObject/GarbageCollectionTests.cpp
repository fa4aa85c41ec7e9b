#include "TestHelpers.h"
#include "TestTypes.h"
#include "UObject/Package.h"
#include "UObject/UObjectIterator.h"

#include <gtest/gtest.h>

namespace
{
	/** An upload owning a publisher (outer: the transient package) that owns a payload object. */
	struct FUploadGraph
	{
		UTestUpload* Upload = nullptr;
		UTestPublisher* Publisher = nullptr;
		UObject* Payload = nullptr;
	};

	FUploadGraph MakeUploadGraph()
	{
		FUploadGraph Graph;
		Graph.Upload = NewObject<UTestUpload>();
		Graph.Publisher = NewObject<UTestPublisher>();
		Graph.Payload = NewObject<UObject>(Graph.Publisher);
		Graph.Upload->Publisher = Graph.Publisher;
		Graph.Publisher->Payload = Graph.Payload;
		return Graph;
	}

	class GarbageCollection : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			CollectGarbage();
			UTestUpload::NumDestroyed = 0;
			UTestPublisher::NumDestroyed = 0;
		}
		void TearDown() override { CollectGarbage(); }
	};
} // namespace

TEST_F(GarbageCollection, DestroysAnUnrootedObjectAndWhatOnlyItReferenced)
{
	const FUploadGraph Graph = MakeUploadGraph();
	const TWeakObjectPtr<UTestUpload> WeakUpload(Graph.Upload);
	const TWeakObjectPtr<UTestPublisher> WeakPublisher(Graph.Publisher);
	const TWeakObjectPtr<UObject> WeakPayload(Graph.Payload);
	ASSERT_TRUE(WeakUpload.IsValid());

	CollectGarbage();

	EXPECT_EQ(UTestUpload::NumDestroyed, 1);
	EXPECT_EQ(UTestPublisher::NumDestroyed, 1);
	EXPECT_FALSE(WeakUpload.IsValid());
	EXPECT_EQ(WeakPublisher.Get(), nullptr);
	EXPECT_EQ(WeakPayload.Get(), nullptr);
	EXPECT_TRUE(WeakUpload.IsStale());
}

TEST_F(GarbageCollection, ARootedObjectKeepsItsPropertyReferencesAliveUntilReleased)
{
	const FUploadGraph Graph = MakeUploadGraph();
	const TWeakObjectPtr<UTestPublisher> WeakPublisher(Graph.Publisher);
	const TWeakObjectPtr<UObject> WeakPayload(Graph.Payload);
	Graph.Upload->AddToRoot();
	ASSERT_TRUE(Graph.Upload->IsRooted());

	CollectGarbage();
	EXPECT_EQ(UTestPublisher::NumDestroyed, 0);
	EXPECT_EQ(WeakPublisher.Get(), Graph.Publisher);
	EXPECT_EQ(WeakPayload.Get(), Graph.Payload);
	EXPECT_TRUE(IsValid(Graph.Publisher));

	// Clearing the property lets the publisher and its payload go; the rooted upload stays.
	Graph.Upload->Publisher = nullptr;
	CollectGarbage();
	EXPECT_EQ(UTestPublisher::NumDestroyed, 1);
	EXPECT_FALSE(WeakPublisher.IsValid());
	EXPECT_FALSE(WeakPayload.IsValid());
	EXPECT_EQ(UTestUpload::NumDestroyed, 0);

	const TWeakObjectPtr<UTestUpload> WeakUpload(Graph.Upload);
	Graph.Upload->RemoveFromRoot();
	EXPECT_FALSE(Graph.Upload->IsRooted());
	CollectGarbage();
	EXPECT_EQ(UTestUpload::NumDestroyed, 1);
	EXPECT_FALSE(WeakUpload.IsValid());
}

TEST_F(GarbageCollection, AnObjectMarkedAsGarbageIsDestroyedAndReferencesToItCleared)
{
	const FUploadGraph Graph = MakeUploadGraph();
	Graph.Upload->AddToRoot();
	Graph.Publisher->MarkAsGarbage();
	EXPECT_FALSE(IsValid(Graph.Publisher));

	CollectGarbage();

	EXPECT_EQ(UTestPublisher::NumDestroyed, 1);
	EXPECT_EQ(Graph.Upload->Publisher, nullptr);
	Graph.Upload->RemoveFromRoot();
}

TEST_F(GarbageCollection, AnInnerIsKeptByItsOwnReferenceAndKeepsItsOuter)
{
	UTestPublisher* Publisher = NewObject<UTestPublisher>();
	UObject* Inner = NewObject<UObject>(Publisher);
	UTestUpload* Holder = NewObject<UTestUpload>();
	Holder->AddToRoot();
	Holder->Publisher = nullptr;
	const TWeakObjectPtr<UTestPublisher> WeakPublisher(Publisher);

	// Nothing refers to the publisher but its inner is alive through another path: the outer stays.
	UTestPublisher* Other = NewObject<UTestPublisher>();
	Other->Payload = Inner;
	Holder->Publisher = Other;
	CollectGarbage();
	EXPECT_TRUE(WeakPublisher.IsValid());
	EXPECT_EQ(Inner->GetOuter(), Publisher);

	Holder->RemoveFromRoot();
}

TEST_F(GarbageCollection, ReflectionDataAndClassDefaultsSurvive)
{
	const UTestSettings* Defaults = GetDefault<UTestSettings>();
	CollectGarbage();
	EXPECT_EQ(GetDefault<UTestSettings>(), Defaults);
	EXPECT_EQ(FindFirstObject<UClass>(TEXT("TestPublisher")), UTestPublisher::StaticClass());
	EXPECT_NE(StaticEnum<ETestRequestResult>()->GetNameStringByValue(0), TEXT(""));
	EXPECT_EQ(GetTransientPackage()->GetName(), TEXT("/Engine/Transient"));
}

TEST_F(GarbageCollection, ObjectsAreNamedFoundAndIteratedUntilCollected)
{
	UTestPublisher* Named = NewObject<UTestPublisher>(GetTransientPackage(), FName(TEXT("Named")));
	UTestPublisher* Unnamed = NewObject<UTestPublisher>();
	EXPECT_EQ(Utf8(Named->GetPathName()), "/Engine/Transient.Named");
	EXPECT_TRUE(Unnamed->GetName().StartsWith(TEXT("TestPublisher_"), ESearchCase::CaseSensitive));
	EXPECT_NE(Named->GetName(), Unnamed->GetName());
	EXPECT_EQ(Named->GetOuter(), GetTransientPackageAsObject());
	EXPECT_EQ(Named->GetClass(), UTestPublisher::StaticClass());
	EXPECT_TRUE(Named->IsA<UObject>());
	EXPECT_FALSE(Named->IsA<UTestUpload>());
	EXPECT_EQ(FindObject<UTestPublisher>(nullptr, TEXT("/Engine/Transient.Named")), Named);
	EXPECT_EQ(FindObject<UTestUpload>(nullptr, TEXT("/Engine/Transient.Named")), nullptr);

	UObject* Inner = NewObject<UObject>(Named, FName(TEXT("Inner")));
	EXPECT_EQ(Utf8(Inner->GetPathName()), "/Engine/Transient.Named:Inner");
	EXPECT_EQ(FindObject<UObject>(Named, TEXT("Inner")), Inner);

	int32 NumPublishers = 0;
	for (TObjectIterator<UTestPublisher> It; It; ++It)
	{
		++NumPublishers;
	}
	EXPECT_EQ(NumPublishers, 2);

	CollectGarbage();
	EXPECT_EQ(FindObject<UTestPublisher>(nullptr, TEXT("/Engine/Transient.Named")), nullptr);
	EXPECT_FALSE(TObjectIterator<UTestPublisher>());
}

TEST_F(GarbageCollection, ObjectDelegatesGoUnboundWhenTheirObjectIsCollected)
{
	UTestUpload* Upload = NewObject<UTestUpload>();
	TDelegate<void()> Method = TDelegate<void()>::CreateUObject(Upload, &UTestUpload::Ping);
	int32 LambdaCalls = 0;
	TDelegate<void()> Lambda = TDelegate<void()>::CreateWeakLambda(Upload, [&LambdaCalls]() {
		++LambdaCalls;
	});
	Method.ExecuteIfBound();
	Lambda.ExecuteIfBound();
	EXPECT_EQ(Upload->NumPings, 1);
	EXPECT_EQ(LambdaCalls, 1);

	CollectGarbage();

	EXPECT_FALSE(Method.IsBound());
	EXPECT_FALSE(Lambda.IsBound());
	EXPECT_FALSE(Method.ExecuteIfBound());
	EXPECT_FALSE(Lambda.ExecuteIfBound());
	EXPECT_EQ(LambdaCalls, 1);
}

TEST_F(GarbageCollection, ReferencesInsideStructuresAndArraysKeepObjectsAlive)
{
	UTestPublisher* Publisher = NewObject<UTestPublisher>();
	Publisher->AddToRoot();
	const TWeakObjectPtr<UObject> Attachment(NewObject<UObject>());
	const TWeakObjectPtr<UObject> Extra(NewObject<UObject>());
	const TWeakObjectPtr<UObject> Loose(NewObject<UObject>());
	Publisher->Record.Attachment = Attachment.Get();
	Publisher->Extras.Add(Extra.Get());

	CollectGarbage();
	EXPECT_TRUE(Attachment.IsValid());
	EXPECT_TRUE(Extra.IsValid());
	EXPECT_FALSE(Loose.IsValid());

	Publisher->Extras.Empty();
	Publisher->Record.Attachment = nullptr;
	CollectGarbage();
	EXPECT_FALSE(Attachment.IsValid());
	EXPECT_FALSE(Extra.IsValid());
	Publisher->RemoveFromRoot();
}
