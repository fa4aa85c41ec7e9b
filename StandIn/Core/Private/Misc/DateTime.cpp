#include "Misc/DateTime.h"

#include "Misc/AssertionMacros.h"

#include <ctime>
#include <string>

namespace
{
	constexpr int64 DaysPer400Years = 146097;
	constexpr int64 DaysPer100Years = 36524;
	constexpr int64 DaysPer4Years = 1461;
	constexpr int64 UnixEpochTicks = 621355968000000000;
	constexpr int32 DaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

	int64 DaysBeforeYear(int32 Year)
	{
		const int64 Previous = Year - 1;
		return Previous * 365 + Previous / 4 - Previous / 100 + Previous / 400;
	}

	int32 DaysBeforeMonthInYear(int32 Year, int32 Month)
	{
		return DaysBeforeMonth[Month] + (Month > 2 && FDateTime::IsLeapYear(Year) ? 1 : 0);
	}

	void AppendNumber(FString& Out, int64 Value, int32 Width)
	{
		std::string Digits = std::to_string(Value < 0 ? -Value : Value);
		if (static_cast<int32>(Digits.size()) < Width)
		{
			Digits.insert(0, static_cast<size_t>(Width) - Digits.size(), '0');
		}
		if (Value < 0)
		{
			Out.AppendChar(TEXT('-'));
		}
		Out += FString::FromUtf8(Digits);
	}
} // namespace

FDateTime::FDateTime(int32 Year, int32 Month, int32 Day, int32 Hour, int32 Minute, int32 Second, int32 Millisecond)
{
	check(Validate(Year, Month, Day, Hour, Minute, Second, Millisecond));
	const int64 Days = DaysBeforeYear(Year) + DaysBeforeMonthInYear(Year, Month) + (Day - 1);
	Ticks = Days * ETimespan::TicksPerDay + Hour * ETimespan::TicksPerHour + Minute * ETimespan::TicksPerMinute + Second * ETimespan::TicksPerSecond +
	        Millisecond * ETimespan::TicksPerMillisecond;
}

FDateTime FDateTime::UtcNow()
{
	timespec Now;
	clock_gettime(CLOCK_REALTIME, &Now);
	return FDateTime(UnixEpochTicks + static_cast<int64>(Now.tv_sec) * ETimespan::TicksPerSecond + Now.tv_nsec / 100);
}

FDateTime FDateTime::Now()
{
	timespec Current;
	clock_gettime(CLOCK_REALTIME, &Current);
	tm Local;
	localtime_r(&Current.tv_sec, &Local);
	const int64 LocalSeconds = static_cast<int64>(Current.tv_sec) + Local.tm_gmtoff;
	return FDateTime(UnixEpochTicks + LocalSeconds * ETimespan::TicksPerSecond + Current.tv_nsec / 100);
}

FDateTime FDateTime::FromUnixTimestamp(int64 UnixTime)
{
	return FDateTime(UnixEpochTicks + UnixTime * ETimespan::TicksPerSecond);
}

bool FDateTime::IsLeapYear(int32 Year)
{
	return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}

int32 FDateTime::DaysInMonth(int32 Year, int32 Month)
{
	check(Month >= 1 && Month <= 12);
	if (Month == 2)
	{
		return IsLeapYear(Year) ? 29 : 28;
	}
	return (Month == 4 || Month == 6 || Month == 9 || Month == 11) ? 30 : 31;
}

int32 FDateTime::DaysInYear(int32 Year)
{
	return IsLeapYear(Year) ? 366 : 365;
}

bool FDateTime::Validate(int32 Year, int32 Month, int32 Day, int32 Hour, int32 Minute, int32 Second, int32 Millisecond)
{
	return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= DaysInMonth(Year, Month) && Hour >= 0 && Hour <= 23 && Minute >= 0 &&
	       Minute <= 59 && Second >= 0 && Second <= 59 && Millisecond >= 0 && Millisecond <= 999;
}

