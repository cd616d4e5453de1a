// CustomFolders: the two sets of custom folders and their preference form.
#include "CustomFolders.h"

#include "Message.h"

CustomFolders::CustomFolders() {}

CustomFolders::~CustomFolders() {}

bool CustomFolders::IsCustom(const char* name)
{
	return Find(name) != nullptr;
}

CustomFolder* CustomFolders::Find(const char* name)
{
	if (name == nullptr)
		return nullptr;
	for (CustomFolder* folder = First(); folder != nullptr; folder = Next()) {
		if (folder->Name().Compare(name) == 0)
			return folder;
	}
	return nullptr;
}

int32 CustomFolders::CountCommonCustom()
{
	int32 count = 0;
	for (CustomFolder* folder = First(); folder != nullptr; folder = Next()) {
		if (folder->IsCommon())
			count++;
	}
	return count;
}

void CustomFolders::WritePref(BMessage& message, bool user)
{
	int32 count = user ? Size() - CountCommonCustom() : CountCommonCustom();
	message.AddInt32("custom_folder_qty", count);
	long n = 0;
	for (CustomFolder* folder = First(); folder != nullptr; folder = Next()) {
		if (folder->IsCommon() != user)
			folder->WritePref(n++, message);
	}
}

void CustomFolders::ReadPref(BMessage& message, bool user)
{
	int32 count = message.FindInt32("custom_folder_qty");
	for (long n = 0; n < count; n++) {
		auto* folder = new CustomFolder;
		folder->ReadPref(n, message);
		CustomFolder* existing = user ? nullptr : Find(folder->Name().String());
		if (existing != nullptr) {
			LibString renamed = existing->Name();
			renamed += " Renamed";
			existing->SetName(renamed.String());
		}
		folder->CommonDef(!user);
		Insert(folder);
	}
}

void CustomFolders::PrintToStream()
{
	for (CustomFolder* folder = First(); folder != nullptr; folder = Next())
		folder->PrintToStream();
}
