// TMap: key-value map that iterates in insertion order (as the engine's map does while nothing is removed).
// Keys compare with == and hash with GetTypeHash, so FString keys ignore case as in the engine.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Templates/TypeHash.h"
#include "Templates/UnrealTemplate.h"
#include <unordered_map>
#include <vector>

template <typename KeyType, typename ValueType>
struct TPair
{
	KeyType Key;
	ValueType Value;

	bool operator==(const TPair& Other) const { return Key == Other.Key && Value == Other.Value; }
};

template <typename KeyType, typename ValueType>
using TTuple = TPair<KeyType, ValueType>;

namespace UE::Core::Private
{
	template <typename KeyType>
	struct TKeyHasher
	{
		size_t operator()(const KeyType& Key) const { return GetTypeHash(Key); }
	};
	template <typename KeyType>
	struct TKeyEquals
	{
		bool operator()(const KeyType& A, const KeyType& B) const { return A == B; }
	};
} // namespace UE::Core::Private

template <typename KeyType, typename ValueType>
class TMap
{
public:
	using ElementType = TPair<KeyType, ValueType>;

	TMap() = default;
	TMap(std::initializer_list<ElementType> InitList)
	{
		for (const ElementType& Element : InitList)
		{
			Add(Element.Key, Element.Value);
		}
	}
	TMap(const TMap& Other) { *this = Other; }
	TMap(TMap&& Other) noexcept { *this = MoveTemp(Other); }
	TMap& operator=(const TMap& Other)
	{
		Pairs = Other.Pairs;
		RebuildIndex();
		return *this;
	}
	TMap& operator=(TMap&& Other) noexcept
	{
		Pairs = MoveTemp(Other.Pairs);
		RebuildIndex();
		Other.Pairs.clear();
		Other.Index.clear();
		return *this;
	}

	int32 Num() const { return static_cast<int32>(Pairs.size()); }
	bool IsEmpty() const { return Pairs.empty(); }
	void Empty(int32 ExpectedNumElements = 0)
	{
		Pairs.clear();
		Index.clear();
		Pairs.reserve(static_cast<size_t>(ExpectedNumElements));
	}
	void Reset() { Empty(); }
	void Reserve(int32 Number) { Pairs.reserve(static_cast<size_t>(Number)); }

	// Replaces the value of an existing key in its place.
	ValueType& Add(const KeyType& Key, const ValueType& Value) { return Emplace(Key, Value); }
	ValueType& Add(const KeyType& Key, ValueType&& Value) { return Emplace(Key, MoveTemp(Value)); }
	ValueType& Add(KeyType&& Key, ValueType&& Value) { return Emplace(MoveTemp(Key), MoveTemp(Value)); }
	ValueType& Add(const KeyType& Key) { return Emplace(Key, ValueType()); }
	template <typename InKeyType, typename InValueType>
	ValueType& Emplace(InKeyType&& Key, InValueType&& Value)
	{
		if (ValueType* Existing = Find(Key))
		{
			*Existing = Forward<InValueType>(Value);
			return *Existing;
		}
		Pairs.push_back(ElementType{KeyType(Forward<InKeyType>(Key)), ValueType(Forward<InValueType>(Value))});
		Index.emplace(Pairs.back().Key, Pairs.size() - 1);
		return Pairs.back().Value;
	}
	ValueType& FindOrAdd(const KeyType& Key)
	{
		if (ValueType* Existing = Find(Key))
		{
			return *Existing;
		}
		return Emplace(Key, ValueType());
	}

	ValueType* Find(const KeyType& Key)
	{
		const auto Found = Index.find(Key);
		return Found == Index.end() ? nullptr : &Pairs[Found->second].Value;
	}
	const ValueType* Find(const KeyType& Key) const
	{
		const auto Found = Index.find(Key);
		return Found == Index.end() ? nullptr : &Pairs[Found->second].Value;
	}
	ValueType FindRef(const KeyType& Key) const
	{
		const ValueType* Found = Find(Key);
		return Found ? *Found : ValueType();
	}
	ValueType& FindChecked(const KeyType& Key)
	{
		ValueType* Found = Find(Key);
		check(Found);
		return *Found;
	}
	const ValueType& FindChecked(const KeyType& Key) const
	{
		const ValueType* Found = Find(Key);
		check(Found);
		return *Found;
	}
	ValueType& operator[](const KeyType& Key) { return FindChecked(Key); }
	const ValueType& operator[](const KeyType& Key) const { return FindChecked(Key); }
	bool Contains(const KeyType& Key) const { return Index.find(Key) != Index.end(); }

	int32 Remove(const KeyType& Key)
	{
		const auto Found = Index.find(Key);
		if (Found == Index.end())
		{
			return 0;
		}
		Pairs.erase(Pairs.begin() + static_cast<std::ptrdiff_t>(Found->second));
		RebuildIndex();
		return 1;
	}

	int32 GetKeys(TArray<KeyType>& OutKeys) const
	{
		OutKeys.Reset();
		for (const ElementType& Pair : Pairs)
		{
			OutKeys.Add(Pair.Key);
		}
		return OutKeys.Num();
	}
	int32 GenerateKeyArray(TArray<KeyType>& OutKeys) const { return GetKeys(OutKeys); }
	int32 GenerateValueArray(TArray<ValueType>& OutValues) const
	{
		OutValues.Reset();
		for (const ElementType& Pair : Pairs)
		{
			OutValues.Add(Pair.Value);
		}
		return OutValues.Num();
	}

	auto begin() { return Pairs.begin(); }
	auto end() { return Pairs.end(); }
	auto begin() const { return Pairs.begin(); }
	auto end() const { return Pairs.end(); }

private:
	void RebuildIndex()
	{
		Index.clear();
		for (size_t Position = 0; Position < Pairs.size(); ++Position)
		{
			Index.emplace(Pairs[Position].Key, Position);
		}
	}

	std::vector<ElementType> Pairs;
	std::unordered_map<KeyType, size_t, UE::Core::Private::TKeyHasher<KeyType>, UE::Core::Private::TKeyEquals<KeyType>> Index;
};
