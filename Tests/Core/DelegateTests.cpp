#include "CoreMinimal.h"

#include <gtest/gtest.h>
#include <vector>

DECLARE_DELEGATE_RetVal_TwoParams(int32, FAddDelegate, int32, int32);
DECLARE_DELEGATE_OneParam(FNamedDelegate, const FString&);
DECLARE_MULTICAST_DELEGATE_OneParam(FOnValue, int32);

namespace
{
	FString JoinWithSuffix(const FString& Text, FString Suffix)
	{
		return Text + Suffix;
	}

	int32 Sum(int32 A, int32 B)
	{
		return A + B;
	}

	class FCounterBase
	{
	public:
		void AddFromBase(int32 Value) { Total += Value; }
		int32 Total = 0;
	};

	class FCounter : public FCounterBase, public TSharedFromThis<FCounter>
	{
	public:
		void Add(int32 Value) { Total += Value; }
		void AddScaled(int32 Value, int32 Scale) { Total += Value * Scale; }
		int32 Get(int32 Offset) const { return Total + Offset; }
		void ReleaseSelf(int32) { Self.Reset(); }

		TSharedPtr<FCounter> Self;
	};
} // namespace

TEST(TDelegate, PayloadIsCopiedInAndPassedAfterTheCallArguments)
{
	FString Suffix(TEXT("-payload"));
	const TDelegate<FString(const FString&)> Static = TDelegate<FString(const FString&)>::CreateStatic(&JoinWithSuffix, Suffix);
	Suffix = TEXT("changed");
	EXPECT_EQ(Static.Execute(TEXT("call")), FString(TEXT("call-payload")));

	// A literal payload is stored as the function's parameter type.
	const auto FromLiteral = TDelegate<FString(const FString&)>::CreateStatic(&JoinWithSuffix, TEXT("!"));
	EXPECT_EQ(FromLiteral.Execute(TEXT("x")), FString(TEXT("x!")));

	std::vector<int32> Seen;
	const auto Lambda = TDelegate<void(int32)>::CreateLambda(
	    [&Seen](int32 Call, int32 First, const FString& Second) {
		    Seen.assign({Call, First, Second.Len()});
	    },
	    7, FString(TEXT("abc")));
	EXPECT_TRUE(Lambda.ExecuteIfBound(1));
	EXPECT_EQ(Seen, (std::vector<int32>{1, 7, 3}));

	FCounter Counter;
	const auto Raw = TDelegate<void(int32)>::CreateRaw(&Counter, &FCounter::AddScaled, 10);
	Raw.Execute(3);
	EXPECT_EQ(Counter.Total, 30);
}

TEST(TDelegate, BindsRawMethodsConstAndInherited)
{
	FCounter Counter;
	FAddDelegate Unused;
	EXPECT_FALSE(Unused.IsBound());
	EXPECT_FALSE(Unused.GetHandle().IsValid());

	TDelegate<void(int32)> Add;
	Add.BindRaw(&Counter, &FCounter::AddFromBase);
	Add.Execute(4);
	EXPECT_EQ(Counter.Total, 4);

	const FCounter* ConstCounter = &Counter;
	const auto Get = TDelegate<int32(int32)>::CreateRaw(ConstCounter, &FCounter::Get);
	EXPECT_EQ(Get.Execute(1), 5);
	EXPECT_TRUE(Get.IsBoundToObject(&Counter));

	FAddDelegate Adder;
	Adder.BindStatic(&Sum);
	EXPECT_EQ(Adder.Execute(2, 3), 5);
}

