#include "UObject/Class.h"

#include "ObjectRegistry.h"
#include "UObject/GeneratedCppIncludes.h"
#include "UObject/Package.h"
#include "UObject/UnrealType.h"

using namespace UE::CoreUObject::Private;

namespace
{
	const FString& EmptyString()
	{
		static const FString Empty;
		return Empty;
	}

	/** The object system's own classes, made together because each one's class is UClass. */
	struct FIntrinsicClasses
	{
		UClass* Object = nullptr;
		UClass* Field = nullptr;
		UClass* Struct = nullptr;
		UClass* Class = nullptr;
		UClass* Function = nullptr;
		UClass* DelegateFunction = nullptr;
		UClass* ScriptStruct = nullptr;
		UClass* Enum = nullptr;
		UClass* Package = nullptr;
		UPackage* CorePackage = nullptr;
	};

	template <typename T>
	UObject* ConstructIntrinsic()
	{
		return new T();
	}

	const FIntrinsicClasses& GetIntrinsicClasses()
	{
		static FIntrinsicClasses* Classes = nullptr;
		if (Classes)
		{
			return *Classes;
		}
		Classes = new FIntrinsicClasses();
		struct FSpec
		{
			UClass** Slot;
			const TCHAR* Name;
			UClass** Super;
			size_t Size;
			UClass::FConstructor Constructor;
			EClassFlags Flags;
		};
		const FSpec Specs[] = {
		    {&Classes->Object, TEXT("Object"), nullptr, sizeof(UObject), &ConstructIntrinsic<UObject>, CLASS_None},
		    {&Classes->Field, TEXT("Field"), &Classes->Object, sizeof(UField), nullptr, CLASS_Abstract},
		    {&Classes->Struct, TEXT("Struct"), &Classes->Field, sizeof(UStruct), nullptr, CLASS_Abstract},
		    {&Classes->Class, TEXT("Class"), &Classes->Struct, sizeof(UClass), nullptr, CLASS_None},
		    {&Classes->Function, TEXT("Function"), &Classes->Struct, sizeof(UFunction), nullptr, CLASS_None},
		    {&Classes->DelegateFunction, TEXT("DelegateFunction"), &Classes->Function, sizeof(UDelegateFunction), nullptr, CLASS_None},
		    {&Classes->ScriptStruct, TEXT("ScriptStruct"), &Classes->Struct, sizeof(UScriptStruct), nullptr, CLASS_None},
		    {&Classes->Enum, TEXT("Enum"), &Classes->Field, sizeof(UEnum), nullptr, CLASS_None},
		    {&Classes->Package, TEXT("Package"), &Classes->Object, sizeof(UPackage), &ConstructIntrinsic<UPackage>, CLASS_None},
		};
		for (const FSpec& Spec : Specs)
		{
			*Spec.Slot = NewNativeObject<UClass>(nullptr, nullptr, FName(Spec.Name));
		}
		Classes->CorePackage = NewNativeObject<UPackage>(Classes->Package, nullptr, FName(TEXT("/Script/CoreUObject")));
		for (const FSpec& Spec : Specs)
		{
			UClass* Class = *Spec.Slot;
			FObjectAccess::SetClass(Class, Classes->Class);
			FObjectAccess::SetOuter(Class, Classes->CorePackage);
			Class->SuperStruct = Spec.Super ? *Spec.Super : nullptr;
			Class->ClassFlags = Spec.Flags | CLASS_Native | CLASS_Intrinsic | CLASS_Constructed | CLASS_RequiredAPI;
			Class->ClassConfigName = FName(TEXT("Engine"));
			Class->ClassConstructor = Spec.Constructor;
			Class->Ops.Size = static_cast<int32>(Spec.Size);
			Class->Ops.Alignment = alignof(UObject);
		}
		return *Classes;
	}
} // namespace

namespace UE::CoreUObject::Private
{
	UPackage* GetCoreUObjectPackage()
	{
		return GetIntrinsicClasses().CorePackage;
	}
} // namespace UE::CoreUObject::Private

