#include "HostEngine.h"

#include "Logging/LogCategory.h"
#include "ProtocolJson.h"
#include "UObject/Class.h"
#include "UObject/StructOnScope.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UObjectIterator.h"
#include "UObject/UnrealType.h"

#include "StandIn/LogCategories.h"

namespace UE::StandIn::EditorHost
{
	namespace
	{
		UClass* FindScriptClass(const FString& ClassName)
		{
			// Scripts name a class as reflection registers it, without its prefix letter.
			for (TObjectIterator<UClass> It; It; ++It)
			{
				if (It->GetName().Equals(ClassName))
				{
					return *It;
				}
			}
			return nullptr;
		}

		bool IsScriptCallable(const UFunction& Function)
		{
			return Function.HasAnyFunctionFlags(FUNC_BlueprintCallable) && !Function.HasAnyFunctionFlags(FUNC_Private | FUNC_Protected);
		}

		bool ReadInput(const FProperty& Property, void* Parms, const TSharedPtr<FJsonValue>& Value, FString& OutError)
		{
			void* Address = Property.ContainerPtrToValuePtr<void>(Parms);
			const FString Name = Property.GetName();
			FString String;
			double Number = 0.0;
			bool bBool = false;
			if (const FStrProperty* Str = CastField<FStrProperty>(&Property))
			{
				if (!Value->TryGetString(String))
				{
					OutError = FString::Printf(TEXT("'%s' takes a string."), *Name);
					return false;
				}
				Str->SetPropertyValue(Address, String);
				return true;
			}
			if (const FTextProperty* Text = CastField<FTextProperty>(&Property))
			{
				if (!Value->TryGetString(String))
				{
					OutError = FString::Printf(TEXT("'%s' takes a string."), *Name);
					return false;
				}
				Text->SetPropertyValue(Address, FText::FromString(String));
				return true;
			}
			if (const FBoolProperty* Bool = CastField<FBoolProperty>(&Property))
			{
				if (!Value->TryGetBool(bBool))
				{
					OutError = FString::Printf(TEXT("'%s' takes a boolean."), *Name);
					return false;
				}
				Bool->SetPropertyValue(Address, bBool);
				return true;
			}
			const UEnum* Enum = nullptr;
			const FNumericProperty* Numeric = CastField<FNumericProperty>(&Property);
			if (const FEnumProperty* EnumProperty = CastField<FEnumProperty>(&Property))
			{
				Enum = EnumProperty->GetEnum();
				Numeric = EnumProperty->GetUnderlyingProperty();
			}
			else if (const FByteProperty* Byte = CastField<FByteProperty>(&Property))
			{
				Enum = Byte->Enum;
			}
			if (Numeric)
			{
				if (Enum && Value->Type == EJson::String)
				{
					const int64 EnumValue = Enum->GetValueByNameString(Value->AsString());
					if (EnumValue == INDEX_NONE)
					{
						OutError = FString::Printf(TEXT("'%s' has no value '%s'."), *Name, *Value->AsString());
						return false;
					}
					Numeric->SetIntPropertyValue(Address, EnumValue);
					return true;
				}
				if (!Value->TryGetNumber(Number))
				{
					OutError = FString::Printf(TEXT("'%s' takes a number."), *Name);
					return false;
				}
				if (Numeric->IsFloatingPoint())
				{
					Numeric->SetFloatingPointPropertyValue(Address, Number);
				}
				else
				{
					Numeric->SetIntPropertyValue(Address, static_cast<int64>(Number));
				}
				return true;
			}
			OutError = FString::Printf(TEXT("'%s' is of a kind scripts cannot pass here."), *Name);
			return false;
		}

		TSharedPtr<FJsonValue> WriteOutput(const FProperty& Property, const void* Parms)
		{
			const void* Address = Property.ContainerPtrToValuePtr<void>(Parms);
			if (const FStrProperty* Str = CastField<FStrProperty>(&Property))
			{
				return MakeShared<FJsonValueString>(Str->GetPropertyValue(Address));
			}
			if (const FTextProperty* Text = CastField<FTextProperty>(&Property))
			{
				return MakeTextValue(Text->GetPropertyValue(Address));
			}
			if (const FBoolProperty* Bool = CastField<FBoolProperty>(&Property))
			{
				return MakeShared<FJsonValueBoolean>(Bool->GetPropertyValue(Address));
			}
			if (const FEnumProperty* EnumProperty = CastField<FEnumProperty>(&Property))
			{
				return MakeShared<FJsonValueString>(
				    EnumProperty->GetEnum()->GetNameStringByValue(EnumProperty->GetUnderlyingProperty()->GetSignedIntPropertyValue(Address)));
			}
			if (const FByteProperty* Byte = CastField<FByteProperty>(&Property))
			{
				if (Byte->Enum)
				{
					return MakeShared<FJsonValueString>(Byte->Enum->GetNameStringByValue(Byte->GetPropertyValue(Address)));
				}
			}
			if (const FNumericProperty* Numeric = CastField<FNumericProperty>(&Property))
			{
				return MakeShared<FJsonValueNumber>(Numeric->IsFloatingPoint() ? Numeric->GetFloatingPointPropertyValue(Address)
				                                                               : static_cast<double>(Numeric->GetSignedIntPropertyValue(Address)));
			}
			if (const FObjectPropertyBase* Object = CastField<FObjectPropertyBase>(&Property))
			{
				const UObject* Value = Object->GetObjectPropertyValue(Address);
				return Value ? MakeShared<FJsonValueString>(Value->GetName()) : TSharedPtr<FJsonValue>(MakeShared<FJsonValueNull>());
			}
			return MakeShared<FJsonValueNull>();
		}
	} // namespace

