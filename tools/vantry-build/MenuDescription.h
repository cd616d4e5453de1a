// The [install_file.menu] table of a product description: the texts, lists,
// icon and translations of an item's desktop menu entry.
#pragma once

#include <string>
#include <vector>

#include "DescriptionReader.h"
#include "Product.h"

// Reads the menu table below `prefix` into `menu`; mistakes go to `reader`.
void read_menu(DescriptionReader& reader, const toml::table& table, const std::string& prefix,
               ProductMenu& menu);

// The language codes a menu entry may be translated into: the installer's nine.
const std::vector<std::string>& menu_languages();

// The category is in the freedesktop registry of menu categories.
bool is_registered_category(const std::string& category);

// One warning per category of each item's menu that the registry does not
// know: menus file such an entry under "Other", or nowhere.
std::vector<std::string> menu_category_warnings(const Product& product);
