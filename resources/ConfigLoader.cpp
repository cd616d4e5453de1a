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
	if (!store.HasResource(B_STRING_TYPE, kConfigurationResourceId))
		return false;
	size_t length = 0;
	void* data = store.FindResource(B_STRING_TYPE, kConfigurationResourceId, &length);
	if (data == nullptr)
		return false;
	status_t status = config.Unflatten(static_cast<const char*>(data), length);
	free(data);
	return status == B_OK;
}

} // namespace

ConfigReading ReadConfiguration(BMessage& config, LibAppResource& store)
{
	ConfigReading reading;
	config.MakeEmpty();
	reading.read = read_record(config, store);
	// A record that would write outside its places is refused whole, before
	// anything is made from it.
	if (reading.read)
		reading.faults = CheckConfigRecord(config);
	return reading;
}

bool ReportConfiguration(BMessage& config, const ConfigReading& reading)
{
	if (reading.read && reading.faults.empty())
		return true;
	// A failed unflattening may have left some fields: nothing half loaded.
	config.MakeEmpty();
	config.what = 0;
	if (reading.read) {
		for (const std::string& fault : reading.faults)
			fprintf(stderr, "Installer: configuration refused: %s\n", fault.c_str());
		LibError("The installer's configuration is refused, nothing was installed: %s",
		         reading.faults.front().c_str());
		return false;
	}
	LibError("%s",
	         "Error obtaining configuration in installer. The installer was improperly built.");
	return false;
}

bool LoadConfiguration(BMessage& config, LibAppResource& store)
{
	const ConfigReading reading = ReadConfiguration(config, store);
	return ReportConfiguration(config, reading);
}
