// BPicture: a copyable list of drawing commands.
#include "Picture.h"

BPicture::BPicture() {}

BPicture::BPicture(const BPicture& other) : fDrawing(other.fDrawing) {}

BPicture::~BPicture() {}
