// The progress line: percent of bytes, bytes, rate and time left, and how
// often it is shown where it cannot be rewritten in place.
#include <gtest/gtest.h>

#include "InstallProgress.h"

namespace {

TEST(InstallProgressTest, LineShowsPercentBytesRateAndTimeLeft)
{
	struct Case {
		int64 done;
		int64 total;
		double seconds; // since the start
		const char* text;
	};
	const Case cases[] = {
	        {0, 2097152, 0, "  0% 0.0 bytes of 2.0 MB"},
	        {524288, 2097152, 1, " 25% 512.0 KB of 2.0 MB, 512.0 KB/s, 3 s left"},
	        {2097152, 2097152, 4, "100% 2.0 MB of 2.0 MB, 512.0 KB/s, 0 s left"},
	        // Counts beyond the total are held to it; nothing to do is 0%.
	        {5000, 1000, 1, "100% 1000.0 bytes of 1000.0 bytes, 1000.0 bytes/s, 0 s left"},
	        {0, 0, 1, "  0% 0.0 bytes of 0.0 bytes"},
	};
	for (const Case& c : cases) {
		ProgressMeter meter;
		meter.Start(10);
		meter.Update(c.done, c.total, 10 + c.seconds);
		EXPECT_EQ(meter.Text(), c.text);
	}
}

TEST(InstallProgressTest, ShownAtMostOnceAnInterval)
{
	ProgressMeter meter;
	meter.Start(0);
	const double times[] = {0, 0.5, 0.99, 1.0, 1.5, 2.2, 2.3};
	const bool due[] = {true, false, false, true, false, true, false};
	for (size_t i = 0; i < sizeof(times) / sizeof(times[0]); i++)
		EXPECT_EQ(meter.Due(times[i], 1.0), due[i]) << times[i];
}

} // namespace
