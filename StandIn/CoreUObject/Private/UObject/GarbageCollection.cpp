#include "ObjectRegistry.h"
#include "UObject/Package.h"
#include "UObject/UnrealType.h"

DEFINE_LOG_CATEGORY_STATIC(LogGarbage, Log, All);

using namespace UE::CoreUObject::Private;

namespace
{
	bool GIsGarbageCollecting = false;

	/** Marks what the root set reaches; clears references to objects marked as garbage on the way. */
	class FReachabilityMarker final : public FObjectReferenceVisitor
	{
	public:
		explicit FReachabilityMarker(int32 NumSlots) { Reached.SetNumZeroed(NumSlots); }

		UObject* Visit(UObject* Referenced) override
		{
			if (!Referenced)
			{
				return nullptr;
			}
			if (Referenced->IsGarbage())
			{
				return nullptr;
			}
			Reach(Referenced);
			return Referenced;
		}

		void Reach(UObject* Object)
		{
			if (!Object)
			{
				return;
			}
			uint8& bReached = Reached[Object->GetUniqueID()];
			if (!bReached)
			{
				bReached = 1;
				Pending.Add(Object);
			}
		}

		void Run()
		{
			while (Pending.Num() > 0)
			{
				UObject* Object = Pending.Pop();
				// An object keeps its outer and its class (and so the class default object) alive.
				Reach(Object->GetOuter());
				Reach(Object->GetClass());
				if (Object->GetClass() == UClass::StaticClass())
				{
					Reach(static_cast<UClass*>(Object)->GetDefaultObject(false));
				}
				for (FProperty* Property : Object->GetClass()->GetProperties(true))
				{
					if (Property->ContainsObjectReference())
					{
						Property->VisitObjectReferences(Property->ContainerPtrToValuePtr<void>(Object), *this);
					}
				}
			}
		}

		bool IsReached(int32 Index) const { return Reached[Index] != 0; }

	private:
		TArray<uint8> Reached;
		TArray<UObject*> Pending;
	};
} // namespace

bool IsGarbageCollecting()
{
	return GIsGarbageCollecting;
}

void CollectGarbage(EObjectFlags KeepFlags, bool bPerformFullPurge)
{
	(void)bPerformFullPurge;
	if (GIsGarbageCollecting)
	{
		return;
	}
	GIsGarbageCollecting = true;
	ProcessPendingRegistrations();
	FObjectRegistry& Registry = FObjectRegistry::Get();

	FReachabilityMarker Marker(Registry.Num());
	for (int32 Index = 0; Index < Registry.Num(); ++Index)
	{
		UObject* Object = Registry.GetObject(Index);
		if (Object && !Object->IsGarbage() && (Object->IsRooted() || Object->HasAnyFlags(KeepFlags)))
		{
			Marker.Reach(Object);
		}
	}
	Marker.Run();

	TArray<UObject*> Unreachable;
	for (int32 Index = 0; Index < Registry.Num(); ++Index)
	{
		UObject* Object = Registry.GetObject(Index);
		if (Object && !Marker.IsReached(Index) && !EnumHasAnyFlags(FObjectAccess::InternalFlags(Object), EInternalObjectFlags::Native))
		{
			FObjectAccess::InternalFlags(Object) |= EInternalObjectFlags::Unreachable;
			Unreachable.Add(Object);
		}
	}
	for (UObject* Object : Unreachable)
	{
		Object->BeginDestroy();
	}
	for (UObject* Object : Unreachable)
	{
		Object->FinishDestroy();
	}
	for (UObject* Object : Unreachable)
	{
		if (Object->GetClass() == UClass::StaticClass())
		{
			continue;
		}
		delete Object;
	}
	UE_LOG(LogGarbage, Verbose, TEXT("Collected %d objects"), Unreachable.Num());
	GIsGarbageCollecting = false;
}

bool TryCollectGarbage(EObjectFlags KeepFlags, bool bPerformFullPurge)
{
	CollectGarbage(KeepFlags, bPerformFullPurge);
	return true;
}
