#include "Containers/Ticker.h"
#include "CoreMinimal.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

TEST(FTSTicker, FiresOnceItsIntervalHasElapsedAndPassesTheFrameDelta)
{
	FTSTicker Ticker;
	std::vector<float> EveryFrame;
	int32 IntervalCalls = 0;
	Ticker.AddTicker(FTickerDelegate::CreateLambda([&EveryFrame](float DeltaTime) {
		EveryFrame.push_back(DeltaTime);
		return true;
	}));
	Ticker.AddTicker(FTickerDelegate::CreateLambda([&IntervalCalls](float) {
		                 ++IntervalCalls;
		                 return true;
	                 }),
	                 1.0f);

	std::vector<int32> IntervalCallsAfterTick;
	for (int32 Frame = 0; Frame < 6; ++Frame)
	{
		Ticker.Tick(0.4f);
		IntervalCallsAfterTick.push_back(IntervalCalls);
	}
	EXPECT_EQ(EveryFrame, (std::vector<float>(6, 0.4f)));
	// Due at 1.0 (fires at 1.2), then 1.0 after that firing (2.2, fires at 2.4).
	EXPECT_EQ(IntervalCallsAfterTick, (std::vector<int32>{0, 0, 1, 1, 1, 2}));
}

TEST(FTSTicker, TickerReturningFalseIsRemoved)
{
	FTSTicker Ticker;
	int32 Calls = 0;
	const FTSTicker::FDelegateHandle Handle = Ticker.AddTicker(TEXT("Twice"), 0.0f, [&Calls](float) {
		return ++Calls < 2;
	});
	EXPECT_TRUE(Handle.IsValid());
	Ticker.Tick(0.1f);
	Ticker.Tick(0.1f);
	Ticker.Tick(0.1f);
	EXPECT_EQ(Calls, 2);
	EXPECT_FALSE(Handle.IsValid());

	// A delegate whose object is gone is removed the same way.
	TSharedPtr<int32> Owner = MakeShared<int32>(0);
	const FTSTicker::FDelegateHandle Stale = Ticker.AddTicker(FTickerDelegate::CreateSPLambda(Owner.ToSharedRef(), [](float) {
		return true;
	}));
	Owner.Reset();
	Ticker.Tick(0.1f);
	EXPECT_FALSE(Stale.IsValid());
}

TEST(FTSTicker, TickersMayRemoveAndAddTickersWhileTicking)
{
	FTSTicker Ticker;
	std::vector<int32> Calls;
	FTSTicker::FDelegateHandle Self;
	FTSTicker::FDelegateHandle Later;

	Self = Ticker.AddTicker(TEXT("RemovesItself"), 0.0f, [&](float) {
		Calls.push_back(1);
		FTSTicker::RemoveTicker(Self);
		return true;
	});
	Ticker.AddTicker(TEXT("RemovesLaterAndAdds"), 0.0f, [&](float) {
		Calls.push_back(2);
		FTSTicker::RemoveTicker(Later);
		// Added while ticking: first called on the next Tick.
		Ticker.AddTicker(TEXT("Added"), 0.0f, [&Calls](float) {
			Calls.push_back(4);
			return false;
		});
		return false;
	});
	Later = Ticker.AddTicker(TEXT("NeverRuns"), 0.0f, [&Calls](float) {
		Calls.push_back(3);
		return true;
	});

	Ticker.Tick(0.0f);
	EXPECT_EQ(Calls, (std::vector<int32>{1, 2}));
	Ticker.Tick(0.0f);
	Ticker.Tick(0.0f);
	EXPECT_EQ(Calls, (std::vector<int32>{1, 2, 4}));

	// Removing through a stale or empty handle does nothing.
	FTSTicker::RemoveTicker(Later);
	FTSTicker::RemoveTicker(FTSTicker::FDelegateHandle());
}

TEST(FTSTicker, RemovalFromAnotherThreadWaitsForTheRunningCall)
{
	FTSTicker Ticker;
	std::atomic<bool> bStarted = false;
	std::atomic<bool> bFinished = false;
	std::atomic<int32> Calls = 0;
	const FTSTicker::FDelegateHandle Handle = Ticker.AddTicker(TEXT("Slow"), 0.0f, [&](float) {
		++Calls;
		bStarted = true;
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		bFinished = true;
		return true;
	});

	bool bFinishedWhenRemoved = false;
	std::thread Remover([&]() {
		while (!bStarted)
		{
			std::this_thread::yield();
		}
		FTSTicker::RemoveTicker(Handle);
		bFinishedWhenRemoved = bFinished;
	});
	Ticker.Tick(0.0f);
	Remover.join();
	Ticker.Tick(0.0f);

	EXPECT_TRUE(bFinishedWhenRemoved);
	EXPECT_EQ(Calls, 1);
}

TEST(FTSTicker, CoreTickerIsOneInstanceAndAcceptsMoveOnlyFunctions)
{
	EXPECT_EQ(&FTSTicker::GetCoreTicker(), &FTSTicker::GetCoreTicker());

	auto Owned = std::make_unique<int32>(0);
	int32* Counter = Owned.get();
	FTSTicker::FDelegateHandle Handle = FTSTicker::GetCoreTicker().AddTicker(TEXT("MoveOnly"), 0.0f, [Owned = MoveTemp(Owned)](float) {
		++*Owned;
		return true;
	});
	FTSTicker::GetCoreTicker().Tick(0.016f);
	EXPECT_EQ(*Counter, 1);
	FTSTicker::RemoveTicker(Handle);
	Handle.Reset();
	FTSTicker::GetCoreTicker().Tick(0.016f);
}
