// Files dropped from a file manager: the text/uri-list it hands over, read
// into local paths, and the message the view under the pointer receives.
#pragma once

#include <string>
#include <vector>

#include "Message.h"

// The local paths named by a text/uri-list, in order. Lines that are empty,
// comments, not "file:" URIs, on another host, badly escaped or holding a NUL
// are left out. `localHost` is this machine's name, also taken as local.
std::vector<std::string> file_paths_from_uri_list(const std::string& text,
                                                  const std::string& localHost = "");

// Fills `message` as a drop of those files: B_SIMPLE_DATA with one "refs"
// entry_ref each, marked as dropped at `where` (screen coordinates). False,
// and the message untouched, when no file of the list has a folder to refer to.
bool make_drop_message(const std::string& uriList, BPoint where, BMessage* message);
