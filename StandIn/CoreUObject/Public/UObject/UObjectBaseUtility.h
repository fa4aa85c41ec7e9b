// UObjectBaseUtility: flags, the root set, names and paths, and class tests on top of UObjectBase.
#pragma once

#include "Containers/UnrealString.h"
#include "UObject/UObjectBase.h"

class UObjectBaseUtility : public UObjectBase
{
public:
	void SetFlags(EObjectFlags NewFlags) { ObjectFlags |= NewFlags; }
	void ClearFlags(EObjectFlags FlagsToClear) { ObjectFlags &= ~FlagsToClear; }
	bool HasAnyFlags(EObjectFlags FlagsToCheck) const { return (ObjectFlags & FlagsToCheck) != 0; }
	bool HasAllFlags(EObjectFlags FlagsToCheck) const { return (ObjectFlags & FlagsToCheck) == FlagsToCheck; }

	/** Keeps the object, and what it references through reflected properties, alive across garbage collections. */
	void AddToRoot() { InternalFlags |= EInternalObjectFlags::RootSet; }
	void RemoveFromRoot() { InternalFlags &= ~EInternalObjectFlags::RootSet; }
	bool IsRooted() const { return EnumHasAnyFlags(InternalFlags, EInternalObjectFlags::RootSet); }

	/** Marks the object for destruction: IsValid() is false from now on and the next collection destroys it. */
	void MarkAsGarbage();
	void ClearGarbage();
	bool IsGarbage() const { return EnumHasAnyFlags(InternalFlags, EInternalObjectFlags::Garbage); }
	bool IsUnreachable() const { return EnumHasAnyFlags(InternalFlags, EInternalObjectFlags::Unreachable); }

	/** The class default object or another archetype. */
	bool IsTemplate(EObjectFlags TemplateTypes = RF_ArchetypeObject | RF_ClassDefaultObject) const { return HasAnyFlags(TemplateTypes); }

	FString GetName() const { return GetFName().ToString(); }

	/** "/Script/Module.Object", with ':' before a subobject of an object that is not a package. */
	FString GetPathName(const UObject* StopOuter = nullptr) const;

	/** "Class /Script/Module.Object". */
	FString GetFullName(const UObject* StopOuter = nullptr) const;

	/** The package at the top of the outer chain (the object itself if it is one). */
	UPackage* GetPackage() const;
	UPackage* GetOutermost() const { return GetPackage(); }

	/** @return true if the object's class is SomeBase or derives from it. */
	bool IsA(const UClass* SomeBase) const;
	template <typename OtherClassType>
	bool IsA() const
	{
		return IsA(OtherClassType::StaticClass());
	}

	/** @return true if SomeOuter is in the object's outer chain. */
	bool IsIn(const UObject* SomeOuter) const;

	/** The nearest outer of that class, or null. */
	UObject* GetTypedOuter(const UClass* Target) const;
	template <typename T>
	T* GetTypedOuter() const
	{
		return static_cast<T*>(GetTypedOuter(T::StaticClass()));
	}
};
