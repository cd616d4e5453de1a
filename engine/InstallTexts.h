// The engine's user-interface texts in the current language, with the
// English text wherever the installer carries none or a damaged one.
#pragma once

#include <cstddef>
#include <string>

#include "LibString.h"
#include "SupportDefs.h"

// Text `id` (1000 to 1203) in the current language, read from the running
// installer once per process.
LibString InstallText(const int32& id);
// The English text of `id`; empty for an id the engine does not know.
const char* InstallEnglishText(const int32& id);
// printf with text `id` as the format, cut to `size` - 1 bytes. A translation
// whose conversions differ from the English text's is never used as a format.
// (The id is passed by value: a variadic function cannot start after a reference.)
std::string InstallFormat(const size_t& size, int32 id, ...);
// The code of the current language.
std::string InstallLanguage();
// Makes `code` the current language and remembers it on the installer.
void InstallSetLanguage(const char* code);