UClass* UObject::StaticClass()
{
	return GetIntrinsicClasses().Object;
}
UClass* UField::StaticClass()
{
	return GetIntrinsicClasses().Field;
}
UClass* UStruct::StaticClass()
{
	return GetIntrinsicClasses().Struct;
}
UClass* UClass::StaticClass()
{
	return GetIntrinsicClasses().Class;
}
UClass* UFunction::StaticClass()
{
	return GetIntrinsicClasses().Function;
}
UClass* UDelegateFunction::StaticClass()
{
	return GetIntrinsicClasses().DelegateFunction;
}
UClass* UScriptStruct::StaticClass()
{
	return GetIntrinsicClasses().ScriptStruct;
}
UClass* UEnum::StaticClass()
{
	return GetIntrinsicClasses().Enum;
}
UClass* UPackage::StaticClass()
{
	return GetIntrinsicClasses().Package;
}

// Declared-only references to the object system's own classes resolve here.
#define TRL_INTRINSIC_STATIC_CLASS(ClassName)                                                                                                                  \
	template <>                                                                                                                                                \
	UClass* UE::CodeGen::Private::GetPrivateStaticClassOf<ClassName>()                                                                                         \
	{                                                                                                                                                          \
		return ClassName::StaticClass();                                                                                                                       \
	}
TRL_INTRINSIC_STATIC_CLASS(UObject)
TRL_INTRINSIC_STATIC_CLASS(UClass)
TRL_INTRINSIC_STATIC_CLASS(UPackage)
TRL_INTRINSIC_STATIC_CLASS(UFunction)
TRL_INTRINSIC_STATIC_CLASS(UEnum)
TRL_INTRINSIC_STATIC_CLASS(UScriptStruct)
#undef TRL_INTRINSIC_STATIC_CLASS

// UField

const FString& UField::GetMetaData(const TCHAR* Key) const
{
	return GetMetaData(FName(Key));
}

const FString& UField::GetMetaData(const FName& Key) const
{
	const FString* Value = MetaData.Find(Key);
	return Value ? *Value : EmptyString();
}

FText UField::GetToolTipText(bool bShortTooltip) const
{
	const FString* ToolTip = bShortTooltip ? FindMetaData(TEXT("ShortToolTip")) : nullptr;
	if (!ToolTip)
	{
		ToolTip = FindMetaData(TEXT("ToolTip"));
	}
	return ToolTip ? FText::FromString(*ToolTip) : FText::GetEmpty();
}

FText UField::GetDisplayNameText() const
{
	const FString* DisplayName = FindMetaData(TEXT("DisplayName"));
	return FText::FromString(DisplayName ? *DisplayName : GetName());
}

UClass* UField::GetOwnerClass() const
{
	for (const UObject* Object = this; Object; Object = Object->GetOuter())
	{
		if (Object->GetClass() == UClass::StaticClass())
		{
			return const_cast<UClass*>(static_cast<const UClass*>(Object));
		}
	}
	return nullptr;
}

// UStruct

UStruct::~UStruct()
{
	FField* Property = ChildProperties;
	while (Property)
	{
		FField* Next = Property->Next;
		delete Property;
		Property = Next;
	}
}

bool UStruct::IsChildOf(const UStruct* SomeBase) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->GetSuperStruct())
	{
		if (Struct == SomeBase)
		{
			return true;
		}
	}
	return false;
}

FProperty* UStruct::FindPropertyByName(FName InName) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->GetSuperStruct())
	{
		for (FField* Field = Struct->ChildProperties; Field; Field = Field->Next)
		{
			if (Field->GetFName() == InName)
			{
				return static_cast<FProperty*>(Field);
			}
		}
	}
	return nullptr;
}

TArray<FProperty*> UStruct::GetProperties(bool bIncludeSuper) const
{
	TArray<FProperty*> Properties;
	if (bIncludeSuper && SuperStruct)
	{
		Properties = SuperStruct->GetProperties(true);
	}
	for (FField* Field = ChildProperties; Field; Field = Field->Next)
	{
		Properties.Add(static_cast<FProperty*>(Field));
	}
	return Properties;
}

void UStruct::InitializeStruct(void* Dest, int32 ArrayDim) const
{
	check(Ops.Construct || Ops.Size == 0);
	for (int32 Index = 0; Index < ArrayDim && Ops.Construct; ++Index)
	{
		Ops.Construct(static_cast<uint8*>(Dest) + Index * Ops.Size);
	}
}

