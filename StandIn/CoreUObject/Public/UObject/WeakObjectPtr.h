// FWeakObjectPtr: the untyped weak reference behind TWeakObjectPtr. It names an object by its slot in the
// object table and the serial number the slot had, so it reads null once the object is destroyed.
#pragma once

#include "CoreTypes.h"
#include "UObject/WeakObjectPtrTemplates.h"

class UObject;

struct FWeakObjectPtr
{
	FWeakObjectPtr() = default;
	FWeakObjectPtr(TYPE_OF_NULLPTR) {}
	FWeakObjectPtr(const UObject* Object) { *this = Object; }

	FWeakObjectPtr& operator=(const UObject* Object);

	/** Forgets the object. */
	void Reset()
	{
		ObjectIndex = INDEX_NONE;
		ObjectSerialNumber = 0;
	}

	/** @return the object, or null once it is destroyed (or marked as garbage, unless bEvenIfGarbage). */
	UObject* Get(bool bEvenIfGarbage = false) const;

	bool IsValid(bool bEvenIfGarbage = false, bool bThreadsafeTest = false) const;

	/** @return true when this was set to an object that no longer exists. */
	bool IsStale(bool bIncludingGarbage = true, bool bThreadsafeTest = false) const;

	bool IsExplicitlyNull() const { return ObjectIndex == INDEX_NONE; }

	bool operator==(const FWeakObjectPtr& Other) const { return ObjectIndex == Other.ObjectIndex && ObjectSerialNumber == Other.ObjectSerialNumber; }
	bool operator!=(const FWeakObjectPtr& Other) const { return !(*this == Other); }

	friend uint32 GetTypeHash(const FWeakObjectPtr& WeakObjectPtr)
	{
		return static_cast<uint32>(WeakObjectPtr.ObjectIndex) ^ (static_cast<uint32>(WeakObjectPtr.ObjectSerialNumber) << 16);
	}

private:
	int32 ObjectIndex = INDEX_NONE;
	int32 ObjectSerialNumber = 0;
};
