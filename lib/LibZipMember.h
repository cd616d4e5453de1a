// One file as a ZIP archive in memory, and back: what LibNode keeps in an
// attribute. Not the archive commands of the payload store.
#pragma once

#include <string>

// A ZIP archive holding the regular file at `path` as the member `name`,
// deflated at level 9 (stored when that is not smaller).
bool LibZipOneFile(const char* path, const char* name, std::string& archive);
// The bytes of the member whose leaf is `name`, or of the archive's only
// file; every offset and size is checked and the CRC compared.
bool LibUnzipOneFile(const std::string& archive, const char* name, std::string& data);
