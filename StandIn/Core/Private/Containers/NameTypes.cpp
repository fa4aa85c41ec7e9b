#include "UObject/NameTypes.h"

namespace
{
	FString Normalised(const FString& Name)
	{
		// The engine treats "None" (in any case) as the empty name.
		return Name.Equals(FString(TEXT("None")), ESearchCase::IgnoreCase) ? FString() : Name;
	}
} // namespace

FName::FName(const TCHAR* Name, EFindName)
    : Text(Normalised(FString(Name)))
{
}

FName::FName(const ANSICHAR* Name, EFindName)
    : Text(Normalised(FString(Name)))
{
}

FName::FName(const UTF8CHAR* Name, EFindName)
    : Text(Normalised(FString(Name)))
{
}

FName::FName(int32 Len, const TCHAR* Name, EFindName)
    : Text(Normalised(FString(Len, Name)))
{
}

FName::FName(const FString& Name, EFindName)
    : Text(Normalised(Name))
{
}

FName::FName(FStringView Name, EFindName)
    : Text(Normalised(FString(Name)))
{
}

FString FName::ToString() const
{
	return Text.IsEmpty() ? FString(TEXT("None")) : Text;
}
