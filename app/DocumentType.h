// Registration of the installer as preferred application of its document
// type, kept in our own type database so the desktop's defaults stay as the
// user set them.
#pragma once

#include "SupportDefs.h"

// Writes the preferred application of `type` into the type database under
// the user's settings folder ("beos_mime/<type>", attribute META:PREF_APP).
status_t RegisterPreferredApp(const char* type, const char* signature);
