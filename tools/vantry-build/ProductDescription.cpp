// Reading a product description: the TOML fields into the Product model.
#include "ProductDescription.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DescriptionReader.h"
#include "MenuDescription.h"
#include "ProductChecks.h"
#include "RecordCheck.h"
#include "StandardFolders.h"

namespace {

// Records the line of every field below `node`, by its path.
void note_field_lines(const toml::node& node, const std::string& path,
                      std::map<std::string, int32>& lines)
{
	if (!path.empty())
		lines[path] = int32(node.source().begin.line);
	if (const toml::table* table = node.as_table()) {
		for (const auto& [key, child] : *table)
			note_field_lines(child, (path.empty() ? "" : path + ".") + std::string(key.str()),
			                 lines);
		return;
	}
	if (const toml::array* array = node.as_array()) {
		for (size_t i = 0; i < array->size(); i++)
			note_field_lines(*array->get(i), path + "[" + std::to_string(i) + "]", lines);
	}
}

const std::initializer_list<const char*> kTopFields = {"install_folder_name",
                                                       "groups",
                                                       "app_name",
                                                       "version",
                                                       "release_date",
                                                       "company",
                                                       "support_email",
                                                       "about_image",
                                                       "audio_file",
                                                       "audio_data",
                                                       "license",
                                                       "install_instructions",
                                                       "install_file",
                                                       "custom_folder",
                                                       "opt_log",
                                                       "opt_create_startup",
                                                       "opt_save_replaced",
                                                       "opt_include_deinstall",
                                                       "opt_rollback",
                                                       "opt_default_folder",
                                                       "opt_created_folder",
                                                       "opt_show_beos_folders",
                                                       "opt_compression",
                                                       "compression",
                                                       "compression_level",
                                                       "req_disk_space_needed",
                                                       "req_disk_space_required",
                                                       "req_disk_space_amount",
                                                       "req_boot_vol_only",
                                                       "req_removable_vol_ok",
                                                       "req_shared_vol_ok",
                                                       "req_ram_needed",
                                                       "req_ram_required",
                                                       "req_ram_amount",
                                                       "req_shared_library",
                                                       "req_apps",
                                                       "edit_bootscript",
                                                       "edit_bootscript_tag",
                                                       "edit_bootscript_contents",
                                                       "edit_setup_env",
                                                       "edit_setup_env_tag",
                                                       "edit_setup_env_contents",
                                                       "edit_profile",
                                                       "edit_profile_tag",
                                                       "edit_profile_contents",
                                                       "complete_comments",
                                                       "complete_restart",
                                                       "complete_display_folder",
                                                       "VXC:deinstaller_size"};

const std::initializer_list<const char*> kItemFields = {"file_name", "file_type",    "file_icon",
                                                        "groups",    "install_meta", "menu"};

const std::initializer_list<const char*> kMetaFields = {
        "destination", "destination_exists", "link", "link_exists", "deinstallable",
        "auto_launch", "auto_launch_reason"};

// The item's name everywhere: the last component of its path as written.
std::string leaf_of(const std::string& path)
{
	std::string normal = std::filesystem::path(path).lexically_normal().string();
	while (normal.size() > 1 && normal.back() == '/')
		normal.pop_back();
	return std::filesystem::path(normal).filename().string();
}

class DescriptionParser {
public:
	DescriptionParser(Product& product, DescriptionReader& reader)
	    : fProduct(product), fReader(reader)
	{
	}

	void ReadRoot(const toml::table& root);

private:
	void ReadProductTexts(const toml::table& root);
	void ReadOptions(const toml::table& root);
	void ReadDefaultFolder(const toml::table& root);
	void ReadCreatedFolder(const toml::table& root);
	void ReadRequirements(const toml::table& root);
	void ReadRequirementList(const toml::table& root, const char* key, const char* required,
	                         const char* alias, const char* names, RequirementList& out);
	void CheckSignatures(const RequirementList& apps);
	void ReadScripts(const toml::table& root);
	void ReadScript(const toml::table& root, const std::string& base, ScriptSection& out);
	void ReadGroups(const toml::table& root);
	void ReadCustomFolders(const toml::table& root);
	void ReadCustomFolder(const toml::table& table, const std::string& prefix);
	void ReadItems(const toml::table& root);
	void ReadItem(const toml::table& table, const std::string& prefix);
	void ReadItemType(const toml::table& table, const std::string& prefix, ProductItem& item);
	void ReadMeta(const toml::table& table, const std::string& prefix, InstallMeta& meta);
	void Missing(const toml::node& where, const std::string& field, const std::string& what);

