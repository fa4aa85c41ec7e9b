#include "ObjectRegistry.h"
#include "UObject/GeneratedCppIncludes.h"

using namespace UE::CoreUObject::Private;

namespace UE::CodeGen::Private
{
	UClass* CreateClass(const TCHAR* PackageName, const TCHAR* Name, UClass* SuperClass, EClassFlags Flags, const TCHAR* ConfigName, size_t Size,
	                    UClass::FConstructor Constructor)
	{
		UPackage* Package = CreatePackage(PackageName);
		UClass* Class = NewNativeObject<UClass>(UClass::StaticClass(), Package, FName(Name));
		Class->SuperStruct = SuperClass;
		Class->ClassFlags = Flags | CLASS_Native | CLASS_Constructed;
		if (SuperClass)
		{
			Class->ClassFlags |= SuperClass->ClassFlags & CLASS_Inherit;
		}
		// The configuration name is inherited unless the class names its own ("Engine" at the root).
		Class->ClassConfigName = ConfigName ? FName(ConfigName) : SuperClass ? SuperClass->ClassConfigName : FName(TEXT("Engine"));
		if (ConfigName)
		{
			Class->ClassFlags |= CLASS_Config;
		}
		Class->ClassConstructor = Constructor;
		Class->Ops.Size = static_cast<int32>(Size);
		Class->Ops.Alignment = alignof(UObject);
		return Class;
	}

	UScriptStruct* CreateStruct(const TCHAR* PackageName, const TCHAR* Name, UScriptStruct* SuperStruct, const FStructOps& Ops)
	{
		UPackage* Package = CreatePackage(PackageName);
		UScriptStruct* Struct = NewNativeObject<UScriptStruct>(UScriptStruct::StaticClass(), Package, FName(Name));
		Struct->SuperStruct = SuperStruct;
		Struct->Ops = Ops;
		return Struct;
	}

	UFunction* AddFunction(UClass* Class, const TCHAR* Name, EFunctionFlags Flags, UFunction::FNativeThunk Thunk, const FStructOps& ParmsOps)
	{
		UFunction* Function = NewNativeObject<UFunction>(UFunction::StaticClass(), Class, FName(Name));
		Function->FunctionFlags = Flags;
		Function->NativeThunk = Thunk;
		Function->Ops = ParmsOps;
		UField** Tail = &Class->Children;
		while (*Tail)
		{
			Tail = &(*Tail)->Next;
		}
		*Tail = Function;
		Class->FuncMap.Add(Function->GetFName(), Function);
		return Function;
	}

	UFunction* CreateDelegateSignature(const TCHAR* PackageName, UClass* OuterClass, const TCHAR* Name, EFunctionFlags Flags, const FStructOps& ParmsOps)
	{
		UObject* Outer = OuterClass ? static_cast<UObject*>(OuterClass) : CreatePackage(PackageName);
		UDelegateFunction* Function = NewNativeObject<UDelegateFunction>(UDelegateFunction::StaticClass(), Outer, FName(Name));
		Function->FunctionFlags = Flags;
		Function->Ops = ParmsOps;
		return Function;
	}

	UEnum* CreateEnum(const TCHAR* PackageName, const TCHAR* Name, UEnum::ECppForm CppForm, EEnumFlags Flags, std::initializer_list<FEnumValueParam> Values)
	{
		UPackage* Package = CreatePackage(PackageName);
		UEnum* Enum = NewNativeObject<UEnum>(UEnum::StaticClass(), Package, FName(Name));
		Enum->CppType = Name;
		TArray<TPair<FName, int64>> Names;
		for (const FEnumValueParam& Value : Values)
		{
			Names.Add({FName(Value.Name), Value.Value});
		}
		Enum->SetEnums(Names, CppForm, Flags, true);
		return Enum;
	}

	void SetMetaData(UField* Field, std::initializer_list<FMetaDataPairParam> MetaData)
	{
		for (const FMetaDataPairParam& Pair : MetaData)
		{
			Field->UField::SetMetaData(FName(Pair.Key), FString(Pair.Value));
		}
	}

	void SetMetaData(FField* Field, std::initializer_list<FMetaDataPairParam> MetaData)
	{
		for (const FMetaDataPairParam& Pair : MetaData)
		{
			Field->SetMetaData(FName(Pair.Key), FString(Pair.Value));
		}
	}

	void FinishStruct(UStruct* Struct)
	{
		if (Struct->IsA(UFunction::StaticClass()))
		{
			UFunction* Function = static_cast<UFunction*>(Struct);
			Function->NumParms = 0;
			for (FField* Field = Function->ChildProperties; Field; Field = Field->Next)
			{
				FProperty* Property = static_cast<FProperty*>(Field);
				if (Property->HasAnyPropertyFlags(CPF_Parm))
				{
					++Function->NumParms;
				}
				if (Property->HasAnyPropertyFlags(CPF_ReturnParm))
				{
					Function->ReturnValueOffset = static_cast<uint16>(Property->GetOffset_ForUFunction());
				}
			}
			Function->ParmsSize = static_cast<uint16>(Function->Ops.Size);
		}
	}
} // namespace UE::CodeGen::Private
