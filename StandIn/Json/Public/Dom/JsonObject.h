// FJsonObject: a JSON object, its fields in the order they were first set. Field names are case-sensitive.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/SharedString.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Dom/JsonValue.h"
#include "Templates/SharedPointer.h"

/** A JSON object: named fields holding JSON values. */
class FJsonObject
{
public:
	using FStringType = UE::FSharedString;

	/** The fields, in insertion order; setting an existing name replaces its value in place. */
	TMap<FStringType, TSharedPtr<FJsonValue>> Values;

	FJsonObject() = default;

	/** The field, or an empty pointer when there is none. */
	TSharedPtr<FJsonValue> TryGetField(FStringView FieldName) const;
	/** The field when it exists and is of the given kind (EJson::None: any kind); otherwise logs a warning and returns a null value. */
	template <EJson JsonType>
	TSharedPtr<FJsonValue> GetField(FStringView FieldName) const
	{
		return GetFieldOfType(FieldName, JsonType);
	}
	bool HasField(FStringView FieldName) const;
	/** Whether the field exists and holds a value of exactly that kind. */
	template <EJson JsonType>
	bool HasTypedField(FStringView FieldName) const
	{
		return HasFieldOfType(FieldName, JsonType);
	}
	/** Adds the field at the end, or replaces the value of an existing field in its place. */
	void SetField(FStringView FieldName, const TSharedPtr<FJsonValue>& Value);
	void RemoveField(FStringView FieldName);

	/** Numbers convert from numeric strings and booleans; the integer overloads fail when the value does not fit. */
	bool TryGetNumberField(FStringView FieldName, double& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, float& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, int8& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, int16& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, int32& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, int64& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, uint8& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, uint16& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, uint32& OutNumber) const;
	bool TryGetNumberField(FStringView FieldName, uint64& OutNumber) const;
	/** The number, or 0 (with a logged error) when the field is missing or not readable as one. */
	double GetNumberField(FStringView FieldName) const;
	/** Integers are stored as doubles, as everywhere in JSON. */
	void SetNumberField(FStringView FieldName, double Number);

	/** Strings convert from numbers and booleans. */
	bool TryGetStringField(FStringView FieldName, FString& OutString) const;
	/** The string, or an empty one (with a logged error) when the field is missing or not readable as one. */
	FString GetStringField(FStringView FieldName) const;
	void SetStringField(FStringView FieldName, const FString& StringValue);
	void SetStringField(FStringView FieldName, FString&& StringValue);
	void SetStringField(FStringView FieldName, const TCHAR* StringValue);
	/** Fills OutArray when the field is an array whose every element reads as a string. */
	bool TryGetStringArrayField(FStringView FieldName, TArray<FString>& OutArray) const;

	bool TryGetBoolField(FStringView FieldName, bool& OutBool) const;
	/** The boolean, or false (with a logged error) when the field is missing or not readable as one. */
	bool GetBoolField(FStringView FieldName) const;
	void SetBoolField(FStringView FieldName, bool InValue);

	/** OutArray points into this object; it stays valid while the field is not replaced. */
	bool TryGetArrayField(FStringView FieldName, const TArray<TSharedPtr<FJsonValue>>*& OutArray) const;
	/** The array, or an empty one (with a logged error) when the field is missing or not an array. */
	const TArray<TSharedPtr<FJsonValue>>& GetArrayField(FStringView FieldName) const;
	void SetArrayField(FStringView FieldName, const TArray<TSharedPtr<FJsonValue>>& Array);
	void SetArrayField(FStringView FieldName, TArray<TSharedPtr<FJsonValue>>&& Array);

	bool TryGetObjectField(FStringView FieldName, const TSharedPtr<FJsonObject>*& OutObject) const;
	/** The object, or a null pointer (with a logged error) when the field is missing or not an object. */
	const TSharedPtr<FJsonObject>& GetObjectField(FStringView FieldName) const;
	void SetObjectField(FStringView FieldName, const TSharedPtr<FJsonObject>& JsonObject);

private:
	TSharedPtr<FJsonValue> GetFieldOfType(FStringView FieldName, EJson JsonType) const;
	bool HasFieldOfType(FStringView FieldName, EJson JsonType) const;
	template <typename NumberType>
	bool TryGetNumberFieldAs(FStringView FieldName, NumberType& OutNumber) const;
};
