#include "UObject/UObjectGlobals.h"

#include "UObject/GeneratedCppIncludes.h"

#include "Misc/ConfigCacheIni.h"
#include "ObjectRegistry.h"
#include "UObject/Package.h"
#include "UObject/UnrealType.h"

using namespace UE::CoreUObject::Private;

namespace
{
	FObjectInitializer GCurrentInitializer;

	TArray<UObject* (*)()>& PendingRegistrations()
	{
		static TArray<UObject* (*)()> Pending;
		return Pending;
	}

	// Splits "Package.Object:Sub" after the package: the names of the objects below it, in order.
	TArray<FString> SplitObjectPath(const FString& Path)
	{
		TArray<FString> Parts;
		FString Current;
		for (TCHAR Char : Path)
		{
			if (Char == TEXT('.') || Char == TEXT(':'))
			{
				Parts.Add(Current);
				Current.Empty();
				continue;
			}
			Current.AppendChar(Char);
		}
		Parts.Add(Current);
		return Parts;
	}

	bool MatchesClass(const UObject* Object, const UClass* Class, bool bExactClass)
	{
		if (!Class)
		{
			return true;
		}
		return bExactClass ? Object->GetClass() == Class : Object->IsA(Class);
	}

	void CopyConfigProperties(UObject* Object, const UObject* Source)
	{
		for (FProperty* Property : Source->GetClass()->GetProperties(true))
		{
			if (Property->HasAnyPropertyFlags(CPF_Config))
			{
				Property->CopyCompleteValue_InContainer(Object, Source);
			}
		}
	}

	void CopyAllProperties(UObject* Object, const UObject* Source)
	{
		for (FProperty* Property : Source->GetClass()->GetProperties(true))
		{
			Property->CopyCompleteValue_InContainer(Object, Source);
		}
	}
} // namespace

struct FObjectInitializerAccess
{
	static void Set(const UClass* Class)
	{
		GCurrentInitializer.Class = Class;
		GCurrentInitializer.Object = nullptr;
	}
	static void SetObject(UObject* Object) { GCurrentInitializer.Object = Object; }
};

FObjectInitializer& FObjectInitializer::Get()
{
	return GCurrentInitializer;
}

namespace UE::CoreUObject::Private
{
	void ProcessPendingRegistrations()
	{
		TArray<UObject* (*)()>& Pending = PendingRegistrations();
		while (Pending.Num() > 0)
		{
			TArray<UObject* (*)()> Batch = MoveTemp(Pending);
			Pending.Reset();
			for (UObject* (*Register)() : Batch)
			{
				Register();
			}
		}
	}

	UObject* GetDefaultObjectOf(const UClass* Class)
	{
		return Class ? Class->GetDefaultObject() : nullptr;
	}

	bool IsObjectOfClass(const UObject* Object, const UClass* Class)
	{
		return Object && Object->IsA(Class);
	}
} // namespace UE::CoreUObject::Private

namespace UE::CodeGen::Private
{
	FRegisterCompiledInType::FRegisterCompiledInType(UObject* (*Register)())
	{
		PendingRegistrations().Add(Register);
	}
} // namespace UE::CodeGen::Private

void ProcessNewlyLoadedUObjects()
{
	ProcessPendingRegistrations();
}

UPackage* GetTransientPackage()
{
	static UPackage* TransientPackage = nullptr;
	if (!TransientPackage)
	{
		TransientPackage = NewNativeObject<UPackage>(UPackage::StaticClass(), nullptr, FName(TEXT("/Engine/Transient")), RF_Public | RF_Transient);
	}
	return TransientPackage;
}

UObject* GetTransientPackageAsObject()
{
	return GetTransientPackage();
}

FName MakeUniqueObjectName(UObject* Outer, const UClass* Class, FName BaseName)
{
	UClass* MutableClass = const_cast<UClass*>(Class);
	const FString Base = BaseName.IsNone() ? Class->GetName() : BaseName.ToString();
	while (true)
	{
		const FName Candidate(Base + TEXT("_") + FString::FromInt(MutableClass->ClassUnique++));
		if (!FindObjectWithOuter(Outer, Candidate))
		{
			return Candidate;
		}
	}
}

