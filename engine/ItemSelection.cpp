// InstallConfig: install items by leaf name, their sizes, selection and groups.
#include "InstallConfig.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ConfigRecord.h"
#include "InstallItemRecord.h"
#include "LibPathParts.h"
#include "LibStringIterator.h"

bool InstallConfig::FindInstallFile(const char* leaf, BMessage& instructions, BMessage& item,
                                    int32& index)
{
	if (leaf == nullptr || !ConfigRecord(*this).Instructions(&instructions))
		return false;
	BMessage candidate;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &candidate) == B_OK;
	     i++) {
		if (InstallItemRecord(candidate).Leaf() != leaf)
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
	return int32(InstallItemRecord(item).FileSize());
}

int64 InstallConfig::GetSelectedSize()
{
	BMessage instructions;
	if (!ConfigRecord(*this).Instructions(&instructions))
		return 0;
	// Each item counts as the first of its leaf name does, as it always has:
	// one pass notes those sizes, a second sums them over the selected items.
	std::unordered_map<std::string, int64> firstSizes;
	std::vector<std::string> selectedLeaves;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		const InstallItemRecord record(item);
		std::string leaf = record.Leaf();
		firstSizes.emplace(leaf, record.FileSize());
		if (record.Selected())
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
	InstallItemRecord::SetSelected(item, install);
	instructions.ReplaceMessage(InstallItemRecord::kItem, index, &item);
	ReplaceMessage(ConfigRecord::kInstructions, &instructions);
}

bool InstallConfig::MatchType(const char* type_name, const char* leaf)
{
	BMessage instructions;
	BMessage item;
	int32 index = 0;
	if (type_name == nullptr || !FindInstallFile(leaf, instructions, item, index))
		return false;
	const InstallItemRecord record(item);
	if (record.Groups() == nullptr) {
		fputs(record.HasMeta() ? "InstallConfig::MatchType: Could not find option\n"
		                       : "InstallConfig::MatchType: could not find meta data\n",
		      stderr);
		return false;
	}
	return record.InType(type_name);
}
