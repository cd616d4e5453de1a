// Attributes of symbolic links, kept on the folder that holds the link:
// reading, writing, iteration, renames, replaced links and long names.
#include "Node.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <set>

#include "Directory.h"
#include "Entry.h"
#include "LinkAttributes.h"
#include "StorageTestSupport.h"
#include "TypeConstants.h"

namespace {

const char kTag[] = "Hello;1.0;2024;Acme;help@acme.test;";

// The xattr names of `path` (not followed) that start with `prefix`.
std::set<std::string> XattrsWith(const std::string& path, const std::string& prefix)
{
	std::set<std::string> found;
	char list[65536];
	ssize_t size = llistxattr(path.c_str(), list, sizeof(list));
	for (ssize_t start = 0; start < size;) {
		std::string name = list + start;
		start += (ssize_t)name.size() + 1;
		if (name.compare(0, prefix.size(), prefix) == 0)
			found.insert(name);
	}
	return found;
}

void Tag(const std::string& path, const char* value = kTag)
{
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);
	ASSERT_TRUE(node.IsSymLink());
	ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, value, strlen(value)),
	          (ssize_t)strlen(value));
}

// The tag of the link at `path`, or "" when it has none.
std::string TagOf(const std::string& path)
{
	BNode node(path.c_str());
	char buffer[256];
	ssize_t size = node.ReadAttr("InstallBy", B_STRING_TYPE, 0, buffer, sizeof(buffer));
	return size < 0 ? std::string() : std::string(buffer, (size_t)size);
}

bool UserAttrsWork(const std::string& folder)
{
	return setxattr(folder.c_str(), "user.probe", "x", 1, 0) == 0 &&
	       removexattr(folder.c_str(), "user.probe") == 0;
}

} // namespace

class LinkAttrTest : public testing::Test {
protected:
	void SetUp() override
	{
		if (!UserAttrsWork(temp.Path()))
			GTEST_SKIP() << "no user attributes on " << temp.Path();
		WriteText(temp / "target", "");
		ASSERT_EQ(symlink("target", (temp / "link").c_str()), 0);
	}

	TempFolder temp;
};

TEST_F(LinkAttrTest, ValuesAndTypesRoundTripOnTheFolderNotTheTarget)
{
	BNode link((temp / "link").c_str());
	ASSERT_EQ(link.InitCheck(), B_OK);
	const int32 count = 7;
	ASSERT_EQ(link.WriteAttr("InstallBy", B_STRING_TYPE, 0, kTag, strlen(kTag)),
	          (ssize_t)strlen(kTag));
	ASSERT_EQ(link.WriteAttr("count", B_INT32_TYPE, 0, &count, sizeof(count)), 4);
	ASSERT_EQ(
	        link.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, "application/x-vnd.Be-symlink", 29),
	        29);
	EXPECT_EQ(AttrNames(link), (std::set<std::string>{"InstallBy", "count", "BEOS:TYPE"}));

	BNode again((temp / "link").c_str());
	attr_info info;
	ASSERT_EQ(again.GetAttrInfo("count", &info), B_OK);
	EXPECT_EQ(info.type, B_INT32_TYPE);
	EXPECT_EQ(info.size, 4);
	int32 read = 0;
	ASSERT_EQ(again.ReadAttr("count", B_INT32_TYPE, 0, &read, sizeof(read)), 4);
	EXPECT_EQ(read, 7);
	ASSERT_EQ(again.GetAttrInfo("BEOS:TYPE", &info), B_OK);
	EXPECT_EQ(info.type, B_MIME_STRING_TYPE);
	EXPECT_EQ(TagOf(temp / "link"), kTag);

	// The value stays raw under the link's key; neither target nor folder shows it.
	const std::string key = host_link_attr_key("link");
	EXPECT_EQ(RawXattr(temp.Path(), key + ".InstallBy"), std::string(kTag));
	BNode target((temp / "target").c_str());
	EXPECT_TRUE(AttrNames(target).empty());
	BNode folder(temp.Path().c_str());
	ASSERT_EQ(folder.WriteAttr("own", B_STRING_TYPE, 0, "f", 1), 1);
	EXPECT_EQ(AttrNames(folder), std::set<std::string>{"own"});

	// Renamed and removed like any attribute; the last removal leaves the folder clean.
	ASSERT_EQ(again.RenameAttr("count", "total"), B_OK);
	EXPECT_EQ(AttrNames(again), (std::set<std::string>{"InstallBy", "total", "BEOS:TYPE"}));
	for (const char* name : {"InstallBy", "total", "BEOS:TYPE"})
		EXPECT_EQ(again.RemoveAttr(name), B_OK) << name;
	EXPECT_EQ(again.RemoveAttr("InstallBy"), B_ENTRY_NOT_FOUND);
	EXPECT_TRUE(XattrsWith(temp.Path(), "user.beos.link.").empty());
}

