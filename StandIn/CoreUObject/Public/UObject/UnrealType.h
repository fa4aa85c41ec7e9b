// Properties: the reflected members of classes and structures and the parameters of functions. Each
// knows its name, flags, offset in its container and how to make, copy, compare, read and write its value.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Internationalization/Text.h"
#include "UObject/Class.h"
#include "UObject/ObjectPtr.h"
#include "UObject/ScriptDelegates.h"
#include "UObject/WeakObjectPtr.h"
#include <new>
#include <type_traits>

class FOutputDevice;

/** How a value of one C++ type is made, destroyed, copied and compared. */
struct FPropertyValueOps
{
	int32 Size = 0;
	int32 Alignment = 1;
	void (*Construct)(void* Dest) = nullptr;
	void (*Destruct)(void* Dest) = nullptr;
	void (*Copy)(void* Dest, const void* Src) = nullptr;
	bool (*Identical)(const void* A, const void* B) = nullptr;
};

namespace UE::CoreUObject::Private
{
	template <typename T>
	bool AreIdentical(const T& A, const T& B)
	{
		if constexpr (std::is_same_v<T, FString>)
		{
			return A.Equals(B, ESearchCase::CaseSensitive);
		}
		else if constexpr (std::is_same_v<T, FText>)
		{
			return A.IdenticalTo(B) || A.ToString().Equals(B.ToString(), ESearchCase::CaseSensitive);
		}
		else if constexpr (TIsTArray<T>::value)
		{
			// Element by element, as the array's inner property compares them.
			if (A.Num() != B.Num())
			{
				return false;
			}
			for (int32 Index = 0; Index < A.Num(); ++Index)
			{
				if (!AreIdentical(A[Index], B[Index]))
				{
					return false;
				}
			}
			return true;
		}
		else if constexpr (requires { A == B; })
		{
			return static_cast<bool>(A == B);
		}
		else
		{
			return false;
		}
	}

	template <typename T>
	const FPropertyValueOps& GetValueOps()
	{
		static const FPropertyValueOps Ops = {
		    static_cast<int32>(sizeof(T)),
		    static_cast<int32>(alignof(T)),
		    [](void* Dest) {
			    new (Dest) T();
		    },
		    [](void* Dest) {
			    static_cast<T*>(Dest)->~T();
		    },
		    [](void* Dest, const void* Src) {
			    *static_cast<T*>(Dest) = *static_cast<const T*>(Src);
		    },
		    [](const void* A, const void* B) {
			    return AreIdentical(*static_cast<const T*>(A), *static_cast<const T*>(B));
		    },
		};
		return Ops;
	}

	/** Sees each object a property value refers to; returns what the reference should hold afterwards. */
	class FObjectReferenceVisitor
	{
	public:
		virtual ~FObjectReferenceVisitor() = default;
		virtual UObject* Visit(UObject* Referenced) = 0;
	};
} // namespace UE::CoreUObject::Private

/** A reflected member: the base of properties. */
class FField
{
public:
	FField(UStruct* InOwner, FName InName, EPropertyFlags InFlags);
	virtual ~FField() = default;
	FField(const FField&) = delete;
	FField& operator=(const FField&) = delete;

	FName GetFName() const { return NamePrivate; }
	FString GetName() const { return NamePrivate.ToString(); }
	FString GetAuthoredName() const { return GetName(); }

	/** The class, function or structure that declares it (that of the outer property for an inner one). */
	UStruct* GetOwnerStruct() const;
	UClass* GetOwnerClass() const;
	/** The property that contains this one (the element of an array), or null. */
	FField* GetOwnerProperty() const { return OwnerField; }

	/** The next member of the same owner. */
	FField* Next = nullptr;

	const FString& GetMetaData(const TCHAR* Key) const;
	const FString& GetMetaData(const FName& Key) const;
	const FString* FindMetaData(const TCHAR* Key) const { return MetaData.Find(FName(Key)); }
	const FString* FindMetaData(const FName& Key) const { return MetaData.Find(Key); }
	bool HasMetaData(const TCHAR* Key) const { return FindMetaData(Key) != nullptr; }
	bool HasMetaData(const FName& Key) const { return FindMetaData(Key) != nullptr; }
	void SetMetaData(const TCHAR* Key, const TCHAR* InValue) { MetaData.Add(FName(Key), FString(InValue)); }
	void SetMetaData(const FName& Key, const FString& InValue) { MetaData.Add(Key, InValue); }
	const TMap<FName, FString>* GetMetaDataMap() const { return &MetaData; }

