// TObjectIterator: every live object of a class (class default objects and garbage excluded).
#pragma once

#include "Containers/Array.h"
#include "UObject/Object.h"
#include "UObject/UObjectHash.h"

template <class T>
class TObjectIterator
{
public:
	explicit TObjectIterator(EObjectFlags AdditionalExclusionFlags = RF_ClassDefaultObject, bool bIncludeDerivedClasses = true)
	{
		GetObjectsOfClass(T::StaticClass(), Objects, bIncludeDerivedClasses, AdditionalExclusionFlags, EInternalObjectFlags::Garbage);
	}

	explicit operator bool() const { return Objects.IsValidIndex(Index); }
	bool operator!() const { return !Objects.IsValidIndex(Index); }
	T* operator*() const { return static_cast<T*>(Objects[Index]); }
	T* operator->() const { return static_cast<T*>(Objects[Index]); }
	TObjectIterator& operator++()
	{
		++Index;
		return *this;
	}

private:
	// A snapshot: objects made while iterating are not visited.
	TArray<UObject*> Objects;
	int32 Index = 0;
};
