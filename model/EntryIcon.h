// The 16 x 16 icon of an entry as the item list shows it: the entry's own
// mini icon, an application's icon resource, or the default of its kind.
#pragma once

#include "SupportDefs.h"

class BBitmap;

// The kind of an item at a path, links followed: 2 folder, 1 application (a
// file with an execute permission), 0 any other file; -1 when absent.
int8 entry_item_type(const char* path);
// The 256 palette indexes of the default icon of a kind (0, 1 or 2).
const uint8* default_item_icon(const int8& type);
// Fills the 16 x 16 CMAP8 `icon` with the icon of the entry at `path`.
status_t load_entry_icon(const char* path, BBitmap* icon);
