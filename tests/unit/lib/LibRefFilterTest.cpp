// LibRefFilter: which entries a file panel lists, by MIME type and by kind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LibRefFilter.h"
#include "Mime.h"

namespace {

struct FilterCase {
	const char* name;
	bool allowAll;
	std::vector<const char*> types;
	const char* entry;
	const char* mimeType;
	bool listed;
};

TEST(LibRefFilterTest, ListsChosenTypesAndOptionallyEveryFile)
{
	std::string pattern = testing::TempDir() + "reffilter-XXXXXX";
	ASSERT_NE(mkdtemp(pattern.data()), nullptr);
	std::string base = pattern;
	std::ofstream(base + "/notes.txt") << "text";
	std::filesystem::create_directory(base + "/folder");
	std::filesystem::create_symlink(base + "/notes.txt", base + "/to-file");
	std::filesystem::create_symlink(base + "/folder", base + "/to-folder");
	std::filesystem::create_symlink(base + "/gone", base + "/broken");

	const char* text = "text/plain";
	const char* folder = B_DIRECTORY_MIME_TYPE;
	const std::vector<FilterCase> cases = {
	        {"type listed", false, {text}, "notes.txt", text, true},
	        {"type not listed", false, {"image/png"}, "notes.txt", text, false},
	        {"type compared exactly",
	         false,
	         {"text/plain; charset=utf-8"},
	         "notes.txt",
	         text,
	         false},
	        {"case matters", false, {"Text/Plain"}, "notes.txt", text, false},
	        {"all files", true, {}, "notes.txt", text, true},
	        {"all files, no folders", true, {}, "folder", folder, false},
	        {"folders when asked", true, {folder}, "folder", folder, true},
	        {"nothing by default", false, {}, "notes.txt", text, false},
	        {"link to a file is a file", true, {}, "to-file", "application/x-vnd.Be-symlink", true},
	        {"link to a folder is not",
	         true,
	         {},
	         "to-folder",
	         "application/x-vnd.Be-symlink",
	         false},
	        {"broken link", true, {}, "broken", "application/x-vnd.Be-symlink", false},
	        {"no type", false, {text}, "notes.txt", nullptr, false},
	};
	for (const FilterCase& c : cases) {
		SCOPED_TRACE(c.name);
		LibRefFilter filter;
		EXPECT_FALSE(filter.AllowsAllFiles());
		filter.AllowAllFiles(c.allowAll);
		for (const char* type : c.types)
			filter.AddType(type);
		entry_ref ref(0, 0, c.entry);
		ref.directory_path = base;
		struct stat st;
		ASSERT_EQ(lstat((base + "/" + c.entry).c_str(), &st), 0);
		EXPECT_EQ(filter.Filter(&ref, nullptr, &st, c.mimeType), c.listed);
	}
	std::filesystem::remove_all(base);
}

} // namespace
