// The files a description names beside its items, turned into record values:
// the product picture, item icons and the start-up sound.
#pragma once

#include <string>

#include "SupportDefs.h"

class BBitmap;
class BMessage;

// Size of the product picture the installer's panel shows.
const int32 kAboutImageWidth = 150;
const int32 kAboutImageHeight = 200;

// The archived 32-bit bitmap of a 150 x 200 PNG; transparent pixels lie over
// the panel's grey.
status_t archive_about_image(const std::string& path, BMessage* archive, std::string* error);
// Fills the 16 x 16 CMAP8 `icon` from a 16 x 16 PNG.
status_t read_icon_picture(const std::string& path, BBitmap* icon, std::string* error);
// The archived sound of a WAV (or AIFF) file: data, frame_rate,
// channel_count, format, byte_order and buffer_size.
status_t archive_sound(const std::string& path, BMessage* archive, std::string* error);
