#include "Serialization/JsonReader.h"

#include "JsonNumbers.h"

namespace
{
	bool IsJsonWhitespace(TCHAR Char)
	{
		return Char == TEXT(' ') || Char == TEXT('\t') || Char == TEXT('\n') || Char == TEXT('\r');
	}

	bool IsDigit(TCHAR Char)
	{
		return Char >= TEXT('0') && Char <= TEXT('9');
	}

	int32 HexDigitValue(TCHAR Char)
	{
		if (Char >= TEXT('0') && Char <= TEXT('9'))
		{
			return Char - TEXT('0');
		}
		if (Char >= TEXT('a') && Char <= TEXT('f'))
		{
			return Char - TEXT('a') + 10;
		}
		if (Char >= TEXT('A') && Char <= TEXT('F'))
		{
			return Char - TEXT('A') + 10;
		}
		return -1;
	}
} // namespace

template <class CharType>
TJsonReader<CharType>::TJsonReader(FString InText)
    : Text(MoveTemp(InText))
{
}

template <class CharType>
bool TJsonReader<CharType>::ReadNext(EJsonNotation& Notation)
{
	Notation = EJsonNotation::Error;
	if (!ErrorMessage.IsEmpty())
	{
		return false;
	}
	if (bFinishedRoot)
	{
		SkipWhitespace();
		if (Position < Text.Len())
		{
			TokenStart = Position;
			Fail(TEXT("Unexpected text after the end of the JSON value"));
		}
		return false;
	}

	Identifier.Reset();
	EToken Token = NextToken();
	if (!Frames.IsEmpty())
	{
		const EJson Kind = Frames.Last().Kind;
		const bool bObject = Kind == EJson::Object;
		if (Token == (bObject ? EToken::CurlyClose : EToken::SquareClose))
		{
			Frames.Pop();
			bFinishedRoot = Frames.IsEmpty();
			Notation = bObject ? EJsonNotation::ObjectEnd : EJsonNotation::ArrayEnd;
			return true;
		}
		if (Frames.Last().bHasElements)
		{
			if (Token != EToken::Comma)
			{
				return FailOnToken(Token, bObject ? TEXT("',' or '}'") : TEXT("',' or ']'"));
			}
			Token = NextToken();
		}
		if (bObject)
		{
			if (Token != EToken::String)
			{
				return FailOnToken(Token, TEXT("a field name in double quotes"));
			}
			Identifier = MoveTemp(StringValue);
			Token = NextToken();
			if (Token != EToken::Colon)
			{
				return FailOnToken(Token, TEXT("':' after the field name"));
			}
			Token = NextToken();
		}
		Frames.Last().bHasElements = true;
	}
	return ReadValue(Token, Notation);
}

template <class CharType>
bool TJsonReader<CharType>::ReadValue(EToken Token, EJsonNotation& Notation)
{
	switch (Token)
	{
		case EToken::CurlyOpen:
		case EToken::SquareOpen:
			if (Frames.Num() >= MaxNestingDepth)
			{
				Fail(TEXT("Objects and arrays are nested too deeply"));
				return false;
			}
			Frames.Add(FFrame{Token == EToken::CurlyOpen ? EJson::Object : EJson::Array, false});
			Notation = Token == EToken::CurlyOpen ? EJsonNotation::ObjectStart : EJsonNotation::ArrayStart;
			return true;
		case EToken::String:
			Notation = EJsonNotation::String;
			break;
		case EToken::Number:
			Notation = EJsonNotation::Number;
			break;
		case EToken::True:
		case EToken::False:
			bBoolValue = Token == EToken::True;
			Notation = EJsonNotation::Boolean;
			break;
		case EToken::Null:
			Notation = EJsonNotation::Null;
			break;
		default:
			return FailOnToken(Token, TEXT("a value"));
	}
	bFinishedRoot = Frames.IsEmpty();
	return true;
}

template <class CharType>
bool TJsonReader<CharType>::FailOnToken(EToken Token, const TCHAR* Expected)
{
	// An invalid token has already said what is wrong with it.
	if (Token != EToken::Invalid)
	{
		const FString What = Token == EToken::End ? FString(TEXT("Unexpected end of the JSON text; expected ")) : FString(TEXT("Expected "));
		SetErrorMessage(What + Expected);
	}
	return false;
}

