// TJsonWriter: writes JSON text through a print policy (pretty or condensed) into a string, which is filled
// when the writer is closed. Objects are written member by member, arrays element by element.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Templates/SharedPointer.h"
#include <type_traits>

class FJsonSerializer;

namespace UE::Json::Private
{
	/** The white space a print policy writes. */
	struct FPrintFunctions
	{
		void (*WriteLineTerminator)(FString&);
		void (*WriteTabs)(FString&, int32);
		void (*WriteSpace)(FString&);
	};

	/** The layout and escaping shared by every writer; the policy only supplies the white space. */
	class FJsonWriterCore
	{
	public:
		FJsonWriterCore(FString* InStream, int32 InInitialIndent, const FPrintFunctions& InPrint);

		int32 GetIndentLevel() const { return InitialIndent + Frames.Num(); }
		bool CanWriteValueWithoutIdentifier() const { return Frames.IsEmpty() || Frames.Last().bArray; }

		// Identifier is null for a root value or an array element, and names the member inside an object.
		void ObjectStart(const FStringView* Identifier);
		void ObjectEnd();
		void ArrayStart(const FStringView* Identifier);
		void ArrayEnd();
		void StringValue(const FStringView* Identifier, FStringView Value);
		void NumberValue(const FStringView* Identifier, double Value);
		void IntegerValue(const FStringView* Identifier, int64 Value);
		void UnsignedValue(const FStringView* Identifier, uint64 Value);
		void BoolValue(const FStringView* Identifier, bool bValue);
		void NullValue(const FStringView* Identifier);
		void RawValue(const FStringView* Identifier, FStringView Json);
		void JsonValue(const FStringView* Identifier, const TSharedPtr<FJsonValue>& Value);
		void JsonObject(const FStringView* Identifier, const FJsonObject& Object);
		void JsonArray(const FStringView* Identifier, const TArray<TSharedPtr<FJsonValue>>& Values);
		bool Close();

	private:
		enum class EElement : uint8
		{
			Scalar,
			Object,
			Array
		};
		struct FFrame
		{
			bool bArray = false;
			bool bHasElements = false;
		};

		void BeginElement(const FStringView* Identifier, EElement Element);
		void WriteQuoted(FStringView String);

		FString Buffer;
		FString* Stream;
		int32 InitialIndent;
		FPrintFunctions Print;
		TArray<FFrame> Frames;
		bool bRootWritten = false;
	};

	/** Appends String with JSON's escapes: \\ \" \b \t \n \f \r and \u00xx for other control characters. */
	void AppendEscapedString(FString& Out, FStringView String);
} // namespace UE::Json::Private

template <class CharType = TCHAR, class PrintPolicy = TPrettyJsonPrintPolicy<CharType>>
class TJsonWriterFactory;

/** Writes JSON text. A value inside an object needs an identifier (the member's name); elsewhere it has none. */
template <class CharType = TCHAR, class PrintPolicy = TPrettyJsonPrintPolicy<CharType>>
class TJsonWriter
{
	static_assert(std::is_same_v<CharType, TCHAR>, "The stand-in writes JSON into TCHAR strings only.");

public:
	virtual ~TJsonWriter() = default;

	int32 GetIndentLevel() const { return Core.GetIndentLevel(); }
	bool CanWriteValueWithoutIdentifier() const { return Core.CanWriteValueWithoutIdentifier(); }

	void WriteObjectStart() { Core.ObjectStart(nullptr); }
	void WriteObjectStart(FStringView Identifier) { Core.ObjectStart(&Identifier); }
	void WriteObjectEnd() { Core.ObjectEnd(); }
	void WriteArrayStart() { Core.ArrayStart(nullptr); }
	void WriteArrayStart(FStringView Identifier) { Core.ArrayStart(&Identifier); }
	void WriteArrayEnd() { Core.ArrayEnd(); }

	void WriteValue(bool bValue) { Core.BoolValue(nullptr, bValue); }
	void WriteValue(double Value) { Core.NumberValue(nullptr, Value); }
	void WriteValue(float Value) { Core.NumberValue(nullptr, Value); }
	void WriteValue(int32 Value) { Core.IntegerValue(nullptr, Value); }
	void WriteValue(int64 Value) { Core.IntegerValue(nullptr, Value); }
	void WriteValue(uint32 Value) { Core.UnsignedValue(nullptr, Value); }
	void WriteValue(uint64 Value) { Core.UnsignedValue(nullptr, Value); }
	void WriteValue(const FString& Value) { Core.StringValue(nullptr, FStringView(Value)); }
	void WriteValue(const TCHAR* Value) { Core.StringValue(nullptr, FStringView(Value)); }
	void WriteValue(const TSharedPtr<FJsonValue>& Value) { Core.JsonValue(nullptr, Value); }
	void WriteNull() { Core.NullValue(nullptr); }

	void WriteValue(FStringView Identifier, bool bValue) { Core.BoolValue(&Identifier, bValue); }
	void WriteValue(FStringView Identifier, double Value) { Core.NumberValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, float Value) { Core.NumberValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, int32 Value) { Core.IntegerValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, int64 Value) { Core.IntegerValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, uint32 Value) { Core.UnsignedValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, uint64 Value) { Core.UnsignedValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, const FString& Value) { Core.StringValue(&Identifier, FStringView(Value)); }
	void WriteValue(FStringView Identifier, const TCHAR* Value) { Core.StringValue(&Identifier, FStringView(Value)); }
	void WriteValue(FStringView Identifier, const TSharedPtr<FJsonValue>& Value) { Core.JsonValue(&Identifier, Value); }
	void WriteValue(FStringView Identifier, const TArray<FString>& Strings)
	{
		Core.ArrayStart(&Identifier);
		for (const FString& String : Strings)
		{
			Core.StringValue(nullptr, FStringView(String));
		}
		Core.ArrayEnd();
	}
	void WriteNull(FStringView Identifier) { Core.NullValue(&Identifier); }

	/** Writes text that is already JSON, unchecked. */
	void WriteRawJSONValue(const FString& Json) { Core.RawValue(nullptr, FStringView(Json)); }
	void WriteRawJSONValue(FStringView Identifier, const FString& Json) { Core.RawValue(&Identifier, FStringView(Json)); }

	/**
	 * Hands the text to the string given at creation.
	 * @return true when every object and array that was opened has been closed.
	 */
	virtual bool Close() { return Core.Close(); }

protected:
	TJsonWriter(FString* InStream, int32 InitialIndentLevel)
	    : Core(InStream, InitialIndentLevel,
	           UE::Json::Private::FPrintFunctions{&PrintPolicy::WriteLineTerminator, &PrintPolicy::WriteTabs, &PrintPolicy::WriteSpace})
	{
	}

	friend class TJsonWriterFactory<CharType, PrintPolicy>;
	friend class FJsonSerializer;

	UE::Json::Private::FJsonWriterCore Core;
};

/** Makes writers that fill a string. */
template <class CharType, class PrintPolicy>
class TJsonWriterFactory
{
public:
	/** The string is replaced with the text when the writer closes. */
	static TSharedRef<TJsonWriter<CharType, PrintPolicy>> Create(FString* const Stream, int32 InitialIndent = 0)
	{
		return TSharedRef<TJsonWriter<CharType, PrintPolicy>>(MakeShareable(new TJsonWriter<CharType, PrintPolicy>(Stream, InitialIndent)));
	}
};
