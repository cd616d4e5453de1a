// Where an installer file keeps its parts: the resource IDs every program
// that writes or reads one uses.
#pragma once

#include "SupportDefs.h"

// The configuration record ('CSTR').
const int32 kConfigurationResourceId = 2002;
// The deinstaller program, as a payload.
const int32 kDeinstallerPayloadId = 2001;
// The first item's payload; item i is kFirstPayloadId + i.
const int32 kFirstPayloadId = 2100;
