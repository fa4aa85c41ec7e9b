// Where the Json module reports misuse of its values (reading a field as a kind it does not have).
#pragma once

#include "Containers/UnrealString.h"

namespace UE::Json::Private
{
	void LogJsonWarning(const FString& Message);
	void LogJsonError(const FString& Message);
} // namespace UE::Json::Private
