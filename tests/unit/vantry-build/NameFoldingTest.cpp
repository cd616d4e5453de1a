// Names of one item that only a file system folding case or composition
// confuses: paired once, in the folder where they meet.
#include "NameFolding.h"

#include <gtest/gtest.h>

namespace {

TEST(NameFoldingTest, NamesDifferingOnlyInCaseOrCompositionArePaired)
{
	using Pairs = std::vector<std::pair<size_t, size_t>>;
	struct {
		const char* what;
		std::vector<std::string_view> names;
		Pairs pairs;
	} cases[] = {
	        {"case", {"item/", "item/Read.me", "item/READ.ME"}, {{1, 2}}},
	        {"composed and decomposed",
	         {"item/caf\xc3\xa9", "item/x", "item/cafe\xcc\x81"},
	         {{0, 2}}},
	        {"case beyond ASCII", {"item/\xc3\x84pfel", "item/\xc3\xa4pfel"}, {{0, 1}}},
	        {"folder and file", {"item/Docs/", "item/docs"}, {{0, 1}}},
	        {"children of folded folders paired once",
	         {"item/Docs/", "item/Docs/a", "item/docs/", "item/docs/a"},
	         {{0, 2}}},
	        {"three in one folder, beside a folded folder",
	         {"item/D/a", "item/d/a", "item/D/A", "item/D/\xc3\xa1"},
	         {{0, 2}}},
	        {"accents are not composition", {"item/cafe", "item/caf\xc3\xa9"}, {}},
	        {"same leaf in two folders", {"item/a/x", "item/b/x"}, {}},
	        {"not UTF-8", {"item/\xff", "item/\xfe"}, {}},
	        {"none", {}, {}},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.what);
		EXPECT_EQ(folded_name_pairs(test.names), test.pairs);
	}
}

} // namespace
