#include "UatCommandLine.h"

namespace UE::UATHelper
{
	TArray<FString> SplitCommandLine(const FString& CommandLine)
	{
		TArray<FString> Arguments;
		FString Current;
		bool bInArgument = false;
		bool bInQuotes = false;
		for (const TCHAR Char : CommandLine)
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
} // namespace UE::UATHelper
