// Making, finding and collecting objects: NewObject, FindObject, the transient package, GetDefault and
// CollectGarbage.
#pragma once

#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"
#include "UObject/NameTypes.h"
#include "UObject/ObjectMacros.h"

class UObject;
class UClass;
class UPackage;
class FObjectInstancingGraph;

namespace UE::CoreUObject::Private
{
	/** For templates that only have UClass declared. */
	UObject* GetDefaultObjectOf(const UClass* Class);
	bool IsObjectOfClass(const UObject* Object, const UClass* Class);
} // namespace UE::CoreUObject::Private

/** The package of objects that are never saved; the default outer of NewObject. */
UPackage* GetTransientPackage();

/** The transient package as a plain object, for code that only has UPackage declared. */
UObject* GetTransientPackageAsObject();

/** What StaticConstructObject_Internal makes. */
struct FStaticConstructObjectParameters
{
	explicit FStaticConstructObjectParameters(const UClass* InClass)
	    : Class(InClass)
	{
	}

	const UClass* Class = nullptr;
	UObject* Outer = nullptr;
	FName Name;
	EObjectFlags SetFlags = RF_NoFlags;
	UObject* Template = nullptr;
};

/** Makes an object of Params.Class; the name must be free in its outer (NAME_None makes "Class_N"). */
UObject* StaticConstructObject_Internal(const FStaticConstructObjectParameters& Params);

/** What a constructor taking it may ask about the object being made. */
class FObjectInitializer
{
public:
	/** The initializer of the object under construction on this thread. */
	static FObjectInitializer& Get();

	UObject* GetObj() const { return Object; }
	const UClass* GetClass() const { return Class; }

private:
	friend struct FObjectInitializerAccess;
	UObject* Object = nullptr;
	const UClass* Class = nullptr;
};

template <class T>
T* NewObject(UObject* Outer = GetTransientPackageAsObject())
{
	FStaticConstructObjectParameters Params(T::StaticClass());
	Params.Outer = Outer;
	return static_cast<T*>(StaticConstructObject_Internal(Params));
}

template <class T>
T* NewObject(UObject* Outer, FName Name, EObjectFlags Flags = RF_NoFlags, UObject* Template = nullptr, bool bCopyTransientsFromClassDefaults = false,
             FObjectInstancingGraph* InInstanceGraph = nullptr, UPackage* InExternalPackage = nullptr)
{
	(void)bCopyTransientsFromClassDefaults;
	(void)InInstanceGraph;
	(void)InExternalPackage;
	FStaticConstructObjectParameters Params(T::StaticClass());
	Params.Outer = Outer;
	Params.Name = Name;
	Params.SetFlags = Flags;
	Params.Template = Template;
	return static_cast<T*>(StaticConstructObject_Internal(Params));
}

/** Makes an object of Class, which must be T or derive from it. */
template <class T>
T* NewObject(UObject* Outer, const UClass* Class, FName Name = NAME_None, EObjectFlags Flags = RF_NoFlags, UObject* Template = nullptr,
             bool bCopyTransientsFromClassDefaults = false, FObjectInstancingGraph* InInstanceGraph = nullptr, UPackage* InExternalPackage = nullptr)
{
	(void)bCopyTransientsFromClassDefaults;
	(void)InInstanceGraph;
	(void)InExternalPackage;
	FStaticConstructObjectParameters Params(Class);
	Params.Outer = Outer;
	Params.Name = Name;
	Params.SetFlags = Flags;
	Params.Template = Template;
	UObject* Object = StaticConstructObject_Internal(Params);
	checkf(UE::CoreUObject::Private::IsObjectOfClass(Object, T::StaticClass()), "NewObject: the class does not derive from the requested type");
	return static_cast<T*>(Object);
}

/**
 * Finds an object by name. With an outer, Name is relative to it ("Name" or "Inner.Name"); without one,
 * Name is a full path ("/Script/Module.Object"). Class null accepts any class.
 * @return the object, or null.
 */
UObject* StaticFindObject(const UClass* Class, UObject* InOuter, FStringView Name, bool bExactClass = false);
UObject* StaticFindObject(const UClass* Class, UObject* InOuter, const TCHAR* Name, bool bExactClass = false);

template <class T>
T* FindObject(UObject* Outer, const TCHAR* Name, bool bExactClass = false)
{
	return static_cast<T*>(StaticFindObject(T::StaticClass(), Outer, Name, bExactClass));
}

template <class T>
T* FindObject(UObject* Outer, FStringView Name, bool bExactClass = false)
{
	return static_cast<T*>(StaticFindObject(T::StaticClass(), Outer, Name, bExactClass));
}

enum class EFindFirstObjectOptions
{
	None = 0,
	ExactClass = 1 << 1,
	NativeFirst = 1 << 2,
	EnsureIfAmbiguous = 1 << 3,
};
ENUM_CLASS_FLAGS(EFindFirstObjectOptions)

/** Finds the first object of that short name (or full path) anywhere; null when there is none. */
UObject* StaticFindFirstObject(const UClass* Class, FStringView Name, EFindFirstObjectOptions Options = EFindFirstObjectOptions::None);

template <class T>
T* FindFirstObject(const TCHAR* Name, EFindFirstObjectOptions Options = EFindFirstObjectOptions::None)
{
	return static_cast<T*>(StaticFindFirstObject(T::StaticClass(), FStringView(Name), Options));
}

/** @return the package of that name ("/Script/Module"), or null. */
UPackage* FindPackage(UObject* InOuter, const TCHAR* PackageName);

/** @return the package of that name, made if needed. */
UPackage* CreatePackage(const TCHAR* PackageName);

/**
 * Destroys every object that cannot be reached from the root set (or from objects with any of KeepFlags)
 * through outers, classes and reflected object properties, running BeginDestroy, FinishDestroy and the
 * destructor of each. References to objects marked as garbage are cleared first.
 */
void CollectGarbage(EObjectFlags KeepFlags = GARBAGE_COLLECTION_KEEPFLAGS, bool bPerformFullPurge = true);

/** CollectGarbage; always succeeds here (there is one thread). */
bool TryCollectGarbage(EObjectFlags KeepFlags = GARBAGE_COLLECTION_KEEPFLAGS, bool bPerformFullPurge = true);

/** @return true while a collection runs (from BeginDestroy and destructors). */
bool IsGarbageCollecting();

/** A name for a new object of Class in Outer: "Class_N" with N unused there. */
FName MakeUniqueObjectName(UObject* Outer, const UClass* Class, FName BaseName = NAME_None);

/** The class default object of T, made (and configured) on first use. */
template <class T>
const T* GetDefault()
{
	return static_cast<const T*>(UE::CoreUObject::Private::GetDefaultObjectOf(T::StaticClass()));
}

/** The class default object of Class, as a T. */
template <class T>
const T* GetDefault(const UClass* Class)
{
	return static_cast<const T*>(UE::CoreUObject::Private::GetDefaultObjectOf(Class));
}

/** The class default object of T, for code that changes defaults (settings do). */
template <class T>
T* GetMutableDefault()
{
	return static_cast<T*>(UE::CoreUObject::Private::GetDefaultObjectOf(T::StaticClass()));
}

template <class T>
T* GetMutableDefault(UClass* Class)
{
	return static_cast<T*>(UE::CoreUObject::Private::GetDefaultObjectOf(Class));
}

/** Registers the reflected types of every module linked so far; lookups do it on their own. */
void ProcessNewlyLoadedUObjects();