void FDateTime::GetDate(int32& OutYear, int32& OutMonth, int32& OutDay) const
{
	int64 Days = Ticks / ETimespan::TicksPerDay;
	const int64 Cycles400 = Days / DaysPer400Years;
	Days -= Cycles400 * DaysPer400Years;
	// The last day of a 400-year cycle belongs to its fourth century, and the last of a 4-year one to its fourth year.
	const int64 Centuries = Days / DaysPer100Years < 3 ? Days / DaysPer100Years : 3;
	Days -= Centuries * DaysPer100Years;
	const int64 Cycles4 = Days / DaysPer4Years;
	Days -= Cycles4 * DaysPer4Years;
	const int64 Years = Days / 365 < 3 ? Days / 365 : 3;
	Days -= Years * 365;

	OutYear = static_cast<int32>(Cycles400 * 400 + Centuries * 100 + Cycles4 * 4 + Years + 1);
	int32 Month = 12;
	while (Month > 1 && DaysBeforeMonthInYear(OutYear, Month) > Days)
	{
		--Month;
	}
	OutMonth = Month;
	OutDay = static_cast<int32>(Days - DaysBeforeMonthInYear(OutYear, Month)) + 1;
}

int32 FDateTime::GetYear() const
{
	int32 Year, Month, Day;
	GetDate(Year, Month, Day);
	return Year;
}

int32 FDateTime::GetMonth() const
{
	int32 Year, Month, Day;
	GetDate(Year, Month, Day);
	return Month;
}

int32 FDateTime::GetDay() const
{
	int32 Year, Month, Day;
	GetDate(Year, Month, Day);
	return Day;
}

int32 FDateTime::GetDayOfYear() const
{
	int32 Year, Month, Day;
	GetDate(Year, Month, Day);
	return DaysBeforeMonthInYear(Year, Month) + Day;
}

int32 FDateTime::GetHour12() const
{
	const int32 Hour = GetHour() % 12;
	return Hour == 0 ? 12 : Hour;
}

int64 FDateTime::ToUnixTimestamp() const
{
	const int64 Offset = Ticks - UnixEpochTicks;
	// Round towards the past, also before 1970.
	return Offset >= 0 ? Offset / ETimespan::TicksPerSecond : -((-Offset + ETimespan::TicksPerSecond - 1) / ETimespan::TicksPerSecond);
}

FString FDateTime::ToIso8601() const
{
	return ToString(TEXT("%Y-%m-%dT%H:%M:%S.%sZ"));
}

FString FDateTime::ToString() const
{
	return ToString(TEXT("%Y.%m.%d-%H.%M.%S"));
}

FString FDateTime::ToString(const TCHAR* Format) const
{
	FString Result;
	if (!Format)
	{
		return Result;
	}
	int32 Year, Month, Day;
	GetDate(Year, Month, Day);
	for (const TCHAR* Cursor = Format; *Cursor; ++Cursor)
	{
		if (*Cursor != TEXT('%') || Cursor[1] == 0)
		{
			Result.AppendChar(*Cursor);
			continue;
		}
		switch (*++Cursor)
		{
			case TEXT('a'):
				Result += IsAfternoon() ? TEXT("pm") : TEXT("am");
				break;
			case TEXT('A'):
				Result += IsAfternoon() ? TEXT("PM") : TEXT("AM");
				break;
			case TEXT('d'):
				AppendNumber(Result, Day, 2);
				break;
			case TEXT('D'):
				AppendNumber(Result, GetDayOfYear(), 3);
				break;
			case TEXT('m'):
				AppendNumber(Result, Month, 2);
				break;
			case TEXT('y'):
				AppendNumber(Result, Year % 100, 2);
				break;
			case TEXT('Y'):
				AppendNumber(Result, Year, 4);
				break;
			case TEXT('h'):
				AppendNumber(Result, GetHour12(), 2);
				break;
			case TEXT('H'):
				AppendNumber(Result, GetHour(), 2);
				break;
			case TEXT('M'):
				AppendNumber(Result, GetMinute(), 2);
				break;
			case TEXT('S'):
				AppendNumber(Result, GetSecond(), 2);
				break;
			case TEXT('s'):
				AppendNumber(Result, GetMillisecond(), 3);
				break;
			default:
				Result.AppendChar(*Cursor);
				break;
		}
	}
	return Result;
}
