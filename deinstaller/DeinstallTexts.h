// The deinstaller's own texts (ids 1000 to 1010) in the language remembered
// on its file, English when its table lacks one.
#pragma once

#include "LibString.h"
#include "SupportDefs.h"

LibString DeinstallText(const int32& id);
