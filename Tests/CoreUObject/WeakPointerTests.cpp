#include "TestTypes.h"
#include "UObject/Package.h"

#include <gtest/gtest.h>

TEST(WeakObjectPtr, StaysNullWhenItsSlotIsReusedByANewObject)
{
	UTestPublisher* Publisher = NewObject<UTestPublisher>();
	const TWeakObjectPtr<UTestPublisher> Weak(Publisher);
	const int32 Slot = Publisher->GetUniqueID();
	CollectGarbage();
	ASSERT_FALSE(Weak.IsValid());

	// Make objects until one takes the freed slot; the old pointer must not see it.
	TArray<UObject*> Made;
	bool bReused = false;
	for (int32 Attempt = 0; Attempt < 64 && !bReused; ++Attempt)
	{
		UObject* Object = NewObject<UTestPublisher>();
		Made.Add(Object);
		bReused = Object->GetUniqueID() == Slot;
	}
	ASSERT_TRUE(bReused);
	EXPECT_EQ(Weak.Get(), nullptr);
	EXPECT_TRUE(Weak.IsStale());
	for (UObject* Object : Made)
	{
		Object->MarkAsGarbage();
	}
	CollectGarbage();
}

TEST(WeakObjectPtr, ComparesResetsAndConvertsAsAPointerWould)
{
	UTestPublisher* Publisher = NewObject<UTestPublisher>();
	Publisher->AddToRoot();
	TWeakObjectPtr<UTestPublisher> Weak = Publisher;
	const TWeakObjectPtr<UObject> AsObject = Weak;
	EXPECT_EQ(AsObject.Get(), Publisher);
	EXPECT_TRUE(Weak == Publisher);
	EXPECT_EQ(Weak->GetClass(), UTestPublisher::StaticClass());
	EXPECT_TRUE(static_cast<bool>(Weak));

	// A garbage object reads as gone unless asked for even so.
	Publisher->MarkAsGarbage();
	EXPECT_EQ(Weak.Get(), nullptr);
	EXPECT_EQ(Weak.Get(true), Publisher);
	Publisher->ClearGarbage();

	Weak.Reset();
	EXPECT_TRUE(Weak.IsExplicitlyNull());
	EXPECT_FALSE(Weak.IsStale());
	EXPECT_FALSE(TWeakObjectPtr<UObject>(nullptr).IsValid());
	Publisher->RemoveFromRoot();
	CollectGarbage();
}

TEST(ObjectLifetime, UnreachableCyclesAreCollectedAndDestroyedInTwoSteps)
{
	UTestUpload* Upload = NewObject<UTestUpload>();
	UTestPublisher* Publisher = NewObject<UTestPublisher>();
	Upload->Publisher = Publisher;
	Publisher->Payload = Upload;
	const TWeakObjectPtr<UTestUpload> WeakUpload(Upload);
	const int32 PublishersBefore = UTestPublisher::NumDestroyed;
	CollectGarbage();
	EXPECT_FALSE(WeakUpload.IsValid());
	EXPECT_EQ(UTestPublisher::NumDestroyed, PublishersBefore + 1);
}

TEST(ObjectLifetime, ClassDefaultsAreMadeOnceAndSkippedByIteration)
{
	const UTestPublisher* Defaults = GetDefault<UTestPublisher>();
	ASSERT_NE(Defaults, nullptr);
	EXPECT_EQ(GetDefault<UTestPublisher>(), Defaults);
	EXPECT_TRUE(Defaults->HasAnyFlags(RF_ClassDefaultObject));
	EXPECT_EQ(Defaults->GetName(), TEXT("Default__TestPublisher"));
	EXPECT_EQ(UTestPublisher::StaticClass()->GetDefaultObject(), Defaults);
	// An abstract class has defaults but no instances.
	EXPECT_NE(GetDefault<UDeveloperSettings>(), nullptr);
}

TEST(ObjectLifetimeDeathTest, MakingAnObjectOfAnAbstractClassStopsTheProgram)
{
	EXPECT_DEATH(NewObject<UDeveloperSettings>(), "abstract");
}

TEST(ObjectLifetimeDeathTest, TwoObjectsCannotShareANameInOneOuter)
{
	EXPECT_DEATH(
	    {
		    NewObject<UTestPublisher>(GetTransientPackage(), FName(TEXT("Twin")));
		    NewObject<UTestPublisher>(GetTransientPackage(), FName(TEXT("Twin")));
	    },
	    "already exists");
}
