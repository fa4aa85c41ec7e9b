// UObjectBase: what every object of the object system has: a class, a name, an outer, flags and a slot
// in the object table. Objects are made by NewObject, never by new or on the stack.
#pragma once

#include "CoreTypes.h"
#include "UObject/NameTypes.h"
#include "UObject/ObjectMacros.h"

/** Flags the object system keeps for itself. */
enum class EInternalObjectFlags : uint32
{
	None = 0,
	RootSet = 0x01,
	Garbage = 0x02,
	Unreachable = 0x04,
	Native = 0x08,
};
ENUM_CLASS_FLAGS(EInternalObjectFlags)

namespace UE::CoreUObject::Private
{
	struct FObjectAccess;
}

class UObjectBase
{
public:
	UObjectBase(const UObjectBase&) = delete;
	UObjectBase& operator=(const UObjectBase&) = delete;

	UClass* GetClass() const { return ClassPrivate; }
	UObject* GetOuter() const { return OuterPrivate; }
	FName GetFName() const { return NamePrivate; }
	EObjectFlags GetFlags() const { return ObjectFlags; }

	/** The object's slot in the object table, unique among living objects. */
	int32 GetUniqueID() const { return InternalIndex; }

	/** @return false for memory that is not (or no longer) a registered object. */
	bool IsValidLowLevel() const;

protected:
	UObjectBase();
	virtual ~UObjectBase();

	EObjectFlags ObjectFlags = RF_NoFlags;
	EInternalObjectFlags InternalFlags = EInternalObjectFlags::None;

private:
	friend struct UE::CoreUObject::Private::FObjectAccess;

	int32 InternalIndex = INDEX_NONE;
	UClass* ClassPrivate = nullptr;
	FName NamePrivate;
	UObject* OuterPrivate = nullptr;
};