template <class CharType>
typename TJsonReader<CharType>::EToken TJsonReader<CharType>::Fail(const TCHAR* What)
{
	SetErrorMessage(FString(What));
	return EToken::Invalid;
}

template <class CharType>
void TJsonReader<CharType>::SetErrorMessage(const FString& Message)
{
	if (!ErrorMessage.IsEmpty())
	{
		return;
	}
	uint32 Line = 0;
	uint32 Character = 0;
	ComputeLineAndCharacter(TokenStart, Line, Character);
	ErrorMessage = Message + TEXT(". Line: ") + FString::FromInt(static_cast<int32>(Line)) + TEXT(" Ch: ") + FString::FromInt(static_cast<int32>(Character));
}

template <class CharType>
void TJsonReader<CharType>::SetErrorMessageAtRoot(const FString& Message)
{
	TokenStart = 0;
	while (TokenStart < Text.Len() && IsJsonWhitespace(Text[TokenStart]))
	{
		++TokenStart;
	}
	SetErrorMessage(Message);
}

template <class CharType>
void TJsonReader<CharType>::SkipWhitespace()
{
	while (Position < Text.Len() && IsJsonWhitespace(Text[Position]))
	{
		++Position;
	}
}

template <class CharType>
typename TJsonReader<CharType>::EToken TJsonReader<CharType>::NextToken()
{
	SkipWhitespace();
	TokenStart = Position;
	if (Position >= Text.Len())
	{
		return EToken::End;
	}
	const TCHAR Char = Text[Position];
	switch (Char)
	{
		case TEXT('{'):
			++Position;
			return EToken::CurlyOpen;
		case TEXT('}'):
			++Position;
			return EToken::CurlyClose;
		case TEXT('['):
			++Position;
			return EToken::SquareOpen;
		case TEXT(']'):
			++Position;
			return EToken::SquareClose;
		case TEXT(':'):
			++Position;
			return EToken::Colon;
		case TEXT(','):
			++Position;
			return EToken::Comma;
		case TEXT('"'):
			return ReadStringToken();
		case TEXT('t'):
		case TEXT('f'):
		case TEXT('n'):
			return ReadLiteralToken();
		default:
			break;
	}
	if (Char == TEXT('-') || IsDigit(Char))
	{
		return ReadNumberToken();
	}
	return Fail(TEXT("Invalid JSON token"));
}

template <class CharType>
typename TJsonReader<CharType>::EToken TJsonReader<CharType>::ReadStringToken()
{
	StringValue.Reset();
	++Position;
	for (;;)
	{
		// Copy the run of plain characters in one go.
		const int32 RunStart = Position;
		while (Position < Text.Len() && Text[Position] != TEXT('"') && Text[Position] != TEXT('\\') && Text[Position] >= 0x20)
		{
			++Position;
		}
		StringValue.Append(*Text + RunStart, Position - RunStart);
		if (Position >= Text.Len())
		{
			return Fail(TEXT("Unterminated string"));
		}
		const TCHAR Char = Text[Position];
		if (Char == TEXT('"'))
		{
			++Position;
			return EToken::String;
		}
		if (Char < 0x20)
		{
			TokenStart = Position;
			return Fail(TEXT("Control character in a string; it must be written as an escape"));
		}
		TokenStart = Position;
		if (Position + 1 >= Text.Len())
		{
			return Fail(TEXT("Unterminated string"));
		}
		const TCHAR Escaped = Text[Position + 1];
		Position += 2;
		switch (Escaped)
		{
			case TEXT('"'):
			case TEXT('\\'):
			case TEXT('/'):
				StringValue.AppendChar(Escaped);
				break;
			case TEXT('b'):
				StringValue.AppendChar(TEXT('\b'));
				break;
			case TEXT('f'):
				StringValue.AppendChar(TEXT('\f'));
				break;
			case TEXT('n'):
				StringValue.AppendChar(TEXT('\n'));
				break;
			case TEXT('r'):
				StringValue.AppendChar(TEXT('\r'));
				break;
			case TEXT('t'):
				StringValue.AppendChar(TEXT('\t'));
				break;
			case TEXT('u'):
			{
				// TCHAR is a UTF-16 code unit, so each \uXXXX (surrogate halves included) is one character as written.
				int32 Unit = 0;
				for (int32 Digit = 0; Digit < 4; ++Digit)
				{
					const int32 Value = Position < Text.Len() ? HexDigitValue(Text[Position]) : -1;
					if (Value < 0)
					{
						return Fail(TEXT("Invalid \\u escape; it takes four hexadecimal digits"));
					}
					Unit = Unit * 16 + Value;
					++Position;
				}
				StringValue.AppendChar(static_cast<TCHAR>(Unit));
				break;
			}
			default:
				return Fail(TEXT("Invalid escape sequence in a string"));
		}
	}
}

