// TJsonReader: reads JSON text one notation at a time (an object's start, a field's value, an array's end, ...).
// It refuses malformed text with a message that names the line and character, and never nests deeper than
// MaxNestingDepth, so no input can exhaust the stack or run away with memory.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Dom/JsonValue.h"
#include "Serialization/JsonTypes.h"
#include "Templates/SharedPointer.h"
#include <type_traits>

class FJsonSerializer;

template <class CharType = TCHAR>
class TJsonReader
{
	static_assert(std::is_same_v<CharType, TCHAR>, "The stand-in reads JSON from TCHAR text only.");

public:
	/** Objects and arrays nested deeper than this are refused. */
	static constexpr int32 MaxNestingDepth = 512;

	virtual ~TJsonReader() = default;

	/**
	 * Reads the next notation.
	 * @return false when the text is exhausted after one complete value, or on an error (Notation is then Error and
	 *         GetErrorMessage says what is wrong and where).
	 */
	bool ReadNext(EJsonNotation& Notation);

	/** The field name of the value just read when it is an object's member; empty otherwise. */
	const FString& GetIdentifier() const { return Identifier; }
	const FString& GetValueAsString() const { return StringValue; }
	double GetValueAsNumber() const { return NumberValue; }
	/** The number as written in the text. */
	const FString& GetValueAsNumberString() const { return StringValue; }
	bool GetValueAsBoolean() const { return bBoolValue; }
	/** Empty until an error occurs. */
	const FString& GetErrorMessage() const { return ErrorMessage; }
	/** The 1-based line and character of the current position. */
	uint32 GetLineNumber() const;
	uint32 GetCharacterNumber() const;

protected:
	explicit TJsonReader(FString InText);

	template <class>
	friend class TJsonReaderFactory;
	friend class FJsonSerializer;

	/** Records the first error only; later ones are its consequences. */
	void SetErrorMessage(const FString& Message);
	/** Refuses the whole value, pointing at where it starts. */
	void SetErrorMessageAtRoot(const FString& Message);

private:
	enum class EToken : uint8
	{
		End,
		CurlyOpen,
		CurlyClose,
		SquareOpen,
		SquareClose,
		Colon,
		Comma,
		String,
		Number,
		True,
		False,
		Null,
		Invalid
	};

	struct FFrame
	{
		EJson Kind = EJson::None;
		bool bHasElements = false;
	};

	EToken NextToken();
	EToken ReadStringToken();
	EToken ReadNumberToken();
	EToken ReadLiteralToken();
	bool ReadValue(EToken Token, EJsonNotation& Notation);
	bool FailOnToken(EToken Token, const TCHAR* Expected);
	EToken Fail(const TCHAR* What);
	void SkipWhitespace();
	void ComputeLineAndCharacter(int32 AtPosition, uint32& OutLine, uint32& OutCharacter) const;

	FString Text;
	int32 Position = 0;
	int32 TokenStart = 0;
	TArray<FFrame> Frames;
	bool bFinishedRoot = false;

	FString Identifier;
	FString StringValue;
	double NumberValue = 0.0;
	bool bBoolValue = false;
	FString ErrorMessage;
};

extern template class TJsonReader<TCHAR>;

/** Makes readers over JSON text. */
template <class CharType = TCHAR>
class TJsonReaderFactory
{
public:
	static TSharedRef<TJsonReader<TCHAR>> Create(const FString& JsonString)
	{
		return TSharedRef<TJsonReader<TCHAR>>(MakeShareable(new TJsonReader<TCHAR>(JsonString)));
	}
	static TSharedRef<TJsonReader<TCHAR>> Create(FString&& JsonString)
	{
		return TSharedRef<TJsonReader<TCHAR>>(MakeShareable(new TJsonReader<TCHAR>(MoveTemp(JsonString))));
	}
	static TSharedRef<TJsonReader<TCHAR>> CreateFromView(FStringView JsonString)
	{
		return TSharedRef<TJsonReader<TCHAR>>(MakeShareable(new TJsonReader<TCHAR>(FString(JsonString))));
	}
};
