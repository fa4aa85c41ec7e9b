// FDateTime: a point in time, counted in ticks of 100 nanoseconds since 0001-01-01 00:00:00 (proleptic Gregorian).
// The value carries no time zone: UtcNow() gives UTC, Now() the local time.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/Timespan.h"

struct FDateTime
{
	/** 0001-01-01 00:00:00. */
	constexpr FDateTime() = default;
	constexpr explicit FDateTime(int64 InTicks)
	    : Ticks(InTicks)
	{
	}
	/** A calendar date and time; the parts must form a valid date (see Validate). */
	FDateTime(int32 Year, int32 Month, int32 Day, int32 Hour = 0, int32 Minute = 0, int32 Second = 0, int32 Millisecond = 0);

	/** @return the current time in UTC. */
	static FDateTime UtcNow();
	/** @return the current local time. */
	static FDateTime Now();
	/** @return 0001-01-01 00:00:00.000. */
	static constexpr FDateTime MinValue() { return FDateTime(0); }
	/** @return 9999-12-31 23:59:59.9999999. */
	static constexpr FDateTime MaxValue() { return FDateTime(3652059 * ETimespan::TicksPerDay - 1); }
	/** @return the time that many seconds after 1970-01-01 00:00:00. */
	static FDateTime FromUnixTimestamp(int64 UnixTime);
	static bool IsLeapYear(int32 Year);
	static int32 DaysInMonth(int32 Year, int32 Month);
	static int32 DaysInYear(int32 Year);
	/** @return true when the parts form a date between the years 1 and 9999. */
	static bool Validate(int32 Year, int32 Month, int32 Day, int32 Hour, int32 Minute, int32 Second, int32 Millisecond);

	constexpr int64 GetTicks() const { return Ticks; }
	int32 GetYear() const;
	int32 GetMonth() const;
	int32 GetDay() const;
	int32 GetDayOfYear() const;
	int32 GetHour() const { return static_cast<int32>((Ticks / ETimespan::TicksPerHour) % 24); }
	int32 GetHour12() const;
	int32 GetMinute() const { return static_cast<int32>((Ticks / ETimespan::TicksPerMinute) % 60); }
	int32 GetSecond() const { return static_cast<int32>((Ticks / ETimespan::TicksPerSecond) % 60); }
	int32 GetMillisecond() const { return static_cast<int32>((Ticks / ETimespan::TicksPerMillisecond) % 1000); }
	bool IsAfternoon() const { return GetHour() >= 12; }
	/** @return the date at midnight. */
	FDateTime GetDate() const { return FDateTime(Ticks - Ticks % ETimespan::TicksPerDay); }
	FTimespan GetTimeOfDay() const { return FTimespan(Ticks % ETimespan::TicksPerDay); }
	/** @return whole seconds since 1970-01-01 00:00:00, rounded down. */
	int64 ToUnixTimestamp() const;
	/** Splits the date into its calendar year, month (1-12) and day (1-31). */
	void GetDate(int32& OutYear, int32& OutMonth, int32& OutDay) const;

	/** @return "yyyy-mm-ddThh:mm:ss.mmmZ"; the value is taken to be UTC. */
	FString ToIso8601() const;
	/** @return "yyyy.mm.dd-hh.mm.ss". */
	FString ToString() const;
	/**
	 * @return the date written with Format, where %a/%A is am/AM or pm/PM, %d the day (01-31), %D the day of the year
	 *         (001-366), %m the month (01-12), %y/%Y the year in two or four digits, %h the 12-hour hour (01-12),
	 *         %H the hour (00-23), %M minutes, %S seconds, %s milliseconds (000-999), %% a percent sign.
	 */
	FString ToString(const TCHAR* Format) const;

	FDateTime operator+(const FTimespan& Other) const { return FDateTime(Ticks + Other.GetTicks()); }
	FDateTime operator-(const FTimespan& Other) const { return FDateTime(Ticks - Other.GetTicks()); }
	FTimespan operator-(const FDateTime& Other) const { return FTimespan(Ticks - Other.Ticks); }
	FDateTime& operator+=(const FTimespan& Other)
	{
		Ticks += Other.GetTicks();
		return *this;
	}
	FDateTime& operator-=(const FTimespan& Other)
	{
		Ticks -= Other.GetTicks();
		return *this;
	}
	constexpr auto operator<=>(const FDateTime& Other) const = default;

private:
	int64 Ticks = 0;
};
