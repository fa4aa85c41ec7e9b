// Exact (case-sensitive) comparisons with readable failure messages.
#pragma once

#include "CoreMinimal.h"

#include <string>

inline std::string Utf8(const FString& Value)
{
	return Value.ToUtf8();
}

inline std::string Utf8(const FName& Value)
{
	return Value.ToString().ToUtf8();
}

inline std::string Utf8(const FText& Value)
{
	return Value.ToString().ToUtf8();
}
