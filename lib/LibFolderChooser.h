// LibFolderChooser: the desktop's own folder chooser, where it has one, so a
// person chooses a folder the way they always do.
#pragma once

#include <string>

#include "SupportDefs.h"

// Asks for a folder, titled `title` and open on `start`: GTK's chooser when
// GTK is there, else zenity or kdialog found along PATH; VANTRY_CHOOSER
// ("gtk", "zenity", "kdialog" or "panel") names the one to use instead.
// B_OK with the folder in `chosen`, B_CANCELED, or B_NOT_SUPPORTED when the
// desktop offers none: the caller then shows its own panel.
status_t LibChooseFolder(const char* title, const char* start, std::string& chosen);
