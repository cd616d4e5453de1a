// Splitting UTF-8 text into code points for measuring and truncating.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "SupportDefs.h"

// The code points of the text; a malformed byte counts as U+FFFD.
std::vector<uint32> utf8_codepoints(std::string_view text);
// The byte offset where each character starts.
std::vector<size_t> utf8_starts(std::string_view text);