	bool CallReflectedFunction(const FString& ClassName, const FString& FunctionName, const TSharedPtr<FJsonObject>& Args, TSharedPtr<FJsonValue>& OutReturn,
	                           TSharedRef<FJsonObject>& OutOutputs, FString& OutError)
	{
		UClass* Class = FindScriptClass(ClassName);
		if (!Class)
		{
			OutError = FString::Printf(TEXT("There is no reflected class '%s'."), *ClassName);
			return false;
		}
		UFunction* Function = Class->FindFunctionByName(FName(FunctionName));
		if (!Function)
		{
			OutError = FString::Printf(TEXT("%s has no reflected function '%s'."), *ClassName, *FunctionName);
			return false;
		}
		if (!IsScriptCallable(*Function))
		{
			OutError = FString::Printf(TEXT("%s.%s is reflected but scripts may not call it."), *ClassName, *FunctionName);
			return false;
		}

		FStructOnScope Parms(Function);
		TSet<FString> Known;
		for (TFieldIterator<FProperty> It(Function); It; ++It)
		{
			const FProperty* Property = *It;
			if (!Property->HasAnyPropertyFlags(CPF_Parm) || Property->HasAnyPropertyFlags(CPF_ReturnParm))
			{
				continue;
			}
			Known.Add(Property->GetName());
			const TSharedPtr<FJsonValue> Value = Args.IsValid() ? Args->TryGetField(Property->GetName()) : nullptr;
			if (Value.IsValid() && !ReadInput(*Property, Parms.GetStructMemory(), Value, OutError))
			{
				return false;
			}
		}
		if (Args.IsValid())
		{
			for (const auto& Field : Args->Values)
			{
				const FString FieldName(Field.Key);
				if (!Known.Contains(FieldName))
				{
					OutError = FString::Printf(TEXT("%s.%s has no parameter '%s'."), *ClassName, *FunctionName, *FieldName);
					return false;
				}
			}
		}

		UObject* Context = Class->GetDefaultObject();
		Context->ProcessEvent(Function, Parms.GetStructMemory());

		for (TFieldIterator<FProperty> It(Function); It; ++It)
		{
			const FProperty* Property = *It;
			if (Property->HasAnyPropertyFlags(CPF_ReturnParm))
			{
				OutReturn = WriteOutput(*Property, Parms.GetStructMemory());
			}
			else if (Property->HasAnyPropertyFlags(CPF_OutParm) && !Property->HasAnyPropertyFlags(CPF_ConstParm))
			{
				OutOutputs->SetField(Property->GetName(), WriteOutput(*Property, Parms.GetStructMemory()));
			}
		}
		return true;
	}

	TSharedRef<FJsonObject> CollectGarbageAndCountObjects()
	{
		CollectGarbage(RF_NoFlags);
		TMap<FString, int32> Counts;
		for (TObjectIterator<UObject> It; It; ++It)
		{
			++Counts.FindOrAdd(It->GetClass()->GetName());
		}
		const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
		for (const TPair<FString, int32>& Count : Counts)
		{
			Object->SetNumberField(Count.Key, Count.Value);
		}
		return Object;
	}

	bool SetLogVerbosity(const FString& CategoryName, const FString& LevelName, FString& OutError)
	{
		FLogCategoryBase* Category = UE::StandIn::FindLogCategory(FName(CategoryName));
		if (!Category)
		{
			OutError = FString::Printf(TEXT("There is no log category '%s'."), *CategoryName);
			return false;
		}
		const ELogVerbosity::Type Level = ParseLogVerbosityFromString(LevelName);
		if (Level == ELogVerbosity::NoLogging && !LevelName.Equals(TEXT("NoLogging"), ESearchCase::IgnoreCase))
		{
			OutError = FString::Printf(TEXT("'%s' is not a verbosity (Fatal, Error, Warning, Display, Log, Verbose, VeryVerbose)."), *LevelName);
			return false;
		}
		Category->SetVerbosity(Level);
		return true;
	}
} // namespace UE::StandIn::EditorHost
