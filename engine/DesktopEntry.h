// Freedesktop desktop entries: on the Linux layout a link into the
// applications folder becomes a menu entry that starts the placed item.
#pragma once

#include <string>

#include <vector>

class InstallConfig;
struct MenuRecord;

// One argument of an Exec key: quoted when it holds a reserved character,
// with the field-code and string escapes of the desktop entry format.
std::string DesktopExecArgument(const std::string& argument);

// `text` as a lowercase name of letters, digits and dashes ("item" when empty).
std::string NameSlug(const std::string& text);

// The file name of the entry for `item` of `product` ("vantry-hello-hello.desktop").
std::string DesktopFileName(const std::string& product, const std::string& item);

// The entry's text for the placed item at `path`: a program is run (in a
// terminal when it is a script), anything else is opened with xdg-open.
// `icon` names its icon, else a stock icon of its kind is named. A `menu`
// adds its texts, translations, categories, keywords and file types, and may
// say whether a terminal is wanted. Empty when the path cannot be written
// into an entry (a line break in it).
std::string DesktopEntryText(const std::string& name, const std::string& path,
                             const std::string& icon = std::string(),
                             const MenuRecord* menu = nullptr);

// The folder is the user's applications folder on the Linux layout.
bool IsApplicationsFolder(const std::string& folder);

// Writes the entry for the item at `path` into `folder`, with the texts and
// icons of `menu` when given, tags it and its icons for the deinstaller when
// `deinstallable`, refreshes the menu and icon caches and logs what was
// done. False when nothing was written.
bool PlaceDesktopEntry(InstallConfig& config, const std::string& path, const std::string& folder,
                       const char* product_record, const bool& deinstallable,
                       const MenuRecord* menu = nullptr);

// The applications folder menu entries go into; empty off the Linux layout.
std::string ApplicationsFolder();

// Runs `tool` with `arguments` when it is on the PATH, and waits for it.
void RunCacheTool(const char* tool, const std::vector<std::string>& arguments);
