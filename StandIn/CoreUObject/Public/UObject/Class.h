// The reflection data: UField (named, with metadata), UStruct (properties), UClass, UFunction,
// UScriptStruct and UEnum. All of it is made by the header tool's generated code and looked up by name.
#pragma once

#include "Containers/Map.h"
#include "Internationalization/Text.h"
#include "UObject/Object.h"

class FField;
class FProperty;

/** How a reflected structure's memory is made, destroyed and copied. */
struct FStructOps
{
	int32 Size = 0;
	int32 Alignment = 1;
	void (*Construct)(void* Dest) = nullptr;
	void (*Destruct)(void* Dest) = nullptr;
	void (*Copy)(void* Dest, const void* Src) = nullptr;
};

/** A named piece of reflection data with metadata (ToolTip, Category, DisplayName, ...). */
class UField : public UObject
{
public:
	using Super = UObject;
	using ThisClass = UField;
	static UClass* StaticClass();

	/** The next field of the same owner (functions of a class). */
	UField* Next = nullptr;

	/** @return the metadata value, or an empty string when the key is absent. */
	const FString& GetMetaData(const TCHAR* Key) const;
	const FString& GetMetaData(const FName& Key) const;
	bool HasMetaData(const TCHAR* Key) const { return FindMetaData(Key) != nullptr; }
	bool HasMetaData(const FName& Key) const { return FindMetaData(Key) != nullptr; }
	/** @return the value, or null when the key is absent. */
	const FString* FindMetaData(const TCHAR* Key) const { return FindMetaData(FName(Key)); }
	const FString* FindMetaData(const FName& Key) const { return MetaData.Find(Key); }
	void SetMetaData(const TCHAR* Key, const TCHAR* InValue) { MetaData.Add(FName(Key), FString(InValue)); }
	void SetMetaData(const FName& Key, const FString& InValue) { MetaData.Add(Key, InValue); }
	void RemoveMetaData(const TCHAR* Key) { MetaData.Remove(FName(Key)); }
	const TMap<FName, FString>& GetMetaDataMap() const { return MetaData; }

	/** The ToolTip metadata as text (empty when there is none). */
	FText GetToolTipText(bool bShortTooltip = false) const;

	/** The DisplayName metadata, or the name. */
	FText GetDisplayNameText() const;

	/** The class this field belongs to (itself for a class). */
	UClass* GetOwnerClass() const;

private:
	TMap<FName, FString> MetaData;
};

/** A reflected type with properties: the base of classes, functions and structures. */
class UStruct : public UField
{
public:
	using Super = UField;
	using ThisClass = UStruct;
	static UClass* StaticClass();

	~UStruct() override;

	UStruct* GetSuperStruct() const { return SuperStruct; }
	void SetSuperStruct(UStruct* NewSuperStruct) { SuperStruct = NewSuperStruct; }

	/** @return true if this is SomeBase or derives from it. */
	bool IsChildOf(const UStruct* SomeBase) const;
	template <class T>
	bool IsChildOf() const
	{
		return IsChildOf(T::StaticClass());
	}

	/** The first property declared by this type (not its super); walk on with FField::Next. */
	FField* ChildProperties = nullptr;

	/** The first function (for a class), walk on with UField::Next. */
	UField* Children = nullptr;

	/** @return the property of that name here or in a super type, or null. */
	FProperty* FindPropertyByName(FName InName) const;

	/** Size and alignment of the memory the type describes (for a function: its parameter block). */
	int32 GetPropertiesSize() const { return Ops.Size; }
	int32 GetStructureSize() const { return Ops.Size; }
	int32 GetMinAlignment() const { return Ops.Alignment; }

	/** Constructs the type's memory at Dest (parameters value-initialised). */
	virtual void InitializeStruct(void* Dest, int32 ArrayDim = 1) const;
	virtual void DestroyStruct(void* Dest, int32 ArrayDim = 1) const;
	void CopyScriptStruct(void* Dest, const void* Src, int32 ArrayDim = 1) const;

	/** @return the properties of this type, super types first when bIncludeSuper. */
	TArray<FProperty*> GetProperties(bool bIncludeSuper = true) const;

