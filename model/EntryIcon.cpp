// Finding the small icon of an entry, and the default icons of the three kinds.
#include "EntryIcon.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "Bitmap.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Resources.h"

namespace {

const int32 kSide = 16;
const int32 kMiniIconId = 101;

// One character a pixel: '.' transparent, 'k' black, 'w' white, 'n' grey,
// 'y' and 'd' folder yellows, 'b' and 'l' application blues.
const char* const kFileArt[kSide] = {
        "..kkkkkkkkk.....", "..kwwwwwwwkk....", "..kwwwwwwwkwk...", "..kwwwwwwwkkkk..",
        "..kwnnnnwwwwwk..", "..kwwwwwwwwwwk..", "..kwnnnnnnnnwk..", "..kwwwwwwwwwwk..",
        "..kwnnnnnnnnwk..", "..kwwwwwwwwwwk..", "..kwnnnnnnnnwk..", "..kwwwwwwwwwwk..",
        "..kwnnnnnnwwwk..", "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..", "................",
};

const char* const kApplicationArt[kSide] = {
        "................", ".......kk.......", "......kbbk......", ".....kbllbk.....",
        "....kbllllbk....", "...kbllllllbk...", "..kbllllllllbk..", ".kbllllllllllbk.",
        "..kbllllllllbk..", "...kbllllllbk...", "....kbllllbk....", ".....kbllbk.....",
        "......kbbk......", ".......kk.......", "................", "................",
};

const char* const kFolderArt[kSide] = {
        "................", "................", "..kkkkk.........", ".kyyyyyk........",
        "kyyyyyyykkkkkkk.", "kyyyyyyyyyyyyyyk", "kddddddddddddddk", "kyyyyyyyyyyyyyyk",
        "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk",
        "kyyyyyyyyyyyyyyk", "kddddddddddddddk", ".kkkkkkkkkkkkkk.", "................",
};

uint8 palette_index(char pixel)
{
	switch (pixel) {
		case 'k': return 0;
		case 'w': return 63;
		case 'n': return 14;
		case 'y': return 249;
		case 'd': return 156;
		case 'b': return 94;
		case 'l': return 96;
		default: return B_TRANSPARENT_MAGIC_CMAP8;
	}
}

struct DefaultIcons {
	uint8 bits[3][kSide * kSide];

	DefaultIcons()
	{
		const char* const* art[3] = {kFileArt, kApplicationArt, kFolderArt};
		for (int32 kind = 0; kind < 3; kind++) {
			for (int32 y = 0; y < kSide; y++) {
				for (int32 x = 0; x < kSide; x++)
					bits[kind][y * kSide + x] = palette_index(art[kind][y][x]);
			}
		}
	}
};

// The mini icon resource of an executable that carries resources.
bool application_icon(const char* path, uint8* bits)
{
	BResources resources(path, false);
	if (resources.InitCheck() != B_OK)
		return false;
	size_t size = 0;
	const void* data = resources.LoadResource('MICN', kMiniIconId, &size);
	if (data == nullptr || size != (size_t)(kSide * kSide))
		return false;
	memcpy(bits, data, size);
	return true;
}

// The icon attribute of the node itself.
bool node_icon(const char* path, uint8* bits)
{
	BNode node(path);
	BNodeInfo info(&node);
	return node.InitCheck() == B_OK && info.InitCheck() == B_OK &&
	       info.GetIconBits(bits, B_MINI_ICON) == B_OK;
}

} // namespace

int8 entry_item_type(const char* path)
{
	struct stat info;
	if (path == nullptr || stat(path, &info) != 0)
		return -1;
	if (S_ISDIR(info.st_mode))
		return 2;
	return (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0 ? 1 : 0;
}

const uint8* default_item_icon(const int8& type)
{
	static const DefaultIcons icons;
	return icons.bits[type >= 0 && type <= 2 ? type : 0];
}

status_t load_entry_icon(const char* path, BBitmap* icon)
{
	if (path == nullptr || icon == nullptr || icon->ColorSpace() != B_CMAP8 ||
	    icon->BitsLength() < kSide * kSide)
		return B_BAD_VALUE;
	int8 type = entry_item_type(path);
	if (type < 0)
		return B_ENTRY_NOT_FOUND;
	char resolved[PATH_MAX];
	const char* target = realpath(path, resolved) != nullptr ? resolved : path;
	uint8 bits[kSide * kSide];
	bool found = node_icon(target, bits) || (type == 1 && application_icon(target, bits));
	if (!found)
		memcpy(bits, default_item_icon(type), sizeof(bits));
	icon->SetBits(bits, sizeof(bits), 0, B_CMAP8);
	return B_OK;
}
