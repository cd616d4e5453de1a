// ConfigRecord: read access to the configuration record's top-level fields,
// each with its default when absent, and the table of those fields.
#pragma once

#include <vector>

#include "Message.h"

class ConfigRecord {
public:
	// One top-level field: its name, type and what its absence means.
	struct Field {
		const char* name;
		type_code type;
		const char* absent;
	};

	explicit ConfigRecord(const BMessage& record);

	// Absent: null.
	const char* Text(const char* field) const;
	// Absent: false, except "opt_include_deinstall" (see IncludeDeinstall).
	bool Flag(const char* field) const;
	// Absent: 0.
	int32 Number(const char* field) const;
	// Absent: an empty message. True when the field is present.
	bool Record(const char* field, BMessage* record) const;

	// A deinstaller is created unless the field is present and false.
	bool IncludeDeinstall() const;
	// The "value" of req_disk_space_amount in bytes; 0 when absent.
	double DiskSpaceAmount() const;
	// The number of install_file items of install_instructions.
	int32 CountInstallFiles() const;

	// Every top-level field, in the order the authoring tool writes them.
	static const std::vector<Field>& Fields();

private:
	const BMessage& fRecord;
};
