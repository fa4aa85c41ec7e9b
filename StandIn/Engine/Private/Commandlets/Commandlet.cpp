#include "Commandlets/Commandlet.h"

UCommandlet::UCommandlet(const FObjectInitializer& ObjectInitializer)
    : Super(ObjectInitializer)
    , IsServer(true)
    , IsClient(true)
    , IsEditor(true)
{
}

int32 UCommandlet::Main(const FString& /*Params*/)
{
	return 0;
}

void UCommandlet::ParseCommandLine(const TCHAR* CmdLine, TArray<FString>& Tokens, TArray<FString>& Switches, TMap<FString, FString>& Params)
{
	// Quotes stay inside a token here; only a switch's value loses those around it.
	TArray<FString> Pieces;
	FString Current;
	bool bInQuotes = false;
	for (const TCHAR* Char = CmdLine; Char != nullptr && *Char != 0; ++Char)
	{
		if (*Char == TEXT('"'))
		{
			bInQuotes = !bInQuotes;
		}
		if (!bInQuotes && (*Char == TEXT(' ') || *Char == TEXT('\t') || *Char == TEXT('\r') || *Char == TEXT('\n')))
		{
			if (!Current.IsEmpty())
			{
				Pieces.Add(MoveTemp(Current));
				Current = FString();
			}
			continue;
		}
		Current.AppendChar(*Char);
	}
	if (!Current.IsEmpty())
	{
		Pieces.Add(MoveTemp(Current));
	}

	for (FString& Piece : Pieces)
	{
		// A switch may also start with "/", as on Windows command lines.
		if (!Piece.StartsWith(TEXT("-")) && !Piece.StartsWith(TEXT("/")))
		{
			// A token quoted whole is its text.
			if (Piece.Len() >= 2 && Piece.StartsWith(TEXT("\"")) && Piece.EndsWith(TEXT("\"")))
			{
				Piece = Piece.Mid(1, Piece.Len() - 2);
			}
			Tokens.Add(Piece);
			continue;
		}
		const FString Switch = Piece.Mid(1);
		Switches.Add(Switch);
		int32 Equals = INDEX_NONE;
		if (Switch.FindChar(TEXT('='), Equals))
		{
			FString Value = Switch.Mid(Equals + 1);
			if (Value.Len() >= 2 && Value.StartsWith(TEXT("\"")) && Value.EndsWith(TEXT("\"")))
			{
				Value = Value.Mid(1, Value.Len() - 2);
			}
			Params.Add(Switch.Left(Equals), Value);
		}
	}
}
