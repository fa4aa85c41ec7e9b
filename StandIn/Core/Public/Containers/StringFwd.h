// Forward declarations of the string types.
#pragma once

#include "CoreTypes.h"

class FString;
template <typename CharType>
class TStringView;
using FStringView = TStringView<TCHAR>;
using FAnsiStringView = TStringView<ANSICHAR>;
class FName;
class FText;

namespace ESearchCase
{
	enum Type
	{
		CaseSensitive,
		IgnoreCase,
	};
} // namespace ESearchCase

namespace ESearchDir
{
	enum Type
	{
		FromStart,
		FromEnd,
	};
} // namespace ESearchDir
