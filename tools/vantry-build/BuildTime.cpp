// SOURCE_DATE_EPOCH, as reproducible builds everywhere read it.
#include "BuildTime.h"

#include <cerrno>
#include <cstdlib>

const int64 kFixedBuildTime = 315532800;

status_t read_build_time(int64* when, std::string* error)
{
	if (when == nullptr)
		return B_BAD_VALUE;
	const char* text = getenv("SOURCE_DATE_EPOCH");
	if (text == nullptr || text[0] == '\0') {
		*when = kFixedBuildTime;
		return B_OK;
	}
	char* end = nullptr;
	errno = 0;
	const long long seconds = strtoll(text, &end, 10);
	if (errno != 0 || *end != '\0' || seconds < 0 || text[0] < '0' || text[0] > '9') {
		if (error != nullptr)
			*error = std::string("SOURCE_DATE_EPOCH is not a number of seconds since 1970: \"") +
			         text + "\"";
		return B_BAD_VALUE;
	}
	*when = seconds;
	return B_OK;
}
