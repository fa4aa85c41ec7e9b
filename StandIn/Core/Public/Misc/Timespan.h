// FTimespan: a signed length of time in ticks of 100 nanoseconds, the unit of FDateTime.
#pragma once

#include "CoreTypes.h"

#include <compare>

namespace ETimespan
{
	inline constexpr int64 TicksPerMicrosecond = 10;
	inline constexpr int64 TicksPerMillisecond = 10000;
	inline constexpr int64 TicksPerSecond = 10000000;
	inline constexpr int64 TicksPerMinute = 600000000;
	inline constexpr int64 TicksPerHour = 36000000000;
	inline constexpr int64 TicksPerDay = 864000000000;
	inline constexpr int64 TicksPerWeek = 6048000000000;
} // namespace ETimespan

struct FTimespan
{
	constexpr FTimespan() = default;
	constexpr explicit FTimespan(int64 InTicks)
	    : Ticks(InTicks)
	{
	}
	constexpr FTimespan(int32 Hours, int32 Minutes, int32 Seconds)
	    : FTimespan(0, Hours, Minutes, Seconds)
	{
	}
	constexpr FTimespan(int32 Days, int32 Hours, int32 Minutes, int32 Seconds)
	    : Ticks(Days * ETimespan::TicksPerDay + Hours * ETimespan::TicksPerHour + Minutes * ETimespan::TicksPerMinute + Seconds * ETimespan::TicksPerSecond)
	{
	}

	static constexpr FTimespan Zero() { return FTimespan(0); }
	/** Rounds to the nearest tick. */
	static FTimespan FromSeconds(double Seconds);
	static FTimespan FromMilliseconds(double Milliseconds);
	static FTimespan FromMinutes(double Minutes);
	static FTimespan FromHours(double Hours);
	static FTimespan FromDays(double Days);

	constexpr int64 GetTicks() const { return Ticks; }
	double GetTotalSeconds() const { return static_cast<double>(Ticks) / ETimespan::TicksPerSecond; }
	bool IsZero() const { return Ticks == 0; }

	constexpr FTimespan operator+(const FTimespan& Other) const { return FTimespan(Ticks + Other.Ticks); }
	constexpr FTimespan operator-(const FTimespan& Other) const { return FTimespan(Ticks - Other.Ticks); }
	constexpr FTimespan operator-() const { return FTimespan(-Ticks); }
	FTimespan& operator+=(const FTimespan& Other)
	{
		Ticks += Other.Ticks;
		return *this;
	}
	FTimespan& operator-=(const FTimespan& Other)
	{
		Ticks -= Other.Ticks;
		return *this;
	}
	constexpr auto operator<=>(const FTimespan& Other) const = default;

private:
	int64 Ticks = 0;
};