	FText GetToolTipText(bool bShortTooltip = false) const;
	FText GetDisplayNameText() const;

	/** The name of the field's kind, e.g. "StrProperty". */
	virtual FString GetClassName() const = 0;

	template <typename FieldType>
	bool IsA() const
	{
		return dynamic_cast<const FieldType*>(this) != nullptr;
	}

protected:
	friend class FArrayProperty;
	friend class FEnumProperty;
	UStruct* Owner = nullptr;
	FField* OwnerField = nullptr;

private:
	FName NamePrivate;
	TMap<FName, FString> MetaData;
};

template <typename FieldType>
FieldType* CastField(FField* Field)
{
	return dynamic_cast<FieldType*>(Field);
}

template <typename FieldType>
const FieldType* CastField(const FField* Field)
{
	return dynamic_cast<const FieldType*>(Field);
}

template <typename FieldType>
FieldType* CastFieldChecked(FField* Field)
{
	FieldType* Result = dynamic_cast<FieldType*>(Field);
	checkf(Result, "CastFieldChecked: the field is not of the requested kind");
	return Result;
}

/** A reflected property: where its value lives in a container and how to handle it. */
class FProperty : public FField
{
public:
	FProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps);

	int32 ArrayDim = 1;
	int32 ElementSize = 0;
	EPropertyFlags PropertyFlags = CPF_None;

	EPropertyFlags GetPropertyFlags() const { return PropertyFlags; }
	void SetPropertyFlags(EPropertyFlags NewFlags) { PropertyFlags |= NewFlags; }
	void ClearPropertyFlags(EPropertyFlags FlagsToClear) { PropertyFlags &= ~FlagsToClear; }
	bool HasAnyPropertyFlags(EPropertyFlags FlagsToCheck) const { return (PropertyFlags & FlagsToCheck) != 0; }
	bool HasAllPropertyFlags(EPropertyFlags FlagsToCheck) const { return (PropertyFlags & FlagsToCheck) == FlagsToCheck; }

	/** Offset of the value in its container (object, structure or parameter block). */
	int32 GetOffset_ForInternal() const { return Offset; }
	int32 GetOffset_ForUFunction() const { return Offset; }
	int32 GetSize() const { return ElementSize * ArrayDim; }
	int32 GetElementSize() const { return ElementSize; }
	int32 GetMinAlignment() const { return Ops->Alignment; }

	template <typename ValueType>
	ValueType* ContainerPtrToValuePtr(void* ContainerPtr, int32 ArrayIndex = 0) const
	{
		return reinterpret_cast<ValueType*>(static_cast<uint8*>(ContainerPtr) + Offset + ArrayIndex * ElementSize);
	}
	template <typename ValueType>
	const ValueType* ContainerPtrToValuePtr(const void* ContainerPtr, int32 ArrayIndex = 0) const
	{
		return reinterpret_cast<const ValueType*>(static_cast<const uint8*>(ContainerPtr) + Offset + ArrayIndex * ElementSize);
	}

	void InitializeValue(void* Dest) const { Ops->Construct(Dest); }
	void InitializeValue_InContainer(void* Container) const { InitializeValue(ContainerPtrToValuePtr<void>(Container)); }
	void DestroyValue(void* Dest) const { Ops->Destruct(Dest); }
	void DestroyValue_InContainer(void* Container) const { DestroyValue(ContainerPtrToValuePtr<void>(Container)); }
	void CopySingleValue(void* Dest, const void* Src) const { Ops->Copy(Dest, Src); }
	void CopyCompleteValue(void* Dest, const void* Src) const { Ops->Copy(Dest, Src); }
	void CopyCompleteValue_InContainer(void* Dest, const void* Src) const
	{
		CopyCompleteValue(ContainerPtrToValuePtr<void>(Dest), ContainerPtrToValuePtr<void>(Src));
	}
	bool Identical(const void* A, const void* B, uint32 PortFlags = 0) const;
	bool Identical_InContainer(const void* A, const void* B, int32 ArrayIndex = 0, uint32 PortFlags = 0) const
	{
		return Identical(ContainerPtrToValuePtr<void>(A, ArrayIndex), ContainerPtrToValuePtr<void>(B, ArrayIndex), PortFlags);
	}

	/** Writes the value as text (the form configuration files use). */
	virtual void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void* DefaultValue, UObject* Parent, int32 PortFlags,
	                                   UObject* ExportRootScope = nullptr) const = 0;
	void ExportTextItem_InContainer(FString& ValueStr, const void* Container, const void* DefaultValue, UObject* Parent, int32 PortFlags,
	                                UObject* ExportRootScope = nullptr) const
	{
		ExportTextItem_Direct(ValueStr, ContainerPtrToValuePtr<void>(Container), DefaultValue, Parent, PortFlags, ExportRootScope);
	}

	/**
	 * Reads the value from text. @return the text after what was read, or null (value unchanged) when the
	 * text is not a value of this property; the reason goes to ErrorText when given.
	 */
	const TCHAR* ImportText_Direct(const TCHAR* Buffer, void* PropertyPtr, UObject* OwnerObject, int32 PortFlags, FOutputDevice* ErrorText = nullptr) const;
	const TCHAR* ImportText_InContainer(const TCHAR* Buffer, void* Container, UObject* OwnerObject, int32 PortFlags, FOutputDevice* ErrorText = nullptr) const
	{
		return ImportText_Direct(Buffer, ContainerPtrToValuePtr<void>(Container), OwnerObject, PortFlags, ErrorText);
	}

	/** The C++ type, e.g. "FString" or "TObjectPtr<UMyClass>". */
	virtual FString GetCPPType(FString* ExtendedTypeText = nullptr, uint32 CPPExportFlags = 0) const = 0;

	/** Lets the garbage collector see (and clear) the objects this value refers to. */
	virtual void VisitObjectReferences(void* Value, UE::CoreUObject::Private::FObjectReferenceVisitor& Visitor) const;

	/** Whether a value may refer to objects at all. */
	virtual bool ContainsObjectReference() const { return false; }

