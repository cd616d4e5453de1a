// CustomFolders: the custom folders of the user's set and of the shared
// (common) set, with their numbered preference form.
#pragma once

#include "CustomFolder.h"
#include "LinkList.h"

class CustomFolders : public LinkList<CustomFolder> {
public:
	CustomFolders();
	~CustomFolders() override;

	bool IsCustom(const char* name);
	CustomFolder* Find(const char* name);
	int32 CountCommonCustom();

	// Writes the user's set (`user` true) or the common set: the count
	// `custom_folder_qty`, then each folder numbered from 0.
	void WritePref(BMessage& message, bool user);
	// Appends the folders of one set; reading the common set renames a
	// folder of the same name already listed (" Renamed" appended).
	void ReadPref(BMessage& message, bool user);

	void PrintToStream();
};
