// The X libraries, opened when the window code first needs them. Portable
// programs link no X library: their X calls go through a generated table
// that this fills, so a machine without X still runs everything that needs
// no window.
#pragma once

#include <string>

// Opens the X libraries and fills the table, once; false with the reason
// (which library is missing, in the loader's words) when that fails.
bool load_x_libraries(std::string* reason);

// Puts `function` in the place of the X function `name` for every caller
// (FLTK's included); the function it replaces, or null when calls cannot be
// redirected here (the libraries linked as usual) or there is no such name.
void* replace_x_function(const char* name, void* function);