TEST_F(LinkAttrTest, TwoLinksInOneFolderKeepTheirOwn)
{
	ASSERT_EQ(symlink("target", (temp / "other").c_str()), 0);
	Tag(temp / "link", "first;");
	Tag(temp / "other", "second;");
	EXPECT_EQ(TagOf(temp / "link"), "first;");
	EXPECT_EQ(TagOf(temp / "other"), "second;");
	BNode other((temp / "other").c_str());
	ASSERT_EQ(other.RemoveAttr("InstallBy"), B_OK);
	EXPECT_EQ(TagOf(temp / "link"), "first;");
	EXPECT_EQ(TagOf(temp / "other"), "");
}

TEST_F(LinkAttrTest, LinksMovedThroughBEntryKeepTheirTag)
{
	Tag(temp / "link");
	BEntry entry((temp / "link").c_str());
	ASSERT_EQ(entry.Rename("renamed"), B_OK);
	EXPECT_EQ(TagOf(temp / "renamed"), kTag);

	ASSERT_EQ(mkdir((temp / "sub").c_str(), 0755), 0);
	BDirectory sub((temp / "sub").c_str());
	ASSERT_EQ(entry.MoveTo(&sub), B_OK);
	EXPECT_EQ(TagOf(temp / "sub/renamed"), kTag);
	EXPECT_TRUE(XattrsWith(temp.Path(), "user.beos.link.").empty()) << "nothing stale behind";

	ASSERT_EQ(entry.Remove(), B_OK);
	EXPECT_TRUE(XattrsWith(temp / "sub", "user.beos.link.").empty());
}

TEST_F(LinkAttrTest, ALinkReplacedUnderTheSameNameStartsBare)
{
	struct Case {
		const char* how;
		void (*replace)(const std::string& folder);
	};
	const Case cases[] = {
	        {"removed through BEntry",
	         [](const std::string& folder) {
		         BEntry((folder + "/link").c_str()).Remove();
		         symlink("elsewhere", (folder + "/link").c_str());
	         }},
	        {"another link renamed over it",
	         [](const std::string& folder) {
		         symlink("elsewhere", (folder + "/new").c_str());
		         rename((folder + "/new").c_str(), (folder + "/link").c_str());
	         }},
	        {"a file renamed over it",
	         [](const std::string& folder) {
		         WriteText(folder + "/file", "");
		         rename((folder + "/file").c_str(), (folder + "/link").c_str());
		         unlink((folder + "/link").c_str());
		         symlink("elsewhere", (folder + "/link").c_str());
	         }},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.how);
		Tag(temp / "link");
		test.replace(temp.Path());
		BNode link((temp / "link").c_str());
		ASSERT_TRUE(link.IsSymLink());
		attr_info info;
		EXPECT_EQ(link.GetAttrInfo("InstallBy", &info), B_ENTRY_NOT_FOUND);
		EXPECT_TRUE(AttrNames(link).empty());
		// Writing one attribute does not bring the stale ones back.
		ASSERT_EQ(link.WriteAttr("other", B_STRING_TYPE, 0, "o", 1), 1);
		EXPECT_EQ(AttrNames(link), std::set<std::string>{"other"});
		ASSERT_EQ(link.RemoveAttr("other"), B_OK);
	}
}