void UStruct::DestroyStruct(void* Dest, int32 ArrayDim) const
{
	for (int32 Index = 0; Index < ArrayDim && Ops.Destruct; ++Index)
	{
		Ops.Destruct(static_cast<uint8*>(Dest) + Index * Ops.Size);
	}
}

void UStruct::CopyScriptStruct(void* Dest, const void* Src, int32 ArrayDim) const
{
	checkf(Ops.Copy || Ops.Size == 0, "This structure cannot be copied");
	for (int32 Index = 0; Index < ArrayDim && Ops.Copy; ++Index)
	{
		Ops.Copy(static_cast<uint8*>(Dest) + Index * Ops.Size, static_cast<const uint8*>(Src) + Index * Ops.Size);
	}
}

// UFunction

FProperty* UFunction::GetReturnProperty() const
{
	for (FField* Field = ChildProperties; Field; Field = Field->Next)
	{
		FProperty* Property = static_cast<FProperty*>(Field);
		if (Property->HasAnyPropertyFlags(CPF_ReturnParm))
		{
			return Property;
		}
	}
	return nullptr;
}

UClass* UFunction::GetOwnerClass() const
{
	UObject* Outer = GetOuter();
	return Outer && Outer->GetClass() == UClass::StaticClass() ? static_cast<UClass*>(Outer) : nullptr;
}

void UFunction::Invoke(UObject* Obj, void* Parms) const
{
	checkf(NativeThunk, "This function has no native body (a delegate signature?)");
	NativeThunk(Obj, Parms);
}

// UClass

UFunction* UClass::FindFunctionByName(FName InName, EIncludeSuperFlag::Type IncludeSuper) const
{
	for (const UClass* Class = this; Class; Class = Class->GetSuperClass())
	{
		if (UFunction* const* Found = Class->FuncMap.Find(InName))
		{
			return *Found;
		}
		if (IncludeSuper == EIncludeSuperFlag::ExcludeSuper)
		{
			break;
		}
	}
	return nullptr;
}

FString UClass::GetConfigName() const
{
	return ClassConfigName.ToString();
}

// UEnum

bool UEnum::SetEnums(TArray<TPair<FName, int64>>& InNames, ECppForm InCppForm, EEnumFlags InFlags, bool bAddMaxKeyIfMissing)
{
	Names = InNames;
	CppForm = InCppForm;
	EnumFlags = InFlags;
	if (bAddMaxKeyIfMissing)
	{
		// Every reflected enum ends in "<Enum>_MAX", one past its largest value.
		const FString MaxShortName = CppType + TEXT("_MAX");
		const FString MaxName = CppForm == ECppForm::Regular ? MaxShortName : CppType + TEXT("::") + MaxShortName;
		if (GetIndexByName(FName(MaxName)) == INDEX_NONE)
		{
			int64 MaxValue = 0;
			for (const TPair<FName, int64>& Pair : Names)
			{
				MaxValue = std::max(MaxValue, Pair.Value + 1);
			}
			Names.Add({FName(MaxName), MaxValue});
		}
	}
	return true;
}

FName UEnum::GetNameByIndex(int32 Index) const
{
	return Names.IsValidIndex(Index) ? Names[Index].Key : FName();
}

int64 UEnum::GetValueByIndex(int32 Index) const
{
	return Names.IsValidIndex(Index) ? Names[Index].Value : static_cast<int64>(INDEX_NONE);
}

