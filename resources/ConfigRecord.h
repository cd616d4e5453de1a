// ConfigRecord: read access to the configuration record's top-level fields,
// each with its default when absent, and the table of those fields. Named
// accessors keep the field names in one place.
#pragma once

#include <string>
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

	// The item list's field, which the window and the engine rewrite.
	static const char* const kInstructions;

	// Absent: null.
	const char* Text(const char* field) const;
	// Absent: false, except "opt_include_deinstall" and "opt_rollback".
	bool Flag(const char* field) const;
	// Absent: 0.
	int32 Number(const char* field) const;
	// Absent: an empty message. True when the field is present.
	bool Record(const char* field, BMessage* record) const;

	// A deinstaller is created unless the field is present and false.
	bool IncludeDeinstall() const;
	// A failed or stopped run is undone unless the field is present and false.
	bool Rollback() const;
	bool LogWanted() const;
	bool SaveReplaced() const;
	// The product's texts; "" when absent.
	const char* AppName() const;
	const char* Version() const;
	const char* ReleaseDate() const;
	const char* Company() const;
	const char* SupportEmail() const;
	// "app_name;version;release_date;company;support_email;": the deinstall
	// tag every placed entry carries and the deinstaller looks for.
	std::string ProductRecord() const;
	const char* CreatedFolder() const;
	// The licence text; "" when there is none to agree to.
	const char* Licence() const;
	// The standard folder name the window starts in; "" for home.
	const char* DefaultFolder() const;
	const char* CompleteComments() const;
	bool CompleteRestart() const;
	bool CompleteDisplayFolder() const;
	bool CreateStartup() const;
	// The item list and the custom folders; empty messages when absent.
	bool Instructions(BMessage* instructions) const;
	// Each install_file item of the item list, in order.
	std::vector<BMessage> Items() const;
	// Puts `instructions` in place of the record's item list.
	static void SetInstructions(BMessage& record, const BMessage& instructions);
	bool CustomFolders(BMessage* folders) const;
	// The install types, the product's picture and its start-up sound.
	bool InstallTypes(BMessage* groups) const;
	bool AboutImage(BMessage* image) const;
	bool Sound(BMessage* sound) const;

	// A script section the product adds: whether it is on, its tag and its
	// lines ("" when absent).
	struct ScriptSection {
		bool edit;
		const char* tag;
		const char* contents;
	};
	ScriptSection BootScript() const;
	ScriptSection SetupEnvironment() const;
	ScriptSection Profile() const;

	// Requirements: whether each is checked, and whether it must be met or
	// is only suggested.
	bool DiskSpaceNeeded() const;
	bool DiskSpaceRequired() const;
	bool RamNeeded() const;
	bool RamRequired() const;
	// Megabytes.
	int32 RamAmount() const;
	bool BootVolumeOnly() const;
	bool RemovableVolumeOk() const;
	bool SharedVolumeOk() const;
	// The libraries or applications the product needs, and whether they are
	// required.
	std::vector<std::string> SharedLibraries(bool& required) const;
	std::vector<std::string> Applications(bool& required) const;
	// The "value" of req_disk_space_amount in bytes; 0 when absent.
	double DiskSpaceAmount() const;
	// The number of install_file items of install_instructions.
	int32 CountInstallFiles() const;

	// Every top-level field, in the order the authoring tool writes them.
	static const std::vector<Field>& Fields();

private:
	const char* TextOrEmpty(const char* field) const;
	ScriptSection Section(const char* option) const;
	std::vector<std::string> Names(const char* field, const char* flag, const char* name,
	                               bool& required) const;

	const BMessage& fRecord;
};
