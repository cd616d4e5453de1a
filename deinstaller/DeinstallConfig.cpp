// Loading the reduced configuration from the program's own resources.
#include "DeinstallConfig.h"

#include <cstdio>

#include "Errors.h"
#include "LibAppResource.h"
#include "Message.h"
#include "TypeConstants.h"

namespace {

const int32 kConfigurationId = 2002;

} // namespace

const char* const kNotConfiguredText = "Ravelo was not present during the installation of "
                                       "software. It has not been configured to deinstall.";

status_t LoadDeinstallConfig(BMessage& config)
{
	LibAppResource resources(0);
	if (!resources.HasResource(B_STRING_TYPE, kConfigurationId)) {
		fprintf(stderr, "Does not have resource %d\n", (int)kConfigurationId);
		return B_ENTRY_NOT_FOUND;
	}
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, kConfigurationId, &size);
	if (data == nullptr || config.Unflatten((const char*)data, (ssize_t)size) != B_OK) {
		fprintf(stderr, "Unable to read resource %d\n", (int)kConfigurationId);
		return B_BAD_DATA;
	}
	return B_OK;
}
