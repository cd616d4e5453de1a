// The folder button's three faces, 24 by 24 palette indices each.
#pragma once

#include "SupportDefs.h"

enum { FOLDER_IMAGE_SIZE = 24 };

struct FolderImages {
	uint8 off[FOLDER_IMAGE_SIZE * FOLDER_IMAGE_SIZE];
	uint8 on[FOLDER_IMAGE_SIZE * FOLDER_IMAGE_SIZE];
	uint8 disabled[FOLDER_IMAGE_SIZE * FOLDER_IMAGE_SIZE];
};

// Drawn once: a yellow folder with a tab, darker when pressed, grey when off.
const FolderImages& GetFolderImages();
