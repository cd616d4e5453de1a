// BMimeType validity, sniffing and update_mime_info; BNodeInfo attributes.
#include "MimeType.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Node.h"
#include "NodeInfo.h"
#include "StorageTestSupport.h"
#include "TypeConstants.h"

TEST(MimeTypeTest, Validity)
{
	const std::pair<std::string, bool> cases[] = {
	        {"text/plain", true},
	        {"application/x-vnd.Be-elfexecutable", true},
	        {"text", true},
	        {"", false},
	        {"/plain", false},
	        {"text/", false},
	        {"text/plain/x", false},
	        {"text/pla in", false},
	        {"text/plain;charset=x", false},
	        {"text/" + std::string(B_MIME_TYPE_LENGTH, 'x'), false},
	};
	for (const auto& [text, valid] : cases) {
		SCOPED_TRACE(text);
		EXPECT_EQ(BMimeType::IsValid(text.c_str()), valid);
		BMimeType type(text.c_str());
		EXPECT_EQ(type.InitCheck(), valid ? B_OK : B_BAD_VALUE);
	}
}

TEST(MimeTypeTest, SupertypesAndComparison)
{
	BMimeType text("text");
	BMimeType plain("text/plain");
	BMimeType image("image/png");
	EXPECT_TRUE(text.IsSupertypeOnly());
	EXPECT_FALSE(plain.IsSupertypeOnly());
	BMimeType super;
	ASSERT_EQ(plain.GetSupertype(&super), B_OK);
	EXPECT_STREQ(super.Type(), "text");
	EXPECT_EQ(text.GetSupertype(&super), B_BAD_VALUE);
	EXPECT_TRUE(text.Contains(&plain));
	EXPECT_TRUE(plain.Contains(&plain));
	EXPECT_FALSE(plain.Contains(&text));
	EXPECT_FALSE(text.Contains(&image));
	EXPECT_TRUE(plain == "Text/Plain");
	EXPECT_TRUE(plain != image);
}

namespace {

std::string Sniffed(const std::string& path)
{
	BMimeType type;
	status_t status = BMimeType::GuessMimeType(path.c_str(), &type);
	return status == B_OK ? std::string(type.Type()) : "error";
}

} // namespace

TEST(MimeTypeTest, SniffingGivesPlatformTypesAndLibmagicTypes)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp.Path());
	ScopedEnv volumes("VANTRY_VOLUMES", std::nullopt);
	mkdir((temp / "folder").c_str(), 0755);
	symlink("folder", (temp / "link").c_str());
	WriteText(temp / "notes.txt", "Just some words in a text file.\n");
	WriteText(temp / "empty", "");
	WriteText(temp / "script", "#!/bin/sh\necho hi\n");
	chmod((temp / "script").c_str(), 0755);
	std::string self = std::filesystem::read_symlink("/proc/self/exe");
	std::filesystem::copy_file(self, temp / "program");
	chmod((temp / "program").c_str(), 0755);
	std::filesystem::copy_file(self, temp / "not executable");
	chmod((temp / "not executable").c_str(), 0644);
	const std::pair<std::string, std::string> cases[] = {
	        {temp.Path(), B_VOLUME_MIME_TYPE},    {temp / "folder", B_DIRECTORY_MIME_TYPE},
	        {temp / "link", B_SYMLINK_MIME_TYPE}, {temp / "program", B_ELF_APP_MIME_TYPE},
	        {temp / "notes.txt", "text/plain"},   {temp / "script", "text/x-shellscript"},
	        {temp / "empty", B_FILE_MIME_TYPE},
	};
	for (const auto& [path, type] : cases) {
		SCOPED_TRACE(path);
		EXPECT_EQ(Sniffed(path), type);
	}
	std::string elfData = Sniffed(temp / "not executable");
	EXPECT_NE(elfData, B_ELF_APP_MIME_TYPE);
	EXPECT_EQ(elfData.rfind("application/", 0), 0u) << elfData;
	BMimeType fromBuffer;
	ASSERT_EQ(BMimeType::GuessMimeType("%PDF-1.4\n", 9, &fromBuffer), B_OK);
	EXPECT_STREQ(fromBuffer.Type(), "application/pdf");
}

