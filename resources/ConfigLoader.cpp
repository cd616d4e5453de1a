// The configuration loading path with its diagnostics and error box.
#include "ConfigLoader.h"

#include <stdio.h>
#include <stdlib.h>

#include "LibAppResource.h"
#include "LibMessageBox.h"
#include "RecordCheck.h"
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

// A record that would write outside its places is refused whole, before
// anything is made from it.
bool check_record(const BMessage& config)
{
	const std::vector<std::string> faults = CheckConfigRecord(config);
	if (faults.empty())
		return true;
	for (const std::string& fault : faults)
		fprintf(stderr, "Installer: configuration refused: %s\n", fault.c_str());
	LibError("The installer's configuration is refused, nothing was installed: %s",
	         faults.front().c_str());
	return false;
}

} // namespace

bool LoadConfiguration(BMessage& config, LibAppResource& store)
{
	config.MakeEmpty();
	if (read_record(config, store)) {
		if (check_record(config))
			return true;
		config.MakeEmpty();
		config.what = 0;
		return false;
	}
	// A failed unflattening may have left some fields: nothing half loaded.
	config.MakeEmpty();
	config.what = 0;
	LibError("%s",
	         "Error obtaining configuration in installer. The installer was improperly built.");
	fprintf(stderr, "QUIT.................. add code...\n");
	return false;
}
