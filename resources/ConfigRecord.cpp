// The configuration record's top-level fields and their defaults.
#include "ConfigRecord.h"

#include <string.h>

#include "TypeConstants.h"

const char* const ConfigRecord::kInstructions = "install_instructions";

ConfigRecord::ConfigRecord(const BMessage& record) : fRecord(record) {}

const char* ConfigRecord::Text(const char* field) const
{
	return fRecord.FindString(field);
}

bool ConfigRecord::Flag(const char* field) const
{
	if (field != nullptr && strcmp(field, "opt_include_deinstall") == 0)
		return IncludeDeinstall();
	if (field != nullptr && strcmp(field, "opt_rollback") == 0)
		return Rollback();
	return fRecord.FindBool(field);
}

int32 ConfigRecord::Number(const char* field) const
{
	return fRecord.FindInt32(field);
}

bool ConfigRecord::Record(const char* field, BMessage* record) const
{
	if (record == nullptr)
		return false;
	if (fRecord.FindMessage(field, record) == B_OK)
		return true;
	record->MakeEmpty();
	return false;
}

bool ConfigRecord::IncludeDeinstall() const
{
	bool include = true;
	fRecord.FindBool("opt_include_deinstall", &include);
	return include;
}

bool ConfigRecord::Rollback() const
{
	bool rollback = true;
	fRecord.FindBool("opt_rollback", &rollback);
	return rollback;
}

bool ConfigRecord::LogWanted() const
{
	return fRecord.FindBool("opt_log");
}

bool ConfigRecord::SaveReplaced() const
{
	return fRecord.FindBool("opt_save_replaced");
}

const char* ConfigRecord::TextOrEmpty(const char* field) const
{
	const char* text = fRecord.FindString(field);
	return text != nullptr ? text : "";
}

const char* ConfigRecord::AppName() const
{
	return TextOrEmpty("app_name");
}

const char* ConfigRecord::Version() const
{
	return TextOrEmpty("version");
}

const char* ConfigRecord::ReleaseDate() const
{
	return TextOrEmpty("release_date");
}

const char* ConfigRecord::Company() const
{
	return TextOrEmpty("company");
}

const char* ConfigRecord::SupportEmail() const
{
	return TextOrEmpty("support_email");
}

std::string ConfigRecord::ProductRecord() const
{
	std::string record;
	for (const char* field : {AppName(), Version(), ReleaseDate(), Company(), SupportEmail()})
		record.append(field).append(";");
	return record;
}

const char* ConfigRecord::CreatedFolder() const
{
	return TextOrEmpty("opt_created_folder");
}

const char* ConfigRecord::Licence() const
{
	return TextOrEmpty("license");
}

const char* ConfigRecord::DefaultFolder() const
{
	return TextOrEmpty("opt_default_folder");
}

const char* ConfigRecord::CompleteComments() const
{
	return TextOrEmpty("complete_comments");
}

bool ConfigRecord::CompleteRestart() const
{
	return fRecord.FindBool("complete_restart");
}

bool ConfigRecord::CompleteDisplayFolder() const
{
	return fRecord.FindBool("complete_display_folder");
}

bool ConfigRecord::CreateStartup() const
{
	return fRecord.FindBool("opt_create_startup");
}

bool ConfigRecord::Instructions(BMessage* instructions) const
{
	return Record("install_instructions", instructions);
}

std::vector<BMessage> ConfigRecord::Items() const
{
	BMessage instructions;
	Instructions(&instructions);
	std::vector<BMessage> items;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++)
		items.push_back(item);
	return items;
}

void ConfigRecord::SetInstructions(BMessage& record, const BMessage& instructions)
{
	if (record.ReplaceMessage(kInstructions, &instructions) != B_OK)
		record.AddMessage(kInstructions, &instructions);
}

bool ConfigRecord::InstallTypes(BMessage* groups) const
{
	return Record("groups", groups);
}

bool ConfigRecord::AboutImage(BMessage* image) const
{
	return Record("about_image", image);
}

bool ConfigRecord::Sound(BMessage* sound) const
{
	return Record("audio_data", sound);
}

bool ConfigRecord::CustomFolders(BMessage* folders) const
{
	return Record("custom_folder", folders);
}

ConfigRecord::ScriptSection ConfigRecord::Section(const char* option) const
{
	const std::string name(option);
	return {fRecord.FindBool(option), TextOrEmpty((name + "_tag").c_str()),
	        TextOrEmpty((name + "_contents").c_str())};
}

ConfigRecord::ScriptSection ConfigRecord::BootScript() const
{
	return Section("edit_bootscript");
}

ConfigRecord::ScriptSection ConfigRecord::SetupEnvironment() const
{
	return Section("edit_setup_env");
}

ConfigRecord::ScriptSection ConfigRecord::Profile() const
{
	return Section("edit_profile");
}

bool ConfigRecord::DiskSpaceNeeded() const
{
	return fRecord.FindBool("req_disk_space_needed");
}

bool ConfigRecord::DiskSpaceRequired() const
{
	return fRecord.FindBool("req_disk_space_required");
}

bool ConfigRecord::RamNeeded() const
{
	return fRecord.FindBool("req_ram_needed");
}

bool ConfigRecord::RamRequired() const
{
	return fRecord.FindBool("req_ram_required");
}

int32 ConfigRecord::RamAmount() const
{
	return fRecord.FindInt32("req_ram_amount");
}

