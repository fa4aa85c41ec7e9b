#include "Misc/Timespan.h"

#include <cmath>

namespace
{
	FTimespan FromUnits(double Count, int64 TicksPerUnit)
	{
		return FTimespan(static_cast<int64>(std::llround(Count * static_cast<double>(TicksPerUnit))));
	}
} // namespace

FTimespan FTimespan::FromSeconds(double Seconds)
{
	return FromUnits(Seconds, ETimespan::TicksPerSecond);
}

FTimespan FTimespan::FromMilliseconds(double Milliseconds)
{
	return FromUnits(Milliseconds, ETimespan::TicksPerMillisecond);
}

FTimespan FTimespan::FromMinutes(double Minutes)
{
	return FromUnits(Minutes, ETimespan::TicksPerMinute);
}

FTimespan FTimespan::FromHours(double Hours)
{
	return FromUnits(Hours, ETimespan::TicksPerHour);
}

FTimespan FTimespan::FromDays(double Days)
{
	return FromUnits(Days, ETimespan::TicksPerDay);
}
