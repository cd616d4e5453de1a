// InstallConfig: install items by leaf name, their sizes, selection and groups.
#include "InstallConfig.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ConfigText.h"
#include "LibPathParts.h"
#include "LibStringIterator.h"

bool InstallConfig::FindInstallFile(const char* leaf, BMessage& instructions, BMessage& item,
                                    int32& index)
{
	if (leaf == nullptr || FindMessage("install_instructions", &instructions) != B_OK)
		return false;
	BMessage candidate;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &candidate) == B_OK; i++) {
		if (LibLastComponent(ConfigText(candidate, "file_name")) != leaf)
			continue;
		item = candidate;
		index = i;
		return true;
	}
	return false;
}

int32 InstallConfig::GetFileSize(const char* leaf)
{
	BMessage instructions;
	BMessage item;
	int32 index = 0;
	if (!FindInstallFile(leaf, instructions, item, index))
		return 0;
	return item.FindInt32("file_size");
}

int64 InstallConfig::GetSelectedSize()
{
	BMessage instructions;
	if (FindMessage("install_instructions", &instructions) != B_OK)
		return 0;
	// Each item counts as the first of its leaf name does, as it always has:
	// one pass notes those sizes, a second sums them over the selected items.
	std::unordered_map<std::string, int32> firstSizes;
	std::vector<std::string> selectedLeaves;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++) {
		std::string leaf = LibLastComponent(ConfigText(item, "file_name"));
		firstSizes.emplace(leaf, item.FindInt32("file_size"));
		if (item.FindBool("install_to_system"))
			selectedLeaves.push_back(std::move(leaf));
	}
	int64 total = 0;
	for (const std::string& leaf : selectedLeaves)
		total += firstSizes[leaf];
	return total;
}

void InstallConfig::MarkInstallFile(const char* leaf, const bool& install)
{
	BMessage instructions;
	BMessage item;
	int32 index = 0;
	if (!FindInstallFile(leaf, instructions, item, index))
		return;
	if (item.ReplaceBool("install_to_system", install) != B_OK) {
		item.RemoveName("install_to_system");
		item.AddBool("install_to_system", install);
	}
	instructions.ReplaceMessage("install_file", index, &item);
	ReplaceMessage("install_instructions", &instructions);
}

bool InstallConfig::MatchType(const char* type_name, const char* leaf)
{
	BMessage instructions;
	BMessage item;
	int32 index = 0;
	if (type_name == nullptr || !FindInstallFile(leaf, instructions, item, index))
		return false;
	// Items carry their groups themselves; older records kept them in the meta data.
	const char* groups = item.FindString("groups");
	BMessage meta;
	const bool hasMeta = item.FindMessage("install_meta", &meta) == B_OK;
	if (groups == nullptr && hasMeta)
		groups = meta.FindString("groups");
	if (groups == nullptr) {
		fputs(hasMeta ? "InstallConfig::MatchType: Could not find option\n"
		              : "InstallConfig::MatchType: could not find meta data\n",
		      stderr);
		return false;
	}
	LibStringIterator fields(groups);
	LibString field;
	while (fields.GetNextField(';', field)) {
		if (strcmp(field.String(), type_name) == 0)
			return true;
	}
	return false;
}