protected:
	/** Reads Buffer (whole, trimmed) into Data; returns false when the text is not a value of this property. */
	virtual bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const = 0;

	int32 Offset = 0;
	const FPropertyValueOps* Ops = nullptr;
};

/** A property holding one C++ type T, with typed access to its value. */
template <typename InTCppType, typename TInPropertyBaseClass = FProperty>
class TProperty : public TInPropertyBaseClass
{
public:
	using TCppType = InTCppType;

	TProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset)
	    : TInPropertyBaseClass(InOwner, InName, InFlags, InOffset, UE::CoreUObject::Private::GetValueOps<TCppType>())
	{
	}

	static TCppType GetPropertyValue(const void* A) { return *static_cast<const TCppType*>(A); }
	static void SetPropertyValue(void* A, const TCppType& Value) { *static_cast<TCppType*>(A) = Value; }
	static TCppType* GetPropertyValuePtr(void* A) { return static_cast<TCppType*>(A); }
	static const TCppType* GetPropertyValuePtr(const void* A) { return static_cast<const TCppType*>(A); }

	TCppType GetPropertyValue_InContainer(const void* Container, int32 ArrayIndex = 0) const
	{
		return *this->template ContainerPtrToValuePtr<TCppType>(Container, ArrayIndex);
	}
	void SetPropertyValue_InContainer(void* Container, const TCppType& Value, int32 ArrayIndex = 0) const
	{
		*this->template ContainerPtrToValuePtr<TCppType>(Container, ArrayIndex) = Value;
	}
	TCppType* GetPropertyValuePtr_InContainer(void* Container, int32 ArrayIndex = 0) const
	{
		return this->template ContainerPtrToValuePtr<TCppType>(Container, ArrayIndex);
	}
	const TCppType* GetPropertyValuePtr_InContainer(const void* Container, int32 ArrayIndex = 0) const
	{
		return this->template ContainerPtrToValuePtr<TCppType>(Container, ArrayIndex);
	}
};

/** A number: integer or floating point. */
class FNumericProperty : public FProperty
{
public:
	using FProperty::FProperty;

	virtual bool IsInteger() const = 0;
	bool IsFloatingPoint() const { return !IsInteger(); }
	/** The enum an integer property names values of (a byte property of a TEnumAsByte), or null. */
	virtual UEnum* GetIntPropertyEnum() const { return nullptr; }

	virtual int64 GetSignedIntPropertyValue(const void* Data) const = 0;
	virtual uint64 GetUnsignedIntPropertyValue(const void* Data) const = 0;
	virtual double GetFloatingPointPropertyValue(const void* Data) const = 0;
	virtual void SetIntPropertyValue(void* Data, int64 Value) const = 0;
	virtual void SetIntPropertyValue(void* Data, uint64 Value) const = 0;
	virtual void SetFloatingPointPropertyValue(void* Data, double Value) const = 0;
	virtual FString GetNumericPropertyValueToString(const void* Data) const = 0;
};

