// Building the configuration record from a Product.
#include "ConfigWriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "Bitmap.h"
#include "CustomFolder.h"
#include "GroupContextList.h"
#include "InstallListItem.h"
#include "LibBitmap.h"
#include "LibFile.h"
#include "MenuIcons.h"
#include "MenuRecord.h"
#include "Message.h"
#include "ProductAssets.h"
#include "RecordCheck.h"

namespace {

void add_meta(const InstallMeta& meta, BMessage& message)
{
	BMessage rules;
	rules.AddString("destination", meta.destination);
	rules.AddString("destination_exists", meta.destination_exists);
	rules.AddString("link", meta.link);
	rules.AddString("link_exists", meta.link_exists);
	rules.AddString("deinstallable", meta.deinstallable);
	rules.AddString("auto_launch", meta.auto_launch);
	rules.AddString("auto_launch_reason", meta.auto_launch_reason);
	message.AddMessage("install_meta", &rules);
}

// The item's menu entry as the record carries it, its icon read and scaled.
status_t add_menu(const ProductMenu& menu, BMessage& message, std::string* error)
{
	MenuRecord record;
	record.name = menu.name;
	record.genericName = menu.generic_name;
	record.comment = menu.comment;
	record.categories = menu.categories;
	record.keywords = menu.keywords;
	record.mimeTypes = menu.mime_types;
	record.terminal = menu.terminal;
	for (const auto& [language, texts] : menu.translations)
		record.translations[language] = {texts.name, texts.comment};
	if (!menu.icon.empty()) {
		std::vector<MenuIconImage> images;
		const status_t status = read_menu_icon(menu.icon, &record.svg, &images, error);
		if (status != B_OK)
			return status;
		for (const MenuIconImage& image : images)
			record.pngs[image.size] = image.png;
	}
	return record.Write(message);
}

// The kind of item an entry is, as the file manager tells it: a folder, an
// application (a file with an execute permission) or a plain file.
FileListItem::FileType kind_of_entry(const std::string& path)
{
	switch (LibBitmap::KindOf(path.c_str())) {
		case LibBitmap::kFolderIcon:
		case LibBitmap::kVolumeIcon: return FileListItem::kFolderType;
		case LibBitmap::kAppIcon: return FileListItem::kApplicationType;
		default: return FileListItem::kFileType;
	}
}

// The item's own size: a link given as item counts what it points to.
// The item's path as the record keeps it: relative to the description's
// folder, so that no installer shows where its author built it.
std::string record_path(const std::string& source, const std::string& base)
{
	std::filesystem::path from = std::filesystem::absolute(base).lexically_normal();
	std::filesystem::path path = std::filesystem::absolute(source).lexically_normal();
	std::string relative = path.lexically_relative(from).string();
	return relative.empty() || relative == "." ? path.filename().string() : relative;
}

int32 item_size(const std::string& source)
{
	char resolved[PATH_MAX];
	const char* path = realpath(source.c_str(), resolved) != nullptr ? resolved : source.c_str();
	return LibEntrySize(path, true);
}

void add_requirement_list(BMessage& record, const char* field, const char* requiredField,
                          const char* namesField, const RequirementList& list)
{
	BMessage message;
	message.AddBool(requiredField, list.required);
	for (const std::string& name : list.names)
		message.AddString(namesField, name);
	record.AddMessage(field, &message);
}

void add_script(BMessage& record, const char* base, const ScriptSection& section)
{
	std::string name(base);
	record.AddBool(base, section.enabled);
	record.AddString((name + "_tag").c_str(), section.tag);
	record.AddString((name + "_contents").c_str(), section.contents);
}

} // namespace

ConfigWriter::ConfigWriter(const Product& product) : fProduct(product), fErrors(nullptr) {}

status_t ConfigWriter::Check(std::vector<std::string>* errors)
{
	BMessage record;
	// The whole record is built whatever fails, so every mistake is told at once.
	const status_t built = Build(0, &record, errors);
	const status_t checked = CheckRecord(fProduct, record, errors);
	return built != B_OK ? built : checked;
}

