// TSet: a set of unique elements that iterates in insertion order; elements compare with == and hash with GetTypeHash.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"

template <typename ElementType>
class TSet
{
public:
	TSet() = default;
	TSet(std::initializer_list<ElementType> InitList)
	{
		for (const ElementType& Element : InitList)
		{
			Add(Element);
		}
	}

	int32 Num() const { return Elements.Num(); }
	bool IsEmpty() const { return Elements.IsEmpty(); }
	void Empty() { Elements.Empty(); }
	void Reset() { Elements.Empty(); }
	void Add(const ElementType& Element, bool* bIsAlreadyInSetPtr = nullptr)
	{
		const bool bAlreadyIn = Elements.Contains(Element);
		if (bIsAlreadyInSetPtr)
		{
			*bIsAlreadyInSetPtr = bAlreadyIn;
		}
		if (!bAlreadyIn)
		{
			Elements.Add(Element, 0);
		}
	}
	bool Contains(const ElementType& Element) const { return Elements.Contains(Element); }
	int32 Remove(const ElementType& Element) { return Elements.Remove(Element); }
	TArray<ElementType> Array() const
	{
		TArray<ElementType> Result;
		Elements.GetKeys(Result);
		return Result;
	}

	class FConstIterator
	{
	public:
		using Inner = decltype(std::declval<const TMap<ElementType, int32>&>().begin());
		explicit FConstIterator(Inner InIt)
		    : It(InIt)
		{
		}
		const ElementType& operator*() const { return It->Key; }
		FConstIterator& operator++()
		{
			++It;
			return *this;
		}
		bool operator!=(const FConstIterator& Other) const { return It != Other.It; }

	private:
		Inner It;
	};
	FConstIterator begin() const { return FConstIterator(Elements.begin()); }
	FConstIterator end() const { return FConstIterator(Elements.end()); }

private:
	TMap<ElementType, int32> Elements;
};
