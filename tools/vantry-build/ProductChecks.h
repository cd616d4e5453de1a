// Checks across the fields of a product description: names that must be
// unique and names that must refer to something.
#pragma once

#include <string>

#include "DescriptionReader.h"
#include "Product.h"

// Reports, through `reader`, every item, group or folder that refers to
// nothing or clashes with another.
void check_product(const Product& product, DescriptionReader& reader);
// A path below a folder that stays below it: relative, without "..".
bool folder_path_is_safe(const std::string& path);
// The path goes down at least one folder: it is not empty, "." or "./.".
bool folder_path_goes_below(const std::string& path);