template <class CharType>
typename TJsonReader<CharType>::EToken TJsonReader<CharType>::ReadNumberToken()
{
	const int32 Start = Position;
	if (Text[Position] == TEXT('-'))
	{
		++Position;
	}
	if (Position >= Text.Len() || !IsDigit(Text[Position]))
	{
		return Fail(TEXT("Invalid number"));
	}
	if (Text[Position] == TEXT('0') && Position + 1 < Text.Len() && IsDigit(Text[Position + 1]))
	{
		return Fail(TEXT("Invalid number; leading zeros are not allowed"));
	}
	while (Position < Text.Len() && IsDigit(Text[Position]))
	{
		++Position;
	}
	if (Position < Text.Len() && Text[Position] == TEXT('.'))
	{
		++Position;
		if (Position >= Text.Len() || !IsDigit(Text[Position]))
		{
			return Fail(TEXT("Invalid number; a digit must follow the decimal point"));
		}
		while (Position < Text.Len() && IsDigit(Text[Position]))
		{
			++Position;
		}
	}
	if (Position < Text.Len() && (Text[Position] == TEXT('e') || Text[Position] == TEXT('E')))
	{
		++Position;
		if (Position < Text.Len() && (Text[Position] == TEXT('+') || Text[Position] == TEXT('-')))
		{
			++Position;
		}
		if (Position >= Text.Len() || !IsDigit(Text[Position]))
		{
			return Fail(TEXT("Invalid number; the exponent has no digits"));
		}
		while (Position < Text.Len() && IsDigit(Text[Position]))
		{
			++Position;
		}
	}
	StringValue = Text.Mid(Start, Position - Start);
	if (!UE::Json::Private::ParseDouble(FStringView(StringValue), NumberValue))
	{
		return Fail(TEXT("Number out of range"));
	}
	return EToken::Number;
}

template <class CharType>
typename TJsonReader<CharType>::EToken TJsonReader<CharType>::ReadLiteralToken()
{
	struct FLiteral
	{
		const TCHAR* Word;
		int32 Length;
		EToken Token;
	};
	static constexpr FLiteral Literals[] = {
	    {TEXT("true"), 4, EToken::True},
	    {TEXT("false"), 5, EToken::False},
	    {TEXT("null"), 4, EToken::Null},
	};
	const FStringView Rest = FStringView(Text).RightChop(Position);
	for (const FLiteral& Literal : Literals)
	{
		if (Rest.Left(Literal.Length).Equals(FStringView(Literal.Word, Literal.Length), ESearchCase::CaseSensitive))
		{
			Position += Literal.Length;
			return Literal.Token;
		}
	}
	return Fail(TEXT("Invalid JSON token"));
}

template <class CharType>
void TJsonReader<CharType>::ComputeLineAndCharacter(int32 AtPosition, uint32& OutLine, uint32& OutCharacter) const
{
	// Counted only when asked: tracking lines on every character would slow down every read.
	uint32 Line = 1;
	int32 LineStart = 0;
	const int32 End = AtPosition < Text.Len() ? AtPosition : Text.Len();
	for (int32 Index = 0; Index < End; ++Index)
	{
		if (Text[Index] == TEXT('\n'))
		{
			++Line;
			LineStart = Index + 1;
		}
	}
	OutLine = Line;
	OutCharacter = static_cast<uint32>(AtPosition - LineStart + 1);
}

template <class CharType>
uint32 TJsonReader<CharType>::GetLineNumber() const
{
	uint32 Line = 0;
	uint32 Character = 0;
	ComputeLineAndCharacter(Position, Line, Character);
	return Line;
}

template <class CharType>
uint32 TJsonReader<CharType>::GetCharacterNumber() const
{
	uint32 Line = 0;
	uint32 Character = 0;
	ComputeLineAndCharacter(Position, Line, Character);
	return Character;
}

template class TJsonReader<TCHAR>;
