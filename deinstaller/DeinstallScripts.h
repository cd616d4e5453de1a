// The product's sections in the user's shell scripts, removed after a removal.
#pragma once

#include <functional>
#include <string>

#include "LibString.h"

struct DeinstallScriptTags {
	LibString boot;
	LibString setupEnvironment;
	LibString profile;
};

// Removes the section of each non-empty tag from its script (the boot
// script, the environment script, the profile); `done` hears each file and tag.
void RemoveScriptSections(const DeinstallScriptTags& tags,
                          const std::function<void(const char* file, const char* tag)>& done);
