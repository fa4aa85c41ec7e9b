#include "UObject/WeakObjectPtr.h"

#include "ObjectRegistry.h"

using namespace UE::CoreUObject::Private;

FWeakObjectPtr& FWeakObjectPtr::operator=(const UObject* Object)
{
	if (!Object || Object->GetUniqueID() == INDEX_NONE)
	{
		Reset();
		return *this;
	}
	ObjectIndex = Object->GetUniqueID();
	ObjectSerialNumber = FObjectRegistry::Get().GetSlot(ObjectIndex).SerialNumber;
	return *this;
}

UObject* FWeakObjectPtr::Get(bool bEvenIfGarbage) const
{
	if (ObjectIndex == INDEX_NONE)
	{
		return nullptr;
	}
	const FObjectRegistry& Registry = FObjectRegistry::Get();
	if (ObjectIndex >= Registry.Num())
	{
		return nullptr;
	}
	const FObjectSlot& Slot = Registry.GetSlot(ObjectIndex);
	if (!Slot.Object || Slot.SerialNumber != ObjectSerialNumber)
	{
		return nullptr;
	}
	UObject* Object = static_cast<UObject*>(Slot.Object);
	if (Object->IsUnreachable() || (!bEvenIfGarbage && Object->IsGarbage()))
	{
		return nullptr;
	}
	return Object;
}

bool FWeakObjectPtr::IsValid(bool bEvenIfGarbage, bool bThreadsafeTest) const
{
	(void)bThreadsafeTest;
	return Get(bEvenIfGarbage) != nullptr;
}

bool FWeakObjectPtr::IsStale(bool bIncludingGarbage, bool bThreadsafeTest) const
{
	(void)bThreadsafeTest;
	return ObjectIndex != INDEX_NONE && Get(!bIncludingGarbage) == nullptr;
}
