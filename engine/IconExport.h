// An item's icon exported to the user's icon theme, so that its menu entry
// shows the icon the product gave it.
#pragma once

#include <string>
#include <vector>

class BBitmap;
struct MenuRecord;
class InstallJournal;
class BMessage;

// The bitmap (8-bit system palette) as a PNG file with transparency; false
// when it could not be written.
bool WriteIconPng(const BBitmap& icon, const std::string& path);

// Writes the icon recorded for the item `leaf` of `config` into the user's
// hicolor theme as `name`.png; answers the path written, empty when none.
std::string ExportItemIcon(const BMessage& config, const std::string& leaf, const std::string& name,
                           InstallJournal& journal);

// The hicolor theme folder beside the applications folder the menu entries go
// into ($XDG_DATA_HOME/icons/hicolor, or the system's); empty when unknown.
std::string HicolorFolder();

// Writes the icons of `menu` into the hicolor theme as `name`: the SVG into
// scalable/apps, each PNG into SIZExSIZE/apps. Answers the paths written.
std::vector<std::string> InstallMenuIcons(const MenuRecord& menu, const std::string& name,
                                          InstallJournal& journal);
