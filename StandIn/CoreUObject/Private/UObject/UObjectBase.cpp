#include "ObjectRegistry.h"
#include "UObject/Package.h"
#include "UObject/UObjectHash.h"

DEFINE_LOG_CATEGORY(LogUObjectGlobals);

namespace UE::CoreUObject::Private
{
	namespace
	{
		bool GHasPendingInit = false;
		FPendingObjectInit GPendingInit;
	} // namespace

	FObjectRegistry& FObjectRegistry::Get()
	{
		static FObjectRegistry* Registry = new FObjectRegistry();
		return *Registry;
	}

	int32 FObjectRegistry::Add(UObjectBase* Object)
	{
		int32 Index;
		if (FreeSlots.Num() > 0)
		{
			Index = FreeSlots.Pop();
		}
		else
		{
			Index = Slots.AddDefaulted();
		}
		Slots[Index].Object = Object;
		Slots[Index].SerialNumber = NextSerialNumber++;
		return Index;
	}

	void FObjectRegistry::Remove(int32 Index)
	{
		if (!Slots.IsValidIndex(Index))
		{
			return;
		}
		Slots[Index].Object = nullptr;
		Slots[Index].SerialNumber = 0;
		FreeSlots.Add(Index);
	}

	UObject* FObjectRegistry::GetObject(int32 Index) const
	{
		return Slots.IsValidIndex(Index) ? static_cast<UObject*>(Slots[Index].Object) : nullptr;
	}

	void SetPendingObjectInit(const FPendingObjectInit& Init)
	{
		checkf(!GHasPendingInit, "An object is already being made");
		GPendingInit = Init;
		GHasPendingInit = true;
	}

	void ClearPendingObjectInit()
	{
		GHasPendingInit = false;
	}

	UObject* FindObjectWithOuter(const UObject* Outer, FName Name)
	{
		const FObjectRegistry& Registry = FObjectRegistry::Get();
		for (int32 Index = 0; Index < Registry.Num(); ++Index)
		{
			UObject* Object = Registry.GetObject(Index);
			if (Object && Object->GetOuter() == Outer && Object->GetFName() == Name && !Object->IsUnreachable())
			{
				return Object;
			}
		}
		return nullptr;
	}
} // namespace UE::CoreUObject::Private

using namespace UE::CoreUObject::Private;

UObjectBase::UObjectBase()
{
	if (!GHasPendingInit)
	{
		UE_LOG(LogUObjectGlobals, Fatal, TEXT("An object was made without NewObject; objects of the object system are made with NewObject."));
	}
	GHasPendingInit = false;
	ClassPrivate = GPendingInit.Class;
	OuterPrivate = GPendingInit.Outer;
	NamePrivate = GPendingInit.Name;
	ObjectFlags = GPendingInit.Flags;
	if (GPendingInit.bNative)
	{
		InternalFlags |= EInternalObjectFlags::Native | EInternalObjectFlags::RootSet;
	}
	InternalIndex = FObjectRegistry::Get().Add(this);
}

UObjectBase::~UObjectBase()
{
	FObjectRegistry::Get().Remove(InternalIndex);
	InternalIndex = INDEX_NONE;
}

bool UObjectBase::IsValidLowLevel() const
{
	const FObjectRegistry& Registry = FObjectRegistry::Get();
	return InternalIndex >= 0 && InternalIndex < Registry.Num() && Registry.GetSlot(InternalIndex).Object == this;
}

void UObjectBaseUtility::MarkAsGarbage()
{
	InternalFlags |= EInternalObjectFlags::Garbage;
	ObjectFlags |= RF_MirroredGarbage;
}

void UObjectBaseUtility::ClearGarbage()
{
	InternalFlags &= ~EInternalObjectFlags::Garbage;
	ObjectFlags &= ~RF_MirroredGarbage;
}

FString UObjectBaseUtility::GetPathName(const UObject* StopOuter) const
{
	const UObject* Outer = GetOuter();
	if (!Outer || Outer == StopOuter)
	{
		return GetName();
	}
	FString Result = Outer->GetPathName(StopOuter);
	// A subobject of an object that lives directly in a package is written Package.Object:Subobject.
	const UObject* OuterOuter = Outer->GetOuter();
	const bool bOuterIsPackage = Outer->GetClass() == UPackage::StaticClass();
	Result += (!bOuterIsPackage && OuterOuter && OuterOuter->GetClass() == UPackage::StaticClass()) ? TEXT(":") : TEXT(".");
	Result += GetName();
	return Result;
}

FString UObjectBaseUtility::GetFullName(const UObject* StopOuter) const
{
	return (GetClass() ? GetClass()->GetName() : FString(TEXT("None"))) + TEXT(" ") + GetPathName(StopOuter);
}

UPackage* UObjectBaseUtility::GetPackage() const
{
	const UObject* Top = static_cast<const UObject*>(this);
	while (Top->GetOuter())
	{
		Top = Top->GetOuter();
	}
	return Top->GetClass() == UPackage::StaticClass() ? const_cast<UPackage*>(static_cast<const UPackage*>(Top)) : nullptr;
}

bool UObjectBaseUtility::IsA(const UClass* SomeBase) const
{
	return SomeBase && GetClass() && GetClass()->IsChildOf(SomeBase);
}

bool UObjectBaseUtility::IsIn(const UObject* SomeOuter) const
{
	for (const UObject* Outer = GetOuter(); Outer; Outer = Outer->GetOuter())
	{
		if (Outer == SomeOuter)
		{
			return true;
		}
	}
	return false;
}

UObject* UObjectBaseUtility::GetTypedOuter(const UClass* Target) const
{
	for (UObject* Outer = GetOuter(); Outer; Outer = Outer->GetOuter())
	{
		if (Outer->IsA(Target))
		{
			return Outer;
		}
	}
	return nullptr;
}

void GetObjectsOfClass(const UClass* ClassToLookFor, TArray<UObject*>& Results, bool bIncludeDerivedClasses, EObjectFlags ExcludeFlags,
                       EInternalObjectFlags ExclusionInternalFlags)
{
	ProcessPendingRegistrations();
	const FObjectRegistry& Registry = FObjectRegistry::Get();
	for (int32 Index = 0; Index < Registry.Num(); ++Index)
	{
		UObject* Object = Registry.GetObject(Index);
		if (!Object || Object->HasAnyFlags(ExcludeFlags) || EnumHasAnyFlags(FObjectAccess::InternalFlags(Object), ExclusionInternalFlags) ||
		    Object->IsUnreachable())
		{
			continue;
		}
		if (bIncludeDerivedClasses ? Object->IsA(ClassToLookFor) : Object->GetClass() == ClassToLookFor)
		{
			Results.Add(Object);
		}
	}
}

void GetObjectsWithOuter(const UObject* Outer, TArray<UObject*>& Results, bool bIncludeNestedObjects, EObjectFlags ExclusionFlags,
                         EInternalObjectFlags ExclusionInternalFlags)
{
	const FObjectRegistry& Registry = FObjectRegistry::Get();
	for (int32 Index = 0; Index < Registry.Num(); ++Index)
	{
		UObject* Object = Registry.GetObject(Index);
		if (!Object || Object->HasAnyFlags(ExclusionFlags) || EnumHasAnyFlags(FObjectAccess::InternalFlags(Object), ExclusionInternalFlags) ||
		    Object->IsUnreachable())
		{
			continue;
		}
		if (bIncludeNestedObjects ? Object->IsIn(Outer) : Object->GetOuter() == Outer)
		{
			Results.Add(Object);
		}
	}
}
