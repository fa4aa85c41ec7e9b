// Finding objects by class or outer.
#pragma once

#include "Containers/Array.h"
#include "UObject/UObjectBase.h"

/** Every live object of that class (and its subclasses when bIncludeDerivedClasses), in creation order. */
void GetObjectsOfClass(const UClass* ClassToLookFor, TArray<UObject*>& Results, bool bIncludeDerivedClasses = true,
                       EObjectFlags ExcludeFlags = RF_ClassDefaultObject, EInternalObjectFlags ExclusionInternalFlags = EInternalObjectFlags::None);

/** Every live object whose outer is Outer (or, with bIncludeNestedObjects, whose outer chain contains it). */
void GetObjectsWithOuter(const UObject* Outer, TArray<UObject*>& Results, bool bIncludeNestedObjects = true, EObjectFlags ExclusionFlags = RF_NoFlags,
                         EInternalObjectFlags ExclusionInternalFlags = EInternalObjectFlags::None);
