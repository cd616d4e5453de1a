// Byte counts as short texts ("1.5 KB") and back.
#pragma once

#include "LibString.h"
#include "SupportDefs.h"

// "%.*f %s" in bytes, KB (above 1024 bytes) or MB (above 1048576 bytes).
LibString& LibBytesToString(const uint32& bytes, LibString& text, const int32& decimals = 1);
// The same for sizes of 4 GiB and more; identical text below that.
LibString& LibBytesToString(const uint64& bytes, LibString& text, const int32& decimals = 1);
// Signed counts (file sizes are off_t); negative counts read as 0.
LibString& LibBytesToString(const int32& bytes, LibString& text, const int32& decimals = 1);
LibString& LibBytesToString(const int64& bytes, LibString& text, const int32& decimals = 1);

// "<number> KB" or "<number> MB" to bytes, truncated toward zero; any other
// unit gives 0, a bad number gives 0 and a line on standard error. Results
// below 0 give 0 and results beyond 32 bits give the largest 32-bit count.
uint32 LibStringToBytes(const char* text);
