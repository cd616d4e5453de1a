// Loading the reduced configuration from the program's own resources.
#include "DeinstallConfig.h"

#include <cstdio>

#include "Errors.h"
#include "InstallerResourceIds.h"
#include "LibAppResource.h"
#include "Message.h"
#include "TypeConstants.h"

const char* const kNotConfiguredText = "Ravelo was not present during the installation of "
                                       "software. It has not been configured to deinstall.";

status_t LoadDeinstallConfig(BMessage& config)
{
	LibAppResource resources(0);
	if (!resources.HasResource(B_STRING_TYPE, kConfigurationResourceId)) {
		fprintf(stderr, "Does not have resource %d\n", (int)kConfigurationResourceId);
		return B_ENTRY_NOT_FOUND;
	}
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, kConfigurationResourceId, &size);
	if (data == nullptr || config.Unflatten((const char*)data, (ssize_t)size) != B_OK) {
		fprintf(stderr, "Unable to read resource %d\n", (int)kConfigurationResourceId);
		return B_BAD_DATA;
	}
	return B_OK;
}