TEST(TDelegate, SharedPointerBindingGoesStaleWhenTheObjectIsGone)
{
	TSharedPtr<FCounter> Counter = MakeShared<FCounter>();
	const auto Delegate = TDelegate<void(int32)>::CreateSP(Counter.ToSharedRef(), &FCounter::Add);
	const auto FromThis = TDelegate<void(int32)>::CreateSP(Counter.Get(), &FCounter::Add);
	const auto Lambda = TDelegate<void()>::CreateSPLambda(Counter.ToSharedRef(), [Raw = Counter.Get()]() {
		Raw->Add(100);
	});

	EXPECT_TRUE(Delegate.IsBound());
	EXPECT_TRUE(Delegate.ExecuteIfBound(2));
	EXPECT_TRUE(FromThis.ExecuteIfBound(3));
	EXPECT_TRUE(Lambda.ExecuteIfBound());
	EXPECT_EQ(Counter->Total, 105);

	// The binding does not keep the object alive.
	Counter.Reset();
	EXPECT_FALSE(Delegate.IsBound());
	EXPECT_FALSE(Delegate.ExecuteIfBound(2));
	EXPECT_FALSE(FromThis.IsBound());
	EXPECT_FALSE(Lambda.ExecuteIfBound());
}

TEST(TDelegate, SharedObjectStaysAliveUntilTheCallReturns)
{
	TWeakPtr<FCounter> Weak;
	TDelegate<void(int32)> Delegate;
	{
		TSharedPtr<FCounter> Counter = MakeShared<FCounter>();
		Counter->Self = Counter;
		Weak = Counter;
		Delegate.BindSP(Counter.ToSharedRef(), &FCounter::ReleaseSelf);
	}
	ASSERT_TRUE(Weak.IsValid());
	// The method drops the last reference to its own object; the delegate's pin keeps it valid until it returns.
	Delegate.Execute(0);
	EXPECT_FALSE(Weak.IsValid());
	EXPECT_FALSE(Delegate.IsBound());
}

TEST(TDelegate, CopiesShareTheBindingAndUnbindDropsIt)
{
	int32 Calls = 0;
	FSimpleDelegate Original = FSimpleDelegate::CreateLambda([&Calls]() {
		++Calls;
	});
	const FSimpleDelegate Copy = Original;
	EXPECT_EQ(Copy.GetHandle(), Original.GetHandle());
	EXPECT_TRUE(Copy.GetHandle().IsValid());

	Original.Unbind();
	EXPECT_FALSE(Original.IsBound());
	EXPECT_FALSE(Original.ExecuteIfBound());
	EXPECT_TRUE(Copy.ExecuteIfBound());
	EXPECT_EQ(Calls, 1);

	// Every binding gets its own handle.
	const FSimpleDelegate Other = FSimpleDelegate::CreateLambda([]() {});
	EXPECT_NE(Other.GetHandle(), Copy.GetHandle());
}

TEST(TDelegateDeathTest, ExecutingAnUnboundDelegateStops)
{
	const FAddDelegate Unbound;
	EXPECT_DEATH((void)Unbound.Execute(1, 2), "");
}

TEST(FDelegateHandle, EmptyUntilIssuedAndAfterReset)
{
	FDelegateHandle Handle;
	EXPECT_FALSE(Handle.IsValid());
	EXPECT_EQ(Handle, FDelegateHandle());

	Handle = FDelegateHandle(FDelegateHandle::GenerateNewHandle);
	const FDelegateHandle Second(FDelegateHandle::GenerateNewHandle);
	EXPECT_TRUE(Handle.IsValid());
	EXPECT_NE(Handle, Second);

	Handle.Reset();
	EXPECT_FALSE(Handle.IsValid());
	EXPECT_EQ(Handle, FDelegateHandle());
}

