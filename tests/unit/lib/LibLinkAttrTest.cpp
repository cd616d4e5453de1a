// Copying, moving, replacing and removing links with the file utilities:
// a link's attributes, kept on its folder, go where the link goes.
#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>

#include "LibFile.h"
#include "LibFileTestSupport.h"
#include "Node.h"
#include "TypeConstants.h"

namespace {

const char kTag[] = "Hello;1.0;2024;Acme;help@acme.test;";

void Tag(const std::string& path)
{
	BNode node(path.c_str());
	ASSERT_TRUE(node.IsSymLink()) << path;
	ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, kTag, strlen(kTag)),
	          (ssize_t)strlen(kTag));
}

// The tag of the link at `path`, or "" when it has none.
std::string TagOf(const std::string& path)
{
	BNode node(path.c_str());
	char buffer[256];
	ssize_t size = node.ReadAttr("InstallBy", B_STRING_TYPE, 0, buffer, sizeof(buffer));
	return size < 0 ? std::string() : std::string(buffer, (size_t)size);
}

// True when `folder` holds folder-kept link attributes.
bool HoldsLinkAttrs(const std::string& folder)
{
	char list[65536];
	ssize_t size = llistxattr(folder.c_str(), list, sizeof(list));
	for (ssize_t start = 0; start < size;) {
		std::string name = list + start;
		start += (ssize_t)name.size() + 1;
		if (name.rfind("user.beos.link.", 0) == 0)
			return true;
	}
	return false;
}

bool UserAttrsWork(const std::string& folder)
{
	return setxattr(folder.c_str(), "user.probe", "x", 1, 0) == 0 &&
	       removexattr(folder.c_str(), "user.probe") == 0;
}

} // namespace

TEST(LibLinkAttrTest, UtilitiesCarryOrDropALinksTag)
{
	struct Case {
		const char* what;
		bool (*operation)(const TempFolder& temp);
		const char* tagged; // where the tag must be afterwards ("" for nowhere)
		bool sourceKeepsTag;
	};
	const Case cases[] = {
	        {"copy of the link",
	         [](const TempFolder& temp) {
		         return LibCopy((temp / "from/link").c_str(), (temp / "to").c_str());
	         },
	         "to/link", true},
	        {"copy of its folder",
	         [](const TempFolder& temp) {
		         return LibCopy((temp / "from").c_str(), (temp / "to").c_str());
	         },
	         "to/from/link", true},
	        {"copy over an existing file",
	         [](const TempFolder& temp) {
		         WriteText(temp / "to/name", "old");
		         return LibCopy((temp / "from/link").c_str(), (temp / "to/name").c_str());
	         },
	         "to/name", true},
	        {"move within the volume",
	         [](const TempFolder& temp) {
		         return LibMove((temp / "from/link").c_str(), (temp / "to/moved").c_str());
	         },
	         "to/moved", false},
	        {"removal",
	         [](const TempFolder& temp) { return LibUnlink((temp / "from/link").c_str()); }, "",
	         false},
	        {"a new link in its place",
	         [](const TempFolder& temp) {
		         return LibSymLink((temp / "elsewhere").c_str(), (temp / "from/link").c_str());
	         },
	         "", false},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		TempFolder temp;
		if (!UserAttrsWork(temp.Path()))
			GTEST_SKIP() << "no user attributes on " << temp.Path();
		mkdir((temp / "from").c_str(), 0755);
		mkdir((temp / "to").c_str(), 0755);
		WriteText(temp / "target", "");
		ASSERT_EQ(symlink("../target", (temp / "from/link").c_str()), 0);
		Tag(temp / "from/link");

		ASSERT_TRUE(test.operation(temp));
		if (test.tagged[0] != '\0')
			EXPECT_EQ(TagOf(temp / test.tagged), kTag);
		EXPECT_EQ(TagOf(temp / "from/link"), test.sourceKeepsTag ? kTag : "");
		EXPECT_EQ(HoldsLinkAttrs(temp / "from"), test.sourceKeepsTag) << "nothing stale left";
		BNode target((temp / "target").c_str());
		attr_info info;
		EXPECT_EQ(target.GetAttrInfo("InstallBy", &info), B_ENTRY_NOT_FOUND);
	}
}

TEST(LibLinkAttrTest, MoveAcrossVolumesKeepsTheTag)
{
	TempFolder temp;
	if (!UserAttrsWork(temp.Path()))
		GTEST_SKIP() << "no user attributes on " << temp.Path();
	mkdir((temp / "root").c_str(), 0755);
	mkdir((temp / "other").c_str(), 0755);
	ScopedEnv root("VANTRY_ROOT", temp / "root");
	ScopedEnv volumes("VANTRY_VOLUMES", temp / "other");
	ScopedEnv file("VANTRY_VOLUMES_FILE", std::nullopt);
	ASSERT_EQ(symlink("somewhere", (temp / "root/link").c_str()), 0);
	Tag(temp / "root/link");
	ASSERT_TRUE(LibMove((temp / "root/link").c_str(), (temp / "other").c_str()));
	EXPECT_EQ(TagOf(temp / "other/link"), kTag);
	EXPECT_FALSE(HoldsLinkAttrs(temp / "root"));
}
