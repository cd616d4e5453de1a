// Host rules for extended attributes as raw bytes: reading one value or the
// list of names, and copying them all, names and bytes untouched, so that a
// copy put back in place changes nothing. Not a BeOS API.
#pragma once

#include <string>

// Reads the attribute `name` of the open file `fd`, or with `fd` below 0 of
// `path` itself (a link is not followed); an empty name reads the list of
// names, each ending in a NUL. Returns 0 or the errno of the failure.
int host_read_xattr(int fd, const std::string& path, const std::string& name, std::string* value);

// Copies every extended attribute of the open file `from` to the open file
// `to`; false when one could not be read or written.
bool host_copy_raw_attrs(int from, int to);
