#include "HAL/PlatformProcess.h"
#include "Misc/DateTime.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>

namespace
{
	std::string Utf8(const FString& Value)
	{
		return Value.ToUtf8();
	}
} // namespace

TEST(FDateTime, WritesIso8601WithMillisecondsAndTheDefaultForm)
{
	const FDateTime Leap(2024, 2, 29, 13, 5, 9, 7);
	EXPECT_EQ(Utf8(Leap.ToIso8601()), "2024-02-29T13:05:09.007Z");
	EXPECT_EQ(Utf8(Leap.ToString()), "2024.02.29-13.05.09");
	EXPECT_EQ(Utf8(FDateTime(1, 1, 1).ToIso8601()), "0001-01-01T00:00:00.000Z");
	EXPECT_EQ(Utf8(FDateTime::MaxValue().ToIso8601()), "9999-12-31T23:59:59.999Z");
	EXPECT_EQ(Utf8(Leap.ToString(TEXT("%y/%D %h:%M %A %a %s%%"))), "24/060 01:05 PM pm 007%");
	EXPECT_EQ(Utf8(FDateTime(2023, 1, 1, 0, 30).ToString(TEXT("%h %A"))), "12 AM");
}

TEST(FDateTime, CountsTicksFromTheYearOneAcrossLeapRules)
{
	EXPECT_EQ(FDateTime(1970, 1, 1).GetTicks(), 621355968000000000);
	EXPECT_EQ(FDateTime::FromUnixTimestamp(0), FDateTime(1970, 1, 1));
	EXPECT_EQ(FDateTime::FromUnixTimestamp(951782400), FDateTime(2000, 2, 29));
	EXPECT_EQ(FDateTime(2000, 2, 29, 12).ToUnixTimestamp(), 951825600);
	EXPECT_EQ(FDateTime(1969, 12, 31, 23, 59, 59, 500).ToUnixTimestamp(), -1);

	EXPECT_EQ(Utf8((FDateTime(1900, 3, 1) - FTimespan(1, 0, 0, 0)).ToIso8601()), "1900-02-28T00:00:00.000Z");
	EXPECT_EQ(Utf8((FDateTime(2000, 3, 1) - FTimespan(1, 0, 0, 0)).ToIso8601()), "2000-02-29T00:00:00.000Z");
	EXPECT_EQ(Utf8((FDateTime(2001, 1, 1) - FTimespan(0, 0, 0, 1)).ToIso8601()), "2000-12-31T23:59:59.000Z");
	EXPECT_EQ(FDateTime(2000, 12, 31).GetDayOfYear(), 366);
	EXPECT_EQ(FDateTime(2100, 12, 31).GetDayOfYear(), 365);
	EXPECT_FALSE(FDateTime::Validate(1900, 2, 29, 0, 0, 0, 0));
	EXPECT_TRUE(FDateTime::Validate(2000, 2, 29, 0, 0, 0, 0));
	EXPECT_FALSE(FDateTime::Validate(2024, 4, 31, 0, 0, 0, 0));

	// Every day of four centuries survives the trip from calendar to ticks and back.
	FDateTime Day(1999, 1, 1);
	for (int32 Index = 0; Index < 146097; ++Index, Day += FTimespan(1, 0, 0, 0))
	{
		int32 Year, Month, DayOfMonth;
		Day.GetDate(Year, Month, DayOfMonth);
		ASSERT_EQ(FDateTime(Year, Month, DayOfMonth), Day) << Utf8(Day.ToIso8601());
	}
	EXPECT_EQ(Day, FDateTime(2399, 1, 1));
}

TEST(FDateTime, UtcNowIsTheSystemClockAndNowAddsTheLocalOffset)
{
	const std::time_t Before = std::time(nullptr);
	const FDateTime Utc = FDateTime::UtcNow();
	const FDateTime Local = FDateTime::Now();
	const std::time_t After = std::time(nullptr);

	EXPECT_GE(Utc.ToUnixTimestamp(), Before);
	EXPECT_LE(Utc.ToUnixTimestamp(), After);
	EXPECT_TRUE(std::regex_match(Utf8(Utc.ToIso8601()), std::regex(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z)")));

	std::tm LocalParts;
	localtime_r(&After, &LocalParts);
	EXPECT_NEAR((Local - Utc).GetTotalSeconds(), static_cast<double>(LocalParts.tm_gmtoff), 2.0);
	EXPECT_LE(Utc, FDateTime::UtcNow());
	EXPECT_GT(FDateTime::UtcNow() + FTimespan::FromSeconds(1.5), Utc);
}

TEST(FDateTime, MeasuresASleepOfTheCallingThread)
{
	const FDateTime Start = FDateTime::UtcNow();
	FPlatformProcess::Sleep(0.05f);
	const double Elapsed = (FDateTime::UtcNow() - Start).GetTotalSeconds();
	EXPECT_GE(Elapsed, 0.05);
	EXPECT_LT(Elapsed, 5.0);
}

TEST(FTimespan, ConvertsUnitsAndRoundsToTheNearestTick)
{
	EXPECT_EQ(FTimespan::FromSeconds(1.5).GetTicks(), 15000000);
	EXPECT_EQ(FTimespan::FromMilliseconds(0.00004).GetTicks(), 0);
	EXPECT_EQ(FTimespan::FromMilliseconds(0.00006).GetTicks(), 1);
	EXPECT_DOUBLE_EQ(FTimespan(0, 1, 30, 0).GetTotalSeconds(), 5400.0);
	EXPECT_LT(-FTimespan::FromSeconds(1), FTimespan::Zero());
	EXPECT_EQ(FDateTime(2024, 1, 1, 12) - FDateTime(2024, 1, 1), FTimespan(12, 0, 0));
}