status_t ConfigWriter::CheckRecord(const Product& product, const BMessage& record,
                                   std::vector<std::string>* errors)
{
	const std::vector<std::string> faults = CheckConfigRecord(record);
	for (const std::string& fault : faults)
		errors->push_back(locate_record_fault(product, fault));
	return faults.empty() ? B_OK : B_BAD_VALUE;
}

void ConfigWriter::Fail(const FieldOrigin& origin, const std::string& message)
{
	fErrors->push_back(format_field_error(fProduct.description_path, origin, message));
}

status_t ConfigWriter::Build(const int32& deinstallerSize, BMessage* record,
                             std::vector<std::string>* errors)
{
	if (record == nullptr || errors == nullptr)
		return B_BAD_VALUE;
	fErrors = errors;
	size_t errorsBefore = errors->size();
	record->MakeEmpty();
	record->what = 0;
	record->AddString("install_folder_name", fProduct.install_folder_name);
	AddGroups(*record);
	AddProductTexts(*record);
	AddItems(*record);
	AddCustomFolders(*record);
	AddOptions(*record);
	AddRequirements(*record);
	AddScripts(*record);
	AddCompletion(*record);
	record->AddInt32("VXC:deinstaller_size", deinstallerSize);
	return errors->size() == errorsBefore ? B_OK : B_BAD_VALUE;
}

void ConfigWriter::AddGroups(BMessage& record)
{
	GroupContextList list;
	for (const ProductGroup& group : fProduct.groups) {
		list.Add(group.group_name.c_str());
		list.FindContext(list.Size() - 1)->SetDescription(group.group_description.c_str());
	}
	BMessage groups;
	list.Write(groups);
	record.AddMessage("groups", &groups);
}

void ConfigWriter::AddProductTexts(BMessage& record)
{
	record.AddString("app_name", fProduct.app_name);
	record.AddString("version", fProduct.version);
	record.AddString("release_date", fProduct.release_date);
	record.AddString("company", fProduct.company);
	record.AddString("support_email", fProduct.support_email);
	AddPicture(record);
	AddSound(record);
	record.AddString("license", fProduct.license);
}

// An empty message stands for "no picture".
void ConfigWriter::AddPicture(BMessage& record)
{
	BMessage picture;
	std::string error;
	if (!fProduct.about_image.empty() &&
	    archive_about_image(fProduct.about_image, &picture, &error) != B_OK) {
		Fail(fProduct.about_image_origin, error);
		picture.MakeEmpty();
	}
	record.AddMessage("about_image", &picture);
}

void ConfigWriter::AddSound(BMessage& record)
{
	if (fProduct.audio_data.empty()) {
		record.AddString("audio_file", "None");
		return;
	}
	record.AddString("audio_file", std::filesystem::path(fProduct.audio_data).filename().string());
	BMessage sound;
	std::string error;
	if (archive_sound(fProduct.audio_data, &sound, &error) != B_OK) {
		Fail(fProduct.audio_data_origin, error);
		return;
	}
	record.AddMessage("audio_data", &sound);
}

status_t ConfigWriter::BuildItem(const ProductItem& item, BMessage* message, std::string* error,
                                 int64 knownSize, int64 buildTime)
{
	InstallListItem listItem(item.source.c_str(), true, false);
	listItem.SetType(item.file_type >= 0 ? (FileListItem::FileType)item.file_type
	                                     : kind_of_entry(item.source));
	if (!item.file_icon.empty()) {
		BBitmap icon(BRect(0, 0, 15, 15), B_CMAP8);
		status_t status = read_icon_picture(item.file_icon, &icon, error);
		if (status != B_OK)
			return status;
		listItem.SetIcon(&icon);
	}
	for (const std::string& group : item.groups)
		listItem.Groups().Add(group.c_str());
	int32 size =
	        knownSize >= 0 ? (int32)std::min<int64>(knownSize, INT32_MAX) : item_size(item.source);
	listItem.SetSize(size);
	listItem.SetEntrySize(size);
	listItem.Write(*message);
	message->ReplaceInt32("file_size", 0, size);
	message->ReplaceInt64("file_creation", buildTime);
	message->ReplaceInt64("file_accessed", buildTime);
	add_meta(item.install_meta, *message);
	return B_OK;
}

