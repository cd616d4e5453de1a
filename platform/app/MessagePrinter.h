// Readable dump of a message: an indented tree of typed values, nested
// messages included. BMessage::PrintToStream and vantry-res use it.
#pragma once

#include <cstdio>

class BMessage;

// Writes `msg` to `out`, each line starting with `indent` levels of four spaces.
void print_message(const BMessage& msg, FILE* out, int indent);
