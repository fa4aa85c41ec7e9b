// The object table behind the object system: every live object has a slot; weak pointers name a slot
// and the serial number it had. Also the state handed from NewObject to the object's constructor.
#pragma once

#include "Containers/Array.h"
#include "UObject/Object.h"

DECLARE_LOG_CATEGORY_EXTERN(LogUObjectGlobals, Log, All);

namespace UE::CoreUObject::Private
{
	struct FObjectSlot
	{
		UObjectBase* Object = nullptr;
		int32 SerialNumber = 0;
	};

	/** Slots of live objects; freed slots are reused with a new serial number. */
	class FObjectRegistry
	{
	public:
		static FObjectRegistry& Get();

		int32 Add(UObjectBase* Object);
		void Remove(int32 Index);

		int32 Num() const { return Slots.Num(); }
		const FObjectSlot& GetSlot(int32 Index) const { return Slots[Index]; }
		UObject* GetObject(int32 Index) const;

	private:
		TArray<FObjectSlot> Slots;
		TArray<int32> FreeSlots;
		int32 NextSerialNumber = 1;
	};

	/** What UObjectBase's constructor takes over: set by whoever makes the object, just before. */
	struct FPendingObjectInit
	{
		UClass* Class = nullptr;
		UObject* Outer = nullptr;
		FName Name;
		EObjectFlags Flags = RF_NoFlags;
		bool bNative = false;
	};

	/** Sets the init that the next constructed object takes; checks that none is pending. */
	void SetPendingObjectInit(const FPendingObjectInit& Init);
	/** Drops a pending init that no object took (a class with no constructor). */
	void ClearPendingObjectInit();

	/** Reaches what UObjectBase keeps to itself. */
	struct FObjectAccess
	{
		static void SetClass(UObjectBase* Object, UClass* Class) { Object->ClassPrivate = Class; }
		static void SetOuter(UObjectBase* Object, UObject* Outer) { Object->OuterPrivate = Outer; }
		static EInternalObjectFlags& InternalFlags(UObjectBase* Object) { return Object->InternalFlags; }
	};

	/** Makes an object of the object system's own classes (classes, functions, enums, packages). */
	template <typename T>
	T* NewNativeObject(UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags = RF_Public | RF_MarkAsNative)
	{
		SetPendingObjectInit({Class, Outer, Name, Flags, true});
		return new T();
	}

	/** The object of that name directly inside Outer (null Outer: a package), or null. */
	UObject* FindObjectWithOuter(const UObject* Outer, FName Name);

	/** Runs the queued registrations of generated types. */
	void ProcessPendingRegistrations();

	/** The package "/Script/CoreUObject", made with the object system's own classes. */
	UPackage* GetCoreUObjectPackage();
} // namespace UE::CoreUObject::Private
