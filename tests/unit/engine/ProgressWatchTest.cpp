// Progress within an item: the bytes written so far are reported as they
// grow, never past the item's size.
#include "ProgressWatch.h"

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "InstallConfig.h"
#include "Messenger.h"

namespace {

// An engine whose messages go to a capture without a run.
class WatchedConfig : public InstallConfig {
public:
	explicit WatchedConfig(BLooper* looper) { target = new BMessenger(looper); }
};

std::vector<int64> Placed(CaptureLooper& capture)
{
	std::vector<int64> placed;
	for (const BMessage& message : capture.Messages()) {
		if (message.what == uint32(INSTALL_PROGRESS))
			placed.push_back(message.FindInt64("placed"));
	}
	return placed;
}

TEST(ProgressWatchTest, ReportsTheBytesAsTheyGrowNeverPastTheItem)
{
	RunningCapture capture;
	WatchedConfig config(capture.Get());
	std::atomic<int64> written(0);
	{
		const ProgressWatch watch(config, 1000, 500, written);
		written = 200;
		ASSERT_TRUE(capture->WaitFor(1));
		written = 900;
		ASSERT_TRUE(capture->WaitFor(2));
	}
	snooze(250000);
	EXPECT_EQ(Placed(*capture.Get()), (std::vector<int64>{1200, 1500}))
	        << "nothing is sent twice, nothing after the watch ends, never past the item";
}

} // namespace
