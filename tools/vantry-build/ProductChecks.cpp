// Checks across the fields of a product description.
#include "ProductChecks.h"

#include <filesystem>
#include <map>

#include "StandardFolders.h"

namespace {

void check_groups(const Product& product, DescriptionReader& reader)
{
	std::map<std::string, int32> seen;
	for (const ProductGroup& group : product.groups) {
		if (group.group_name.empty() || group.group_name.find(';') != std::string::npos) {
			// Items list their install types joined by ";".
			reader.Error(group.origin, "an install type needs a name without \";\"");
			continue;
		}
		auto [place, added] = seen.emplace(group.group_name, group.origin.line);
		if (!added) {
			reader.Error(group.origin, "two install types named \"" + group.group_name +
			                                   "\" (the other is on line " +
			                                   std::to_string(place->second) + ")");
		}
	}
}

void check_custom_folders(const Product& product, DescriptionReader& reader)
{
	std::map<std::string, int32> seen;
	for (const ProductCustomFolder& folder : product.custom_folder) {
		const std::string& name = folder.custom_folder_name;
		if (name.empty() || name == "User Selected" || name == "None") {
			reader.Error(folder.origin, "a custom folder cannot be named \"" + name +
			                                    "\": items could not reach it");
			continue;
		}
		auto [place, added] = seen.emplace(name, folder.origin.line);
		if (!added) {
			reader.Error(folder.origin, "two custom folders named \"" + name +
			                                    "\" (the other is on line " +
			                                    std::to_string(place->second) + ")");
		}
	}
}

bool names_folder(const Product& product, const std::string& name)
{
	if (name == "User Selected")
		return true;
	for (const ProductCustomFolder& folder : product.custom_folder) {
		if (folder.custom_folder_name == name)
			return true;
	}
	int32 code;
	return standard_folder_code(name, &code);
}

void check_destination(const Product& product, const std::string& name, bool isLink,
                       const FieldOrigin& origin, DescriptionReader& reader)
{
	if (isLink && name == "None")
		return;
	if (names_folder(product, name))
		return;
	std::string choices = isLink ? "\"None\", \"User Selected\"" : "\"User Selected\"";
	reader.Error(origin, "names no folder: \"" + name + "\" is neither " + choices +
	                             ", a custom folder nor a standard folder name");
}

bool has_group(const Product& product, const std::string& name)
{
	for (const ProductGroup& group : product.groups) {
		if (group.group_name == name)
			return true;
	}
	return false;
}

void check_items(const Product& product, DescriptionReader& reader)
{
	std::map<std::string, const ProductItem*> leaves;
	for (const ProductItem& item : product.install_file) {
		auto [place, added] = leaves.emplace(item.leaf, &item);
		if (!added) {
			reader.Error(item.origin, "two items with one leaf name \"" + item.leaf +
			                                  "\": " + place->second->origin.field + " (line " +
			                                  std::to_string(place->second->origin.line) +
			                                  ") has it too");
		}
		for (const std::string& group : item.groups) {
			if (!has_group(product, group))
				reader.Error(item.groups_origin, "names no install type: \"" + group + "\"");
		}
		const InstallMeta& meta = item.install_meta;
		check_destination(product, meta.destination, false, meta.destination_origin, reader);
		check_destination(product, meta.link, true, meta.link_origin, reader);
	}
}

} // namespace

void check_product(const Product& product, DescriptionReader& reader)
{
	check_groups(product, reader);
	check_custom_folders(product, reader);
	check_items(product, reader);
}

bool folder_path_is_safe(const std::string& path)
{
	std::filesystem::path value(path);
	if (value.is_absolute())
		return false;
	for (const std::filesystem::path& part : value) {
		if (part == "..")
			return false;
	}
	return true;
}

bool folder_path_goes_below(const std::string& path)
{
	for (const std::filesystem::path& part : std::filesystem::path(path)) {
		if (!part.empty() && part != "." && part != "/")
			return true;
	}
	return false;
}
