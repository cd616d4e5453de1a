// PayloadSpace: how many bytes a payload archive will write, read from its
// central directory, so that space is checked against what is unpacked and
// not against what a record says.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

// The sum of the unpacked sizes of every entry of the ZIP archive held in
// [offset, offset + size) of the file at `path`, saturated at INT64_MAX.
// B_BAD_DATA when the directory cannot be read.
status_t PayloadUnpackedSize(const char* path, off_t offset, off_t size, int64& total);