/** A number of C++ type T. */
template <typename T>
class TProperty_Numeric : public TProperty<T, FNumericProperty>
{
public:
	using TProperty<T, FNumericProperty>::TProperty;

	bool IsInteger() const override { return std::is_integral_v<T>; }
	int64 GetSignedIntPropertyValue(const void* Data) const override { return static_cast<int64>(*static_cast<const T*>(Data)); }
	uint64 GetUnsignedIntPropertyValue(const void* Data) const override { return static_cast<uint64>(*static_cast<const T*>(Data)); }
	double GetFloatingPointPropertyValue(const void* Data) const override { return static_cast<double>(*static_cast<const T*>(Data)); }
	void SetIntPropertyValue(void* Data, int64 Value) const override { *static_cast<T*>(Data) = static_cast<T>(Value); }
	void SetIntPropertyValue(void* Data, uint64 Value) const override { *static_cast<T*>(Data) = static_cast<T>(Value); }
	void SetFloatingPointPropertyValue(void* Data, double Value) const override { *static_cast<T*>(Data) = static_cast<T>(Value); }
	FString GetNumericPropertyValueToString(const void* Data) const override;
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override
	{
		ValueStr += GetNumericPropertyValueToString(PropertyValue);
	}
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

#define TRL_DECLARE_NUMERIC_PROPERTY(ClassName, Type, KindName)                                                                                                \
	class ClassName : public TProperty_Numeric<Type>                                                                                                           \
	{                                                                                                                                                          \
	public:                                                                                                                                                    \
		using TProperty_Numeric<Type>::TProperty_Numeric;                                                                                                      \
		FString GetClassName() const override { return TEXT(KindName); }                                                                                       \
	};

TRL_DECLARE_NUMERIC_PROPERTY(FInt8Property, int8, "Int8Property")
TRL_DECLARE_NUMERIC_PROPERTY(FInt16Property, int16, "Int16Property")
TRL_DECLARE_NUMERIC_PROPERTY(FIntProperty, int32, "IntProperty")
TRL_DECLARE_NUMERIC_PROPERTY(FInt64Property, int64, "Int64Property")
TRL_DECLARE_NUMERIC_PROPERTY(FUInt16Property, uint16, "UInt16Property")
TRL_DECLARE_NUMERIC_PROPERTY(FUInt32Property, uint32, "UInt32Property")
TRL_DECLARE_NUMERIC_PROPERTY(FUInt64Property, uint64, "UInt64Property")
TRL_DECLARE_NUMERIC_PROPERTY(FFloatProperty, float, "FloatProperty")
TRL_DECLARE_NUMERIC_PROPERTY(FDoubleProperty, double, "DoubleProperty")
#undef TRL_DECLARE_NUMERIC_PROPERTY

/** A byte, or the value of an enum held as a byte when Enum is set. */
class FByteProperty : public TProperty_Numeric<uint8>
{
public:
	using TProperty_Numeric<uint8>::TProperty_Numeric;
	UEnum* Enum = nullptr;
	UEnum* GetIntPropertyEnum() const override { return Enum; }
	FString GetClassName() const override { return TEXT("ByteProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void* DefaultValue, UObject* Parent, int32 PortFlags,
	                           UObject* ExportRootScope = nullptr) const override;

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

/** A native bool. */
class FBoolProperty : public TProperty<bool>
{
public:
	using TProperty<bool>::TProperty;
	FString GetClassName() const override { return TEXT("BoolProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override { return TEXT("bool"); }

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

class FStrProperty : public TProperty<FString>
{
public:
	using TProperty<FString>::TProperty;
	FString GetClassName() const override { return TEXT("StrProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override { return TEXT("FString"); }

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

class FNameProperty : public TProperty<FName>
{
public:
	using TProperty<FName>::TProperty;
	FString GetClassName() const override { return TEXT("NameProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override { return TEXT("FName"); }

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

class FTextProperty : public TProperty<FText>
{
public:
	using TProperty<FText>::TProperty;
	FString GetClassName() const override { return TEXT("TextProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override { return TEXT("FText"); }

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

/** A UENUM value, stored as its underlying integer. */
class FEnumProperty : public FProperty
{
public:
	FEnumProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps, UEnum* InEnum,
	              FNumericProperty* InUnderlyingProp);
	~FEnumProperty() override;

	UEnum* GetEnum() const { return Enum; }
	/** The integer property of the underlying type (FByteProperty for uint8). */
	FNumericProperty* GetUnderlyingProperty() const { return UnderlyingProp; }

	FString GetClassName() const override { return TEXT("EnumProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;

private:
	UEnum* Enum = nullptr;
	FNumericProperty* UnderlyingProp = nullptr;
};

/** A reference to an object, raw or TObjectPtr; a strong reference for the garbage collector. */
class FObjectPropertyBase : public FProperty
{
public:
	using FGetter = UObject* (*)(const void* Value);
	using FSetter = void (*)(void* Value, UObject* Object);

	FObjectPropertyBase(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps, UClass* InPropertyClass,
	                    FGetter InGetter, FSetter InSetter);

	/** The class the referenced object must be of. */
	UClass* PropertyClass = nullptr;

	UObject* GetObjectPropertyValue(const void* PropertyValueAddress) const { return Getter(PropertyValueAddress); }
	UObject* GetObjectPropertyValue_InContainer(const void* Container, int32 ArrayIndex = 0) const
	{
		return GetObjectPropertyValue(ContainerPtrToValuePtr<void>(Container, ArrayIndex));
	}
	/** Stores Value, which must be null or of PropertyClass. */
	void SetObjectPropertyValue(void* PropertyValueAddress, UObject* Value) const;
	void SetObjectPropertyValue_InContainer(void* Container, UObject* Value, int32 ArrayIndex = 0) const
	{
		SetObjectPropertyValue(ContainerPtrToValuePtr<void>(Container, ArrayIndex), Value);
	}

	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;

	FGetter Getter;
	FSetter Setter;
};

class FObjectProperty : public FObjectPropertyBase
{
public:
	using FObjectPropertyBase::FObjectPropertyBase;
	FString GetClassName() const override { return TEXT("ObjectProperty"); }
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;
	void VisitObjectReferences(void* Value, UE::CoreUObject::Private::FObjectReferenceVisitor& Visitor) const override;
	bool ContainsObjectReference() const override { return true; }
};

/** A TWeakObjectPtr: never keeps its object alive. */
class FWeakObjectProperty : public FObjectPropertyBase
{
public:
	using FObjectPropertyBase::FObjectPropertyBase;
	FString GetClassName() const override { return TEXT("WeakObjectProperty"); }
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;
};

/** A TArray of values of the Inner property. */
class FArrayProperty : public FProperty
{
public:
	struct FArrayOps
	{
		int32 (*Num)(const void* Array) = nullptr;
		void* (*GetData)(void* Array) = nullptr;
		void (*Resize)(void* Array, int32 NewNum) = nullptr;
	};

	FArrayProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps, const FArrayOps& InArrayOps);
	~FArrayProperty() override;

	/** The property describing one element (offset 0 inside the element). */
	FProperty* Inner = nullptr;
	void SetInner(FProperty* InInner);

	FString GetClassName() const override { return TEXT("ArrayProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;
	void VisitObjectReferences(void* Value, UE::CoreUObject::Private::FObjectReferenceVisitor& Visitor) const override;
	bool ContainsObjectReference() const override { return Inner && Inner->ContainsObjectReference(); }

	const FArrayOps& GetArrayOps() const { return ArrayOps; }

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;

private:
	FArrayOps ArrayOps;
};

/** Reads and resizes the array a FArrayProperty describes. */
class FScriptArrayHelper
{
public:
	FScriptArrayHelper(const FArrayProperty* InProperty, const void* InArray)
	    : Property(InProperty)
	    , Array(const_cast<void*>(InArray))
	{
	}

	int32 Num() const { return Property->GetArrayOps().Num(Array); }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Num(); }
	uint8* GetRawPtr(int32 Index = 0) const { return static_cast<uint8*>(Property->GetArrayOps().GetData(Array)) + Index * Property->Inner->ElementSize; }
	void Resize(int32 NewNum) const { Property->GetArrayOps().Resize(Array, NewNum); }
	void EmptyValues() const { Resize(0); }
	/** Adds one value-initialised element; @return its index. */
	int32 AddValue() const
	{
		const int32 Index = Num();
		Resize(Index + 1);
		return Index;
	}

private:
	const FArrayProperty* Property;
	void* Array;
};

/** A USTRUCT value. */
class FStructProperty : public FProperty
{
public:
	FStructProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps, UScriptStruct* InStruct);

	UScriptStruct* Struct = nullptr;

	FString GetClassName() const override { return TEXT("StructProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;
	void VisitObjectReferences(void* Value, UE::CoreUObject::Private::FObjectReferenceVisitor& Visitor) const override;
	bool ContainsObjectReference() const override { return true; }

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

/** A dynamic multicast delegate member (UPROPERTY(BlueprintAssignable) FOnSomething OnSomething). */
class FMulticastInlineDelegateProperty : public FProperty
{
public:
	FMulticastInlineDelegateProperty(UStruct* InOwner, FName InName, EPropertyFlags InFlags, int32 InOffset, const FPropertyValueOps& InOps,
	                                 UFunction* InSignatureFunction);

	UFunction* SignatureFunction = nullptr;

	/** The delegate a value address holds. */
	const FMulticastScriptDelegate* GetMulticastDelegate(const void* PropertyValue) const
	{
		return static_cast<const FMulticastScriptDelegate*>(PropertyValue);
	}
	FMulticastScriptDelegate* GetMulticastDelegate(void* PropertyValue) const { return static_cast<FMulticastScriptDelegate*>(PropertyValue); }

	FString GetClassName() const override { return TEXT("MulticastInlineDelegateProperty"); }
	void ExportTextItem_Direct(FString& ValueStr, const void* PropertyValue, const void*, UObject*, int32, UObject* = nullptr) const override;
	FString GetCPPType(FString* = nullptr, uint32 = 0) const override;

protected:
	bool ImportTextValue(const FString& Text, void* Data, FString& OutError) const override;
};

using FMulticastDelegateProperty = FMulticastInlineDelegateProperty;

namespace EFieldIteratorFlags
{
	enum SuperClassFlags
	{
		ExcludeSuper = 0,
		IncludeSuper
	};
} // namespace EFieldIteratorFlags

/**
 * Walks the properties (FProperty and its kinds) or functions (UFunction) of a type in declaration
 * order, then those of its super types when IncludeSuper.
 */
template <class T>
class TFieldIterator
{
public:
	explicit TFieldIterator(const UStruct* InStruct, EFieldIteratorFlags::SuperClassFlags SuperClassFlags = EFieldIteratorFlags::IncludeSuper)
	    : Struct(InStruct)
	    , bIncludeSuper(SuperClassFlags == EFieldIteratorFlags::IncludeSuper)
	{
		Current = First(Struct);
		SkipToMatch();
	}

	explicit operator bool() const { return Current != nullptr; }
	bool operator!() const { return Current == nullptr; }
	T* operator*() const { return Cast(Current); }
	T* operator->() const { return Cast(Current); }
	TFieldIterator& operator++()
	{
		Current = NextOf(Current);
		SkipToMatch();
		return *this;
	}

private:
	static constexpr bool bIsProperty = std::is_base_of_v<FField, T>;
	using FNode = std::conditional_t<bIsProperty, FField, UField>;

	static FNode* First(const UStruct* InStruct)
	{
		if (!InStruct)
		{
			return nullptr;
		}
		if constexpr (bIsProperty)
		{
			return InStruct->ChildProperties;
		}
		else
		{
			return InStruct->Children;
		}
	}

	static T* Cast(FNode* Node)
	{
		if constexpr (bIsProperty)
		{
			return dynamic_cast<T*>(Node);
		}
		else
		{
			return dynamic_cast<T*>(static_cast<UObject*>(Node));
		}
	}

	FNode* NextOf(FNode* Node) { return Node ? Node->Next : nullptr; }

	void SkipToMatch()
	{
		while (true)
		{
			while (Current && !Cast(Current))
			{
				Current = Current->Next;
			}
			if (Current || !bIncludeSuper || !Struct)
			{
				return;
			}
			Struct = Struct->GetSuperStruct();
			if (!Struct)
			{
				return;
			}
			Current = First(Struct);
		}
	}

	const UStruct* Struct;
	bool bIncludeSuper;
	FNode* Current = nullptr;
};

/** @return the property of that name in Owner (or its super types), if it is of kind T; else null. */
template <typename T>
T* FindFProperty(const UStruct* Owner, FName FieldName)
{
	return Owner ? CastField<T>(Owner->FindPropertyByName(FieldName)) : nullptr;
}
