#include "Dom/JsonValue.h"

#include "Dom/JsonObject.h"
#include "JsonGlobals.h"
#include "JsonNumbers.h"

namespace
{
	template <typename IntType>
	bool ReadDoubleAsInteger(const FJsonValue& Value, IntType& OutNumber)
	{
		double Number = 0.0;
		return Value.TryGetNumber(Number) && UE::Json::Private::DoubleToInteger(Number, OutNumber);
	}

	// A string that holds a whole number converts exactly (a 64-bit id survives); any other numeric string goes through double.
	template <typename IntType>
	bool ReadStringAsInteger(const FJsonValue& Value, const FString& String, IntType& OutNumber)
	{
		return UE::Json::Private::ParseInteger(FStringView(String), OutNumber) || ReadDoubleAsInteger(Value, OutNumber);
	}

	bool CompareArrays(const TArray<TSharedPtr<FJsonValue>>& Lhs, const TArray<TSharedPtr<FJsonValue>>& Rhs);
	bool CompareObjects(const TSharedPtr<FJsonObject>& Lhs, const TSharedPtr<FJsonObject>& Rhs);

	bool ComparePointers(const TSharedPtr<FJsonValue>& Lhs, const TSharedPtr<FJsonValue>& Rhs)
	{
		if (!Lhs.IsValid() || !Rhs.IsValid())
		{
			return Lhs.IsValid() == Rhs.IsValid();
		}
		return FJsonValue::CompareEqual(*Lhs, *Rhs);
	}

	bool CompareArrays(const TArray<TSharedPtr<FJsonValue>>& Lhs, const TArray<TSharedPtr<FJsonValue>>& Rhs)
	{
		if (Lhs.Num() != Rhs.Num())
		{
			return false;
		}
		for (int32 Index = 0; Index < Lhs.Num(); ++Index)
		{
			if (!ComparePointers(Lhs[Index], Rhs[Index]))
			{
				return false;
			}
		}
		return true;
	}

	bool CompareObjects(const TSharedPtr<FJsonObject>& Lhs, const TSharedPtr<FJsonObject>& Rhs)
	{
		if (!Lhs.IsValid() || !Rhs.IsValid())
		{
			return Lhs.IsValid() == Rhs.IsValid();
		}
		if (Lhs->Values.Num() != Rhs->Values.Num())
		{
			return false;
		}
		for (const auto& Field : Lhs->Values)
		{
			const TSharedPtr<FJsonValue>* Other = Rhs->Values.Find(Field.Key);
			if (!Other || !ComparePointers(Field.Value, *Other))
			{
				return false;
			}
		}
		return true;
	}
} // namespace

bool FJsonValue::TryGetString(FString& /*OutString*/) const
{
	return false;
}

bool FJsonValue::TryGetNumber(double& /*OutNumber*/) const
{
	return false;
}

