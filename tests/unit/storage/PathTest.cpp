// BPath normalisation, leaf and parent, and entry_ref round trips.
#include "Path.h"

#include <gtest/gtest.h>

#include "Entry.h"
#include "File.h"
#include "StorageTestSupport.h"

TEST(PathTest, SetToNormalisesOnlyWhenNeededOrAsked)
{
	TempFolder temp;
	mkdir((temp / "a").c_str(), 0755);
	mkdir((temp / "a/b").c_str(), 0755);
	symlink("a/b", (temp / "link").c_str());
	struct Case {
		std::string path;
		const char* leaf;
		bool normalize;
		status_t status;
		std::string expected;
	};
	const Case cases[] = {
	        {temp / "a/b", nullptr, false, B_OK, temp / "a/b"},
	        {temp / "a", "b", false, B_OK, temp / "a/b"},
	        {temp / "a/./b", nullptr, false, B_OK, temp / "a/b"},
	        {temp / "a/b/..", nullptr, false, B_OK, temp / "a"},
	        {temp.Path() + "//a", nullptr, false, B_OK, temp / "a"},
	        {temp / "a/", nullptr, false, B_OK, temp / "a"},
	        {temp / "a/b/../missing", nullptr, false, B_OK, temp / "a/missing"},
	        // Not normalised: a link in the path stays as written.
	        {temp / "link/x", nullptr, false, B_OK, temp / "link/x"},
	        // Asked to normalise: the link in the folder is resolved, the leaf kept.
	        {temp / "link/x", nullptr, true, B_OK, temp / "a/b/x"},
	        {temp / "missing/../a", nullptr, false, B_ENTRY_NOT_FOUND, ""},
	        {temp / "missing/x", nullptr, true, B_ENTRY_NOT_FOUND, ""},
	        {temp / "a", "/absolute", false, B_BAD_VALUE, ""},
	        {"", nullptr, false, B_BAD_VALUE, ""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.path + (c.leaf ? std::string(" + ") + c.leaf : ""));
		BPath path;
		EXPECT_EQ(path.SetTo(c.path.c_str(), c.leaf, c.normalize), c.status);
		EXPECT_EQ(path.InitCheck(), c.status);
		if (c.status == B_OK)
			EXPECT_STREQ(path.Path(), c.expected.c_str());
		else
			EXPECT_EQ(path.Path(), nullptr);
	}
}

TEST(PathTest, LeafParentAndAppend)
{
	BPath path("/boot/home/config", nullptr, false);
	EXPECT_STREQ(path.Leaf(), "config");
	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), "/boot/home");
	EXPECT_EQ(path.Append("settings/Vantry"), B_OK);
	EXPECT_STREQ(path.Path(), "/boot/home/config/settings/Vantry");
	EXPECT_EQ(path.Append("/etc"), B_BAD_VALUE);
	EXPECT_STREQ(path.Path(), "/boot/home/config/settings/Vantry");

	BPath root("/");
	EXPECT_STREQ(root.Leaf(), "");
	EXPECT_EQ(root.GetParent(&parent), B_ENTRY_NOT_FOUND);
	ASSERT_EQ(BPath("/boot").GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), "/");

	// The parent may be computed into the path itself.
	EXPECT_EQ(path.GetParent(&path), B_OK);
	EXPECT_STREQ(path.Path(), "/boot/home/config/settings");
	EXPECT_TRUE(path == "/boot/home/config/settings");
	EXPECT_TRUE(path != BPath("/boot"));
	EXPECT_TRUE(BPath() == BPath());
}

TEST(PathTest, RelativePathsStartAtTheCurrentFolder)
{
	TempFolder temp;
	char old[PATH_MAX];
	ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
	ASSERT_EQ(chdir(temp.Path().c_str()), 0);
	BPath path("some/../leaf");
	status_t status = path.InitCheck();
	std::string result = path.Path() ? path.Path() : "";
	ASSERT_EQ(chdir(old), 0);
	EXPECT_EQ(status, B_ENTRY_NOT_FOUND); // "some" does not exist
	BPath plain;
	ASSERT_EQ(chdir(temp.Path().c_str()), 0);
	plain.SetTo("leaf");
	result = plain.Path() ? plain.Path() : "";
	ASSERT_EQ(chdir(old), 0);
	EXPECT_EQ(result, temp / "leaf");
}

TEST(PathTest, AwkwardNamesSurviveRefsAndPaths)
{
	TempFolder temp;
	for (const std::string& name : AwkwardNames()) {
		SCOPED_TRACE(name.substr(0, 40));
		std::string full = temp / name;
		BFile file(full.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
		ASSERT_EQ(file.InitCheck(), B_OK);
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(full.c_str(), &ref), B_OK);
		EXPECT_STREQ(ref.name, name.c_str());
		EXPECT_EQ(ref.directory_path, temp.Path());
		BPath back(&ref);
		ASSERT_EQ(back.InitCheck(), B_OK);
		EXPECT_EQ(std::string(back.Path()), full);
		EXPECT_EQ(std::string(back.Leaf()), name);
		struct stat st;
		EXPECT_EQ(stat(back.Path(), &st), 0);
	}
	entry_ref ref;
	EXPECT_EQ(get_ref_for_path((temp / std::string(256, 'n')).c_str(), &ref), B_NAME_TOO_LONG);
}

TEST(PathTest, RefsCarryDeviceFolderAndLeaf)
{
	TempFolder temp;
	WriteText(temp / "file", "x");
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path((temp / "file").c_str(), &ref), B_OK);
	struct stat st;
	ASSERT_EQ(stat(temp.Path().c_str(), &st), 0);
	EXPECT_EQ(ref.directory, (int64)st.st_ino);
	BEntry folder(temp.Path().c_str());
	node_ref folderNode;
	ASSERT_EQ(folder.GetNodeRef(&folderNode), B_OK);
	EXPECT_EQ(ref.device, folderNode.device);

	// A leaf that does not exist yet still has a reference; a missing folder has none.
	EXPECT_EQ(get_ref_for_path((temp / "new").c_str(), &ref), B_OK);
	EXPECT_EQ(get_ref_for_path((temp / "missing/new").c_str(), &ref), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(get_ref_for_path((temp / "file/new").c_str(), &ref), B_NOT_A_DIRECTORY);

	ASSERT_EQ(get_ref_for_path("/", &ref), B_OK);
	EXPECT_EQ(std::string(BPath(&ref).Path()), "/");
	char buffer[8];
	ASSERT_EQ(get_ref_for_path((temp / "file").c_str(), &ref), B_OK);
	EXPECT_EQ(get_path_for_ref(&ref, buffer, sizeof(buffer)), B_BUFFER_OVERFLOW);
}
