// The time a build gives to what its inputs do not date (access and birth
// times, the deinstaller it packs): SOURCE_DATE_EPOCH when set, so that two
// builds of the same inputs are byte for byte the same.
#pragma once

#include <string>

#include "SupportDefs.h"

// 1980-01-01 00:00:00 UTC, the earliest time a ZIP entry can hold.
extern const int64 kFixedBuildTime;

// SOURCE_DATE_EPOCH, or kFixedBuildTime when it is not set. B_BAD_VALUE with
// `error` set when it is not a number of seconds.
status_t read_build_time(int64* when, std::string* error);
