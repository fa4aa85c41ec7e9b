// TArray: the engine's dynamic array, with its signed int32 indices and INDEX_NONE for "not found".
#pragma once

#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"
#include "Templates/UnrealTemplate.h"
#include <algorithm>
#include <initializer_list>
#include <vector>

class FDefaultAllocator
{
};

template <typename T, typename InAllocator = FDefaultAllocator>
class TArray
{
	static_assert(!std::is_same_v<T, bool>, "TArray<bool> is not supported by the stand-in; use TArray<uint8>.");

public:
	using ElementType = T;
	using SizeType = int32;

	TArray() = default;
	TArray(std::initializer_list<T> InitList)
	    : Items(InitList)
	{
	}
	TArray(const T* Data, int32 Count)
	    : Items(Data, Data + Count)
	{
	}

	int32 Num() const { return static_cast<int32>(Items.size()); }
	int32 Max() const { return static_cast<int32>(Items.capacity()); }
	bool IsEmpty() const { return Items.empty(); }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Num(); }

	T* GetData() { return Items.data(); }
	const T* GetData() const { return Items.data(); }

	T& operator[](int32 Index)
	{
		check(IsValidIndex(Index));
		return Items[static_cast<size_t>(Index)];
	}
	const T& operator[](int32 Index) const
	{
		check(IsValidIndex(Index));
		return Items[static_cast<size_t>(Index)];
	}

	T& Last(int32 IndexFromTheEnd = 0) { return (*this)[Num() - 1 - IndexFromTheEnd]; }
	const T& Last(int32 IndexFromTheEnd = 0) const { return (*this)[Num() - 1 - IndexFromTheEnd]; }
	T& Top() { return Last(); }
	const T& Top() const { return Last(); }

	int32 Add(const T& Item)
	{
		Items.push_back(Item);
		return Num() - 1;
	}
	int32 Add(T&& Item)
	{
		Items.push_back(MoveTemp(Item));
		return Num() - 1;
	}
	T& Add_GetRef(const T& Item)
	{
		Items.push_back(Item);
		return Items.back();
	}
	T& Add_GetRef(T&& Item)
	{
		Items.push_back(MoveTemp(Item));
		return Items.back();
	}
	template <typename... ArgsType>
	int32 Emplace(ArgsType&&... Args)
	{
		Items.emplace_back(Forward<ArgsType>(Args)...);
		return Num() - 1;
	}
	template <typename... ArgsType>
	T& Emplace_GetRef(ArgsType&&... Args)
	{
		return Items.emplace_back(Forward<ArgsType>(Args)...);
	}
	int32 AddUnique(const T& Item)
	{
		const int32 Existing = Find(Item);
		return Existing != INDEX_NONE ? Existing : Add(Item);
	}
	int32 AddDefaulted(int32 Count = 1)
	{
		const int32 First = Num();
		Items.resize(Items.size() + static_cast<size_t>(Count));
		return First;
	}
	int32 AddZeroed(int32 Count = 1) { return AddDefaulted(Count); }
	void Push(const T& Item) { Add(Item); }
	void Push(T&& Item) { Add(MoveTemp(Item)); }
	T Pop()
	{
		check(!IsEmpty());
		T Result = MoveTemp(Items.back());
		Items.pop_back();
		return Result;
	}

	void Append(const TArray& Other) { Items.insert(Items.end(), Other.Items.begin(), Other.Items.end()); }
	void Append(TArray&& Other)
	{
		Items.insert(Items.end(), std::make_move_iterator(Other.Items.begin()), std::make_move_iterator(Other.Items.end()));
		Other.Items.clear();
	}
	void Append(const T* Data, int32 Count) { Items.insert(Items.end(), Data, Data + Count); }
	void Append(std::initializer_list<T> InitList) { Items.insert(Items.end(), InitList); }
	TArray& operator+=(const TArray& Other)
	{
		Append(Other);
		return *this;
	}

	int32 Insert(const T& Item, int32 Index)
	{
		check(Index >= 0 && Index <= Num());
		Items.insert(Items.begin() + Index, Item);
		return Index;
	}
	int32 Insert(T&& Item, int32 Index)
	{
		check(Index >= 0 && Index <= Num());
		Items.insert(Items.begin() + Index, MoveTemp(Item));
		return Index;
	}

	void RemoveAt(int32 Index, int32 Count = 1)
	{
		check(Index >= 0 && Count >= 0 && Index + Count <= Num());
		Items.erase(Items.begin() + Index, Items.begin() + Index + Count);
	}
	void RemoveAtSwap(int32 Index, int32 Count = 1) { RemoveAt(Index, Count); }
	int32 Remove(const T& Item)
	{
		return RemoveAll([&Item](const T& Element) {
			return Element == Item;
		});
	}
	int32 RemoveSingle(const T& Item)
	{
		const int32 Index = Find(Item);
		if (Index == INDEX_NONE)
		{
			return 0;
		}
		RemoveAt(Index);
		return 1;
	}
	template <typename PredicateType>
	int32 RemoveAll(const PredicateType& Predicate)
	{
		const size_t Before = Items.size();
		Items.erase(std::remove_if(Items.begin(), Items.end(), Predicate), Items.end());
		return static_cast<int32>(Before - Items.size());
	}

	void Empty(int32 Slack = 0)
	{
		Items.clear();
		if (Slack == 0)
		{
			Items.shrink_to_fit();
		}
		else
		{
			Items.reserve(static_cast<size_t>(Slack));
		}
	}
	void Reset(int32 NewSize = 0)
	{
		Items.clear();
		Items.reserve(static_cast<size_t>(NewSize));
	}
	void Reserve(int32 Number) { Items.reserve(static_cast<size_t>(Number)); }
	void SetNum(int32 NewNum) { Items.resize(static_cast<size_t>(NewNum)); }
	void SetNumZeroed(int32 NewNum) { Items.resize(static_cast<size_t>(NewNum)); }
	void SetNumUninitialized(int32 NewNum) { Items.resize(static_cast<size_t>(NewNum)); }
	void Shrink() { Items.shrink_to_fit(); }

	int32 Find(const T& Item) const
	{
		const auto It = std::find(Items.begin(), Items.end(), Item);
		return It == Items.end() ? INDEX_NONE : static_cast<int32>(It - Items.begin());
	}
	bool Find(const T& Item, int32& OutIndex) const
	{
		OutIndex = Find(Item);
		return OutIndex != INDEX_NONE;
	}
	int32 FindLast(const T& Item) const
	{
		for (int32 Index = Num() - 1; Index >= 0; --Index)
		{
			if (Items[static_cast<size_t>(Index)] == Item)
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}
	template <typename KeyType>
	int32 IndexOfByKey(const KeyType& Key) const
	{
		return IndexOfByPredicate([&Key](const T& Element) {
			return Element == Key;
		});
	}
	template <typename PredicateType>
	int32 IndexOfByPredicate(const PredicateType& Predicate) const
	{
		const auto It = std::find_if(Items.begin(), Items.end(), Predicate);
		return It == Items.end() ? INDEX_NONE : static_cast<int32>(It - Items.begin());
	}
	template <typename PredicateType>
	T* FindByPredicate(const PredicateType& Predicate)
	{
		const int32 Index = IndexOfByPredicate(Predicate);
		return Index == INDEX_NONE ? nullptr : &Items[static_cast<size_t>(Index)];
	}
	template <typename PredicateType>
	const T* FindByPredicate(const PredicateType& Predicate) const
	{
		const int32 Index = IndexOfByPredicate(Predicate);
		return Index == INDEX_NONE ? nullptr : &Items[static_cast<size_t>(Index)];
	}
	template <typename KeyType>
	T* FindByKey(const KeyType& Key)
	{
		return FindByPredicate([&Key](const T& Element) {
			return Element == Key;
		});
	}
	template <typename PredicateType>
	TArray FilterByPredicate(const PredicateType& Predicate) const
	{
		TArray Result;
		for (const T& Element : Items)
		{
			if (Predicate(Element))
			{
				Result.Add(Element);
			}
		}
		return Result;
	}
	bool Contains(const T& Item) const { return Find(Item) != INDEX_NONE; }
	template <typename PredicateType>
	bool ContainsByPredicate(const PredicateType& Predicate) const
	{
		return IndexOfByPredicate(Predicate) != INDEX_NONE;
	}

	void Sort() { std::sort(Items.begin(), Items.end()); }
	template <typename PredicateType>
	void Sort(const PredicateType& Predicate)
	{
		std::sort(Items.begin(), Items.end(), Predicate);
	}
	void StableSort() { std::stable_sort(Items.begin(), Items.end()); }
	template <typename PredicateType>
	void StableSort(const PredicateType& Predicate)
	{
		std::stable_sort(Items.begin(), Items.end(), Predicate);
	}
	void Swap(int32 A, int32 B)
	{
		check(IsValidIndex(A) && IsValidIndex(B));
		std::swap(Items[static_cast<size_t>(A)], Items[static_cast<size_t>(B)]);
	}

	bool operator==(const TArray& Other) const { return Items == Other.Items; }
	bool operator!=(const TArray& Other) const { return Items != Other.Items; }

	auto begin() { return Items.begin(); }
	auto end() { return Items.end(); }
	auto begin() const { return Items.begin(); }
	auto end() const { return Items.end(); }

private:
	std::vector<T> Items;
};

template <typename T>
struct TIsTArray : std::false_type
{
};
template <typename T, typename A>
struct TIsTArray<TArray<T, A>> : std::true_type
{
};
