// Product: what a product description says, in the record's own field names,
// with each value's origin kept so later steps can name the line at fault.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "SupportDefs.h"

// Where a value came from: the field's dotted name and its line (1-based).
struct FieldOrigin {
	std::string field;
	int32 line = 0;
};

// "FILE:LINE: field `x`: message", the form of every description error.
std::string format_field_error(const std::string& file, const FieldOrigin& origin,
                               const std::string& message);

// The placement rules of one item, as the record's `install_meta` holds them.
struct InstallMeta {
	std::string destination = "User Selected";
	std::string destination_exists = "Replace";
	std::string link = "None";
	std::string link_exists = "Replace";
	std::string deinstallable = "True";
	std::string auto_launch = "False";
	std::string auto_launch_reason;
	FieldOrigin destination_origin;
	FieldOrigin link_origin;
};

enum ItemKind : int8 {
	kItemFile = 0,
	kItemApplication = 1,
	kItemFolder = 2,
	kItemKindFromEntry = -1,
};

// One language's texts of a menu entry.
struct MenuTranslation {
	std::string name;
	std::string comment;
};

// The desktop menu entry an item asks for ([install_file.menu]).
struct ProductMenu {
	bool present = false;
	std::string name; // empty: the product's app_name
	std::string generic_name;
	std::string comment;
	std::vector<std::string> categories;
	FieldOrigin categories_origin;
	std::vector<std::string> keywords;
	std::vector<std::string> mime_types;
	std::string icon; // an SVG, or a square PNG of at least 48 x 48
	FieldOrigin icon_origin;
	int8 terminal = -1;                                  // -1: by the item's kind
	std::map<std::string, MenuTranslation> translations; // by language code
};

struct ProductItem {
	std::string file_name; // as written in the description
	std::string source;    // the entry on disk, resolved against the description's folder
	std::string leaf;      // the item's name in the archive and everywhere else
	int8 file_type = kItemKindFromEntry;
	std::string file_icon; // optional 16 x 16 PNG replacing the item's own icon
	FieldOrigin file_icon_origin;
	std::vector<std::string> groups;
	FieldOrigin groups_origin;
	InstallMeta install_meta;
	ProductMenu menu;
	FieldOrigin origin; // the item's `file_name`
};

struct ProductGroup {
	std::string group_name;
	std::string group_description;
	FieldOrigin origin;
};

struct ProductCustomFolder {
	std::string custom_folder_name;
	int32 custom_root_dir = 0;
	std::string custom_sub_dir;
	bool custom_replace_existing = false;
	FieldOrigin origin;
};

// A tagged section for one of the user's scripts.
struct ScriptSection {
	bool enabled = false;
	std::string tag;
	std::string contents;
	FieldOrigin origin;
};

// `req_disk_space_amount`: bytes, with the unit the author wrote.
struct DiskAmount {
	double value = 0;
	uint32 value_type = 'mb  ';
	float value_conversion = 1048576.0f;
};

// `req_shared_library` and `req_apps`: names, and whether they are required.
struct RequirementList {
	bool required = false;
	std::vector<std::string> names;
};

struct Product {
	std::string description_path; // the description file, as named on the command line
	std::string base_directory;   // relative paths in the description start here

	std::string install_folder_name;
	std::string app_name;
	std::string version;
	std::string release_date;
	std::string company;
	std::string support_email;
	std::string about_image; // PNG path, empty for none
	FieldOrigin about_image_origin;
	std::string audio_data; // WAV path, empty for none
	FieldOrigin audio_data_origin;
	std::string license;

	std::vector<ProductGroup> groups;
	std::vector<ProductItem> install_file;
	std::vector<ProductCustomFolder> custom_folder;

	bool opt_log = true;
	bool opt_create_startup = false;
	bool opt_save_replaced = true;
	bool opt_include_deinstall = true;
	// A failed, stopped or killed run is undone; false keeps what it placed.
	bool opt_rollback = true;
	std::string opt_default_folder = "Applications";
	std::string opt_created_folder;
	bool opt_show_beos_folders = false;
	int32 opt_compression = 6;
	// "deflate" (level opt_compression), read by every unzip, or "zstd"
	// (level compression_level): smaller and faster to install.
	std::string compression = "deflate";
	int32 compression_level = 19;

	bool req_disk_space_needed = false;
	bool req_disk_space_required = false;
	DiskAmount req_disk_space_amount;
	bool req_boot_vol_only = false;
	bool req_removable_vol_ok = false;
	bool req_shared_vol_ok = false;
	bool req_ram_needed = false;
	bool req_ram_required = false;
	int32 req_ram_amount = 0; // megabytes
	RequirementList req_shared_library;
	RequirementList req_apps;

	ScriptSection edit_bootscript;
	ScriptSection edit_setup_env;
	ScriptSection edit_profile;

	std::string complete_comments;
	bool complete_restart = false;
	bool complete_display_folder = false;

	// The line of every field of the description, by its path as the record
	// check names it ("custom_folder[0].custom_sub_dir").
	std::map<std::string, int32> field_lines;
};

// `fault`, a record check's "field `PATH` ...: reason", as a description
// error: with the file and the line of PATH (or of the nearest field above it).
std::string locate_record_fault(const Product& product, const std::string& fault);
