#include "Containers/Ticker.h"

FTSTicker& FTSTicker::GetCoreTicker()
{
	// Never destroyed: the log hands its queued lines over on this ticker, and lines may come from static destructors.
	static FTSTicker* const Ticker = new FTSTicker();
	return *Ticker;
}

FTSTicker::~FTSTicker()
{
	Reset();
}

FTSTicker::FDelegateHandle FTSTicker::AddTicker(const FTickerDelegate& InDelegate, float InDelay)
{
	TSharedPtr<FElement> Element = MakeShared<FElement>();
	Element->Delegate = InDelegate;
	return AddElement(MoveTemp(Element), InDelay);
}

FTSTicker::FDelegateHandle FTSTicker::AddTicker(const TCHAR* InName, float InDelay, TUniqueFunction<bool(float)>&& InFunction)
{
	TSharedPtr<FElement> Element = MakeShared<FElement>();
	Element->Function = MoveTemp(InFunction);
	Element->Name = InName != nullptr ? InName : TEXT("");
	return AddElement(MoveTemp(Element), InDelay);
}

FTSTicker::FDelegateHandle FTSTicker::AddElement(TSharedPtr<FElement> Element, float InDelay)
{
	std::lock_guard<std::mutex> Lock(Mutex);
	Element->Owner = this;
	Element->DelayTime = InDelay;
	Element->FireTime = CurrentTime + InDelay;
	FDelegateHandle Handle(Element);
	Elements.Add(MoveTemp(Element));
	return Handle;
}

void FTSTicker::RemoveTicker(FDelegateHandle Handle)
{
	const TSharedPtr<FElement> Element = Handle.Pin();
	if (!Element.IsValid())
	{
		return;
	}
	FTSTicker* Owner = nullptr;
	{
		// Blocks while another thread runs this ticker; re-entrant for a ticker that removes itself.
		std::lock_guard<std::recursive_mutex> CallLock(Element->CallMutex);
		Element->State = FElement::EState::Removed;
		Owner = Element->Owner;
	}
	if (Owner != nullptr)
	{
		Owner->RemoveElement(Element.Get());
	}
}

void FTSTicker::RemoveElement(const FElement* Element)
{
	std::lock_guard<std::mutex> Lock(Mutex);
	Elements.RemoveAll([Element](const TSharedPtr<FElement>& Candidate) {
		return Candidate.Get() == Element;
	});
}

void FTSTicker::Tick(float DeltaTime)
{
	TArray<TSharedPtr<FElement>> Due;
	double Now = 0.0;
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		CurrentTime += DeltaTime;
		Now = CurrentTime;
		Due = Elements.FilterByPredicate([Now](const TSharedPtr<FElement>& Element) {
			return Element->FireTime <= Now;
		});
	}
	// Called without the list lock, so that tickers may add and remove tickers; the snapshot keeps each alive.
	for (const TSharedPtr<FElement>& Element : Due)
	{
		bool bKeep = true;
		{
			std::lock_guard<std::recursive_mutex> CallLock(Element->CallMutex);
			if (Element->State == FElement::EState::Removed)
			{
				continue;
			}
			bKeep = Element->Fire(DeltaTime) && Element->State != FElement::EState::Removed;
			if (bKeep)
			{
				Element->FireTime = Now + Element->DelayTime;
			}
			else
			{
				Element->State = FElement::EState::Removed;
			}
		}
		if (!bKeep)
		{
			RemoveElement(Element.Get());
		}
	}
}

void FTSTicker::Reset()
{
	TArray<TSharedPtr<FElement>> Removed;
	{
		std::lock_guard<std::mutex> Lock(Mutex);
		Removed = MoveTemp(Elements);
		Elements.Empty();
	}
	for (const TSharedPtr<FElement>& Element : Removed)
	{
		std::lock_guard<std::recursive_mutex> CallLock(Element->CallMutex);
		Element->State = FElement::EState::Removed;
		// An outstanding handle may outlive this ticker.
		Element->Owner = nullptr;
	}
}

bool FTSTicker::FElement::Fire(float DeltaTime)
{
	if (Function.IsSet())
	{
		return Function(DeltaTime);
	}
	// A delegate whose object is gone has nothing left to tick.
	return Delegate.IsBound() && Delegate.Execute(DeltaTime);
}
