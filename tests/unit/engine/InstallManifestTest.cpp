// The manifest of placed entries: what it records of a tree, how an entry on
// disk compares with it, how it follows a renamed entry, and the version
// order an upgrade is judged by.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "EarlierInstallation.h"
#include "InstallManifest.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(InstallManifestTest, VersionsCompareNumbersAsNumbers)
{
	struct Case {
		const char* a;
		const char* b;
		int order;
	};
	const Case cases[] = {
	        {"1.0", "2.0", -1},        {"2.0", "1.0", 1},          {"1.10", "1.9", 1},
	        {"2.0", "2.0", 0},         {"1.0", "1.0.1", -1},       {"1.0b", "1.0a", 1},
	        {"010", "9", 1},           {"1.2-rc1", "1.2-rc2", -1}, {"", "1", -1},
	        {"R5.0.3", "R5.0.10", -1},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(std::string(test.a) + " vs " + test.b);
		const int order = EarlierInstallation::CompareVersions(test.a, test.b);
		EXPECT_EQ(order < 0 ? -1 : order > 0 ? 1 : 0, test.order);
	}
}

class ManifestTest : public testing::Test {
protected:
	void SetUp() override
	{
		folder.Write("app/a.txt", "aaaa");
		folder.Write("app/sub/b.txt", "bb");
		chmod((folder / "app/sub/b.txt").c_str(), 0750);
		fs::create_symlink("a.txt", folder / "app/link");
		outside.Write("prefs", "p");
		manifest.AddTree(0, folder / "app", folder.Path());
		manifest.AddTree(1, outside / "prefs", folder.Path());
	}

	const InstallManifest::Entry* Find(const InstallManifest& from, const std::string& path)
	{
		for (const InstallManifest::Entry& entry : from.Entries()) {
			if (InstallManifest::PathOf(entry, folder.Path()) == path)
				return &entry;
		}
		return nullptr;
	}

	TempFolder folder;
	TempFolder outside;
	InstallManifest manifest;
};

TEST_F(ManifestTest, RecordsEveryEntryAndReadsBackFromTheRecord)
{
	BMessage record;
	manifest.WriteTo(record);
	InstallManifest read;
	ASSERT_TRUE(read.ReadFrom(record));
	ASSERT_EQ(read.Entries().size(), 6u);
	struct Expected {
		std::string path;
		char type;
		mode_t mode;
		int64 size;
		std::string target;
	};
	const Expected expected[] = {
	        {folder / "app", 'd', 0, 0, ""},
	        {folder / "app/a.txt", 'f', 0, 4, ""},
	        {folder / "app/sub/b.txt", 'f', 0750, 2, ""},
	        {folder / "app/link", 'l', 0, 0, "a.txt"},
	        {outside / "prefs", 'f', 0, 1, ""},
	};
	for (const Expected& entry : expected) {
		SCOPED_TRACE(entry.path);
		const InstallManifest::Entry* found = Find(read, entry.path);
		ASSERT_NE(found, nullptr);
		EXPECT_EQ(found->type, entry.type);
		EXPECT_EQ(found->size, entry.size);
		EXPECT_EQ(found->target, entry.target);
		if (entry.mode != 0)
			EXPECT_EQ(found->mode, entry.mode);
		EXPECT_EQ(found->digest.empty(), entry.type != 'f');
	}
	// Inside the folder an entry is kept relative to it; outside, absolute.
	EXPECT_EQ(Find(read, folder / "app/a.txt")->root, "app");
	EXPECT_EQ(Find(read, outside / "prefs")->root, outside / "prefs");
	EXPECT_EQ(Find(read, outside / "prefs")->item, 1);
}

TEST_F(ManifestTest, TellsUnchangedChangedAndMissingEntries)
{
	struct Case {
		const char* name;
		std::string path;
		std::function<void()> change;
		InstallManifest::State state;
	};
	const Case cases[] = {
	        {"Untouched", folder / "app/a.txt", [] {}, InstallManifest::kUnchanged},
	        {"SameSizeOtherBytes", folder / "app/a.txt", [&] { folder.Write("app/a.txt", "abcd"); },
	         InstallManifest::kChanged},
	        {"OtherSize", folder / "app/sub/b.txt", [&] { folder.Write("app/sub/b.txt", "bbb"); },
	         InstallManifest::kChanged},
	        {"Removed", outside / "prefs", [&] { unlink((outside / "prefs").c_str()); },
	         InstallManifest::kMissing},
	        {"LinkRetargeted", folder / "app/link",
	         [&] {
		         unlink((folder / "app/link").c_str());
		         fs::create_symlink("sub", folder / "app/link");
	         },
	         InstallManifest::kChanged},
	        {"FolderBecameAFile", folder / "app/sub",
	         [&] {
		         fs::remove_all(folder / "app/sub");
		         folder.Write("app/sub", "x");
	         },
	         InstallManifest::kChanged},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.name);
		test.change();
		const InstallManifest::Entry* entry = Find(manifest, test.path);
		ASSERT_NE(entry, nullptr);
		EXPECT_EQ(InstallManifest::StateOf(*entry, test.path), test.state);
	}
}

TEST_F(ManifestTest, FollowsARenamedEntryOrItemAndRefusesPathsThatClimbOut)
{
	manifest.Rename(folder / "app/sub/b.txt", folder / "app/sub/b.txt.new", folder.Path());
	manifest.Rename(folder / "app", folder / "moved", folder.Path());
	EXPECT_NE(Find(manifest, folder / "moved/sub/b.txt.new"), nullptr);
	EXPECT_NE(Find(manifest, folder / "moved/a.txt"), nullptr);
	EXPECT_EQ(Find(manifest, folder / "app/a.txt"), nullptr);
	EXPECT_EQ(Find(manifest, folder / "moved/a.txt")->root, "moved");

	BMessage record;
	record.AddString(InstallManifest::Field(), "0\tf\t644\t1\t00000000\tapp\t../../etc/passwd\t");
	record.AddString(InstallManifest::Field(), "0\tf\t644\t1\t00000000\t../x\t.\t");
	record.AddString(InstallManifest::Field(), "0\tf\t644\t1\t00000000\tapp\tdots..in.name\t");
	InstallManifest read;
	ASSERT_TRUE(read.ReadFrom(record));
	ASSERT_EQ(read.Entries().size(), 1u);
	EXPECT_EQ(read.Entries()[0].below, "dots..in.name");
}

} // namespace