TEST(MimeTypeTest, UpdateMimeInfoWritesTheTypeAttribute)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", std::nullopt);
	mkdir((temp / "tree").c_str(), 0755);
	mkdir((temp / "tree/sub").c_str(), 0755);
	WriteText(temp / "tree/sub/a \"quoted\" $file", "plain words\n");
	WriteText(temp / "outside", "plain words\n");
	symlink((temp / "outside").c_str(), (temp / "tree/link").c_str());
	ASSERT_EQ(update_mime_info((temp / "tree").c_str(), true, true, false), B_OK);
	EXPECT_EQ(RawXattr(temp / "tree", "user.mime_type"), std::string(B_DIRECTORY_MIME_TYPE));
	EXPECT_EQ(RawXattr(temp / "tree/sub/a \"quoted\" $file", "user.mime_type"),
	          std::string("text/plain"));
	// The link is not followed: its target stays untyped.
	EXPECT_EQ(RawXattr(temp / "outside", "user.mime_type"), std::nullopt);

	// Without force an existing type stays; with force it is sniffed again.
	std::string file = temp / "tree/sub/a \"quoted\" $file";
	ASSERT_EQ(setxattr(file.c_str(), "user.mime_type", "text/x-mine", 11, 0), 0);
	ASSERT_EQ(update_mime_info(file.c_str(), false, true, false), B_OK);
	EXPECT_EQ(RawXattr(file, "user.mime_type"), std::string("text/x-mine"));
	ASSERT_EQ(update_mime_info(file.c_str(), false, true, true), B_OK);
	EXPECT_EQ(RawXattr(file, "user.mime_type"), std::string("text/plain"));

	// Not recursive: only the folder itself.
	WriteText(temp / "tree/late", "words\n");
	ASSERT_EQ(update_mime_info((temp / "tree").c_str(), false, true, true), B_OK);
	EXPECT_EQ(RawXattr(temp / "tree/late", "user.mime_type"), std::nullopt);
	EXPECT_EQ(update_mime_info((temp / "missing").c_str(), false, true, true), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(update_mime_info(nullptr, false, true, true), B_BAD_VALUE);
}

TEST(MimeTypeTest, NodeInfoTypeIconsAndPreferredApp)
{
	TempFolder temp;
	WriteText(temp / "doc", "");
	BNode node((temp / "doc").c_str());
	BNodeInfo info(&node);
	ASSERT_EQ(info.InitCheck(), B_OK);
	char type[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(info.GetType(type), B_ENTRY_NOT_FOUND);
	ASSERT_EQ(info.SetType("text/x-vantry"), B_OK);
	ASSERT_EQ(info.GetType(type), B_OK);
	EXPECT_STREQ(type, "text/x-vantry");
	EXPECT_EQ(RawXattr(temp / "doc", "user.mime_type"), std::string("text/x-vantry"));
	EXPECT_EQ(info.SetType("not a type"), B_BAD_VALUE);
	ASSERT_EQ(info.SetType(nullptr), B_OK);
	EXPECT_EQ(RawXattr(temp / "doc", "user.mime_type"), std::nullopt);

	struct IconCase {
		icon_size which;
		const char* attribute;
		type_code type;
		size_t size;
	};
	const IconCase icons[] = {
	        {B_LARGE_ICON, "BEOS:L:STD_ICON", 'ICON', 1024},
	        {B_MINI_ICON, "BEOS:M:STD_ICON", 'MICN', 256},
	};
	for (const IconCase& icon : icons) {
		SCOPED_TRACE(icon.attribute);
		std::vector<uint8> bits(icon.size);
		for (size_t i = 0; i < bits.size(); i++)
			bits[i] = (uint8)(i * 7);
		ASSERT_EQ(info.SetIconBits(bits.data(), icon.which), B_OK);
		attr_info attr;
		ASSERT_EQ(node.GetAttrInfo(icon.attribute, &attr), B_OK);
		EXPECT_EQ(attr.type, icon.type);
		EXPECT_EQ(attr.size, (off_t)icon.size);
		std::vector<uint8> back(icon.size);
		ASSERT_EQ(info.GetIconBits(back.data(), icon.which), B_OK);
		EXPECT_EQ(back, bits);
	}
	// An icon of the wrong size is bad data, not a short copy.
	ASSERT_EQ(node.WriteAttr("BEOS:M:STD_ICON", 'MICN', 0, "tiny", 4), 4);
	uint8 mini[256];
	EXPECT_EQ(info.GetIconBits(mini, B_MINI_ICON), B_BAD_DATA);
	EXPECT_EQ(info.GetIconBits(mini, (icon_size)48), B_BAD_VALUE);

	char signature[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.SetPreferredApp("application/x-vnd.Vantry-Installer"), B_OK);
	ASSERT_EQ(info.GetPreferredApp(signature), B_OK);
	EXPECT_STREQ(signature, "application/x-vnd.Vantry-Installer");
	EXPECT_EQ(RawXattr(temp / "doc", "user.BEOS:PREF_APP"),
	          std::string("application/x-vnd.Vantry-Installer", 35));

	entry_ref hint;
	ASSERT_EQ(get_ref_for_path((temp / "doc").c_str(), &hint), B_OK);
	ASSERT_EQ(info.SetAppHint(&hint), B_OK);
	entry_ref back;
	ASSERT_EQ(info.GetAppHint(&back), B_OK);
	EXPECT_EQ(back, hint);
	BNodeInfo empty;
	EXPECT_EQ(empty.GetType(type), B_NO_INIT);
}
