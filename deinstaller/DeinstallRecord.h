// The product record of a deinstaller's configuration: the text every entry
// of that installation carries as its "InstallBy" tag, and the tags of the
// script sections it added.
#pragma once

#include <string>
#include <vector>

#include "LibString.h"

class BMessage;
struct DeinstallScriptTags;

// "app_name;version;release_date;company;support_email;", each field of the
// configuration followed by a semicolon (an absent field as empty text).
LibString DeinstallProductRecord(const BMessage& config);
// The tag of each script section the configuration names; empty text for a
// section it does not add.
DeinstallScriptTags DeinstallScriptTagsOf(const BMessage& config);

// The folders the installation made outside its own folder, as listed in `config`.
std::vector<std::string> DeinstallCreatedFolders(const BMessage& config);
