#include "HostEngine.h"

#include "Logging/LogCategory.h"
#include "ProtocolJson.h"
#include "UObject/Class.h"
#include "UObject/StructOnScope.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UObjectIterator.h"
#include "UObject/UnrealType.h"

#include "StandIn/LogCategories.h"
#include "StandIn/ReflectionFlagNames.h"

#include <cmath>
#include <limits>

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

		// How a refusal names what a script sent.
		const TCHAR* DescribeJsonKind(EJson Type)
		{
			switch (Type)
			{
				case EJson::String:
					return TEXT("a string");
				case EJson::Number:
					return TEXT("a number");
				case EJson::Boolean:
					return TEXT("a boolean");
				case EJson::Array:
					return TEXT("an array");
				case EJson::Object:
					return TEXT("an object");
				default:
					return TEXT("null");
			}
		}

		template <typename PropertyType, typename IntType>
		bool FindIntegerRange(const FNumericProperty& Property, double& OutLowest, double& OutPastHighest, FString& OutRange)
		{
			if (!CastField<PropertyType>(&Property))
			{
				return false;
			}
			// Every integer type's limits are powers of two (or one less), so both bounds are exact doubles.
			OutLowest = static_cast<double>(std::numeric_limits<IntType>::lowest());
			OutPastHighest = static_cast<double>(std::numeric_limits<IntType>::max()) + 1.0;
			OutRange =
			    FString::Printf(TEXT("from %s to %s"), *LexToString(std::numeric_limits<IntType>::lowest()), *LexToString(std::numeric_limits<IntType>::max()));
			return true;
		}

		/** The values an integer property holds. @return false for a kind of integer scripts cannot pass. */
		bool GetIntegerRange(const FNumericProperty& Property, double& OutLowest, double& OutPastHighest, FString& OutRange)
		{
			return FindIntegerRange<FInt8Property, int8>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FInt16Property, int16>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FIntProperty, int32>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FInt64Property, int64>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FByteProperty, uint8>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FUInt16Property, uint16>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FUInt32Property, uint32>(Property, OutLowest, OutPastHighest, OutRange) ||
			       FindIntegerRange<FUInt64Property, uint64>(Property, OutLowest, OutPastHighest, OutRange);
		}

		// A number goes into a number only when the property can hold it as written: whole and in range for an
		// integer, in range for a float. Converting anything else would change it, or be undefined.
		bool ReadNumber(const FNumericProperty& Numeric, void* Address, double Number, const FString& Refusal, FString& OutError)
		{
			if (Numeric.IsFloatingPoint())
			{
				if (CastField<FFloatProperty>(&Numeric) && std::fabs(Number) > static_cast<double>(std::numeric_limits<float>::max()))
				{
					OutError = FString::Printf(TEXT("%s a number a float can hold, not %.17g."), *Refusal, Number);
					return false;
				}
				Numeric.SetFloatingPointPropertyValue(Address, Number);
				return true;
			}
			double Lowest = 0.0;
			double PastHighest = 0.0;
			FString Range;
			if (!GetIntegerRange(Numeric, Lowest, PastHighest, Range))
			{
				OutError = FString::Printf(TEXT("%s a kind of number scripts cannot pass here."), *Refusal);
				return false;
			}
			if (Number != std::floor(Number) || Number < Lowest || Number >= PastHighest)
			{
				OutError = FString::Printf(TEXT("%s a whole number %s, not %.17g."), *Refusal, *Range, Number);
				return false;
			}
			if (Number < 0.0)
			{
				Numeric.SetIntPropertyValue(Address, static_cast<int64>(Number));
			}
			else
			{
				Numeric.SetIntPropertyValue(Address, static_cast<uint64>(Number));
			}
			return true;
		}

		// Each kind takes its own JSON kind only: "true" is no boolean and 3 is no string, as a script's own types go.
		bool ReadInput(const FProperty& Property, void* Parms, const FJsonValue& Value, FString& OutError)
		{
			void* Address = Property.ContainerPtrToValuePtr<void>(Parms);
			// Every refusal names the parameter and its type: "'ModName' (FString) takes a string, not a number."
			const FString Refusal = FString::Printf(TEXT("'%s' (%s) takes"), *Property.GetName(), *Property.GetCPPType());
			const auto RefuseKind = [&Refusal, &Value, &OutError](const TCHAR* Expected) {
				OutError = FString::Printf(TEXT("%s %s, not %s."), *Refusal, Expected, DescribeJsonKind(Value.Type));
				return false;
			};
			if (const FStrProperty* Str = CastField<FStrProperty>(&Property))
			{
				if (Value.Type != EJson::String)
				{
					return RefuseKind(TEXT("a string"));
				}
				Str->SetPropertyValue(Address, Value.AsString());
				return true;
			}
			if (const FTextProperty* Text = CastField<FTextProperty>(&Property))
			{
				if (Value.Type != EJson::String)
				{
					return RefuseKind(TEXT("a string"));
				}
				Text->SetPropertyValue(Address, FText::FromString(Value.AsString()));
				return true;
			}
			if (const FBoolProperty* Bool = CastField<FBoolProperty>(&Property))
			{
				if (Value.Type != EJson::Boolean)
				{
					return RefuseKind(TEXT("true or false"));
				}
				Bool->SetPropertyValue(Address, Value.AsBool());
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
			if (Enum)
			{
				if (Value.Type != EJson::String)
				{
					return RefuseKind(TEXT("the name of one of its values"));
				}
				const int64 EnumValue = Enum->GetValueByNameString(Value.AsString());
				if (EnumValue == INDEX_NONE)
				{
					OutError = FString::Printf(TEXT("'%s' has no value '%s'."), *Property.GetName(), *Value.AsString());
					return false;
				}
				Numeric->SetIntPropertyValue(Address, EnumValue);
				return true;
			}
			if (Numeric)
			{
				if (Value.Type != EJson::Number)
				{
					return RefuseKind(TEXT("a number"));
				}
				return ReadNumber(*Numeric, Address, Value.AsNumber(), Refusal, OutError);
			}
			OutError = FString::Printf(TEXT("'%s' (%s) is of a kind scripts cannot pass here."), *Property.GetName(), *Property.GetCPPType());
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
			if (const FArrayProperty* Array = CastField<FArrayProperty>(&Property))
			{
				// Each element as its inner property writes it; an element lies at offset 0 of its own slot.
				const FScriptArrayHelper Elements(Array, Address);
				TArray<TSharedPtr<FJsonValue>> Values;
				for (int32 Index = 0; Index < Elements.Num(); ++Index)
				{
					Values.Add(WriteOutput(*Array->Inner, Elements.GetRawPtr(Index)));
				}
				return MakeShared<FJsonValueArray>(Values);
			}
			return MakeShared<FJsonValueNull>();
		}
		TSharedRef<FJsonValue> MakeStringOrNull(const FString* Value)
		{
			return Value ? TSharedRef<FJsonValue>(MakeShared<FJsonValueString>(*Value)) : TSharedRef<FJsonValue>(MakeShared<FJsonValueNull>());
		}

		TArray<TSharedPtr<FJsonValue>> MakeNameArray(const TArray<const TCHAR*>& Names)
		{
			TArray<TSharedPtr<FJsonValue>> Values;
			for (const TCHAR* Name : Names)
			{
				Values.Add(MakeShared<FJsonValueString>(Name));
			}
			return Values;
		}

		TSharedRef<FJsonObject> DescribeProperty(const FProperty& Property)
		{
			const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
			Object->SetStringField(TEXT("name"), Property.GetName());
			Object->SetStringField(TEXT("type"), Property.GetCPPType());
			Object->SetArrayField(TEXT("flags"), MakeNameArray(UE::StandIn::GetPropertyFlagNames(Property.GetPropertyFlags())));
			return Object;
		}

		TArray<TSharedPtr<FJsonValue>> DescribeProperties(const UStruct& Struct)
		{
			TArray<TSharedPtr<FJsonValue>> Properties;
			for (TFieldIterator<FProperty> It(&Struct, EFieldIteratorFlags::ExcludeSuper); It; ++It)
			{
				Properties.Add(MakeShared<FJsonValueObject>(DescribeProperty(**It)));
			}
			return Properties;
		}

		TSharedRef<FJsonObject> DescribeFunction(const UFunction& Function)
		{
			const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
			Object->SetStringField(TEXT("name"), Function.GetName());
			Object->SetArrayField(TEXT("flags"), MakeNameArray(UE::StandIn::GetFunctionFlagNames(Function.FunctionFlags)));
			Object->SetField(TEXT("category"), MakeStringOrNull(Function.FindMetaData(TEXT("Category"))));
			Object->SetField(TEXT("tooltip"), MakeStringOrNull(Function.FindMetaData(TEXT("ToolTip"))));
			Object->SetArrayField(TEXT("params"), DescribeProperties(Function));
			return Object;
		}

		// The engine keeps an enum's underlying type only in the properties that hold the enum.
		TSharedRef<FJsonValue> FindUnderlyingType(const UEnum& Enum)
		{
			for (TObjectIterator<UStruct> Struct; Struct; ++Struct)
			{
				for (TFieldIterator<FProperty> It(*Struct, EFieldIteratorFlags::ExcludeSuper); It; ++It)
				{
					const FEnumProperty* EnumProperty = CastField<FEnumProperty>(*It);
					if (EnumProperty && EnumProperty->GetEnum() == &Enum)
					{
						return MakeShared<FJsonValueString>(EnumProperty->GetUnderlyingProperty()->GetCPPType());
					}
					const FByteProperty* ByteProperty = CastField<FByteProperty>(*It);
					if (ByteProperty && ByteProperty->Enum == &Enum)
					{
						return MakeShared<FJsonValueString>(ByteProperty->GetCPPType());
					}
				}
			}
			return MakeShared<FJsonValueNull>();
		}

		/** The enum's own metadata (NameIndex INDEX_NONE) or a value's, as a string; null when absent. */
		TSharedRef<FJsonValue> MakeEnumMetaData(const UEnum& Enum, const TCHAR* Key, int32 NameIndex)
		{
			const FString Value = Enum.GetMetaData(Key, NameIndex);
			return Enum.HasMetaData(Key, NameIndex) ? TSharedRef<FJsonValue>(MakeShared<FJsonValueString>(Value))
			                                        : TSharedRef<FJsonValue>(MakeShared<FJsonValueNull>());
		}

		const TCHAR* LexCppForm(UEnum::ECppForm CppForm)
		{
			switch (CppForm)
			{
				case UEnum::ECppForm::Regular:
					return TEXT("Regular");
				case UEnum::ECppForm::Namespaced:
					return TEXT("Namespaced");
				case UEnum::ECppForm::EnumClass:
					return TEXT("EnumClass");
			}
			return TEXT("Regular");
		}
	} // namespace

	bool DescribeReflectedClass(const FString& ClassName, TSharedPtr<FJsonObject>& OutDescription, FString& OutError)
	{
		const UClass* Class = FindScriptClass(ClassName);
		if (!Class)
		{
			OutError = FString::Printf(TEXT("There is no reflected class '%s'."), *ClassName);
			return false;
		}
		OutDescription = MakeShared<FJsonObject>();
		OutDescription->SetStringField(TEXT("name"), Class->GetName());
		OutDescription->SetStringField(TEXT("path"), Class->GetPathName());
		const FString SuperName = Class->GetSuperClass() ? Class->GetSuperClass()->GetName() : FString();
		OutDescription->SetField(TEXT("super"), MakeStringOrNull(Class->GetSuperClass() ? &SuperName : nullptr));
		OutDescription->SetArrayField(TEXT("flags"), MakeNameArray(UE::StandIn::GetClassFlagNames(Class->GetClassFlags())));
		OutDescription->SetStringField(TEXT("config_name"), Class->ClassConfigName.ToString());
		OutDescription->SetField(TEXT("tooltip"), MakeStringOrNull(Class->FindMetaData(TEXT("ToolTip"))));
		TArray<TSharedPtr<FJsonValue>> Functions;
		for (TFieldIterator<UFunction> It(Class, EFieldIteratorFlags::ExcludeSuper); It; ++It)
		{
			Functions.Add(MakeShared<FJsonValueObject>(DescribeFunction(**It)));
		}
		OutDescription->SetArrayField(TEXT("functions"), Functions);
		OutDescription->SetArrayField(TEXT("properties"), DescribeProperties(*Class));
		return true;
	}

	bool DescribeReflectedEnum(const FString& EnumName, TSharedPtr<FJsonObject>& OutDescription, FString& OutError)
	{
		const UEnum* Enum = nullptr;
		for (TObjectIterator<UEnum> It; It && !Enum; ++It)
		{
			Enum = It->GetName().Equals(EnumName) ? *It : nullptr;
		}
		if (!Enum)
		{
			OutError = FString::Printf(TEXT("There is no reflected enum '%s'."), *EnumName);
			return false;
		}
		OutDescription = MakeShared<FJsonObject>();
		OutDescription->SetStringField(TEXT("name"), Enum->GetName());
		OutDescription->SetStringField(TEXT("path"), Enum->GetPathName());
		OutDescription->SetStringField(TEXT("cpp_form"), LexCppForm(Enum->GetCppForm()));
		OutDescription->SetField(TEXT("underlying"), FindUnderlyingType(*Enum));
		OutDescription->SetField(TEXT("tooltip"), MakeEnumMetaData(*Enum, TEXT("ToolTip"), INDEX_NONE));
		OutDescription->SetBoolField(TEXT("blueprint_type"), Enum->HasMetaData(TEXT("BlueprintType")));
		TArray<TSharedPtr<FJsonValue>> Values;
		// The last entry is the "_MAX" that reflection adds after the declared values.
		for (int32 Index = 0; Index < Enum->NumEnums() - 1; ++Index)
		{
			const TSharedRef<FJsonObject> Value = MakeShared<FJsonObject>();
			Value->SetNumberField(TEXT("value"), static_cast<double>(Enum->GetValueByIndex(Index)));
			Value->SetStringField(TEXT("name"), Enum->GetNameStringByIndex(Index));
			Value->SetStringField(TEXT("display_name"), Enum->GetDisplayNameTextByIndex(Index).ToString());
			Value->SetField(TEXT("tooltip"), MakeEnumMetaData(*Enum, TEXT("ToolTip"), Index));
			Values.Add(MakeShared<FJsonValueObject>(Value));
		}
		OutDescription->SetArrayField(TEXT("values"), Values);
		return true;
	}

	bool CallReflectedFunction(const FString& ClassName, const FString& FunctionName, const TSharedPtr<FJsonValue>& ArgsValue,
	                           TSharedPtr<FJsonValue>& OutReturn, TSharedRef<FJsonObject>& OutOutputs, FString& OutError)
	{
		TSharedPtr<FJsonObject> Args;
		if (ArgsValue.IsValid() && (ArgsValue->Type != EJson::Object || !ArgsValue->AsObject().IsValid()))
		{
			OutError = FString::Printf(TEXT("\"args\" must be an object that holds the parameters by name, not %s."), DescribeJsonKind(ArgsValue->Type));
			return false;
		}
		if (ArgsValue.IsValid())
		{
			Args = ArgsValue->AsObject();
		}
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
			if (Value.IsValid() && !ReadInput(*Property, Parms.GetStructMemory(), *Value, OutError))
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
		// The engine reads a name it does not know as Log, so a name is checked against the one it was read as.
		if (!LevelName.Equals(ToString(Level), ESearchCase::IgnoreCase) && !LevelName.Equals(TEXT("All"), ESearchCase::IgnoreCase))
		{
			OutError = FString::Printf(TEXT("'%s' is not a verbosity (Fatal, Error, Warning, Display, Log, Verbose, VeryVerbose)."), *LevelName);
			return false;
		}
		Category->SetVerbosity(Level);
		return true;
	}
} // namespace UE::StandIn::EditorHost
