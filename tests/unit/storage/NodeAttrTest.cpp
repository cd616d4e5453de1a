// BNode attributes: raw values in user xattrs, type codes in companions,
// iteration, BEOS:TYPE as user.mime_type, links and unsupported volumes.
#include "Node.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "Entry.h"
#include "File.h"
#include "StorageTestSupport.h"
#include "TypeConstants.h"

TEST(NodeAttrTest, ValuesRoundTripWithTheirTypeAndStayRawOnDisk)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	BNode node((temp / "file").c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);
	struct Case {
		std::string name;
		type_code type;
		std::string value;
	};
	const Case cases[] = {
	        {"InstallBy", B_STRING_TYPE, "Product;1.0;2001-01-01;Company;mail;"},
	        {"language", B_STRING_TYPE, "en"},
	        {"flag", B_BOOL_TYPE, std::string("\x01", 1)},
	        {"count", B_INT32_TYPE, std::string("\x2a\x00\x00\x00", 4)},
	        {"blob", B_RAW_TYPE, std::string("\x00\xff\x00zip", 6)},
	        {"printable but raw", B_RAW_TYPE, "plain"},
	        {"text but typed int", B_INT32_TYPE, "abcd"},
	        {"empty", B_STRING_TYPE, ""},
	        {"BEOS:APP_SIG", B_MIME_STRING_TYPE, std::string("application/x-vnd.Test\0", 23)},
	        {std::string(245, 'L'), 'LONG', "long name"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name.substr(0, 30));
		ASSERT_EQ(node.WriteAttr(c.name.c_str(), c.type, 0, c.value.data(), c.value.size()),
		          (ssize_t)c.value.size());
		EXPECT_EQ(RawXattr(temp / "file", "user." + c.name), c.value);
	}
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name.substr(0, 30));
		attr_info info;
		ASSERT_EQ(node.GetAttrInfo(c.name.c_str(), &info), B_OK);
		EXPECT_EQ(info.type, c.type);
		EXPECT_EQ(info.size, (off_t)c.value.size());
		std::string back(c.value.size() + 8, '?');
		ssize_t read = node.ReadAttr(c.name.c_str(), 0, 0, back.data(), back.size());
		ASSERT_EQ(read, (ssize_t)c.value.size());
		back.resize((size_t)read);
		EXPECT_EQ(back, c.value);
	}
	// A fresh node on the same file sees the same types.
	BNode again((temp / "file").c_str());
	attr_info info;
	ASSERT_EQ(again.GetAttrInfo("count", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_INT32_TYPE);
	std::set<std::string> expected;
	for (const Case& c : cases)
		expected.insert(c.name);
	EXPECT_EQ(AttrNames(again), expected);
}

TEST(NodeAttrTest, AttributesWrittenByOtherToolsGetAPlausibleType)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	std::string path = temp / "file";
	ASSERT_EQ(setxattr(path.c_str(), "user.comment", "hello\n", 6, 0), 0);
	ASSERT_EQ(setxattr(path.c_str(), "user.binary", "\x01\x02", 2, 0), 0);
	ASSERT_EQ(setxattr(path.c_str(), "user.mime_type", "text/plain", 10, 0), 0);
	BNode node(path.c_str());
	const std::pair<const char*, type_code> cases[] = {
	        {"comment", B_STRING_TYPE},
	        {"binary", B_RAW_TYPE},
	        {"BEOS:TYPE", B_MIME_STRING_TYPE},
	};
	for (const auto& [name, type] : cases) {
		SCOPED_TRACE(name);
		attr_info info;
		ASSERT_EQ(node.GetAttrInfo(name, &info), B_OK);
		EXPECT_EQ(info.type, type);
	}
	EXPECT_EQ(AttrNames(node), (std::set<std::string>{"comment", "binary", "BEOS:TYPE"}));
}

TEST(NodeAttrTest, MimeTypeIsTheFreedesktopAttributeWithoutItsNul)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	BNode node((temp / "file").c_str());
	const char type[] = "text/x-source";
	ASSERT_EQ(node.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, type, sizeof(type)),
	          (ssize_t)sizeof(type));
	EXPECT_EQ(RawXattr(temp / "file", "user.mime_type"), std::string("text/x-source"));
	EXPECT_EQ(RawXattr(temp / "file", "user.beos.type.BEOS:TYPE"), std::nullopt);
	char back[64];
	ASSERT_EQ(node.ReadAttr("BEOS:TYPE", 0, 0, back, sizeof(back)), (ssize_t)sizeof(type));
	EXPECT_STREQ(back, type);
	EXPECT_EQ(AttrNames(node), std::set<std::string>{"BEOS:TYPE"});

	// Names that would collide with ours are kept apart.
	ASSERT_EQ(node.WriteAttr("mime_type", B_STRING_TYPE, 0, "own", 3), 3);
	ASSERT_EQ(node.WriteAttr("beos.type.x", B_STRING_TYPE, 0, "own2", 4), 4);
	EXPECT_EQ(RawXattr(temp / "file", "user.mime_type"), std::string("text/x-source"));
	EXPECT_EQ(AttrNames(node), (std::set<std::string>{"BEOS:TYPE", "mime_type", "beos.type.x"}));
	char own[8] = {};
	ASSERT_EQ(node.ReadAttr("beos.type.x", 0, 0, own, sizeof(own)), 4);
	EXPECT_STREQ(own, "own2");
}

