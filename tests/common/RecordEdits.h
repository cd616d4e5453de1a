// Edits of one part of a configuration record, for tests that damage or
// change a record in place.
#pragma once

#include <functional>

#include "Message.h"

// Edits the record's first custom folder.
inline void EditCustomFolder(BMessage& record, const std::function<void(BMessage&)>& edit)
{
	BMessage folders;
	record.FindMessage("custom_folder", &folders);
	BMessage folder;
	folders.FindMessage("custom_folder", 0, &folder);
	edit(folder);
	folders.ReplaceMessage("custom_folder", 0, &folder);
	record.ReplaceMessage("custom_folder", &folders);
}
