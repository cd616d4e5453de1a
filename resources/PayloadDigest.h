// The digest of a payload archive: a CRC-32 of its bytes, streamed, written
// into the record by vantry-build and checked by the installer before it
// changes anything.
#pragma once

#include <sys/types.h>

#include <string>

#include "SupportDefs.h"

// The record field of an install_file item that holds its payload's digest.
extern const char* const kPayloadDigestField;
// The record field that holds the digest of the deinstaller's payload.
extern const char* const kDeinstallerDigestField;

// The digest of `size` bytes of the open file `fd` from `offset`. A file that
// ends before them gives B_FILE_ERROR with `error` naming both sizes.
status_t payload_digest(const int& fd, const off_t& offset, const off_t& size, uint32* digest,
                        std::string* error);
// The digest of the whole file at `path`.
status_t payload_file_digest(const std::string& path, uint32* digest, std::string* error);
