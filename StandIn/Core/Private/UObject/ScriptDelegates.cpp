#include "UObject/ScriptDelegates.h"

#include "Logging/LogMacros.h"

DEFINE_LOG_CATEGORY_STATIC(LogScript, Log, All);

namespace UE::Delegates::Private
{
	FName GetTrimmedMemberFunctionName(const TCHAR* InMacroFunctionName)
	{
		FString Name(InMacroFunctionName);
		Name.TrimStartAndEndInline();
		int32 Separator = Name.Find(TEXT("::"), ESearchCase::CaseSensitive, ESearchDir::FromEnd);
		if (Separator != INDEX_NONE)
		{
			Name.RightChopInline(Separator + 2);
		}
		else if (Name.StartsWith(TEXT("&")))
		{
			Name.RightChopInline(1);
		}
		Name.TrimStartAndEndInline();
		return FName(Name);
	}

	void ReportUnknownDynamicFunction(const FString& ObjectName, const FName& FunctionName)
	{
		UE_LOG(LogScript, Error, TEXT("Unable to bind delegate to '%s' on %s: the function is not a UFUNCTION of the object's class."),
		       *FunctionName.ToString(), *ObjectName);
	}
} // namespace UE::Delegates::Private