void ConfigWriter::AddItems(BMessage& record)
{
	BMessage instructions;
	for (size_t i = 0; i < fProduct.install_file.size(); i++) {
		const ProductItem& item = fProduct.install_file[i];
		BMessage file;
		std::string error;
		if (BuildItem(item, &file, &error, i < fItemSizes.size() ? fItemSizes[i] : -1,
		              fBuildTime) != B_OK) {
			Fail(item.file_icon_origin, error);
			continue;
		}
		if (item.menu.present && add_menu(item.menu, file, &error) != B_OK) {
			Fail(item.menu.icon_origin, error);
			continue;
		}
		file.ReplaceString("file_name", record_path(item.source, fProduct.base_directory).c_str());
		instructions.AddMessage("install_file", &file);
	}
	record.AddMessage("install_instructions", &instructions);
}

void ConfigWriter::AddCustomFolders(BMessage& record)
{
	BMessage folders;
	for (const ProductCustomFolder& definition : fProduct.custom_folder) {
		CustomFolder folder(definition.custom_folder_name.c_str());
		folder.ParentFolder((directory_which)definition.custom_root_dir);
		folder.SubFolder(definition.custom_sub_dir.c_str());
		folder.Replace(definition.custom_replace_existing);
		BMessage item;
		folder.Write(item);
		folders.AddMessage("custom_folder", &item);
	}
	record.AddMessage("custom_folder", &folders);
}

void ConfigWriter::AddOptions(BMessage& record)
{
	record.AddBool("opt_log", fProduct.opt_log);
	record.AddBool("opt_create_startup", fProduct.opt_create_startup);
	record.AddBool("opt_save_replaced", fProduct.opt_save_replaced);
	record.AddBool("opt_include_deinstall", fProduct.opt_include_deinstall);
	record.AddBool("opt_rollback", fProduct.opt_rollback);
	record.AddString("opt_default_folder", fProduct.opt_default_folder);
	record.AddString("opt_created_folder", fProduct.opt_created_folder);
	record.AddBool("opt_show_beos_folders", fProduct.opt_show_beos_folders);
	record.AddInt32("opt_compression", fProduct.opt_compression);
}

void ConfigWriter::AddRequirements(BMessage& record)
{
	record.AddBool("req_disk_space_needed", fProduct.req_disk_space_needed);
	record.AddBool("req_disk_space_required", fProduct.req_disk_space_required);
	BMessage amount;
	amount.AddDouble("value", fProduct.req_disk_space_amount.value);
	amount.AddInt32("value_type", (int32)fProduct.req_disk_space_amount.value_type);
	amount.AddFloat("value_conversion", fProduct.req_disk_space_amount.value_conversion);
	record.AddMessage("req_disk_space_amount", &amount);
	record.AddBool("req_boot_vol_only", fProduct.req_boot_vol_only);
	record.AddBool("req_removable_vol_ok", fProduct.req_removable_vol_ok);
	record.AddBool("req_shared_vol_ok", fProduct.req_shared_vol_ok);
	record.AddBool("req_ram_needed", fProduct.req_ram_needed);
	record.AddBool("req_ram_required", fProduct.req_ram_required);
	record.AddInt32("req_ram_amount", fProduct.req_ram_amount);
	add_requirement_list(record, "req_shared_library", "req_shared_librry_req",
	                     "req_shared_library_name", fProduct.req_shared_library);
	add_requirement_list(record, "req_apps", "req_app_req", "req_app_name", fProduct.req_apps);
}

void ConfigWriter::AddScripts(BMessage& record)
{
	add_script(record, "edit_bootscript", fProduct.edit_bootscript);
	add_script(record, "edit_setup_env", fProduct.edit_setup_env);
	add_script(record, "edit_profile", fProduct.edit_profile);
}

void ConfigWriter::AddCompletion(BMessage& record)
{
	record.AddString("complete_comments", fProduct.complete_comments);
	record.AddBool("complete_restart", fProduct.complete_restart);
	record.AddBool("complete_display_folder", fProduct.complete_display_folder);
}
