// Assembling an installer: what it carries, and that a failure leaves the
// output as it was and no work files behind.
#include "InstallerWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "AppFileInfo.h"
#include "BuildTestSupport.h"
#include "File.h"
#include "LibFile.h"
#include "Message.h"
#include "Node.h"
#include "PayloadWriter.h"
#include "ProductDescription.h"
#include "Resources.h"

namespace {

class InstallerWriterTest : public testing::Test {
protected:
	void SetUp() override
	{
		fFolder.Write("files/a.txt", "alpha");
		fFolder.Write("files/Docs/b.txt", "beta");
		std::string text = "app_name = \"P\"\nversion = \"2\"\n"
		                   "[[install_file]]\nfile_name = \"files/a.txt\"\n"
		                   "[[install_file]]\nfile_name = \"files/Docs\"\n";
		std::string path = fFolder.Write("product.toml", text);
		ASSERT_EQ(fDescription.Load(path.c_str()), B_OK);
		// Any executable serves as the two programs here.
		fParts.installer = "/bin/true";
		fParts.deinstaller = "/bin/true";
		fParts.strings = std::string(VANTRY_SOURCE_DIR) + "/data/strings";
		fParts.threads = 2;
		fOutput = fFolder / "out/installer";
		std::filesystem::create_directories(fFolder / "out");
	}

	// The entries of the output's folder other than the output itself.
	std::vector<std::string> Leftovers() const
	{
		std::vector<std::string> names;
		for (const auto& entry : std::filesystem::directory_iterator(fFolder / "out")) {
			if (entry.path() != fOutput)
				names.push_back(entry.path().filename().string());
		}
		return names;
	}

	TempFolder fFolder;
	ProductDescription fDescription;
	InstallerParts fParts;
	std::string fOutput;
};

TEST_F(InstallerWriterTest, InstallerCarriesRecordStringsPayloadsAndVersion)
{
	InstallerWriter writer(fDescription.GetProduct(), fParts);
	ASSERT_EQ(writer.Write(fOutput), B_OK) << testing::PrintToString(writer.Errors());
	EXPECT_TRUE(Leftovers().empty()) << testing::PrintToString(Leftovers());
	BResources resources(fOutput.c_str(), false);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	const char* name = nullptr;
	size_t size = 0;
	ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, 2002, &name, &size));
	EXPECT_STREQ(name, "VXC:configuration");
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2001, &name, &size));
	EXPECT_STREQ(name, "Deinstaller");
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2100, &name, &size));
	EXPECT_STREQ(name, "a.txt");
	ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2101, &name, &size));
	EXPECT_STREQ(name, "Docs");
	EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2102));
	size_t length = 0;
	const char* text = (const char*)resources.LoadResource(B_STRING_TYPE, "fr:1001", &length);
	ASSERT_NE(text, nullptr);
	EXPECT_EQ(text[length - 1], '\0') << "strings carry their NUL";
	EXPECT_TRUE(resources.HasResource(B_STRING_TYPE, "nl:1058"));

	BFile file(fOutput.c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	char signature[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.GetSignature(signature), B_OK);
	EXPECT_STREQ(signature, "application/x-vnd.Quorvex.Vanex");
	version_info version;
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_STREQ(version.short_info, "Installer");
	EXPECT_EQ(version.major, 1u);
	EXPECT_EQ(version.middle, 3u);
	EXPECT_EQ(version.variety, 5u);
}

TEST_F(InstallerWriterTest, FailureLeavesTheOutputAsItWasAndNoWorkFiles)
{
	struct Case {
		const char* name;
		void (*spoil)(InstallerParts&);
		const char* message;
	} cases[] = {
	        {"no deinstaller",
	         [](InstallerParts& p) { p.deinstaller = "/nonexistent/Deinstaller"; },
	         "cannot copy the Deinstaller program"},
	        {"no installer", [](InstallerParts& p) { p.installer = "/nonexistent/Installer"; },
	         "cannot copy the Installer program"},
	        {"no strings", [](InstallerParts& p) { p.strings = "/nonexistent/strings"; },
	         "/nonexistent/strings/deinstaller/en.txt"},
	};
	for (const Case& c : cases) {
		fFolder.Write("out/installer", "an older installer");
		InstallerParts parts = fParts;
		c.spoil(parts);
		InstallerWriter writer(fDescription.GetProduct(), parts);
		EXPECT_NE(writer.Write(fOutput), B_OK) << c.name;
		ASSERT_FALSE(writer.Errors().empty()) << c.name;
		EXPECT_NE(writer.Errors()[0].find(c.message), std::string::npos) << writer.Errors()[0];
		EXPECT_EQ(read_file(fOutput), "an older installer") << c.name;
		EXPECT_TRUE(Leftovers().empty()) << c.name;
	}
}