UObject* StaticConstructObject_Internal(const FStaticConstructObjectParameters& Params)
{
	UClass* Class = const_cast<UClass*>(Params.Class);
	check(Class);
	const bool bIsDefaultObject = (Params.SetFlags & RF_ClassDefaultObject) != 0;
	if (Class->HasAnyClassFlags(CLASS_Abstract) && !bIsDefaultObject)
	{
		UE_LOG(LogUObjectGlobals, Fatal, TEXT("Cannot make an object of the abstract class %s"), *Class->GetPathName());
	}
	if (!Params.Outer && !Class->IsChildOf(UPackage::StaticClass()))
	{
		UE_LOG(LogUObjectGlobals, Fatal, TEXT("An object of %s needs an outer"), *Class->GetName());
	}
	if (!Class->ClassConstructor)
	{
		UE_LOG(LogUObjectGlobals, Fatal, TEXT("%s cannot be made with NewObject"), *Class->GetPathName());
	}

	// The defaults come first: a new object starts from its class default object's configuration.
	const UObject* Defaults = bIsDefaultObject ? nullptr : Class->GetDefaultObject();

	const FName Name = Params.Name.IsNone() ? MakeUniqueObjectName(Params.Outer, Class) : Params.Name;
	if (UObject* Existing = FindObjectWithOuter(Params.Outer, Name))
	{
		UE_LOG(LogUObjectGlobals, Fatal, TEXT("Cannot make %s: %s already exists"), *Name.ToString(), *Existing->GetFullName());
	}

	FObjectInitializerAccess::Set(Class);
	SetPendingObjectInit({Class, Params.Outer, Name, Params.SetFlags, false});
	UObject* Object = Class->ClassConstructor();
	if (!Object)
	{
		ClearPendingObjectInit();
		UE_LOG(LogUObjectGlobals, Fatal, TEXT("%s is abstract in C++ and cannot be made"), *Class->GetPathName());
	}
	FObjectInitializerAccess::SetObject(Object);

	if (Params.Template)
	{
		CopyAllProperties(Object, Params.Template);
	}
	else if (Defaults)
	{
		CopyConfigProperties(Object, Defaults);
	}
	else if (bIsDefaultObject && Class->HasAnyClassFlags(CLASS_Config))
	{
		Object->LoadConfig();
	}
	Object->PostInitProperties();
	return Object;
}

UObject* UClass::GetDefaultObject(bool bCreateIfNeeded) const
{
	if (!ClassDefaultObject && bCreateIfNeeded && ClassConstructor)
	{
		UClass* MutableThis = const_cast<UClass*>(this);
		FStaticConstructObjectParameters Params(this);
		Params.Outer = GetOuter();
		Params.Name = FName(FString(TEXT("Default__")) + GetName());
		Params.SetFlags = RF_Public | RF_ClassDefaultObject | RF_ArchetypeObject;
		// Set before the constructor returns would be too late for code that asks for it inside PostInitProperties.
		MutableThis->ClassDefaultObject = FindObjectWithOuter(Params.Outer, Params.Name);
		if (!MutableThis->ClassDefaultObject)
		{
			MutableThis->ClassDefaultObject = StaticConstructObject_Internal(Params);
		}
	}
	return ClassDefaultObject;
}

UObject* StaticFindObject(const UClass* Class, UObject* InOuter, FStringView Name, bool bExactClass)
{
	ProcessPendingRegistrations();
	const FString Path(Name);
	if (Path.IsEmpty())
	{
		return nullptr;
	}
	TArray<FString> Parts = SplitObjectPath(Path);
	UObject* Current = InOuter;
	int32 First = 0;
	if (!InOuter)
	{
		Current = FindPackage(nullptr, *Parts[0]);
		First = 1;
	}
	for (int32 Index = First; Current && Index < Parts.Num(); ++Index)
	{
		Current = FindObjectWithOuter(Current, FName(Parts[Index]));
	}
	if (!Current || Current->IsGarbage() || !MatchesClass(Current, Class, bExactClass))
	{
		return nullptr;
	}
	return Current;
}

UObject* StaticFindObject(const UClass* Class, UObject* InOuter, const TCHAR* Name, bool bExactClass)
{
	return StaticFindObject(Class, InOuter, FStringView(Name), bExactClass);
}

UObject* StaticFindFirstObject(const UClass* Class, FStringView Name, EFindFirstObjectOptions Options)
{
	ProcessPendingRegistrations();
	const FString Text(Name);
	const bool bExactClass = EnumHasAnyFlags(Options, EFindFirstObjectOptions::ExactClass);
	if (Text.StartsWith(TEXT("/")))
	{
		return StaticFindObject(Class, nullptr, FStringView(*Text), bExactClass);
	}
	const FName ShortName(Text);
	const FObjectRegistry& Registry = FObjectRegistry::Get();
	for (int32 Index = 0; Index < Registry.Num(); ++Index)
	{
		UObject* Object = Registry.GetObject(Index);
		if (Object && Object->GetFName() == ShortName && !Object->IsGarbage() && !Object->IsUnreachable() && MatchesClass(Object, Class, bExactClass))
		{
			return Object;
		}
	}
	return nullptr;
}

UPackage* FindPackage(UObject* InOuter, const TCHAR* PackageName)
{
	if (FString(PackageName) == TEXT("/Script/CoreUObject"))
	{
		return GetCoreUObjectPackage();
	}
	if (FString(PackageName) == TEXT("/Engine/Transient"))
	{
		return GetTransientPackage();
	}
	UObject* Found = FindObjectWithOuter(InOuter, FName(PackageName));
	return Found && Found->GetClass() == UPackage::StaticClass() ? static_cast<UPackage*>(Found) : nullptr;
}

UPackage* CreatePackage(const TCHAR* PackageName)
{
	if (UPackage* Existing = FindPackage(nullptr, PackageName))
	{
		return Existing;
	}
	FStaticConstructObjectParameters Params(UPackage::StaticClass());
	Params.Name = FName(PackageName);
	Params.SetFlags = RF_Public;
	return static_cast<UPackage*>(StaticConstructObject_Internal(Params));
}
