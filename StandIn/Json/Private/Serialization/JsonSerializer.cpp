#include "Serialization/JsonSerializer.h"

namespace
{
	// A container being filled while the reader is inside it; built on an explicit stack so that the depth of
	// the text never becomes the depth of the call stack.
	struct FOpenContainer
	{
		FString Identifier;
		TSharedPtr<FJsonObject> Object;
		TArray<TSharedPtr<FJsonValue>> Array;
	};

	TSharedPtr<FJsonValue> MakeScalar(EJsonNotation Notation, const TJsonReader<TCHAR>& Reader)
	{
		switch (Notation)
		{
			case EJsonNotation::String:
				return MakeShared<FJsonValueString>(Reader.GetValueAsString());
			case EJsonNotation::Number:
				return MakeShared<FJsonValueNumber>(Reader.GetValueAsNumber());
			case EJsonNotation::Boolean:
				return MakeShared<FJsonValueBoolean>(Reader.GetValueAsBoolean());
			default:
				return MakeShared<FJsonValueNull>();
		}
	}
} // namespace

bool FJsonSerializer::ReadRootValue(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>& OutValue)
{
	TArray<FOpenContainer> Open;
	TSharedPtr<FJsonValue> Root;
	EJsonNotation Notation = EJsonNotation::Error;
	while (Reader.ReadNext(Notation))
	{
		TSharedPtr<FJsonValue> Value;
		FString Identifier;
		switch (Notation)
		{
			case EJsonNotation::ObjectStart:
				Open.Add(FOpenContainer{Reader.GetIdentifier(), MakeShared<FJsonObject>(), {}});
				continue;
			case EJsonNotation::ArrayStart:
				Open.Add(FOpenContainer{Reader.GetIdentifier(), nullptr, {}});
				continue;
			case EJsonNotation::ObjectEnd:
			case EJsonNotation::ArrayEnd:
			{
				FOpenContainer Closed = Open.Pop();
				Identifier = MoveTemp(Closed.Identifier);
				if (Closed.Object.IsValid())
				{
					Value = MakeShared<FJsonValueObject>(MoveTemp(Closed.Object));
				}
				else
				{
					Value = MakeShared<FJsonValueArray>(MoveTemp(Closed.Array));
				}
				break;
			}
			default:
				Identifier = Reader.GetIdentifier();
				Value = MakeScalar(Notation, Reader);
				break;
		}

		if (Open.IsEmpty())
		{
			Root = MoveTemp(Value);
		}
		else if (Open.Last().Object.IsValid())
		{
			// A repeated name replaces the earlier value in the earlier one's place.
			Open.Last().Object->SetField(FStringView(Identifier), Value);
		}
		else
		{
			Open.Last().Array.Add(MoveTemp(Value));
		}
	}
	// ReadNext stops without an error only after one complete value followed by nothing but white space.
	if (!Reader.GetErrorMessage().IsEmpty() || !Root.IsValid())
	{
		return false;
	}
	OutValue = MoveTemp(Root);
	return true;
}

bool FJsonSerializer::Deserialize(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>& OutValue)
{
	return ReadRootValue(Reader, OutValue);
}

bool FJsonSerializer::Deserialize(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonObject>& OutObject)
{
	TSharedPtr<FJsonValue> Root;
	if (!ReadRootValue(Reader, Root))
	{
		return false;
	}
	if (Root->Type != EJson::Object)
	{
		Reader.SetErrorMessageAtRoot(TEXT("Expected a JSON object at the top level"));
		return false;
	}
	OutObject = Root->AsObject();
	return true;
}

bool FJsonSerializer::Deserialize(TJsonReader<TCHAR>& Reader, TArray<TSharedPtr<FJsonValue>>& OutArray)
{
	TSharedPtr<FJsonValue> Root;
	if (!ReadRootValue(Reader, Root))
	{
		return false;
	}
	if (Root->Type != EJson::Array)
	{
		Reader.SetErrorMessageAtRoot(TEXT("Expected a JSON array at the top level"));
		return false;
	}
	OutArray = Root->AsArray();
	return true;
}
