// MenuRecord: the "menu" message of an install_file item, the desktop menu
// entry its author asked for, with the field names in one place for the
// tool that writes it and the installer that reads it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Message.h"

struct MenuRecord {
	std::string name; // empty: the product's app_name
	std::string genericName;
	std::string comment;
	std::vector<std::string> categories;
	std::vector<std::string> keywords;
	std::vector<std::string> mimeTypes;
	int8 terminal = -1; // -1: by the item's kind
	// Language code to its name and comment.
	std::map<std::string, std::pair<std::string, std::string>> translations;
	std::string svg;                   // the scalable icon, or empty
	std::map<int32, std::string> pngs; // PNG bytes by size in pixels

	// Reads the item's menu; false when it has none.
	bool Read(const BMessage& item);
	// Adds the menu to `item`.
	status_t Write(BMessage& item) const;

	static const char* const kMenu;
};