TEST_F(InstallerWriterTest, ItemThatVanishedIsNamedByItsLine)
{
	std::filesystem::remove_all(fFolder / "files/Docs");
	InstallerWriter writer(fDescription.GetProduct(), fParts);
	EXPECT_NE(writer.Write(fOutput), B_OK);
	ASSERT_FALSE(writer.Errors().empty());
	EXPECT_EQ(writer.Errors().back().rfind(
	                  fFolder / "product.toml:6: field `install_file[1].file_name`: ", 0),
	          0u)
	        << writer.Errors().back();
	EXPECT_FALSE(std::filesystem::exists(fOutput));
	// The archive of the first item, already packed, went with the work folder.
	EXPECT_TRUE(Leftovers().empty()) << testing::PrintToString(Leftovers());
}

TEST_F(InstallerWriterTest, EachPayloadIsItsItemsArchiveByteForByte)
{
	const Product& product = fDescription.GetProduct();
	InstallerWriter writer(product, fParts);
	ASSERT_EQ(writer.Write(fOutput), B_OK) << testing::PrintToString(writer.Errors());
	BResources resources(fOutput.c_str(), false);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	PayloadWriter packer(product.opt_compression, fParts.threads);
	packer.SetAccessTime(fParts.buildTime);
	for (size_t i = 0; i < product.install_file.size(); i++) {
		const ProductItem& item = product.install_file[i];
		std::string archive = fFolder / ("expected-" + std::to_string(i) + ".zip");
		ASSERT_EQ(packer.Write(item.source, item.leaf, archive), B_OK) << packer.ErrorText();
		size_t size = 0;
		const void* data = resources.LoadResource(B_RAW_TYPE, 2100 + (int32)i, &size);
		ASSERT_NE(data, nullptr) << item.leaf;
		EXPECT_EQ(std::string(static_cast<const char*>(data), size), read_file(archive))
		        << item.leaf;
	}
}

} // namespace

// Packing counts each item's size as it goes; the record must carry what a
// walk of the item finds: data of files and folders and their attributes.
TEST_F(InstallerWriterTest, RecordedSizesMatchAWalkOfEachItem)
{
	fFolder.Write("files/Docs/sub/c.txt", std::string(5000, 'c'));
	std::filesystem::create_symlink("c.txt", fFolder / "files/Docs/sub/link");
	{
		BNode node((fFolder / "files/Docs/b.txt").c_str());
		ASSERT_EQ(node.WriteAttr("note", B_STRING_TYPE, 0, "hello", 6), 6);
	}
	InstallerWriter writer(fDescription.GetProduct(), fParts);
	ASSERT_EQ(writer.Write(fOutput), B_OK) << testing::PrintToString(writer.Errors());
	BResources resources(fOutput.c_str(), false);
	size_t length = 0;
	const void* flat = resources.LoadResource(B_STRING_TYPE, 2002, &length);
	ASSERT_NE(flat, nullptr);
	BMessage record;
	ASSERT_EQ(record.Unflatten((const char*)flat, length), B_OK);
	BMessage instructions;
	ASSERT_EQ(record.FindMessage("install_instructions", &instructions), B_OK);
	const char* items[] = {"files/a.txt", "files/Docs"};
	for (int32 i = 0; i < 2; i++) {
		BMessage item;
		ASSERT_EQ(instructions.FindMessage("install_file", i, &item), B_OK);
		const int32 walked = LibEntrySize((fFolder / items[i]).c_str(), true);
		EXPECT_GT(walked, 0);
		for (int32 index = 0; index < 2; index++)
			EXPECT_EQ(item.FindInt32("file_size", index), walked) << items[i] << " " << index;
	}
}

namespace {

// Names that a case- or normalisation-folding file system takes for one are
// warned about, both named, and the installer is still written.
TEST_F(InstallerWriterTest, NamesThatFoldToOneAreWarnedAboutAndBuilt)
{
	fFolder.Write("files/Docs/B.txt", "other beta");
	fFolder.Write("files/Docs/caf\xc3\xa9", "composed");
	fFolder.Write("files/Docs/cafe\xcc\x81", "decomposed");
	InstallerWriter writer(fDescription.GetProduct(), fParts);
	ASSERT_EQ(writer.Write(fOutput), B_OK) << testing::PrintToString(writer.Errors());
	const std::string line =
	        fFolder / "product.toml:6: field `install_file[1].file_name`: warning: ";
	const std::string why = " differ only in case or Unicode normalisation: where the "
	                        "installation folder folds names (FAT, exFAT, NTFS, a case-folding "
	                        "ext4 folder) one replaces the other";
	// Entries in archive order: sorted by their bytes.
	const std::vector<std::string> expected = {line + "Docs/B.txt and Docs/b.txt" + why,
	                                           line + "Docs/cafe\xcc\x81 and Docs/caf\xc3\xa9" +
	                                                   why};
	EXPECT_EQ(writer.Warnings(), expected);
	EXPECT_TRUE(std::filesystem::exists(fOutput));
}

} // namespace