int32 UEnum::GetIndexByValue(int64 InValue) const
{
	for (int32 Index = 0; Index < Names.Num(); ++Index)
	{
		if (Names[Index].Value == InValue)
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

FString UEnum::GetNameStringByIndex(int32 InIndex) const
{
	if (!Names.IsValidIndex(InIndex))
	{
		return FString();
	}
	FString Name = Names[InIndex].Key.ToString();
	const int32 Separator = Name.Find(TEXT("::"), ESearchCase::CaseSensitive);
	return Separator == INDEX_NONE ? Name : Name.RightChop(Separator + 2);
}

int32 UEnum::GetIndexByNameString(const FString& SearchString, EGetByNameFlags Flags) const
{
	const ESearchCase::Type SearchCase = EnumHasAnyFlags(Flags, EGetByNameFlags::CaseSensitive) ? ESearchCase::CaseSensitive : ESearchCase::IgnoreCase;
	const bool bQualified = SearchString.Contains(TEXT("::"), ESearchCase::CaseSensitive);
	for (int32 Index = 0; Index < Names.Num(); ++Index)
	{
		const FString Candidate = bQualified ? Names[Index].Key.ToString() : GetNameStringByIndex(Index);
		if (Candidate.Equals(SearchString, SearchCase))
		{
			return Index;
		}
	}
	// A qualified name may also be given for a regular enum: compare its short part.
	if (bQualified && CppForm == ECppForm::Regular)
	{
		const int32 Separator = SearchString.Find(TEXT("::"), ESearchCase::CaseSensitive);
		return GetIndexByNameString(SearchString.RightChop(Separator + 2), Flags);
	}
	return INDEX_NONE;
}

int32 UEnum::GetIndexByName(const FName InName, EGetByNameFlags Flags) const
{
	return GetIndexByNameString(InName.ToString(), Flags);
}

FName UEnum::GetNameByValue(int64 InValue) const
{
	return GetNameByIndex(GetIndexByValue(InValue));
}

FString UEnum::GetNameStringByValue(int64 InValue) const
{
	return GetNameStringByIndex(GetIndexByValue(InValue));
}

FText UEnum::GetDisplayNameTextByIndex(int32 InIndex) const
{
	if (!Names.IsValidIndex(InIndex))
	{
		return FText::GetEmpty();
	}
	if (HasMetaData(TEXT("DisplayName"), InIndex))
	{
		return FText::FromString(GetMetaData(TEXT("DisplayName"), InIndex));
	}
	return FText::FromString(GetNameStringByIndex(InIndex));
}

FText UEnum::GetDisplayNameTextByValue(int64 InValue) const
{
	return GetDisplayNameTextByIndex(GetIndexByValue(InValue));
}

FText UEnum::GetToolTipTextByIndex(int32 NameIndex) const
{
	return Names.IsValidIndex(NameIndex) ? FText::FromString(GetMetaData(TEXT("ToolTip"), NameIndex)) : FText::GetEmpty();
}

int64 UEnum::GetValueByName(FName InName, EGetByNameFlags Flags) const
{
	return GetValueByIndex(GetIndexByName(InName, Flags));
}

int64 UEnum::GetValueByNameString(const FString& SearchString, EGetByNameFlags Flags) const
{
	const int32 Index = GetIndexByNameString(SearchString, Flags);
	return Index == INDEX_NONE ? static_cast<int64>(INDEX_NONE) : Names[Index].Value;
}

bool UEnum::IsValidEnumValue(int64 InValue) const
{
	return GetIndexByValue(InValue) != INDEX_NONE;
}

int64 UEnum::GetMaxEnumValue() const
{
	int64 MaxValue = 0;
	for (int32 Index = 0; Index + 1 < Names.Num(); ++Index)
	{
		MaxValue = Index == 0 ? Names[Index].Value : std::max(MaxValue, Names[Index].Value);
	}
	return MaxValue;
}

FString UEnum::MetaDataKey(const TCHAR* Key, int32 NameIndex) const
{
	return NameIndex == INDEX_NONE ? FString(Key) : GetNameStringByIndex(NameIndex) + TEXT(".") + Key;
}

FString UEnum::GetMetaData(const TCHAR* Key, int32 NameIndex, bool bAllowRemap) const
{
	(void)bAllowRemap;
	return UField::GetMetaData(FName(MetaDataKey(Key, NameIndex)));
}

bool UEnum::HasMetaData(const TCHAR* Key, int32 NameIndex) const
{
	return UField::HasMetaData(FName(MetaDataKey(Key, NameIndex)));
}

void UEnum::SetMetaData(const TCHAR* Key, const TCHAR* InValue, int32 NameIndex)
{
	UField::SetMetaData(FName(MetaDataKey(Key, NameIndex)), FString(InValue));
}
