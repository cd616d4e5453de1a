// Version, supported types and signature of an executable, through its
// application file information. Without a path they act on the running
// executable, which Linux does not let anyone write (ETXTBSY): the setters
// then write nothing and report nothing (their result is false).
#pragma once

#include "Entry.h"
#include "LibString.h"
#include "LibStringList.h"

bool LibSetAppVersion(const unsigned long& major, const unsigned long& middle,
                      const unsigned long& minor, const char* shortText, const char* longText,
                      const unsigned long& variety, const unsigned long& internal);
// Host addition: the same for the executable at `path`.
bool LibSetAppVersion(const char* path, const unsigned long& major, const unsigned long& middle,
                      const unsigned long& minor, const char* shortText, const char* longText,
                      const unsigned long& variety, const unsigned long& internal);

// "major.middle.minor", the variety's word and the internal number when not
// 0, for example "2.0.1 Beta 7"; empty without version information. A null
// path reads the running executable.
LibString LibGetAppVersion(const char* path);

// Appends the running executable's supported types to `out`; the list's size
// afterwards, or 0 (and `out` unchanged) when they cannot be read.
int32 LibGetAppSupportedTypes(LibStringList& out);
// Host addition: the same for the executable at `path`.
int32 LibGetAppSupportedTypes(const char* path, LibStringList& out);
// Replaces the running executable's supported types by those of `in`.
bool LibSetAppSupportedTypes(LibStringList& in);
// Host addition: the same for the executable at `path`.
bool LibSetAppSupportedTypes(const char* path, LibStringList& in);

// `out` (B_MIME_TYPE_LENGTH bytes) becomes empty, then the signature of the
// entry when its type is the platform's executable type.
void LibGetAppSignature(const entry_ref& ref, char* out);
