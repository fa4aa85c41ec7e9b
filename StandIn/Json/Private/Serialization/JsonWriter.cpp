#include "Serialization/JsonWriter.h"

#include "JsonNumbers.h"
#include "Misc/AssertionMacros.h"
#include <cmath>
#include <string>

namespace UE::Json::Private
{
	void AppendEscapedString(FString& Out, FStringView String)
	{
		static constexpr TCHAR HexDigits[] = TEXT("0123456789abcdef");
		for (const TCHAR Char : String)
		{
			switch (Char)
			{
				case TEXT('\\'):
					Out.Append(TEXT("\\\\"));
					break;
				case TEXT('"'):
					Out.Append(TEXT("\\\""));
					break;
				case TEXT('\b'):
					Out.Append(TEXT("\\b"));
					break;
				case TEXT('\t'):
					Out.Append(TEXT("\\t"));
					break;
				case TEXT('\n'):
					Out.Append(TEXT("\\n"));
					break;
				case TEXT('\f'):
					Out.Append(TEXT("\\f"));
					break;
				case TEXT('\r'):
					Out.Append(TEXT("\\r"));
					break;
				default:
					if (Char < 0x20)
					{
						const TCHAR Escape[] = {TEXT('\\'), TEXT('u'), TEXT('0'), TEXT('0'), HexDigits[Char >> 4], HexDigits[Char & 0xF]};
						Out.Append(Escape, 6);
					}
					else
					{
						Out.AppendChar(Char);
					}
					break;
			}
		}
	}

	FJsonWriterCore::FJsonWriterCore(FString* InStream, int32 InInitialIndent, const FPrintFunctions& InPrint)
	    : Stream(InStream)
	    , InitialIndent(InInitialIndent)
	    , Print(InPrint)
	{
	}

	void FJsonWriterCore::BeginElement(const FStringView* Identifier, EElement Element)
	{
		if (Frames.IsEmpty())
		{
			// The root starts the text, with no line break before it.
			check(!bRootWritten);
			bRootWritten = true;
			return;
		}
		FFrame& Frame = Frames.Last();
		// A member needs its name and an element must not have one: anything else is a bug in the caller.
		check(Frame.bArray == (Identifier == nullptr));
		if (Frame.bHasElements)
		{
			Buffer.AppendChar(TEXT(','));
		}
		Frame.bHasElements = true;
		Print.WriteLineTerminator(Buffer);
		Print.WriteTabs(Buffer, GetIndentLevel());
		if (Identifier)
		{
			WriteQuoted(*Identifier);
			Buffer.AppendChar(TEXT(':'));
			if (Element == EElement::Object)
			{
				// An object member opens on a line of its own, at the member's indentation.
				Print.WriteLineTerminator(Buffer);
				Print.WriteTabs(Buffer, GetIndentLevel());
			}
			else
			{
				Print.WriteSpace(Buffer);
			}
		}
	}

	void FJsonWriterCore::WriteQuoted(FStringView String)
	{
		Buffer.AppendChar(TEXT('"'));
		AppendEscapedString(Buffer, String);
		Buffer.AppendChar(TEXT('"'));
	}

	void FJsonWriterCore::ObjectStart(const FStringView* Identifier)
	{
		BeginElement(Identifier, EElement::Object);
		Buffer.AppendChar(TEXT('{'));
		Frames.Add(FFrame{false, false});
	}

	void FJsonWriterCore::ObjectEnd()
	{
		check(!Frames.IsEmpty() && !Frames.Last().bArray);
		Frames.Pop();
		Print.WriteLineTerminator(Buffer);
		Print.WriteTabs(Buffer, GetIndentLevel());
		Buffer.AppendChar(TEXT('}'));
	}

	void FJsonWriterCore::ArrayStart(const FStringView* Identifier)
	{
		BeginElement(Identifier, EElement::Array);
		Buffer.AppendChar(TEXT('['));
		Frames.Add(FFrame{true, false});
	}