	FStructOps Ops;
	UStruct* SuperStruct = nullptr;
};

/** A reflected function: flags, parameters (properties of its parameter block) and the native thunk. */
class UFunction : public UStruct
{
public:
	using Super = UStruct;
	using ThisClass = UFunction;
	static UClass* StaticClass();

	/** Calls the native function: Context is the object (unused for statics), Parms the parameter block. */
	using FNativeThunk = void (*)(UObject* Context, void* Parms);

	EFunctionFlags FunctionFlags = FUNC_None;
	uint8 NumParms = 0;
	uint16 ParmsSize = 0;
	/** Offset of the return value in the parameter block; 0xffff when there is none. */
	uint16 ReturnValueOffset = 0xffff;
	FNativeThunk NativeThunk = nullptr;

	bool HasAnyFunctionFlags(EFunctionFlags FlagsToCheck) const { return (FunctionFlags & FlagsToCheck) != 0; }
	bool HasAllFunctionFlags(EFunctionFlags FlagsToCheck) const { return (FunctionFlags & FlagsToCheck) == FlagsToCheck; }

	/** @return the return value's property, or null for a function that returns nothing. */
	FProperty* GetReturnProperty() const;

	/** @return the class that declares the function (null for a delegate signature outside a class). */
	UClass* GetOwnerClass() const;

	/** Runs the native function on Obj with the parameter block; prefer UObject::ProcessEvent. */
	void Invoke(UObject* Obj, void* Parms) const;
};

/** Signature of a dynamic delegate: a function with no body. */
class UDelegateFunction : public UFunction
{
public:
	using Super = UFunction;
	static UClass* StaticClass();
};

/** A reflected structure (USTRUCT). */
class UScriptStruct : public UStruct
{
public:
	using Super = UStruct;
	using ThisClass = UScriptStruct;
	static UClass* StaticClass();
};

/** A reflected class: flags, configuration name, functions, properties and its class default object. */
class UClass : public UStruct
{
public:
	using Super = UStruct;
	using ThisClass = UClass;
	static UClass* StaticClass();

	using FConstructor = UObject* (*)();

	EClassFlags ClassFlags = CLASS_None;
	/** The configuration branch: "Engine" unless the class (or a super class) says config=... */
	FName ClassConfigName;
	FConstructor ClassConstructor = nullptr;
	UObject* ClassDefaultObject = nullptr;
	/** The reflected functions the class itself declares, by name. */
	TMap<FName, UFunction*> FuncMap;
	/** The number used for the next unnamed object of the class ("Class_N"). */
	int32 ClassUnique = 0;

	UClass* GetSuperClass() const { return static_cast<UClass*>(GetSuperStruct()); }

	bool HasAnyClassFlags(EClassFlags FlagsToCheck) const { return (ClassFlags & FlagsToCheck) != 0; }
	bool HasAllClassFlags(EClassFlags FlagsToCheck) const { return (ClassFlags & FlagsToCheck) == FlagsToCheck; }
	EClassFlags GetClassFlags() const { return ClassFlags; }

	/** The class default object, made (and its configuration read) on first use. Null for an abstract class. */
	UObject* GetDefaultObject(bool bCreateIfNeeded = true) const;
	template <class T>
	T* GetDefaultObject() const
	{
		return static_cast<T*>(GetDefaultObject());
	}

	/** @return the reflected function of that name, or null. */
	UFunction* FindFunctionByName(FName InName, EIncludeSuperFlag::Type IncludeSuper = EIncludeSuperFlag::IncludeSuper) const;

	/** "U" for object classes. */
	const TCHAR* GetPrefixCPP() const { return TEXT("U"); }

	/** The configuration file of the class: its branch name ("Game", "Engine", ...). */
	FString GetConfigName() const;
};

/** A reflected enum (UENUM): its values' names, numbers and metadata. */
class UEnum : public UField
{
public:
	using Super = UField;
	using ThisClass = UEnum;
	static UClass* StaticClass();

	enum class ECppForm
	{
		Regular,
		Namespaced,
		EnumClass
	};

	/** The C++ name of the enum, e.g. "EMyEnum". */
	FString CppType;

