// The JSON value types: a value is one of string, number, boolean, null, array or object. String, number and
// boolean values read as one another where that makes sense; arrays, objects and null read as nothing else.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Templates/SharedPointer.h"

class FJsonObject;

/** The kind of a JSON value. None only for a value that has none. */
enum class EJson
{
	None,
	Null,
	String,
	Number,
	Boolean,
	Array,
	Object
};

/** A JSON value. Only its derived kinds are ever created. */
class FJsonValue
{
public:
	virtual ~FJsonValue() = default;

	/** Reads the value as a string; numbers and booleans convert. @return false for arrays, objects and null. */
	virtual bool TryGetString(FString& OutString) const;
	/** Reads the value as a number; numeric strings and booleans (1 or 0) convert. */
	virtual bool TryGetNumber(double& OutNumber) const;
	/** The integer overloads round half away from zero and fail when the value does not fit the type. */
	virtual bool TryGetNumber(int32& OutNumber) const;
	virtual bool TryGetNumber(uint32& OutNumber) const;
	virtual bool TryGetNumber(int64& OutNumber) const;
	virtual bool TryGetNumber(uint64& OutNumber) const;
	bool TryGetNumber(float& OutNumber) const;
	bool TryGetNumber(int8& OutNumber) const;
	bool TryGetNumber(int16& OutNumber) const;
	bool TryGetNumber(uint8& OutNumber) const;
	bool TryGetNumber(uint16& OutNumber) const;
	/** Reads the value as a boolean; numbers (non-zero is true) and the strings "true" and "false" convert. */
	virtual bool TryGetBool(bool& OutBool) const;
	/** @return false unless this is an array. */
	virtual bool TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const;
	/** @return false unless this is an object. */
	virtual bool TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const;

	/** The value as a string; logs an error and returns an empty string when it has none. */
	FString AsString() const;
	/** The value as a number; logs an error and returns 0 when it has none. */
	double AsNumber() const;
	/** The value as a boolean; logs an error and returns false when it has none. */
	bool AsBool() const;
	/** The value as an array; logs an error and returns an empty array when it is not one. */
	const TArray<TSharedPtr<FJsonValue>>& AsArray() const;
	/** The value as an object; logs an error and returns a null pointer when it is not one. */
	const TSharedPtr<FJsonObject>& AsObject() const;

	bool IsNull() const { return Type == EJson::Null || Type == EJson::None; }

	/** Deep comparison: same kind and equal contents; objects compare their fields whatever their order. */
	static bool CompareEqual(const FJsonValue& Lhs, const FJsonValue& Rhs);

	EJson Type = EJson::None;

protected:
	FJsonValue() = default;

	/** The kind's name for messages. */
	virtual FString GetType() const = 0;

	void ErrorMessage(const FString& InType) const;
};

/** A JSON string. */
class FJsonValueString : public FJsonValue
{
public:
	FJsonValueString(const FString& InString);
	FJsonValueString(FString&& InString);

	bool TryGetString(FString& OutString) const override;
	bool TryGetNumber(double& OutNumber) const override;
	bool TryGetNumber(int32& OutNumber) const override;
	bool TryGetNumber(uint32& OutNumber) const override;
	bool TryGetNumber(int64& OutNumber) const override;
	bool TryGetNumber(uint64& OutNumber) const override;
	using FJsonValue::TryGetNumber;
	bool TryGetBool(bool& OutBool) const override;

	bool IsEmpty() const { return Value.IsEmpty(); }

protected:
	FString GetType() const override { return TEXT("String"); }

	FString Value;
};

/** A JSON number, held as a double. */
class FJsonValueNumber : public FJsonValue
{
public:
	FJsonValueNumber(double InNumber);

	bool TryGetNumber(double& OutNumber) const override;
	using FJsonValue::TryGetNumber;
	bool TryGetBool(bool& OutBool) const override;
	/** The shortest decimal form: no exponent, no trailing zeros ("3", "0.5"). */
	bool TryGetString(FString& OutString) const override;

protected:
	FString GetType() const override { return TEXT("Number"); }

	double Value;
};

/** A JSON boolean. */
class FJsonValueBoolean : public FJsonValue
{
public:
	FJsonValueBoolean(bool InBool);

	bool TryGetNumber(double& OutNumber) const override;
	using FJsonValue::TryGetNumber;
	bool TryGetBool(bool& OutBool) const override;
	bool TryGetString(FString& OutString) const override;

protected:
	FString GetType() const override { return TEXT("Boolean"); }

	bool Value;
};

/** A JSON array of values. */
class FJsonValueArray : public FJsonValue
{
public:
	FJsonValueArray(const TArray<TSharedPtr<FJsonValue>>& InArray);
	FJsonValueArray(TArray<TSharedPtr<FJsonValue>>&& InArray);

	bool TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const override;

protected:
	FString GetType() const override { return TEXT("Array"); }

	TArray<TSharedPtr<FJsonValue>> Value;
};

/** A JSON object held by shared pointer. */
class FJsonValueObject : public FJsonValue
{
public:
	FJsonValueObject(TSharedPtr<FJsonObject> InObject);

	bool TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const override;

protected:
	FString GetType() const override { return TEXT("Object"); }

	TSharedPtr<FJsonObject> Value;
};

/** The JSON null. */
class FJsonValueNull : public FJsonValue
{
public:
	FJsonValueNull();

protected:
	FString GetType() const override { return TEXT("Null"); }
};