TEST(NodeAttrTest, OffsetsPatchAndOffsetZeroReplaces)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	BNode node((temp / "file").c_str());
	ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 0, "0123456789", 10), 10);
	ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 4, "xy", 2), 2);
	EXPECT_EQ(RawXattr(temp / "file", "user.a"), std::string("0123xy6789"));
	ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 12, "z", 1), 1);
	EXPECT_EQ(RawXattr(temp / "file", "user.a"), std::string("0123xy6789\0\0z", 13));
	ASSERT_EQ(node.WriteAttr("a", B_RAW_TYPE, 0, "new", 3), 3);
	EXPECT_EQ(RawXattr(temp / "file", "user.a"), std::string("new"));
	char part[8] = {};
	EXPECT_EQ(node.ReadAttr("a", 0, 1, part, 1), 1);
	EXPECT_EQ(part[0], 'e');
	EXPECT_EQ(node.ReadAttr("a", 0, 3, part, 8), 0);
	EXPECT_EQ(node.WriteAttr("a", B_RAW_TYPE, -1, "x", 1), B_BAD_VALUE);
}

TEST(NodeAttrTest, RemoveAndRenameCarryTheCompanion)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	BNode node((temp / "file").c_str());
	int32 value = 7;
	ASSERT_EQ(node.WriteAttr("old", B_INT32_TYPE, 0, &value, 4), 4);
	ASSERT_EQ(node.RenameAttr("old", "new"), B_OK);
	attr_info info;
	EXPECT_EQ(node.GetAttrInfo("old", &info), B_ENTRY_NOT_FOUND);
	ASSERT_EQ(node.GetAttrInfo("new", &info), B_OK);
	EXPECT_EQ(info.type, (uint32)B_INT32_TYPE);
	EXPECT_EQ(RawXattr(temp / "file", "user.beos.type.old"), std::nullopt);
	ASSERT_EQ(node.RemoveAttr("new"), B_OK);
	EXPECT_EQ(RawXattr(temp / "file", "user.new"), std::nullopt);
	EXPECT_EQ(RawXattr(temp / "file", "user.beos.type.new"), std::nullopt);
	EXPECT_EQ(node.RemoveAttr("new"), B_ENTRY_NOT_FOUND);
	char buffer[4];
	EXPECT_EQ(node.ReadAttr("new", 0, 0, buffer, 4), B_ENTRY_NOT_FOUND);
	EXPECT_TRUE(AttrNames(node).empty());
}

