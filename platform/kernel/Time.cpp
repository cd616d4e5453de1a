// Clocks: a monotonic microsecond clock and the wall clock.
#include <sys/time.h>
#include <time.h>

#include "OS.h"

bigtime_t system_time()
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return bigtime_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

uint32 real_time_clock()
{
	return uint32(time(nullptr));
}

bigtime_t real_time_clock_usecs()
{
	timeval now;
	gettimeofday(&now, nullptr);
	return bigtime_t(now.tv_sec) * 1000000 + now.tv_usec;
}
