// Loading the configuration record ('CSTR' 2002) of an installer, shared by
// the window and the unattended mode.
#pragma once

#include "Message.h"

class LibAppResource;

static const int32 kConfigurationResourceId = 2002;

// Empties `config` and unflattens the record of `store` into it. A missing or
// unreadable record writes its diagnostic to the standard error stream and
// shows the "improperly built" error box; a record that CheckConfigRecord
// refuses is reported field by field. `config` is then left empty.
bool LoadConfiguration(BMessage& config, LibAppResource& store);
