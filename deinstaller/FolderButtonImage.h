// The 24 x 24 faces of the result window's folder button, as CMAP8 bytes.
#pragma once

#include <vector>

#include "SupportDefs.h"

// A folder drawn on the button face; `pressed` darkens the face.
std::vector<uint8> FolderButtonImage(const bool& pressed);