	/** Replaces the values; the generated code adds the "<Enum>_MAX" value after the last one. */
	bool SetEnums(TArray<TPair<FName, int64>>& InNames, ECppForm InCppForm, EEnumFlags InFlags = EEnumFlags::None, bool bAddMaxKeyIfMissing = true);

	ECppForm GetCppForm() const { return CppForm; }
	EEnumFlags GetEnumFlags() const { return EnumFlags; }
	bool HasAnyEnumFlags(EEnumFlags Flags) const { return EnumHasAnyFlags(EnumFlags, Flags); }

	/** The number of values, "_MAX" included. */
	int32 NumEnums() const { return Names.Num(); }

	FName GetNameByIndex(int32 Index) const;
	int64 GetValueByIndex(int32 Index) const;
	int32 GetIndexByValue(int64 InValue) const;
	int32 GetIndexByName(const FName InName, EGetByNameFlags Flags = EGetByNameFlags::None) const;
	int32 GetIndexByNameString(const FString& SearchString, EGetByNameFlags Flags = EGetByNameFlags::None) const;

	/** The short name ("Value", without "EMyEnum::"), or empty for an invalid index. */
	FString GetNameStringByIndex(int32 InIndex) const;
	FString GetAuthoredNameStringByIndex(int32 InIndex) const { return GetNameStringByIndex(InIndex); }

	/** The stored name ("EMyEnum::Value" for an enum class), or NAME_None when no value has that number. */
	FName GetNameByValue(int64 InValue) const;

	/** The short name ("Value"), or "" when no value has that number. */
	FString GetNameStringByValue(int64 InValue) const;
	FString GetAuthoredNameStringByValue(int64 InValue) const { return GetNameStringByValue(InValue); }

	/** DisplayName metadata of the value, else its short name; empty for an invalid number. */
	FText GetDisplayNameTextByValue(int64 InValue) const;
	FText GetDisplayNameTextByIndex(int32 InIndex) const;
	FText GetToolTipTextByIndex(int32 NameIndex) const;

	/** The number of the value with that name (short or stored), or INDEX_NONE. Names ignore case unless CaseSensitive. */
	int64 GetValueByName(FName InName, EGetByNameFlags Flags = EGetByNameFlags::None) const;
	int64 GetValueByNameString(const FString& SearchString, EGetByNameFlags Flags = EGetByNameFlags::None) const;

	bool IsValidEnumValue(int64 InValue) const;
	bool IsValidEnumName(FName InName) const { return GetIndexByName(InName) != INDEX_NONE; }

	/** The largest number, "_MAX" excluded. */
	int64 GetMaxEnumValue() const;

	/** Metadata of the enum (NameIndex INDEX_NONE) or of one value ("Value.Key"). */
	FString GetMetaData(const TCHAR* Key, int32 NameIndex = INDEX_NONE, bool bAllowRemap = true) const;
	bool HasMetaData(const TCHAR* Key, int32 NameIndex = INDEX_NONE) const;
	void SetMetaData(const TCHAR* Key, const TCHAR* InValue, int32 NameIndex = INDEX_NONE);

	/** The stored name of a value: "EMyEnum::Value" for a UENUM enum class. */
	template <typename EnumType>
	static FString GetValueAsString(const EnumType EnumeratorValue)
	{
		return StaticEnum<EnumType>()->GetNameByValue(static_cast<int64>(EnumeratorValue)).ToString();
	}

	template <typename EnumType>
	static FName GetValueAsName(const EnumType EnumeratorValue)
	{
		return StaticEnum<EnumType>()->GetNameByValue(static_cast<int64>(EnumeratorValue));
	}

	template <typename EnumType>
	static FText GetDisplayValueAsText(const EnumType EnumeratorValue)
	{
		return StaticEnum<EnumType>()->GetDisplayNameTextByValue(static_cast<int64>(EnumeratorValue));
	}

private:
	FString MetaDataKey(const TCHAR* Key, int32 NameIndex) const;

	TArray<TPair<FName, int64>> Names;
	ECppForm CppForm = ECppForm::Regular;
	EEnumFlags EnumFlags = EEnumFlags::None;
};

#include "UObject/UnrealType.h"
