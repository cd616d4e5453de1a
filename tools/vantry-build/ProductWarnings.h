// What vantry-build accepts but warns about: choices a product may mean,
// whose cost falls on the people who install it.
#pragma once

#include <string>
#include <vector>

#include "Product.h"

// One "FILE:LINE: field `x`: warning: ..." line per custom folder that
// replaces a standard folder or one of the user's own folders: whatever the
// user keeps there leaves it at installation.
std::vector<std::string> product_warnings(const Product& product);
