#include "UObject/Object.h"

#include "Misc/ConfigCacheIni.h"
#include "ObjectRegistry.h"
#include "UObject/UnrealType.h"

DEFINE_LOG_CATEGORY_STATIC(LogObj, Log, All);

UObject::UObject() = default;

UObject::UObject(const FObjectInitializer& ObjectInitializer)
{
	(void)ObjectInitializer;
}

UObject::~UObject() = default;

void UObject::BeginDestroy()
{
	SetFlags(RF_BeginDestroyed);
}

void UObject::FinishDestroy()
{
	SetFlags(RF_FinishDestroyed);
}

UFunction* UObject::FindFunction(FName InName) const
{
	return GetClass() ? GetClass()->FindFunctionByName(InName) : nullptr;
}

UFunction* UObject::FindFunctionChecked(FName InName) const
{
	UFunction* Function = FindFunction(InName);
	if (!Function)
	{
		UE_LOG(LogObj, Fatal, TEXT("Failed to find function %s in %s"), *InName.ToString(), *GetFullName());
	}
	return Function;
}

void UObject::ProcessEvent(UFunction* Function, void* Parms)
{
	check(Function);
	UClass* OwnerClass = Function->GetOwnerClass();
	if (OwnerClass && !IsA(OwnerClass))
	{
		UE_LOG(LogObj, Fatal, TEXT("ProcessEvent: %s is not a function of %s"), *Function->GetPathName(), *GetFullName());
	}
	if (!Function->NativeThunk)
	{
		UE_LOG(LogObj, Fatal, TEXT("ProcessEvent: %s has no native body"), *Function->GetPathName());
	}
	checkf(Parms || Function->ParmsSize == 0, "ProcessEvent needs a parameter block for a function with parameters");
	Function->Invoke(this, Parms);
}

FString UObject::GetDefaultConfigFilename() const
{
	return GetClass()->GetConfigName();
}

void UObject::LoadConfig(UClass* ConfigClass, const TCHAR* Filename, uint32 PropagationFlags, FProperty* PropertyToLoad)
{
	(void)PropagationFlags;
	if (!ConfigClass)
	{
		ConfigClass = GetClass();
	}
	if (!ConfigClass->HasAnyClassFlags(CLASS_Config) || !GConfig)
	{
		return;
	}
	const FString ConfigFile = Filename ? FString(Filename) : ConfigClass->GetConfigName();
	for (FProperty* Property : ConfigClass->GetProperties(true))
	{
		if (!Property->HasAnyPropertyFlags(CPF_Config) || (PropertyToLoad && Property != PropertyToLoad))
		{
			continue;
		}
		// A GlobalConfig property is read from the section of the class that declares it.
		UClass* SectionClass = Property->HasAnyPropertyFlags(CPF_GlobalConfig) ? Property->GetOwnerClass() : ConfigClass;
		const FString Section = SectionClass->GetPathName();
		const FString Key = Property->GetName();
		void* Value = Property->ContainerPtrToValuePtr<void>(this);

		if (const FArrayProperty* ArrayProperty = CastField<FArrayProperty>(Property))
		{
			TArray<FString> Items;
			// As the engine does, an array with no values in the file keeps the values it has.
			if (GConfig->GetArray(*Section, *Key, Items, ConfigFile) == 0)
			{
				continue;
			}
			FScriptArrayHelper Helper(ArrayProperty, Value);
			Helper.EmptyValues();
			for (const FString& Item : Items)
			{
				const int32 Index = Helper.AddValue();
				if (!ArrayProperty->Inner->ImportText_Direct(*Item, Helper.GetRawPtr(Index), this, 0))
				{
					UE_LOG(LogObj, Warning, TEXT("%s: cannot read '%s' as an element of %s in [%s]"), *ConfigFile, *Item, *Key, *Section);
					Helper.Resize(Index);
				}
			}
			continue;
		}

		FString Text;
		if (!GConfig->GetString(*Section, *Key, Text, ConfigFile))
		{
			continue;
		}
		if (!Property->ImportText_Direct(*Text, Value, this, 0))
		{
			UE_LOG(LogObj, Warning, TEXT("%s: cannot read '%s' as the value of %s in [%s]; it keeps its default"), *ConfigFile, *Text, *Key, *Section);
		}
	}
}

void UObject::ReloadConfig(UClass* ConfigClass, const TCHAR* Filename, uint32 PropagationFlags, FProperty* PropertyToLoad)
{
	LoadConfig(ConfigClass, Filename, PropagationFlags, PropertyToLoad);
}
