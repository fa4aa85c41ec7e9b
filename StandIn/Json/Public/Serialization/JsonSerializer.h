// FJsonSerializer: turns JSON text into the object model and back.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonWriter.h"
#include "Templates/SharedPointer.h"

class FJsonSerializer
{
public:
	/**
	 * Reads one complete JSON object. On failure (malformed text, another kind of value at the top, text after the
	 * object) OutObject is left as it was and the reader's GetErrorMessage says why.
	 */
	static bool Deserialize(const TSharedRef<TJsonReader<TCHAR>>& Reader, TSharedPtr<FJsonObject>& OutObject) { return Deserialize(*Reader, OutObject); }
	static bool Deserialize(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonObject>& OutObject);
	/** Reads one complete JSON array into OutArray, as above. */
	static bool Deserialize(const TSharedRef<TJsonReader<TCHAR>>& Reader, TArray<TSharedPtr<FJsonValue>>& OutArray) { return Deserialize(*Reader, OutArray); }
	static bool Deserialize(TJsonReader<TCHAR>& Reader, TArray<TSharedPtr<FJsonValue>>& OutArray);
	/** Reads one complete JSON value of any kind, as above. */
	static bool Deserialize(const TSharedRef<TJsonReader<TCHAR>>& Reader, TSharedPtr<FJsonValue>& OutValue) { return Deserialize(*Reader, OutValue); }
	static bool Deserialize(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>& OutValue);

	/**
	 * Writes the object with its fields in their order, then closes the writer when asked.
	 * @return false for a null object, or when closing finds the text incomplete.
	 */
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedPtr<FJsonObject>& Object, const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer, bool bCloseWriter = true)
	{
		return Serialize(Object, *Writer, bCloseWriter);
	}
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedRef<FJsonObject>& Object, const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer, bool bCloseWriter = true)
	{
		return Serialize(Object.ToSharedPtr(), *Writer, bCloseWriter);
	}
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedPtr<FJsonObject>& Object, TJsonWriter<CharType, PrintPolicy>& Writer, bool bCloseWriter = true)
	{
		if (!Object.IsValid())
		{
			return false;
		}
		Writer.Core.JsonObject(nullptr, *Object);
		return Finish(Writer, bCloseWriter);
	}

	/** Writes the values as one array. */
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TArray<TSharedPtr<FJsonValue>>& Array, const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer, bool bCloseWriter = true)
	{
		return Serialize(Array, *Writer, bCloseWriter);
	}
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TArray<TSharedPtr<FJsonValue>>& Array, TJsonWriter<CharType, PrintPolicy>& Writer, bool bCloseWriter = true)
	{
		Writer.Core.JsonArray(nullptr, Array);
		return Finish(Writer, bCloseWriter);
	}

	/** Writes one value; Identifier names it when the writer is inside an object. */
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedPtr<FJsonValue>& Value, const FString& Identifier, const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer,
	                      bool bCloseWriter = true)
	{
		return Serialize(Value, Identifier, *Writer, bCloseWriter);
	}
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedPtr<FJsonValue>& Value, const FString& Identifier, TJsonWriter<CharType, PrintPolicy>& Writer, bool bCloseWriter = true)
	{
		const FStringView IdentifierView(Identifier);
		Writer.Core.JsonValue(Writer.CanWriteValueWithoutIdentifier() ? nullptr : &IdentifierView, Value);
		return Finish(Writer, bCloseWriter);
	}

private:
	template <class CharType, class PrintPolicy>
	static bool Finish(TJsonWriter<CharType, PrintPolicy>& Writer, bool bCloseWriter)
	{
		return bCloseWriter ? Writer.Close() : true;
	}

	static bool ReadRootValue(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>& OutValue);
};
