// FTSTicker: calls registered functions from the main loop, each at most once per Tick once its interval has elapsed.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Templates/Function.h"
#include "Templates/SharedPointer.h"
#include <atomic>
#include <mutex>

/** Called with the frame's delta time in seconds; returns true to keep ticking, false to be removed. */
DECLARE_DELEGATE_RetVal_OneParam(bool, FTickerDelegate, float);

/**
 * A ticker that may be used from any thread: tickers are added and removed anywhere, and run on the thread
 * that calls Tick (the main loop, for the core ticker).
 */
class FTSTicker
{
public:
	struct FElement;

	/** Identifies one registered ticker; weak, so it does not keep the ticker alive. */
	using FDelegateHandle = TWeakPtr<FElement>;

	FTSTicker() = default;
	~FTSTicker();
	FTSTicker(const FTSTicker&) = delete;
	FTSTicker& operator=(const FTSTicker&) = delete;

	/** @return the ticker the main loop drives. */
	static FTSTicker& GetCoreTicker();

	/**
	 * Registers a delegate to be called every InDelay seconds (0: on every Tick). The first call comes once
	 * InDelay has elapsed, at a later Tick than this one.
	 */
	FDelegateHandle AddTicker(const FTickerDelegate& InDelegate, float InDelay = 0.0f);

	/** Registers a function the same way; the name helps debugging. */
	FDelegateHandle AddTicker(const TCHAR* InName, float InDelay, TUniqueFunction<bool(float)>&& InFunction);

	/**
	 * Unregisters a ticker; it is not called again once this returns. Safe from inside the ticker's own call;
	 * waits for that call to finish if it runs on another thread.
	 */
	static void RemoveTicker(FDelegateHandle Handle);

	/** Advances the ticker's clock by DeltaTime seconds and calls each ticker whose interval has elapsed. */
	void Tick(float DeltaTime);

	/** Unregisters every ticker. */
	void Reset();

	struct FElement
	{
		enum class EState : uint8
		{
			Active,
			Removed
		};

		FTSTicker* Owner = nullptr;
		double FireTime = 0.0;
		float DelayTime = 0.0f;
		FTickerDelegate Delegate;
		TUniqueFunction<bool(float)> Function;
		FString Name;
		std::atomic<EState> State{EState::Active};
		// Held while the ticker runs, so that removal from another thread waits for the call to end.
		std::recursive_mutex CallMutex;

		/** Calls the ticker. @return false if it asked to be removed. */
		bool Fire(float DeltaTime);
	};

private:
	FDelegateHandle AddElement(TSharedPtr<FElement> Element, float InDelay);
	void RemoveElement(const FElement* Element);

	std::mutex Mutex;
	TArray<TSharedPtr<FElement>> Elements;
	double CurrentTime = 0.0;
};