TEST(TMulticastDelegate, BroadcastsInOrderAndRemovesByHandle)
{
	FOnValue OnValue;
	EXPECT_FALSE(OnValue.IsBound());

	std::vector<int32> Calls;
	const FDelegateHandle First = OnValue.AddLambda([&Calls](int32 Value) {
		Calls.push_back(Value);
	});
	const FDelegateHandle Second = OnValue.AddLambda(
	    [&Calls](int32 Value, int32 Payload) {
		    Calls.push_back(Value * Payload);
	    },
	    10);
	EXPECT_TRUE(First.IsValid());
	EXPECT_NE(First, Second);
	EXPECT_TRUE(OnValue.IsBound());

	OnValue.Broadcast(2);
	EXPECT_EQ(Calls, (std::vector<int32>{2, 20}));

	EXPECT_TRUE(OnValue.Remove(First));
	EXPECT_FALSE(OnValue.Remove(First));
	EXPECT_FALSE(OnValue.Remove(FDelegateHandle()));
	Calls.clear();
	OnValue.Broadcast(3);
	EXPECT_EQ(Calls, (std::vector<int32>{30}));

	// An unbound delegate is not added.
	EXPECT_FALSE(OnValue.Add(FOnValue::FDelegate()).IsValid());

	OnValue.Clear();
	EXPECT_FALSE(OnValue.IsBound());
}

TEST(TMulticastDelegate, HandlersMayRemoveThemselvesAndOthersDuringBroadcast)
{
	FSimpleMulticastDelegate OnEvent;
	std::vector<int32> Calls;
	FDelegateHandle SelfRemoving;
	FDelegateHandle Third;

	SelfRemoving = OnEvent.AddLambda([&]() {
		Calls.push_back(1);
		OnEvent.Remove(SelfRemoving);
	});
	OnEvent.AddLambda([&]() {
		Calls.push_back(2);
		// Removing a handler that has not run yet stops it for this broadcast too.
		OnEvent.Remove(Third);
		// Added during the broadcast: runs from the next one.
		OnEvent.AddLambda([&Calls]() {
			Calls.push_back(4);
		});
	});
	Third = OnEvent.AddLambda([&Calls]() {
		Calls.push_back(3);
	});

	OnEvent.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{1, 2}));

	Calls.clear();
	OnEvent.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{2, 4}));

	// Clearing from inside a handler stops the rest of the broadcast.
	OnEvent.Clear();
	Calls.clear();
	OnEvent.AddLambda([&]() {
		Calls.push_back(5);
		OnEvent.Clear();
	});
	OnEvent.AddLambda([&Calls]() {
		Calls.push_back(6);
	});
	OnEvent.Broadcast();
	OnEvent.Broadcast();
	EXPECT_EQ(Calls, (std::vector<int32>{5}));
	EXPECT_FALSE(OnEvent.IsBound());
}

TEST(TMulticastDelegate, RemoveAllDropsEveryBindingOfOneObject)
{
	FOnValue OnValue;
	FCounter Kept;
	FCounter Removed;
	OnValue.AddRaw(&Kept, &FCounter::Add);
	OnValue.AddRaw(&Removed, &FCounter::Add);
	OnValue.AddRaw(&Removed, &FCounter::AddScaled, 2);

	EXPECT_TRUE(OnValue.IsBoundToObject(&Removed));
	EXPECT_EQ(OnValue.RemoveAll(&Removed), 2);
	EXPECT_FALSE(OnValue.IsBoundToObject(&Removed));
	EXPECT_EQ(OnValue.RemoveAll(nullptr), 0);

	OnValue.Broadcast(5);
	EXPECT_EQ(Kept.Total, 5);
	EXPECT_EQ(Removed.Total, 0);
}

TEST(TMulticastDelegate, SkipsStaleSharedBindings)
{
	FOnValue OnValue;
	TSharedPtr<FCounter> Counter = MakeShared<FCounter>();
	TWeakPtr<FCounter> Weak = Counter;
	OnValue.AddSP(Counter.ToSharedRef(), &FCounter::Add);
	EXPECT_TRUE(OnValue.IsBound());

	Counter.Reset();
	EXPECT_FALSE(Weak.IsValid());
	EXPECT_FALSE(OnValue.IsBound());
	OnValue.Broadcast(1);
}