	void FJsonWriterCore::ArrayEnd()
	{
		check(!Frames.IsEmpty() && Frames.Last().bArray);
		const bool bEmpty = !Frames.Last().bHasElements;
		Frames.Pop();
		// An empty array closes at once: "[]".
		if (!bEmpty)
		{
			Print.WriteLineTerminator(Buffer);
			Print.WriteTabs(Buffer, GetIndentLevel());
		}
		Buffer.AppendChar(TEXT(']'));
	}

	void FJsonWriterCore::StringValue(const FStringView* Identifier, FStringView Value)
	{
		BeginElement(Identifier, EElement::Scalar);
		WriteQuoted(Value);
	}

	void FJsonWriterCore::NumberValue(const FStringView* Identifier, double Value)
	{
		BeginElement(Identifier, EElement::Scalar);
		// JSON has no infinity or NaN; null keeps the text readable.
		if (std::isfinite(Value))
		{
			AppendDouble(Buffer, Value);
		}
		else
		{
			Buffer.Append(TEXT("null"));
		}
	}

	void FJsonWriterCore::IntegerValue(const FStringView* Identifier, int64 Value)
	{
		BeginElement(Identifier, EElement::Scalar);
		for (const char Char : std::to_string(Value))
		{
			Buffer.AppendChar(static_cast<TCHAR>(Char));
		}
	}

	void FJsonWriterCore::UnsignedValue(const FStringView* Identifier, uint64 Value)
	{
		BeginElement(Identifier, EElement::Scalar);
		for (const char Char : std::to_string(Value))
		{
			Buffer.AppendChar(static_cast<TCHAR>(Char));
		}
	}

	void FJsonWriterCore::BoolValue(const FStringView* Identifier, bool bValue)
	{
		BeginElement(Identifier, EElement::Scalar);
		Buffer.Append(bValue ? TEXT("true") : TEXT("false"));
	}

	void FJsonWriterCore::NullValue(const FStringView* Identifier)
	{
		BeginElement(Identifier, EElement::Scalar);
		Buffer.Append(TEXT("null"));
	}

	void FJsonWriterCore::RawValue(const FStringView* Identifier, FStringView Json)
	{
		BeginElement(Identifier, EElement::Scalar);
		Buffer.Append(Json);
	}

	void FJsonWriterCore::JsonValue(const FStringView* Identifier, const TSharedPtr<FJsonValue>& Value)
	{
		if (!Value.IsValid())
		{
			NullValue(Identifier);
			return;
		}
		switch (Value->Type)
		{
			case EJson::String:
				StringValue(Identifier, FStringView(Value->AsString()));
				return;
			case EJson::Number:
				NumberValue(Identifier, Value->AsNumber());
				return;
			case EJson::Boolean:
				BoolValue(Identifier, Value->AsBool());
				return;
			case EJson::Array:
				JsonArray(Identifier, Value->AsArray());
				return;
			case EJson::Object:
			{
				const TSharedPtr<FJsonObject>& Object = Value->AsObject();
				if (Object.IsValid())
				{
					JsonObject(Identifier, *Object);
				}
				else
				{
					NullValue(Identifier);
				}
				return;
			}
			case EJson::None:
			case EJson::Null:
				NullValue(Identifier);
				return;
		}
	}

	void FJsonWriterCore::JsonObject(const FStringView* Identifier, const FJsonObject& Object)
	{
		ObjectStart(Identifier);
		for (const auto& Field : Object.Values)
		{
			const FStringView Name = Field.Key.ToView();
			JsonValue(&Name, Field.Value);
		}
		ObjectEnd();
	}

	void FJsonWriterCore::JsonArray(const FStringView* Identifier, const TArray<TSharedPtr<FJsonValue>>& Values)
	{
		ArrayStart(Identifier);
		for (const TSharedPtr<FJsonValue>& Value : Values)
		{
			JsonValue(nullptr, Value);
		}
		ArrayEnd();
	}

	bool FJsonWriterCore::Close()
	{
		if (Stream)
		{
			*Stream = Buffer;
		}
		return Frames.IsEmpty() && bRootWritten;
	}
} // namespace UE::Json::Private
