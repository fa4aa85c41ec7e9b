// What the header tool's generated code calls to register a module's reflected types. Not for other code.
#pragma once

#include "UObject/Class.h"
#include "UObject/Object.h"
#include "UObject/Package.h"
#include "UObject/UnrealType.h"
#include <cstddef>
#include <initializer_list>
#include <new>
#include <type_traits>

namespace UE::CodeGen::Private
{
	struct FMetaDataPairParam
	{
		const TCHAR* Key;
		const TCHAR* Value;
	};

	struct FEnumValueParam
	{
		const TCHAR* Name;
		int64 Value;
	};

	template <typename T>
	FStructOps MakeStructOps()
	{
		FStructOps Ops;
		Ops.Size = static_cast<int32>(sizeof(T));
		Ops.Alignment = static_cast<int32>(alignof(T));
		Ops.Construct = [](void* Dest) {
			new (Dest) T();
		};
		Ops.Destruct = [](void* Dest) {
			static_cast<T*>(Dest)->~T();
		};
		if constexpr (std::is_copy_assignable_v<T>)
		{
			Ops.Copy = [](void* Dest, const void* Src) {
				*static_cast<T*>(Dest) = *static_cast<const T*>(Src);
			};
		}
		return Ops;
	}

	/**
	 * Makes an object of T for NewObject; the object system has already set its class, name and outer.
	 * Null for a C++ abstract class, which has no default object.
	 */
	template <typename T>
	UObject* ConstructObject()
	{
		if constexpr (std::is_abstract_v<T>)
		{
			return nullptr;
		}
		else if constexpr (std::is_default_constructible_v<T>)
		{
			return new T();
		}
		else
		{
			return new T(FObjectInitializer::Get());
		}
	}

	UClass* CreateClass(const TCHAR* PackageName, const TCHAR* Name, UClass* SuperClass, EClassFlags Flags, const TCHAR* ConfigName, size_t Size,
	                    UClass::FConstructor Constructor);
	UScriptStruct* CreateStruct(const TCHAR* PackageName, const TCHAR* Name, UScriptStruct* SuperStruct, const FStructOps& Ops);
	UFunction* AddFunction(UClass* Class, const TCHAR* Name, EFunctionFlags Flags, UFunction::FNativeThunk Thunk, const FStructOps& ParmsOps);
	UFunction* CreateDelegateSignature(const TCHAR* PackageName, UClass* OuterClass, const TCHAR* Name, EFunctionFlags Flags, const FStructOps& ParmsOps);
	UEnum* CreateEnum(const TCHAR* PackageName, const TCHAR* Name, UEnum::ECppForm CppForm, EEnumFlags Flags, std::initializer_list<FEnumValueParam> Values);
	void SetMetaData(UField* Field, std::initializer_list<FMetaDataPairParam> MetaData);
	void SetMetaData(FField* Field, std::initializer_list<FMetaDataPairParam> MetaData);
	/** Completes a class, structure or function once all its properties are added. */
	void FinishStruct(UStruct* Struct);

	/**
	 * The class of T, for a reference to a class that a header only declares: defined by the generated
	 * code of T's own module, so the compiler need not see T.
	 */
	template <typename T>
	UClass* GetPrivateStaticClassOf();

	template <typename T, typename = void>
	struct TIsComplete : std::false_type
	{
	};
	template <typename T>
	struct TIsComplete<T, std::void_t<decltype(sizeof(T))>> : std::true_type
	{
	};

	template <typename T>
	UClass* ResolveStaticClass()
	{
		if constexpr (TIsComplete<T>::value)
		{
			return T::StaticClass();
		}
		else
		{
			return GetPrivateStaticClassOf<T>();
		}
	}

	// Object classes derive from UObject first, so a declared-only class shares UObject's address.
	template <typename T>
	UObject* ToObject(const T* Object)
	{
		if constexpr (TIsComplete<T>::value)
		{
			return const_cast<UObject*>(static_cast<const UObject*>(Object));
		}
		else
		{
			return reinterpret_cast<UObject*>(const_cast<T*>(Object));
		}
	}

	template <typename T>
	T* FromObject(UObject* Object)
	{
		if constexpr (TIsComplete<T>::value)
		{
			return static_cast<T*>(Object);
		}
		else
		{
			return reinterpret_cast<T*>(Object);
		}
	}

	template <typename T>
	struct TIsWeakObjectPtr : std::false_type
	{
	};
	template <typename T>
	struct TIsWeakObjectPtr<TWeakObjectPtr<T>> : std::true_type
	{
	};

