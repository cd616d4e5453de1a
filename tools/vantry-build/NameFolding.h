// Names of one item that differ only in case or Unicode normalisation: two
// entries on Linux, one where the installation folder folds names (FAT,
// exFAT, NTFS, a case-folding ext4 folder), which keeps only the last.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The pairs of `names` (archive paths, as indices into it, the earlier
// first) that differ in their last part only, and only by case or
// composition: entries below two such folders are not paired again. A
// folder's trailing slash is left aside; a name that is not UTF-8 folds to
// itself.
std::vector<std::pair<size_t, size_t>>
folded_name_pairs(const std::vector<std::string_view>& names);
