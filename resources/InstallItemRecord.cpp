// One install item's fields and their defaults.
#include "InstallItemRecord.h"

#include <cstring>

#include "LibPathParts.h"

const char* const InstallItemRecord::kItem = "install_file";
const char* const InstallItemRecord::kFileName = "file_name";
const char* const InstallItemRecord::kFileSize = "file_size";
const char* const InstallItemRecord::kFileIcon = "file_icon";
const char* const InstallItemRecord::kSelected = "install_to_system";
const char* const InstallItemRecord::kMeta = "install_meta";

InstallItemRecord::InstallItemRecord(const BMessage& item)
    : fItem(item), fMeta(), fHasMeta(item.FindMessage(kMeta, &fMeta) == B_OK)
{
}

const char* InstallItemRecord::FileName() const
{
	const char* name = fItem.FindString(kFileName);
	return name != nullptr ? name : "";
}

std::string InstallItemRecord::Leaf() const
{
	return LibLastComponent(FileName());
}

int64 InstallItemRecord::FileSize() const
{
	return int64(uint32(fItem.FindInt32(kFileSize)));
}

bool InstallItemRecord::Selected() const
{
	bool selected = false;
	return fItem.FindBool(kSelected, &selected) == B_OK && selected;
}

const char* InstallItemRecord::Groups() const
{
	const char* groups = fItem.FindString("groups");
	return groups != nullptr ? groups : fMeta.FindString("groups");
}

bool InstallItemRecord::CreationTime(int64& seconds) const
{
	return fItem.FindInt64("file_creation", &seconds) == B_OK;
}

bool InstallItemRecord::ModificationTime(int64& seconds) const
{
	return fItem.FindInt64("file_modified", &seconds) == B_OK;
}

bool InstallItemRecord::AccessTime(int64& seconds) const
{
	return fItem.FindInt64("file_accessed", &seconds) == B_OK;
}

const char* InstallItemRecord::MetaText(const char* field) const
{
	return fMeta.FindString(field);
}

const char* InstallItemRecord::Destination() const
{
	return MetaText("destination");
}

const char* InstallItemRecord::DestinationExists() const
{
	return MetaText("destination_exists");
}

const char* InstallItemRecord::Link() const
{
	return MetaText("link");
}

const char* InstallItemRecord::LinkExists() const
{
	return MetaText("link_exists");
}

bool InstallItemRecord::Deinstallable() const
{
	const char* value = MetaText("deinstallable");
	return value != nullptr && strcmp(value, "True") == 0;
}

bool InstallItemRecord::AutoLaunch() const
{
	const char* value = MetaText("auto_launch");
	return value != nullptr && strcmp(value, "True") == 0;
}

const char* InstallItemRecord::AutoLaunchReason() const
{
	const char* reason = MetaText("auto_launch_reason");
	return reason != nullptr ? reason : "";
}

bool InstallItemRecord::HasMeta() const
{
	return fHasMeta;
}

std::vector<std::string> InstallItemRecord::GroupNames() const
{
	std::vector<std::string> names;
	const char* groups = Groups();
	const std::string list(groups != nullptr ? groups : "");
	size_t start = 0;
	while (start < list.size()) {
		size_t end = list.find(';', start);
		if (end == std::string::npos)
			end = list.size();
		if (end > start)
			names.push_back(list.substr(start, end - start));
		start = end + 1;
	}
	return names;
}

bool InstallItemRecord::InType(const std::string& type) const
{
	for (const std::string& name : GroupNames()) {
		if (name == type)
			return true;
	}
	return false;
}

void InstallItemRecord::SetSelected(BMessage& item, const bool& selected)
{
	if (item.ReplaceBool(kSelected, selected) != B_OK) {
		item.RemoveName(kSelected);
		item.AddBool(kSelected, selected);
	}
}
