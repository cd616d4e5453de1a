// InstallItemRecord: one install_file item of the configuration record read
// through named accessors, each with what its absence means, so that field
// names live in one place.
#pragma once

#include <string>
#include <vector>

#include "Message.h"

class InstallItemRecord {
public:
	explicit InstallItemRecord(const BMessage& item);

	// The path the authoring tool found the item at, or after placing, its
	// final path; "" when absent.
	const char* FileName() const;
	// The leaf of FileName: the item's name and its key in the record.
	std::string Leaf() const;
	// The first "file_size" item, read as the unsigned count it is.
	int64 FileSize() const;
	// Present and true: the user selected the item.
	bool Selected() const;
	// The install types that include the item; older records kept them in
	// install_meta. Null when neither has them.
	const char* Groups() const;
	// Seconds since 1970, or false when the record has none.
	bool CreationTime(int64& seconds) const;
	bool ModificationTime(int64& seconds) const;
	bool AccessTime(int64& seconds) const;

	// install_meta's placement rules; null when absent.
	const char* Destination() const;
	const char* DestinationExists() const;
	const char* Link() const;
	const char* LinkExists() const;
	// Exactly "True" marks the item for the deinstaller and for launching.
	bool Deinstallable() const;
	bool AutoLaunch() const;
	// "" when absent: launched without asking.
	const char* AutoLaunchReason() const;
	bool HasMeta() const;
	// The names of Groups, a list of names each followed by ";".
	std::vector<std::string> GroupNames() const;
	bool InType(const std::string& type) const;

	// Marks `item` selected or not, as the window does when Install is pressed.
	static void SetSelected(BMessage& item, const bool& selected);

	// The field names writers use; kItem names each item in the record's
	// item list.
	static const char* const kItem;
	static const char* const kFileName;
	static const char* const kFileSize;
	static const char* const kFileIcon;
	static const char* const kSelected;
	static const char* const kMeta;

private:
	const char* MetaText(const char* field) const;

	const BMessage& fItem;
	BMessage fMeta;
	bool fHasMeta;
};
