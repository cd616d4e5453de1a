// entry_ref copies and comparison.
#include "EntryRef.h"

#include <cstring>

entry_ref::entry_ref() : device(-1), directory(-1), name(nullptr) {}

entry_ref::entry_ref(int32 dev, int64 dir, const char* leaf)
    : device(dev), directory(dir), name(nullptr)
{
	set_name(leaf);
}

entry_ref::entry_ref(const entry_ref& other)
    : device(other.device), directory(other.directory), name(nullptr),
      directory_path(other.directory_path)
{
	set_name(other.name);
}

entry_ref& entry_ref::operator=(const entry_ref& other)
{
	if (this == &other)
		return *this;
	device = other.device;
	directory = other.directory;
	directory_path = other.directory_path;
	set_name(other.name);
	return *this;
}

status_t entry_ref::set_name(const char* leaf)
{
	if (leaf == nullptr) {
		fNameStorage.clear();
		name = nullptr;
		return B_OK;
	}
	fNameStorage = leaf;
	name = fNameStorage.data();
	return B_OK;
}

bool entry_ref::operator==(const entry_ref& other) const
{
	if (device != other.device || directory != other.directory)
		return false;
	if (name == nullptr || other.name == nullptr)
		return name == other.name;
	return std::strcmp(name, other.name) == 0;
}