	Product& fProduct;
	DescriptionReader& fReader;
	FieldOrigin fAppsOrigin; // where the last requirement list's names were given
};

void DescriptionParser::Missing(const toml::node& where, const std::string& field,
                                const std::string& what)
{
	fReader.Error(fReader.Origin(where, field), "missing: " + what);
}

void DescriptionParser::ReadRoot(const toml::table& root)
{
	fReader.CheckKnown(root, "", kTopFields);
	fReader.RejectComputed(root, "", "audio_file", "the leaf name of `audio_data`");
	fReader.RejectComputed(root, "", "VXC:deinstaller_size", "the size of the deinstaller");
	const toml::node* wrapped = root.get("install_instructions");
	if (wrapped != nullptr) {
		fReader.Error(fReader.Origin(*wrapped, "install_instructions"),
		              "write each item as an [[install_file]] table instead");
	}
	ReadProductTexts(root);
	ReadOptions(root);
	ReadRequirements(root);
	ReadScripts(root);
	ReadGroups(root);
	ReadCustomFolders(root);
	ReadItems(root);
}

void DescriptionParser::ReadProductTexts(const toml::table& root)
{
	std::string stem = std::filesystem::path(fReader.File()).stem().string();
	fProduct.install_folder_name = stem;
	fReader.ReadString(root, "", "install_folder_name", fProduct.install_folder_name);
	if (!fReader.ReadString(root, "", "app_name", fProduct.app_name)) {
		if (root.get("app_name") == nullptr)
			fReader.Error(FieldOrigin{"app_name", 1}, "missing: the product's name");
	} else if (fProduct.app_name.empty()) {
		fReader.Error(fReader.Origin(*root.get("app_name"), "app_name"), "empty");
	}
	fReader.ReadString(root, "", "version", fProduct.version);
	fReader.ReadString(root, "", "release_date", fProduct.release_date);
	fReader.ReadString(root, "", "company", fProduct.company);
	fReader.ReadString(root, "", "support_email", fProduct.support_email);
	fReader.ReadText(root, "", "license", fProduct.license);
	fReader.ReadPath(root, "", "about_image", fProduct.about_image, fProduct.about_image_origin);
	fReader.ReadPath(root, "", "audio_data", fProduct.audio_data, fProduct.audio_data_origin);
	fReader.ReadText(root, "", "complete_comments", fProduct.complete_comments);
	fReader.ReadBool(root, "", "complete_restart", fProduct.complete_restart);
	fReader.ReadBool(root, "", "complete_display_folder", fProduct.complete_display_folder);
}

void DescriptionParser::ReadOptions(const toml::table& root)
{
	fReader.ReadBool(root, "", "opt_log", fProduct.opt_log);
	fReader.ReadBool(root, "", "opt_create_startup", fProduct.opt_create_startup);
	fReader.ReadBool(root, "", "opt_save_replaced", fProduct.opt_save_replaced);
	fReader.ReadBool(root, "", "opt_include_deinstall", fProduct.opt_include_deinstall);
	fReader.ReadBool(root, "", "opt_rollback", fProduct.opt_rollback);
	ReadDefaultFolder(root);
	ReadCreatedFolder(root);
	fReader.ReadBool(root, "", "opt_show_beos_folders", fProduct.opt_show_beos_folders);
	fReader.ReadInt32(root, "", "opt_compression", fProduct.opt_compression, 1, 9);
	fReader.ReadChoice(root, "", "compression", fProduct.compression, {"deflate", "zstd"});
	// Each method has its own level field, so that neither is read as the other's.
	const toml::node* level = root.get("compression_level");
	if (level != nullptr && fProduct.compression != "zstd")
		fReader.Error(fReader.Origin(*level, "compression_level"),
		              "is the level of compression = \"zstd\"; the deflate level is "
		              "opt_compression");
	else
		fReader.ReadInt32(root, "", "compression_level", fProduct.compression_level, 1, 22);
}

void DescriptionParser::ReadDefaultFolder(const toml::table& root)
{
	std::string name;
	if (!fReader.ReadString(root, "", "opt_default_folder", name))
		return;
	int32 code;
	if (name != "Current" && !standard_folder_code(name, &code)) {
		fReader.Error(fReader.Origin(*root.get("opt_default_folder"), "opt_default_folder"),
		              "names no folder: \"" + name +
		                      "\" is neither \"Current\" nor a standard folder name");
		return;
	}
	fProduct.opt_default_folder = name;
}

// The installation folder is one folder inside the destination the user picks.
void DescriptionParser::ReadCreatedFolder(const toml::table& root)
{
	// The product name may hold "/" ("AC/DC"): the folder gets a safe leaf of it.
	fProduct.opt_created_folder = SafeFileName(fProduct.app_name.c_str());
	const toml::node* node = root.get("opt_created_folder");
	if (node == nullptr ||
	    !fReader.ReadString(root, "", "opt_created_folder", fProduct.opt_created_folder))
		return;
	const std::string& name = fProduct.opt_created_folder;
	if (!IsPlainLeaf(name)) {
		fReader.Error(fReader.Origin(*node, "opt_created_folder"),
		              "must be one folder name: not empty, \".\" or \"..\", without \"/\" "
		              "or control characters");
	}
}

void DescriptionParser::ReadRequirements(const toml::table& root)
{
	fReader.ReadBool(root, "", "req_disk_space_needed", fProduct.req_disk_space_needed);
	fReader.ReadBool(root, "", "req_disk_space_required", fProduct.req_disk_space_required);
	fReader.ReadDiskAmount(root, "", "req_disk_space_amount", fProduct.req_disk_space_amount);
	fReader.ReadBool(root, "", "req_boot_vol_only", fProduct.req_boot_vol_only);
	fReader.ReadBool(root, "", "req_removable_vol_ok", fProduct.req_removable_vol_ok);
	fReader.ReadBool(root, "", "req_shared_vol_ok", fProduct.req_shared_vol_ok);
	fReader.ReadBool(root, "", "req_ram_needed", fProduct.req_ram_needed);
	fReader.ReadBool(root, "", "req_ram_required", fProduct.req_ram_required);
	fReader.ReadMegabytes(root, "", "req_ram_amount", fProduct.req_ram_amount);
	ReadRequirementList(root, "req_shared_library", "req_shared_librry_req",
	                    "req_shared_library_req", "req_shared_library_name",
	                    fProduct.req_shared_library);
	ReadRequirementList(root, "req_apps", "req_app_req", nullptr, "req_app_name",
	                    fProduct.req_apps);
	CheckSignatures(fProduct.req_apps);
}

// `alias` is a spelling accepted besides the record's own one.
void DescriptionParser::ReadRequirementList(const toml::table& root, const char* key,
                                            const char* required, const char* alias,
                                            const char* names, RequirementList& out)
{
	const toml::table* table = fReader.ReadTable(root, "", key);
	if (table == nullptr)
		return;
	if (alias != nullptr)
		fReader.CheckKnown(*table, key, {required, alias, names});
	else
		fReader.CheckKnown(*table, key, {required, names});
	fReader.ReadBool(*table, key, required, out.required);
	if (alias != nullptr)
		fReader.ReadBool(*table, key, alias, out.required);
	FieldOrigin origin;
	fReader.ReadNames(*table, key, names, out.names, origin, '\n');
	fAppsOrigin = origin;
}

// The installer finds an application by the signature between "(" and ")".
void DescriptionParser::CheckSignatures(const RequirementList& apps)
{
	for (const std::string& name : apps.names) {
		size_t open = name.find('(');
		size_t close = name.find(')', open == std::string::npos ? 0 : open);
		if (open != std::string::npos && close != std::string::npos && close > open + 1)
			continue;
		fReader.Error(fAppsOrigin, "\"" + name +
		                                   "\" holds no signature in parentheses, as \"Name "
		                                   "(application/x-vnd.Maker-Name)\"");
	}
}

void DescriptionParser::ReadScripts(const toml::table& root)
{
	ReadScript(root, "edit_bootscript", fProduct.edit_bootscript);
	ReadScript(root, "edit_setup_env", fProduct.edit_setup_env);
	ReadScript(root, "edit_profile", fProduct.edit_profile);
}

void DescriptionParser::ReadScript(const toml::table& root, const std::string& base,
                                   ScriptSection& out)
{
	std::string tagKey = base + "_tag";
	std::string contentsKey = base + "_contents";
	bool given = fReader.ReadBool(root, "", base.c_str(), out.enabled);
	bool hasTag = fReader.ReadString(root, "", tagKey.c_str(), out.tag);
	bool hasContents = fReader.ReadText(root, "", contentsKey.c_str(), out.contents);
	const toml::node* node = root.get(base);
	if (node != nullptr)
		out.origin = fReader.Origin(*node, base);
	if (!given && (hasTag || hasContents)) {
		const toml::node* stray = root.get(hasTag ? tagKey : contentsKey);
		fReader.Error(fReader.Origin(*stray, hasTag ? tagKey : contentsKey),
		              "given without `" + base + " = true`");
		return;
	}
	if (!out.enabled)
		return;
	if (!hasTag || out.tag.empty())
		Missing(*node, tagKey, "the tag that marks the section");
	else if (out.tag.find('\n') != std::string::npos)
		fReader.Error(fReader.Origin(*root.get(tagKey), tagKey), "a tag must be one line");
	if (!hasContents)
		Missing(*node, contentsKey, "the text of the section");
}

void DescriptionParser::ReadGroups(const toml::table& root)
{
	const toml::array* groups = fReader.ReadTableArray(root, "", "groups");
	if (groups == nullptr)
		return;
	for (size_t i = 0; i < groups->size(); i++) {
		const toml::table& table = *groups->get(i)->as_table();
		std::string prefix = "groups[" + std::to_string(i) + "]";
		fReader.CheckKnown(table, prefix, {"group_name", "group_description"});
		ProductGroup group;
		group.origin = fReader.Origin(table, prefix + ".group_name");
		if (!fReader.ReadString(table, prefix, "group_name", group.group_name)) {
			if (table.get("group_name") == nullptr)
				Missing(table, prefix + ".group_name", "the install type's name");
			continue;
		}
		group.origin = fReader.Origin(*table.get("group_name"), prefix + ".group_name");
		fReader.ReadText(table, prefix, "group_description", group.group_description);
		fProduct.groups.push_back(group);
	}
}

void DescriptionParser::ReadCustomFolders(const toml::table& root)
{
	const toml::array* folders = fReader.ReadTableArray(root, "", "custom_folder");
	if (folders == nullptr)
		return;
	for (size_t i = 0; i < folders->size(); i++) {
		ReadCustomFolder(*folders->get(i)->as_table(), "custom_folder[" + std::to_string(i) + "]");
	}
}

void DescriptionParser::ReadCustomFolder(const toml::table& table, const std::string& prefix)
{
	fReader.CheckKnown(
	        table, prefix,
	        {"custom_folder_name", "custom_root_dir", "custom_sub_dir", "custom_replace_existing"});
	ProductCustomFolder folder;
	bool named = fReader.ReadString(table, prefix, "custom_folder_name", folder.custom_folder_name);
	if (!named && table.get("custom_folder_name") == nullptr)
		Missing(table, prefix + ".custom_folder_name", "the name items use as destination");
	bool rooted = fReader.ReadFolderCode(table, prefix, "custom_root_dir", folder.custom_root_dir);
	if (!rooted && table.get("custom_root_dir") == nullptr)
		Missing(table, prefix + ".custom_root_dir", "the standard folder it starts from");
	fReader.ReadString(table, prefix, "custom_sub_dir", folder.custom_sub_dir);
	fReader.ReadBool(table, prefix, "custom_replace_existing", folder.custom_replace_existing);
	if (!named || !rooted)
		return;
	folder.origin =
	        fReader.Origin(*table.get("custom_folder_name"), prefix + ".custom_folder_name");
	const toml::node* sub = table.get("custom_sub_dir");
	if (sub != nullptr && !folder_path_is_safe(folder.custom_sub_dir)) {
		fReader.Error(fReader.Origin(*sub, prefix + ".custom_sub_dir"),
		              "must be a relative path without \"..\"");
		return;
	}
	// Replacing the standard folder itself would empty it, and all it holds.
	if (folder.custom_replace_existing && !folder_path_goes_below(folder.custom_sub_dir)) {
		fReader.Error(sub != nullptr ? fReader.Origin(*sub, prefix + ".custom_sub_dir")
		                             : folder.origin,
		              "names the standard folder itself, which custom_replace_existing "
		              "would replace: give a folder below it, or "
		              "custom_replace_existing = false");
		return;
	}
	fProduct.custom_folder.push_back(folder);
}

void DescriptionParser::ReadItems(const toml::table& root)
{
	const toml::array* items = fReader.ReadTableArray(root, "", "install_file");
	if (root.get("install_file") == nullptr || (items != nullptr && items->empty())) {
		fReader.Error(FieldOrigin{"install_file", 1},
		              "missing: a product needs at least one [[install_file]] item");
	}
	if (items == nullptr)
		return;
	for (size_t i = 0; i < items->size(); i++)
		ReadItem(*items->get(i)->as_table(), "install_file[" + std::to_string(i) + "]");
}

void DescriptionParser::ReadItem(const toml::table& table, const std::string& prefix)
{
	fReader.CheckKnown(table, prefix, kItemFields);
	ProductItem item;
	std::string field = prefix + ".file_name";
	if (!fReader.ReadString(table, prefix, "file_name", item.file_name)) {
		if (table.get("file_name") == nullptr)
			Missing(table, field, "the item's source path");
		return;
	}
	item.origin = fReader.Origin(*table.get("file_name"), field);
	if (!fReader.ReadPath(table, prefix, "file_name", item.source, item.origin))
		return;
	item.leaf = leaf_of(item.source);
	if (item.leaf.empty() || item.leaf == "/") {
		fReader.Error(item.origin, "names no entry with a name of its own");
		return;
	}
	ReadItemType(table, prefix, item);
	fReader.ReadPath(table, prefix, "file_icon", item.file_icon, item.file_icon_origin);
	item.groups_origin = item.origin;
	fReader.ReadNames(table, prefix, "groups", item.groups, item.groups_origin, ';');
	item.install_meta.destination_origin =
	        FieldOrigin{prefix + ".install_meta.destination", item.origin.line};
	item.install_meta.link_origin = FieldOrigin{prefix + ".install_meta.link", item.origin.line};
	const toml::table* meta = fReader.ReadTable(table, prefix, "install_meta");
	if (meta != nullptr)
		ReadMeta(*meta, prefix + ".install_meta", item.install_meta);
	const toml::table* menu = fReader.ReadTable(table, prefix, "menu");
	if (menu != nullptr)
		read_menu(fReader, *menu, prefix + ".menu", item.menu);
	fProduct.install_file.push_back(item);
}

void DescriptionParser::ReadItemType(const toml::table& table, const std::string& prefix,
                                     ProductItem& item)
{
	const toml::node* node = table.get("file_type");
	if (node == nullptr)
		return;
	FieldOrigin origin = fReader.Origin(*node, prefix + ".file_type");
	static const char* const kNames[] = {"file", "application", "folder"};
	int64 kind = -1;
	if (node->is_integer())
		kind = node->as_integer()->get();
	for (int32 i = 0; node->is_string() && i < 3; i++) {
		if (node->as_string()->get() == kNames[i])
			kind = i;
	}
	if (kind < 0 || kind > 2) {
		fReader.Error(origin, "expected \"file\", \"application\" or \"folder\"");
		return;
	}
	struct stat info;
	bool isFolder = stat(item.source.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
	if (isFolder != (kind == kItemFolder)) {
		fReader.Error(origin, std::string("\"") + kNames[kind] + "\" does not fit " + item.source +
		                              ", which is " + (isFolder ? "a folder" : "not a folder"));
		return;
	}
	item.file_type = (int8)kind;
}

void DescriptionParser::ReadMeta(const toml::table& table, const std::string& prefix,
                                 InstallMeta& meta)
{
	fReader.CheckKnown(table, prefix, kMetaFields);
	if (fReader.ReadString(table, prefix, "destination", meta.destination))
		meta.destination_origin =
		        fReader.Origin(*table.get("destination"), prefix + ".destination");
	fReader.ReadChoice(table, prefix, "destination_exists", meta.destination_exists,
	                   {"Prompt", "Rename", "Replace"});
	if (fReader.ReadString(table, prefix, "link", meta.link))
		meta.link_origin = fReader.Origin(*table.get("link"), prefix + ".link");
	fReader.ReadChoice(table, prefix, "link_exists", meta.link_exists,
	                   {"Prompt", "Rename", "Replace"});
	fReader.ReadTrueFalse(table, prefix, "deinstallable", meta.deinstallable);
	fReader.ReadTrueFalse(table, prefix, "auto_launch", meta.auto_launch);
	fReader.ReadText(table, prefix, "auto_launch_reason", meta.auto_launch_reason);
}

} // namespace

std::string format_field_error(const std::string& file, const FieldOrigin& origin,
                               const std::string& message)
{
	return file + ":" + std::to_string(origin.line) + ": field `" + origin.field + "`: " + message;
}

std::string locate_record_fault(const Product& product, const std::string& fault)
{
	const size_t start = fault.find('`');
	const size_t end = start == std::string::npos ? start : fault.find('`', start + 1);
	std::string path = end == std::string::npos ? "" : fault.substr(start + 1, end - start - 1);
	// A field the record splits ("req_disk_space_amount.value") is the line of its parent.
	while (!path.empty()) {
		const auto found = product.field_lines.find(path);
		if (found != product.field_lines.end())
			return product.description_path + ":" + std::to_string(found->second) + ": " + fault;
		const size_t cut = path.find_last_of(".[");
		path.resize(cut == std::string::npos ? 0 : cut);
	}
	return product.description_path + ": " + fault;
}

ProductDescription::ProductDescription() : fStatus(B_NO_INIT) {}

status_t ProductDescription::Load(const char* path)
{
	if (path == nullptr)
		return fStatus = B_BAD_VALUE;
	struct stat info;
	std::ifstream stream(path, std::ios::binary);
	if (stat(path, &info) != 0 || !S_ISREG(info.st_mode) || !stream.is_open()) {
		fErrors.assign(1, std::string(path) + ": cannot read the product description");
		return fStatus = B_ENTRY_NOT_FOUND;
	}
	std::stringstream text;
	text << stream.rdbuf();
	return Parse(text.str(), path);
}

status_t ProductDescription::Parse(const std::string& text, const char* path)
{
	if (path == nullptr)
		return fStatus = B_BAD_VALUE;
	fProduct = Product();
	fErrors.clear();
	fProduct.description_path = path;
	std::filesystem::path absolute = std::filesystem::absolute(path).lexically_normal();
	fProduct.base_directory = absolute.parent_path().string();

	toml::parse_result result = toml::parse(text, std::string_view(path));
	if (!result) {
		const toml::parse_error& error = result.error();
		fErrors.push_back(std::string(path) + ":" + std::to_string(error.source().begin.line) +
		                  ": syntax error: " + std::string(error.description()));
		return fStatus = B_BAD_DATA;
	}
	DescriptionReader reader(path, fProduct.base_directory, fErrors);
	DescriptionParser parser(fProduct, reader);
	parser.ReadRoot(result.table());
	note_field_lines(result.table(), "", fProduct.field_lines);
	check_product(fProduct, reader);
	return fStatus = fErrors.empty() ? B_OK : B_BAD_VALUE;
}
