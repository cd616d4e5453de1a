// The standard folder names by which a product names destinations, and the
// `directory_which` value each stands for.
#pragma once

#include <string>

#include "SupportDefs.h"

// The value of a standard folder name (exact, case-sensitive); false when unknown.
bool standard_folder_code(const std::string& name, int32* code);
// The name of a standard folder value, or nullptr when it has none.
const char* standard_folder_name(int32 code);
