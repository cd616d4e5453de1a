// BLocker is recursive for its owner and excludes other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Autolock.h"
#include "Locker.h"

TEST(LockerTest, OwnerMayLockAgainOthersWait)
{
	BLocker locker("test");
	ASSERT_TRUE(locker.Lock());
	ASSERT_TRUE(locker.Lock());
	EXPECT_EQ(locker.CountLocks(), 2);
	EXPECT_TRUE(locker.IsLocked());

	status_t other = B_OK;
	std::thread([&] { other = locker.LockWithTimeout(20000); }).join();
	EXPECT_EQ(other, B_TIMED_OUT);

	locker.Unlock();
	EXPECT_TRUE(locker.IsLocked());
	locker.Unlock();
	EXPECT_FALSE(locker.IsLocked());

	bool gotIt = false;
	std::thread([&] {
		gotIt = locker.Lock();
		locker.Unlock();
	}).join();
	EXPECT_TRUE(gotIt);
}

TEST(LockerTest, CountersStayConsistentUnderContention)
{
	BLocker locker;
	long counter = 0;
	auto work = [&] {
		for (int i = 0; i < 20000; i++) {
			BAutolock hold(locker);
			counter++;
		}
	};
	std::thread t1(work), t2(work);
	t1.join();
	t2.join();
	EXPECT_EQ(counter, 40000);
}

TEST(LockerTest, UnlockByAnotherThreadIsIgnored)
{
	BLocker locker;
	ASSERT_TRUE(locker.Lock());
	std::thread([&] { locker.Unlock(); }).join();
	EXPECT_TRUE(locker.IsLocked());
	locker.Unlock();
}
