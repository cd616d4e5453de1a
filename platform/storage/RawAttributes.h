// Host rule for copying a file's extended attributes as they are, names and
// bytes untouched, so that a copy put back in place changes nothing. Not a
// BeOS API.
#pragma once

// Copies every extended attribute of the open file `from` to the open file
// `to`; false when one could not be read or written.
bool host_copy_raw_attrs(int from, int to);