TEST(NodeAttrTest, BadNamesAreRefused)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	BNode node((temp / "file").c_str());
	EXPECT_EQ(node.WriteAttr(nullptr, B_RAW_TYPE, 0, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(node.WriteAttr("", B_RAW_TYPE, 0, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(node.WriteAttr(std::string(256, 'x').c_str(), B_RAW_TYPE, 0, "x", 1),
	          B_NAME_TOO_LONG);
	BNode unset;
	EXPECT_EQ(unset.WriteAttr("a", B_RAW_TYPE, 0, "x", 1), B_NO_INIT);
}

TEST(NodeAttrTest, LinksAreNotFollowed)
{
	TempFolder temp;
	WriteText(temp / "target", "");
	symlink("target", (temp / "link").c_str());
	BNode target((temp / "target").c_str());
	ASSERT_EQ(target.WriteAttr("tag", B_STRING_TYPE, 0, "t", 1), 1);
	BNode link((temp / "link").c_str());
	ASSERT_EQ(link.InitCheck(), B_OK);
	EXPECT_EQ(link.HostFd(), -1);
	EXPECT_TRUE(link.IsSymLink());
	attr_info info;
	EXPECT_EQ(link.GetAttrInfo("tag", &info), B_ENTRY_NOT_FOUND);
	// The link's own attribute (kept on its folder) leaves the target's alone.
	EXPECT_EQ(link.WriteAttr("tag", B_STRING_TYPE, 0, "l", 1), 1);
	char value = 0;
	ASSERT_EQ(target.ReadAttr("tag", 0, 0, &value, 1), 1);
	EXPECT_EQ(value, 't');
	ASSERT_EQ(link.ReadAttr("tag", 0, 0, &value, 1), 1);
	EXPECT_EQ(value, 'l');

	// A file opened through the link is the target.
	BFile file((temp / "link").c_str(), B_READ_ONLY);
	ASSERT_EQ(file.ReadAttr("tag", 0, 0, &value, 1), 1);
	EXPECT_GE(file.HostFd(), 0);
}

TEST(NodeAttrTest, NonNativeVolumesHaveNoAttributes)
{
	NonNativeVolumes volumes;
	const TempFolder& temp = volumes.temp;
	WriteText(temp / "fat/file", "");
	WriteText(temp / "root/file", "");
	BNode onFat((temp / "fat/file").c_str());
	EXPECT_EQ(onFat.WriteAttr("language", B_STRING_TYPE, 0, "en", 2), B_NOT_SUPPORTED);
	char buffer[4];
	EXPECT_EQ(onFat.ReadAttr("language", 0, 0, buffer, 4), B_NOT_SUPPORTED);
	EXPECT_EQ(onFat.GetNextAttrName(buffer), B_NOT_SUPPORTED);
	EXPECT_EQ(RawXattr(temp / "fat/file", "user.language"), std::nullopt);
	BNode onBoot((temp / "root/file").c_str());
	EXPECT_EQ(onBoot.WriteAttr("language", B_STRING_TYPE, 0, "en", 2), 2);
}

TEST(NodeAttrTest, NodesOnFoldersAndAwkwardNames)
{
	TempFolder temp;
	for (const std::string& name : AwkwardNames()) {
		SCOPED_TRACE(name.substr(0, 40));
		std::string path = temp / name;
		ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
		BNode node(path.c_str());
		ASSERT_EQ(node.InitCheck(), B_OK);
		EXPECT_EQ(std::string(node.HostPath()), path);
		EXPECT_GE(node.HostFd(), 0);
		ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "p;", 2), 2);
		EXPECT_EQ(RawXattr(path, "user.InstallBy"), std::string("p;"));
	}
	BNode missing((temp / "missing").c_str());
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);
}

// Written through a new node's descriptor, attributes read back as WriteAttr's
// do; only a type the value does not imply takes a companion.
TEST(NodeAttrTest, NewAttributesThroughADescriptorReadBackWithTheirType)
{
	TempFolder temp;
	WriteText(temp / "file", "");
	struct Case {
		std::string name;
		type_code type;
		std::string value;
		std::string stored;
		bool companion;
	};
	const Case cases[] = {
	        {"InstallBy", B_STRING_TYPE, "Hello;1.0;", "Hello;1.0;", false},
	        {"count", B_INT32_TYPE, std::string("\x2a\x00\x00\x00", 4),
	         std::string("\x2a\x00\x00\x00", 4), true},
	        {"blob", B_RAW_TYPE, std::string("\x00\xff", 2), std::string("\x00\xff", 2), false},
	        {"printable but raw", B_RAW_TYPE, "plain", "plain", true},
	        {"BEOS:TYPE", B_MIME_STRING_TYPE, std::string("text/plain\0", 11), "text/plain", false},
	        {"empty", B_STRING_TYPE, "", "", false},
	};
	const int fd = open((temp / "file").c_str(), O_RDONLY);
	ASSERT_GE(fd, 0);
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		EXPECT_EQ(BNode::WriteNewAttr(fd, c.name.c_str(), c.type, c.value.data(), c.value.size()),
		          B_OK);
	}
	EXPECT_EQ(BNode::WriteNewAttr(fd, std::string(300, 'n').c_str(), B_STRING_TYPE, "x", 1),
	          B_NAME_TOO_LONG);
	EXPECT_EQ(BNode::WriteNewAttr(-1, "x", B_STRING_TYPE, "x", 1), B_BAD_VALUE);
	close(fd);

	BNode node((temp / "file").c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		const std::string xattr = c.name == "BEOS:TYPE" ? "user.mime_type" : "user." + c.name;
		EXPECT_EQ(RawXattr(temp / "file", xattr), c.stored);
		EXPECT_EQ(RawXattr(temp / "file", "user.beos.type." + c.name).has_value(), c.companion);
		attr_info info;
		ASSERT_EQ(node.GetAttrInfo(c.name.c_str(), &info), B_OK);
		EXPECT_EQ(info.type, c.type);
		EXPECT_EQ(info.size, (off_t)c.value.size());
	}
}
