// What the benchmarks report beside Google Benchmark's own statistics.
#pragma once

#include <algorithm>
#include <vector>

namespace TRLBench
{
	// Other work on the machine only ever adds time, so the fastest repetition is the operation's own cost.
	inline double Fastest(const std::vector<double>& Times)
	{
		return Times.empty() ? 0.0 : *std::min_element(Times.begin(), Times.end());
	}
} // namespace TRLBench