bool FJsonValue::TryGetNumber(int32& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(uint32& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(int64& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(uint64& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(float& OutNumber) const
{
	double Number = 0.0;
	if (!TryGetNumber(Number))
	{
		return false;
	}
	OutNumber = static_cast<float>(Number);
	return true;
}

bool FJsonValue::TryGetNumber(int8& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(int16& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(uint8& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetNumber(uint16& OutNumber) const
{
	return ReadDoubleAsInteger(*this, OutNumber);
}

bool FJsonValue::TryGetBool(bool& /*OutBool*/) const
{
	return false;
}

bool FJsonValue::TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& /*OutArray*/) const
{
	return false;
}

bool FJsonValue::TryGetObject(const TSharedPtr<FJsonObject>*& /*OutObject*/) const
{
	return false;
}

FString FJsonValue::AsString() const
{
	FString String;
	if (!TryGetString(String))
	{
		ErrorMessage(TEXT("String"));
	}
	return String;
}

double FJsonValue::AsNumber() const
{
	double Number = 0.0;
	if (!TryGetNumber(Number))
	{
		ErrorMessage(TEXT("Number"));
	}
	return Number;
}

bool FJsonValue::AsBool() const
{
	bool bValue = false;
	if (!TryGetBool(bValue))
	{
		ErrorMessage(TEXT("Boolean"));
	}
	return bValue;
}

const TArray<TSharedPtr<FJsonValue>>& FJsonValue::AsArray() const
{
	const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
	if (!TryGetArray(Array))
	{
		static const TArray<TSharedPtr<FJsonValue>> EmptyArray;
		ErrorMessage(TEXT("Array"));
		return EmptyArray;
	}
	return *Array;
}

const TSharedPtr<FJsonObject>& FJsonValue::AsObject() const
{
	const TSharedPtr<FJsonObject>* Object = nullptr;
	if (!TryGetObject(Object))
	{
		static const TSharedPtr<FJsonObject> NullObject;
		ErrorMessage(TEXT("Object"));
		return NullObject;
	}
	return *Object;
}

bool FJsonValue::CompareEqual(const FJsonValue& Lhs, const FJsonValue& Rhs)
{
	if (Lhs.Type != Rhs.Type)
	{
		return false;
	}
	switch (Lhs.Type)
	{
		case EJson::None:
		case EJson::Null:
			return true;
		case EJson::String:
			return Lhs.AsString().Equals(Rhs.AsString(), ESearchCase::CaseSensitive);
		case EJson::Number:
			return Lhs.AsNumber() == Rhs.AsNumber();
		case EJson::Boolean:
			return Lhs.AsBool() == Rhs.AsBool();
		case EJson::Array:
			return CompareArrays(Lhs.AsArray(), Rhs.AsArray());
		case EJson::Object:
			return CompareObjects(Lhs.AsObject(), Rhs.AsObject());
	}
	return false;
}

void FJsonValue::ErrorMessage(const FString& InType) const
{
	UE_LOG(LogJson, Error, TEXT("Json Value of type '%s' used as a '%s'."), *GetType(), *InType);
}

FJsonValueString::FJsonValueString(const FString& InString)
    : Value(InString)
{
	Type = EJson::String;
}

FJsonValueString::FJsonValueString(FString&& InString)
    : Value(MoveTemp(InString))
{
	Type = EJson::String;
}

bool FJsonValueString::TryGetString(FString& OutString) const
{
	OutString = Value;
	return true;
}

bool FJsonValueString::TryGetNumber(double& OutNumber) const
{
	return Value.IsNumeric() && UE::Json::Private::ParseDouble(FStringView(Value), OutNumber);
}

bool FJsonValueString::TryGetNumber(int32& OutNumber) const
{
	return ReadStringAsInteger(*this, Value, OutNumber);
}

bool FJsonValueString::TryGetNumber(uint32& OutNumber) const
{
	return ReadStringAsInteger(*this, Value, OutNumber);
}

bool FJsonValueString::TryGetNumber(int64& OutNumber) const
{
	return ReadStringAsInteger(*this, Value, OutNumber);
}

bool FJsonValueString::TryGetNumber(uint64& OutNumber) const
{
	return ReadStringAsInteger(*this, Value, OutNumber);
}

bool FJsonValueString::TryGetBool(bool& OutBool) const
{
	if (Value.Equals(TEXT("true"), ESearchCase::IgnoreCase))
	{
		OutBool = true;
		return true;
	}
	if (Value.Equals(TEXT("false"), ESearchCase::IgnoreCase))
	{
		OutBool = false;
		return true;
	}
	return false;
}

FJsonValueNumber::FJsonValueNumber(double InNumber)
    : Value(InNumber)
{
	Type = EJson::Number;
}

bool FJsonValueNumber::TryGetNumber(double& OutNumber) const
{
	OutNumber = Value;
	return true;
}

bool FJsonValueNumber::TryGetBool(bool& OutBool) const
{
	OutBool = Value != 0.0;
	return true;
}

bool FJsonValueNumber::TryGetString(FString& OutString) const
{
	// Negative zero reads as "0", as a user would write it.
	OutString = FString::SanitizeFloat(Value == 0.0 ? 0.0 : Value, 0);
	return true;
}

FJsonValueBoolean::FJsonValueBoolean(bool InBool)
    : Value(InBool)
{
	Type = EJson::Boolean;
}

bool FJsonValueBoolean::TryGetNumber(double& OutNumber) const
{
	OutNumber = Value ? 1.0 : 0.0;
	return true;
}

bool FJsonValueBoolean::TryGetBool(bool& OutBool) const
{
	OutBool = Value;
	return true;
}

bool FJsonValueBoolean::TryGetString(FString& OutString) const
{
	OutString = Value ? TEXT("true") : TEXT("false");
	return true;
}

FJsonValueArray::FJsonValueArray(const TArray<TSharedPtr<FJsonValue>>& InArray)
    : Value(InArray)
{
	Type = EJson::Array;
}

FJsonValueArray::FJsonValueArray(TArray<TSharedPtr<FJsonValue>>&& InArray)
    : Value(MoveTemp(InArray))
{
	Type = EJson::Array;
}

bool FJsonValueArray::TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const
{
	OutArray = &Value;
	return true;
}

FJsonValueObject::FJsonValueObject(TSharedPtr<FJsonObject> InObject)
    : Value(MoveTemp(InObject))
{
	Type = EJson::Object;
}

bool FJsonValueObject::TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const
{
	OutObject = &Value;
	return true;
}

FJsonValueNull::FJsonValueNull()
{
	Type = EJson::Null;
}
