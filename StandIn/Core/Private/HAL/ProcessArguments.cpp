#include "StandIn/ProcessArguments.h"

namespace UE::StandIn
{
	TArray<FString> SplitProcessArguments(const FString& Params)
	{
		TArray<FString> Arguments;
		FString Current;
		bool bInArgument = false;
		bool bInQuotes = false;
		for (const TCHAR Char : Params)
		{
			if (Char == TEXT('"'))
			{
				bInQuotes = !bInQuotes;
				bInArgument = true;
			}
			else if (!bInQuotes && (Char == TEXT(' ') || Char == TEXT('\t')))
			{
				if (bInArgument)
				{
					Arguments.Add(MoveTemp(Current));
					Current = FString();
					bInArgument = false;
				}
			}
			else
			{
				Current.AppendChar(Char);
				bInArgument = true;
			}
		}
		if (bInArgument)
		{
			Arguments.Add(MoveTemp(Current));
		}
		return Arguments;
	}
} // namespace UE::StandIn
