// Number conversions shared by the values, the reader and the writer: independent of the C library's locale,
// so that a program that switches its locale still reads and writes "0.5" and not "0,5".
#pragma once

#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include <cmath>
#include <limits>
#include <type_traits>

namespace UE::Json::Private
{
	/** Parses ASCII decimal text (as strtod in the C locale). @return false when it is not a number or overflows to infinity. */
	bool ParseDouble(FStringView Text, double& OutNumber);

	/** Appends the number as printf's "%.17g" in the C locale writes it. */
	void AppendDouble(FString& Out, double Number);

	/** Rounds half away from zero and converts. @return false when the value is not finite or does not fit T. */
	template <typename IntType>
	bool DoubleToInteger(double Number, IntType& OutNumber)
	{
		static_assert(std::is_integral_v<IntType>);
		if (!std::isfinite(Number))
		{
			return false;
		}
		const double Rounded = std::round(Number);
		// The limits of every integer type are powers of two (or one less), so both bounds are exact doubles.
		const double Lowest = static_cast<double>(std::numeric_limits<IntType>::min());
		const double PastHighest = static_cast<double>(std::numeric_limits<IntType>::max()) + 1.0;
		if (Rounded < Lowest || Rounded >= PastHighest)
		{
			return false;
		}
		OutNumber = static_cast<IntType>(Rounded);
		return true;
	}

	/** Parses an optionally signed run of decimal digits exactly. @return false for anything else or on overflow. */
	template <typename IntType>
	bool ParseInteger(FStringView Text, IntType& OutNumber)
	{
		static_assert(std::is_integral_v<IntType>);
		int32 Index = 0;
		bool bNegative = false;
		if (Index < Text.Len() && (Text[Index] == TEXT('-') || Text[Index] == TEXT('+')))
		{
			bNegative = Text[Index] == TEXT('-');
			++Index;
		}
		if (Index == Text.Len())
		{
			return false;
		}
		// Accumulate the magnitude in the widest unsigned type, then check it against the target's range.
		uint64 Magnitude = 0;
		for (; Index < Text.Len(); ++Index)
		{
			const TCHAR Char = Text[Index];
			if (Char < TEXT('0') || Char > TEXT('9'))
			{
				return false;
			}
			const uint64 Digit = static_cast<uint64>(Char - TEXT('0'));
			if (Magnitude > (std::numeric_limits<uint64>::max() - Digit) / 10)
			{
				return false;
			}
			Magnitude = Magnitude * 10 + Digit;
		}
		if (bNegative)
		{
			if constexpr (std::is_signed_v<IntType>)
			{
				const uint64 MaxNegative = static_cast<uint64>(std::numeric_limits<IntType>::max()) + 1;
				if (Magnitude > MaxNegative)
				{
					return false;
				}
				OutNumber = Magnitude == MaxNegative ? std::numeric_limits<IntType>::min() : static_cast<IntType>(-static_cast<IntType>(Magnitude));
				return true;
			}
			else
			{
				if (Magnitude != 0)
				{
					return false;
				}
				OutNumber = 0;
				return true;
			}
		}
		if (Magnitude > static_cast<uint64>(std::numeric_limits<IntType>::max()))
		{
			return false;
		}
		OutNumber = static_cast<IntType>(Magnitude);
		return true;
	}
} // namespace UE::Json::Private