bool ConfigRecord::BootVolumeOnly() const
{
	return fRecord.FindBool("req_boot_vol_only");
}

bool ConfigRecord::RemovableVolumeOk() const
{
	return fRecord.FindBool("req_removable_vol_ok");
}

bool ConfigRecord::SharedVolumeOk() const
{
	return fRecord.FindBool("req_shared_vol_ok");
}

std::vector<std::string> ConfigRecord::Names(const char* field, const char* flag, const char* name,
                                             bool& required) const
{
	BMessage list;
	fRecord.FindMessage(field, &list);
	required = list.FindBool(flag);
	std::vector<std::string> names;
	const char* one = nullptr;
	for (int32 i = 0; list.FindString(name, i, &one) == B_OK; i++)
		names.emplace_back(one);
	return names;
}

std::vector<std::string> ConfigRecord::SharedLibraries(bool& required) const
{
	// The field's name has always been spelt so.
	return Names("req_shared_library", "req_shared_librry_req", "req_shared_library_name",
	             required);
}

std::vector<std::string> ConfigRecord::Applications(bool& required) const
{
	return Names("req_apps", "req_app_req", "req_app_name", required);
}

double ConfigRecord::DiskSpaceAmount() const
{
	BMessage amount;
	if (fRecord.FindMessage("req_disk_space_amount", &amount) != B_OK)
		return 0;
	return amount.FindDouble("value");
}

int32 ConfigRecord::CountInstallFiles() const
{
	BMessage instructions;
	type_code type = 0;
	int32 count = 0;
	if (fRecord.FindMessage("install_instructions", &instructions) != B_OK ||
	    instructions.GetInfo("install_file", &type, &count) != B_OK)
		return 0;
	return count;
}

const std::vector<ConfigRecord::Field>& ConfigRecord::Fields()
{
	static const std::vector<Field> fields = {
	        {"install_folder_name", B_STRING_TYPE, "not read"},
	        {"groups", B_MESSAGE_TYPE, "no install types"},
	        {"app_name", B_STRING_TYPE, "empty"},
	        {"version", B_STRING_TYPE, "empty"},
	        {"release_date", B_STRING_TYPE, "empty"},
	        {"company", B_STRING_TYPE, "empty"},
	        {"support_email", B_STRING_TYPE, "empty"},
	        {"about_image", B_MESSAGE_TYPE, "no image"},
	        {"audio_file", B_STRING_TYPE, "not read"},
	        {"audio_data", B_MESSAGE_TYPE, "no sound"},
	        {"license", B_STRING_TYPE, "empty: the agreement step is skipped"},
	        {"install_instructions", B_MESSAGE_TYPE, "no items"},
	        {"custom_folder", B_MESSAGE_TYPE, "no custom folders"},
	        {"opt_log", B_BOOL_TYPE, "no log"},
	        {"opt_create_startup", B_BOOL_TYPE, "no startup entry"},
	        {"opt_save_replaced", B_BOOL_TYPE, "replaced entries are deleted"},
	        {"opt_include_deinstall", B_BOOL_TYPE, "a deinstaller is created"},
	        {"opt_rollback", B_BOOL_TYPE, "a failed or stopped run is undone"},
	        {"opt_default_folder", B_STRING_TYPE, "the initial destination stays"},
	        {"opt_created_folder", B_STRING_TYPE, "required"},
	        {"opt_show_beos_folders", B_BOOL_TYPE, "not read"},
	        {"opt_compression", B_INT32_TYPE, "not read"},
	        {"req_disk_space_needed", B_BOOL_TYPE, "no check"},
	        {"req_disk_space_required", B_BOOL_TYPE, "a suggestion"},
	        {"req_disk_space_amount", B_MESSAGE_TYPE, "0 bytes"},
	        {"req_boot_vol_only", B_BOOL_TYPE, "false, only logged"},
	        {"req_removable_vol_ok", B_BOOL_TYPE, "removable volumes not offered"},
	        {"req_shared_vol_ok", B_BOOL_TYPE, "shared volumes not offered"},
	        {"req_ram_needed", B_BOOL_TYPE, "no check"},
	        {"req_ram_required", B_BOOL_TYPE, "a suggestion"},
	        {"req_ram_amount", B_INT32_TYPE, "0 megabytes"},
	        {"req_shared_library", B_MESSAGE_TYPE, "no libraries"},
	        {"req_apps", B_MESSAGE_TYPE, "no applications"},
	        {"edit_bootscript", B_BOOL_TYPE, "no"},
	        {"edit_bootscript_tag", B_STRING_TYPE, "none"},
	        {"edit_bootscript_contents", B_STRING_TYPE, "none"},
	        {"edit_setup_env", B_BOOL_TYPE, "no"},
	        {"edit_setup_env_tag", B_STRING_TYPE, "none"},
	        {"edit_setup_env_contents", B_STRING_TYPE, "none"},
	        {"edit_profile", B_BOOL_TYPE, "no"},
	        {"edit_profile_tag", B_STRING_TYPE, "none"},
	        {"edit_profile_contents", B_STRING_TYPE, "none"},
	        {"complete_comments", B_STRING_TYPE, "none"},
	        {"complete_restart", B_BOOL_TYPE, "no"},
	        {"complete_display_folder", B_BOOL_TYPE, "no"},
	        {"VXC:deinstaller_size", B_INT32_TYPE, "0"},
	};
	return fields;
}
