// The product record of a deinstaller's configuration: the text every entry
// of that installation carries as its "InstallBy" tag.
#pragma once

#include "LibString.h"

class BMessage;

// "app_name;version;release_date;company;support_email;", each field of the
// configuration followed by a semicolon (an absent field as empty text).
LibString DeinstallProductRecord(const BMessage& config);
// The tag of a script section the configuration names (`option` true), or
// empty text: "edit_bootscript", "edit_setup_env" or "edit_profile".
LibString DeinstallScriptTag(const BMessage& config, const char* option);
