// Loading the configuration record ('CSTR' 2002) of an installer, shared by
// the window and the unattended mode.
#pragma once

#include <string>
#include <vector>

#include "InstallerResourceIds.h"
#include "Message.h"

class LibAppResource;

// Empties `config` and unflattens the record of `store` into it. A missing or
// unreadable record writes its diagnostic to the standard error stream and
// shows the "improperly built" error box; a record that CheckConfigRecord
// refuses is reported field by field. `config` is then left empty.
bool LoadConfiguration(BMessage& config, LibAppResource& store);

// What reading the record found before anyone is told: whether it was read,
// and the faults CheckConfigRecord found in it.
struct ConfigReading {
	bool read = false;
	std::vector<std::string> faults;
};

// LoadConfiguration in two halves, so that the window reads the record on a
// thread of its own while the display opens. The first shows no box (a
// missing or unreadable record's line still goes to the standard error
// stream); the second tells the user what the first found, as
// LoadConfiguration does, and empties `config` when it cannot be used.
ConfigReading ReadConfiguration(BMessage& config, LibAppResource& store);
bool ReportConfiguration(BMessage& config, const ConfigReading& reading);
