// Warnings about a product description that vantry-build still accepts.
#include "ProductWarnings.h"

#include "FindDirectory.h"
#include "MenuDescription.h"
#include "Path.h"
#include "StandardFolders.h"

namespace {

// The folders a desktop gives every user (the freedesktop user dirs).
const char* const kUserFolders[] = {"Desktop",  "Documents", "Downloads", "Music",
                                    "Pictures", "Public",    "Templates", "Videos"};

std::string Trimmed(std::string path)
{
	while (path.size() > 1 && path.back() == '/')
		path.pop_back();
	return path;
}

// Why the folder at `path` belongs to the user rather than to a product;
// empty when it does not.
std::string OwnedBy(const std::string& path)
{
	for (int32 code = 0; code < 4000; code++) {
		const char* name = standard_folder_name(code);
		BPath folder;
		if (name != nullptr && find_directory(directory_which(code), &folder) == B_OK &&
		    Trimmed(folder.Path()) == path)
			return std::string("the standard folder \"") + name + "\"";
	}
	BPath home;
	if (find_directory(B_USER_DIRECTORY, &home) != B_OK)
		return std::string();
	for (const char* leaf : kUserFolders) {
		if (std::string(home.Path()) + "/" + leaf == path)
			return std::string("the user's own folder \"") + leaf + "\"";
	}
	return std::string();
}

} // namespace

std::vector<std::string> product_warnings(const Product& product)
{
	std::vector<std::string> warnings;
	for (const ProductCustomFolder& folder : product.custom_folder) {
		BPath root;
		if (!folder.custom_replace_existing ||
		    find_directory(directory_which(folder.custom_root_dir), &root) != B_OK)
			continue;
		const std::string path = Trimmed(std::string(root.Path()) + "/" + folder.custom_sub_dir);
		const std::string owner = OwnedBy(path);
		if (owner.empty())
			continue;
		warnings.push_back(format_field_error(
		        product.description_path, folder.origin,
		        "warning: custom_replace_existing replaces " + owner + " (" + path +
		                " here) at installation: everything the user keeps there is moved to "
		                "\"Saved Files\" or the trash"));
	}
	for (const std::string& warning : menu_category_warnings(product))
		warnings.push_back(warning);
	return warnings;
}