	template <typename T>
	FProperty* CreateProperty(UStruct* Owner, FName Name, EPropertyFlags Flags, int32 Offset)
	{
		using namespace UE::CoreUObject::Private;
		if constexpr (std::is_same_v<T, bool>)
		{
			return new FBoolProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, int8>)
		{
			return new FInt8Property(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, int16>)
		{
			return new FInt16Property(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, int32>)
		{
			return new FIntProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, int64>)
		{
			return new FInt64Property(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, uint8>)
		{
			return new FByteProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, uint16>)
		{
			return new FUInt16Property(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, uint32>)
		{
			return new FUInt32Property(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, uint64>)
		{
			return new FUInt64Property(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, float>)
		{
			return new FFloatProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, double>)
		{
			return new FDoubleProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, FString>)
		{
			return new FStrProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, FName>)
		{
			return new FNameProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_same_v<T, FText>)
		{
			return new FTextProperty(Owner, Name, Flags, Offset);
		}
		else if constexpr (std::is_enum_v<T>)
		{
			FNumericProperty* Underlying =
			    static_cast<FNumericProperty*>(CreateProperty<std::underlying_type_t<T>>(nullptr, FName(TEXT("UnderlyingType")), CPF_None, 0));
			return new FEnumProperty(Owner, Name, Flags, Offset, GetValueOps<T>(), StaticEnum<T>(), Underlying);
		}
		else if constexpr (TIsTObjectPtr<T>::value || (std::is_pointer_v<T> && std::is_class_v<std::remove_pointer_t<T>>))
		{
			using FPointee = std::remove_cv_t<std::remove_pointer_t<decltype(ToRawPtr(std::declval<T>()))>>;
			return new FObjectProperty(
			    Owner, Name, Flags, Offset, GetValueOps<T>(), ResolveStaticClass<FPointee>(),
			    [](const void* Value) -> UObject* {
				    return ToObject<FPointee>(ToRawPtr(*static_cast<const T*>(Value)));
			    },
			    [](void* Value, UObject* Object) {
				    *static_cast<T*>(Value) = FromObject<FPointee>(Object);
			    });
		}
		else if constexpr (TIsWeakObjectPtr<T>::value)
		{
			using FPointee = std::remove_cv_t<typename T::ElementType>;
			return new FWeakObjectProperty(
			    Owner, Name, Flags, Offset, GetValueOps<T>(), FPointee::StaticClass(),
			    [](const void* Value) -> UObject* {
				    return static_cast<const T*>(Value)->Get();
			    },
			    [](void* Value, UObject* Object) {
				    *static_cast<T*>(Value) = static_cast<FPointee*>(Object);
			    });
		}
		else if constexpr (TIsTArray<T>::value)
		{
			using FElement = typename T::ElementType;
			FArrayProperty::FArrayOps ArrayOps;
			ArrayOps.Num = [](const void* Array) {
				return static_cast<const T*>(Array)->Num();
			};
			ArrayOps.GetData = [](void* Array) -> void* {
				return static_cast<T*>(Array)->GetData();
			};
			ArrayOps.Resize = [](void* Array, int32 NewNum) {
				static_cast<T*>(Array)->SetNum(NewNum);
			};
			FArrayProperty* Property = new FArrayProperty(Owner, Name, Flags, Offset, GetValueOps<T>(), ArrayOps);
			Property->SetInner(CreateProperty<FElement>(nullptr, Name, Flags & (CPF_Config | CPF_GlobalConfig | CPF_Transient), 0));
			return Property;
		}
		else if constexpr (requires { T::StaticStruct(); })
		{
			return new FStructProperty(Owner, Name, Flags, Offset, GetValueOps<T>(), T::StaticStruct());
		}
		else if constexpr (std::is_base_of_v<FMulticastScriptDelegate, T>)
		{
			return new FMulticastInlineDelegateProperty(Owner, Name, Flags, Offset, GetValueOps<T>(), T::GetSignatureFunction());
		}
		else
		{
			static_assert(sizeof(T) == 0, "This type cannot be a reflected property or parameter.");
			return nullptr;
		}
	}

	template <typename T>
	FProperty* AddProperty(UStruct* Owner, const TCHAR* Name, EPropertyFlags Flags, size_t Offset, std::initializer_list<FMetaDataPairParam> MetaData)
	{
		FProperty* Property = CreateProperty<std::remove_cv_t<T>>(Owner, FName(Name), Flags, static_cast<int32>(Offset));
		SetMetaData(Property, MetaData);
		return Property;
	}

	/** Queues a generated type for registration in its package when reflection is first used. */
	struct FRegisterCompiledInType
	{
		explicit FRegisterCompiledInType(UObject* (*Register)());
	};
} // namespace UE::CodeGen::Private
