// RecordCheck: the configuration record checked before anything is made from
// it. An installer is a file anyone can alter, so every field that becomes a
// path or a line is checked the same way by the installer and by vantry-build.
#pragma once

#include <string>
#include <vector>

#include "Message.h"

// The most bytes a requirement may ask for: 2^60 bytes (1 EiB), more than
// any volume of the usual file systems holds.
static const double kLargestDiskAmount = 1152921504606846976.0;

// Every fault of `record`, each naming the field and its value, as
// "field `custom_folder[0].custom_sub_dir` (\"..\"): reason". Empty when the
// record can be installed.
std::vector<std::string> CheckConfigRecord(const BMessage& record);

// Whether `text` holds a byte below 0x20 or 0x7f: such a text cannot be
// written into a line of a script, a log or a menu entry.
bool HasControlCharacter(const std::string& text);

// `value` as a message shows it: control characters escaped, so that a line
// feed is seen as "\n" and not as a new line of the message.
std::string ShownValue(const std::string& value);

// `name` as one leaf of a path: each "/" becomes "-", each control character
// a space, and a name left empty, "." or ".." gets "_" for each dot (or one
// "_"); cut to 255 bytes at a character boundary. Used where the product name
// names a file; a name is never refused for what it holds.
std::string SafeFileName(const char* name);

// One name of a folder: not empty, not "." or "..", without "/" or control
// characters, at most 255 bytes.
bool IsPlainLeaf(const std::string& name);
