// The configuration loading path with its diagnostics and error box.
#include "ConfigLoader.h"

#include <stdio.h>
#include <stdlib.h>

#include "LibAppResource.h"
#include "LibMessageBox.h"
#include "TypeConstants.h"

namespace {

// Unflattens the record; false (with the diagnostic written) when it cannot.
bool read_record(BMessage& config, LibAppResource& store)
{
	if (!store.HasResource(B_STRING_TYPE, kConfigurationResourceId)) {
		fprintf(stderr, "Does not have resource %d\n", (int)kConfigurationResourceId);
		return false;
	}
	size_t length = 0;
	void* data = store.FindResource(B_STRING_TYPE, kConfigurationResourceId, &length);
	if (data == nullptr) {
		fprintf(stderr, "Unable to read resource %d\n", (int)kConfigurationResourceId);
		return false;
	}
	status_t status = config.Unflatten(static_cast<const char*>(data), length);
	free(data);
	return status == B_OK;
}

} // namespace

bool LoadConfiguration(BMessage& config, LibAppResource& store)
{
	config.MakeEmpty();
	if (read_record(config, store))
		return true;
	// A failed unflattening may have left some fields: nothing half loaded.
	config.MakeEmpty();
	config.what = 0;
	LibError("%s",
	         "Error obtaining configuration in installer. The installer was improperly built.");
	fprintf(stderr, "QUIT.................. add code...\n");
	return false;
}