TEST_F(LinkAttrTest, AKeyHeldByAnotherLiveLinkIsNotTaken)
{
	// Stand in for two leaves whose hashes collide: "link"'s key names "other".
	ASSERT_EQ(symlink("target", (temp / "other").c_str()), 0);
	Tag(temp / "other", "other;");
	const std::string otherKey = host_link_attr_key("other");
	std::optional<std::string> marker = RawXattr(temp.Path(), otherKey);
	ASSERT_TRUE(marker.has_value());
	const std::string key = host_link_attr_key("link");
	ASSERT_EQ(setxattr(temp.Path().c_str(), key.c_str(), marker->data(), marker->size(), 0), 0);
	ASSERT_EQ(setxattr(temp.Path().c_str(), (key + ".InstallBy").c_str(), "x", 1, 0), 0);

	BNode link((temp / "link").c_str());
	EXPECT_EQ(TagOf(temp / "link"), "");
	EXPECT_TRUE(AttrNames(link).empty());
	EXPECT_EQ(link.WriteAttr("InstallBy", B_STRING_TYPE, 0, "l", 1), B_NAME_IN_USE);
	EXPECT_EQ(RawXattr(temp.Path(), key + ".InstallBy"), std::string("x"));

	// Once that link is gone the key is stale and the next write takes it over.
	ASSERT_EQ(unlink((temp / "other").c_str()), 0);
	EXPECT_EQ(link.WriteAttr("InstallBy", B_STRING_TYPE, 0, "l", 1), 1);
	EXPECT_EQ(TagOf(temp / "link"), "l");
}

TEST_F(LinkAttrTest, LongLeavesAndNames)
{
	const std::string leaf(255, 'n');
	ASSERT_EQ(symlink("target", (temp / leaf).c_str()), 0);
	Tag(temp / leaf);
	EXPECT_EQ(TagOf(temp / leaf), kTag);
	EXPECT_EQ(TagOf(temp / "link"), "");

	BNode link((temp / leaf).c_str());
	// "user.beos.link." + 16 digits + "." leaves 223 bytes of name.
	const std::string longest(223, 'a');
	EXPECT_EQ(link.WriteAttr(longest.c_str(), B_RAW_TYPE, 0, "v", 1), 1);
	EXPECT_TRUE(AttrNames(link).count(longest));
	const std::string tooLong(224, 'a');
	EXPECT_EQ(link.WriteAttr(tooLong.c_str(), B_RAW_TYPE, 0, "v", 1), B_NAME_TOO_LONG);
	char value;
	EXPECT_EQ(link.ReadAttr(tooLong.c_str(), B_RAW_TYPE, 0, &value, 1), B_NAME_TOO_LONG);
}

TEST(LinkAttrVolumeTest, LinksOnANonNativeVolumeHaveNoAttributes)
{
	NonNativeVolumes volumes;
	const TempFolder& temp = volumes.temp;
	ASSERT_EQ(symlink("x", (temp / "fat/link").c_str()), 0);
	BNode link((temp / "fat/link").c_str());
	ASSERT_EQ(link.InitCheck(), B_OK);
	EXPECT_EQ(link.WriteAttr("InstallBy", B_STRING_TYPE, 0, "t", 1), B_NOT_SUPPORTED);
	char buffer[B_ATTR_NAME_LENGTH];
	EXPECT_EQ(link.GetNextAttrName(buffer), B_NOT_SUPPORTED);
	EXPECT_TRUE(XattrsWith(temp / "fat", "user.").empty());
}
