#include "Dom/JsonObject.h"

#include "JsonGlobals.h"

namespace
{
	const TCHAR* NameOfType(EJson JsonType)
	{
		switch (JsonType)
		{
			case EJson::None:
				return TEXT("None");
			case EJson::Null:
				return TEXT("Null");
			case EJson::String:
				return TEXT("String");
			case EJson::Number:
				return TEXT("Number");
			case EJson::Boolean:
				return TEXT("Boolean");
			case EJson::Array:
				return TEXT("Array");
			case EJson::Object:
				return TEXT("Object");
		}
		return TEXT("None");
	}
} // namespace

TSharedPtr<FJsonValue> FJsonObject::TryGetField(FStringView FieldName) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FStringType(FieldName));
	return Field ? *Field : TSharedPtr<FJsonValue>();
}

TSharedPtr<FJsonValue> FJsonObject::GetFieldOfType(FStringView FieldName, EJson JsonType) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	if (!Field.IsValid())
	{
		UE_LOG(LogJson, Warning, TEXT("Field %s was not found."), *FString(FieldName));
	}
	else if (JsonType != EJson::None && Field->Type != JsonType)
	{
		UE_LOG(LogJson, Warning, TEXT("Field %s is of the wrong type (%s, not %s)."), *FString(FieldName), NameOfType(Field->Type), NameOfType(JsonType));
	}
	else
	{
		return Field;
	}
	return MakeShared<FJsonValueNull>();
}

bool FJsonObject::HasField(FStringView FieldName) const
{
	return TryGetField(FieldName).IsValid();
}

bool FJsonObject::HasFieldOfType(FStringView FieldName, EJson JsonType) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->Type == JsonType;
}

void FJsonObject::SetField(FStringView FieldName, const TSharedPtr<FJsonValue>& Value)
{
	Values.Add(FStringType(FieldName), Value);
}

void FJsonObject::RemoveField(FStringView FieldName)
{
	Values.Remove(FStringType(FieldName));
}

template <typename NumberType>
bool FJsonObject::TryGetNumberFieldAs(FStringView FieldName, NumberType& OutNumber) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetNumber(OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, double& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, float& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, int8& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, int16& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, int32& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, int64& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, uint8& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, uint16& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, uint32& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(FStringView FieldName, uint64& OutNumber) const
{
	return TryGetNumberFieldAs(FieldName, OutNumber);
}

double FJsonObject::GetNumberField(FStringView FieldName) const
{
	return GetField<EJson::None>(FieldName)->AsNumber();
}

void FJsonObject::SetNumberField(FStringView FieldName, double Number)
{
	SetField(FieldName, MakeShared<FJsonValueNumber>(Number));
}

bool FJsonObject::TryGetStringField(FStringView FieldName, FString& OutString) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetString(OutString);
}

FString FJsonObject::GetStringField(FStringView FieldName) const
{
	return GetField<EJson::None>(FieldName)->AsString();
}

void FJsonObject::SetStringField(FStringView FieldName, const FString& StringValue)
{
	SetField(FieldName, MakeShared<FJsonValueString>(StringValue));
}

void FJsonObject::SetStringField(FStringView FieldName, FString&& StringValue)
{
	SetField(FieldName, MakeShared<FJsonValueString>(MoveTemp(StringValue)));
}

void FJsonObject::SetStringField(FStringView FieldName, const TCHAR* StringValue)
{
	SetField(FieldName, MakeShared<FJsonValueString>(FString(StringValue)));
}

bool FJsonObject::TryGetStringArrayField(FStringView FieldName, TArray<FString>& OutArray) const
{
	const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
	if (!TryGetArrayField(FieldName, Array))
	{
		return false;
	}
	TArray<FString> Strings;
	Strings.Reserve(Array->Num());
	for (const TSharedPtr<FJsonValue>& Element : *Array)
	{
		FString String;
		if (!Element.IsValid() || !Element->TryGetString(String))
		{
			return false;
		}
		Strings.Add(MoveTemp(String));
	}
	OutArray = MoveTemp(Strings);
	return true;
}

bool FJsonObject::TryGetBoolField(FStringView FieldName, bool& OutBool) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetBool(OutBool);
}

bool FJsonObject::GetBoolField(FStringView FieldName) const
{
	return GetField<EJson::None>(FieldName)->AsBool();
}

void FJsonObject::SetBoolField(FStringView FieldName, bool InValue)
{
	SetField(FieldName, MakeShared<FJsonValueBoolean>(InValue));
}

bool FJsonObject::TryGetArrayField(FStringView FieldName, const TArray<TSharedPtr<FJsonValue>>*& OutArray) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FStringType(FieldName));
	return Field && Field->IsValid() && (*Field)->TryGetArray(OutArray);
}

const TArray<TSharedPtr<FJsonValue>>& FJsonObject::GetArrayField(FStringView FieldName) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FStringType(FieldName));
	if (Field && Field->IsValid())
	{
		// The reference must outlive this call, so it comes from the stored value, not from a copy of its pointer.
		return (*Field)->AsArray();
	}
	return GetField<EJson::Array>(FieldName)->AsArray();
}

void FJsonObject::SetArrayField(FStringView FieldName, const TArray<TSharedPtr<FJsonValue>>& Array)
{
	SetField(FieldName, MakeShared<FJsonValueArray>(Array));
}

void FJsonObject::SetArrayField(FStringView FieldName, TArray<TSharedPtr<FJsonValue>>&& Array)
{
	SetField(FieldName, MakeShared<FJsonValueArray>(MoveTemp(Array)));
}

bool FJsonObject::TryGetObjectField(FStringView FieldName, const TSharedPtr<FJsonObject>*& OutObject) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FStringType(FieldName));
	return Field && Field->IsValid() && (*Field)->TryGetObject(OutObject);
}

const TSharedPtr<FJsonObject>& FJsonObject::GetObjectField(FStringView FieldName) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FStringType(FieldName));
	if (Field && Field->IsValid())
	{
		return (*Field)->AsObject();
	}
	return GetField<EJson::Object>(FieldName)->AsObject();
}

void FJsonObject::SetObjectField(FStringView FieldName, const TSharedPtr<FJsonObject>& JsonObject)
{
	if (JsonObject.IsValid())
	{
		SetField(FieldName, MakeShared<FJsonValueObject>(JsonObject));
	}
	else
	{
		SetField(FieldName, MakeShared<FJsonValueNull>());
	}
}
