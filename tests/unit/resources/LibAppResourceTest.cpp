// Tests of the payload store: packing items into an installer copy and
// placing them again, whole, in any order, on threads.
#include "LibAppResourceFixture.h"

using namespace app_resource_test;

namespace {

TEST_F(LibAppResourceTest, AddAndExtract_FolderKeepsContentTimesModesLinksAndAttributes)
{
	std::string item = MakeItem();
	ASSERT_TRUE(Pack(item, kItem, "item"));
	EXPECT_TRUE(ListTree(fTemp / "tmp").empty()) << "the packing archive stays behind";

	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	off_t offset = 0;
	size_t size = 0;
	ASSERT_EQ(store.GetResourceRange(B_RAW_TYPE, kItem, &offset, &size), B_OK);
	EXPECT_GT(offset, (off_t)std::filesystem::file_size("/bin/true") - 1);
	std::string placed = fTemp / "dest/placed";
	ASSERT_TRUE(store.ExtractEntry(kItem, placed.c_str(), true));

	EXPECT_EQ(ListTree(fTemp / "dest"),
	          (std::vector<std::string>{"placed", "placed/link", "placed/readme.txt", "placed/sub",
	                                    "placed/sub/data.bin", "placed/sub/empty"}));
	EXPECT_EQ(ReadText(placed + "/readme.txt"), "read me\n");
	EXPECT_EQ(ReadText(placed + "/sub/data.bin"), ReadText(item + "/sub/data.bin"));
	EXPECT_EQ(std::filesystem::read_symlink(placed + "/link"), "readme.txt");
	struct stat st = {};
	ASSERT_EQ(stat((placed + "/readme.txt").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0640u);

	struct {
		const char* path;
		time_t modified;
	} times[] = {{"readme.txt", 1000000000},
	             {"sub/data.bin", 1000000500},
	             {"sub/empty", 1100000000},
	             {"sub", 1200000000},
	             {"", 1300000000}};
	for (const auto& expected : times)
		EXPECT_EQ(ModifiedTime(placed + "/" + expected.path), expected.modified) << expected.path;

	type_code type = 0;
	EXPECT_EQ(Attribute(placed + "/readme.txt", "InstallBy", &type), std::string("Hello;1.0;", 11));
	EXPECT_EQ(type, (type_code)B_STRING_TYPE);
	int32 count = 0x01020304;
	EXPECT_EQ(Attribute(placed + "/readme.txt", "count", &type),
	          std::string((const char*)&count, sizeof(count)));
	EXPECT_EQ(type, (type_code)B_INT32_TYPE);
	// The carried type wins over sniffing; untyped entries are sniffed.
	EXPECT_EQ(Attribute(placed + "/readme.txt", "BEOS:TYPE", &type),
	          std::string("text/x-vantry-test", 19));
	EXPECT_EQ(Attribute(placed + "/sub", "BEOS:TYPE", &type),
	          std::string("application/x-vnd.Be-directory", 31));
}

TEST_F(LibAppResourceTest, AddEntry_ArchiveHasThePayloadLayout)
{
	ASSERT_TRUE(Pack(MakeItem(), kItem, "item"));
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	std::string archive = fTemp / "item.zip";
	ASSERT_TRUE(store.ExtractEntry(kItem, archive.c_str(), false));

	int error = 0;
	zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
	ASSERT_NE(zip, nullptr);
	struct Expected {
		const char* name;
		uint16 method;
		bool attributes;
	} expected[] = {{"item/", 0, false},
	                {"item/link", 0, false},
	                {"item/readme.txt", 8, true},
	                {"item/sub/", 0, false},
	                {"item/sub/data.bin", 8, false},
	                {"item/sub/empty/", 0, false}};
	ASSERT_EQ(zip_get_num_entries(zip, 0), (zip_int64_t)std::size(expected));
	for (size_t i = 0; i < std::size(expected); i++) {
		zip_stat_t stat;
		ASSERT_EQ(zip_stat_index(zip, i, 0, &stat), 0);
		EXPECT_STREQ(stat.name, expected[i].name);
		EXPECT_EQ(stat.comp_method, expected[i].method) << stat.name;
		zip_uint16_t length = 0;
		EXPECT_NE(zip_file_extra_field_get_by_id(zip, i, 0x5455, 0, &length, ZIP_FL_LOCAL), nullptr)
		        << stat.name;
		EXPECT_EQ(length, 9) << stat.name;
		EXPECT_NE(zip_file_extra_field_get_by_id(zip, i, 0x7855, 0, &length, ZIP_FL_LOCAL), nullptr)
		        << stat.name;
		// The sub folder carries its sniffed type attribute only once extracted.
		bool hasAttributes =
		        zip_file_extra_field_get_by_id(zip, i, 0x6542, 0, &length, ZIP_FL_LOCAL) != nullptr;
		if (expected[i].attributes) {
			EXPECT_TRUE(hasAttributes) << stat.name;
		}
		zip_uint8_t system = 0;
		zip_uint32_t attributes = 0;
		zip_file_get_external_attributes(zip, i, 0, &system, &attributes);
		EXPECT_EQ(system, ZIP_OPSYS_BEOS);
	}
	zip_discard(zip);
	// The archive placed as it is holds the resource's bytes exactly.
	size_t size = 0;
	void* bytes = store.FindResource(B_RAW_TYPE, kItem, &size);
	ASSERT_NE(bytes, nullptr);
	EXPECT_EQ(ReadText(archive), std::string((const char*)bytes, size));
	free(bytes);
}

// A tag set for one extraction lands on every entry made, over the one an
// entry carries, and on nothing the next extraction makes.
TEST_F(LibAppResourceTest, ExtractEntry_TagLandsOnEveryEntryOfThatCallOnly)
{
	std::string item = MakeItem();
	ASSERT_TRUE(Pack(item, kItem, "item"));
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	const std::string tagged = fTemp / "dest/tagged";
	store.SetEntryTag("InstallBy", "Bench;2.0;;;;");
	ASSERT_TRUE(store.ExtractEntry(kItem, tagged.c_str(), true));
	const std::string plain = fTemp / "dest/plain";
	ASSERT_TRUE(store.ExtractEntry(kItem, plain.c_str(), true));

	for (const std::string& name : ListTree(tagged)) {
		SCOPED_TRACE(name);
		for (const std::string& root : {tagged, plain}) {
			BNode node((root + "/" + name).c_str());
			char value[64];
			const ssize_t size = node.ReadAttr("InstallBy", B_STRING_TYPE, 0, value, sizeof(value));
			const std::string found = size > 0 ? std::string(value, size_t(size)) : "";
			if (root == tagged)
				EXPECT_EQ(found, "Bench;2.0;;;;");
			else
				EXPECT_EQ(found, name == "readme.txt" ? std::string("Hello;1.0;", 11) : "");
		}
	}
	type_code type = 0;
	EXPECT_EQ(Attribute(tagged, "InstallBy", &type), "Bench;2.0;;;;");
	EXPECT_EQ(type, (type_code)B_STRING_TYPE);
}

// A stop asked for while an item unpacks ends it between two entries,
// placing nothing; the stop check holds until it is taken away.
TEST_F(LibAppResourceTest, ExtractEntry_AStopEndsTheUnpackingAndPlacesNothing)
{
	const std::string item = fTemp / "src/many";
	for (int i = 0; i < 300; i++) {
		const std::string folder = item + "/d" + std::to_string(i / 30);
		std::filesystem::create_directories(folder);
		WriteText(folder + "/f" + std::to_string(i), "x");
	}
	ASSERT_TRUE(Pack(item, kItem, "many"));
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	int asked = 0;
	store.SetStopCheck([&asked] { return ++asked > 2; });
	const std::string stopped = fTemp / "dest/stopped";
	EXPECT_FALSE(store.ExtractEntry(kItem, stopped.c_str(), true));
	EXPECT_STREQ(store.ExtractError(), "stopped");
	EXPECT_EQ(asked, 3) << "asked every 64 entries, from the first";
	EXPECT_FALSE(std::filesystem::exists(stopped));
	EXPECT_EQ(ListTree(fTemp / "dest"), std::vector<std::string>{}) << "no work folder stays";

	store.SetStopCheck(nullptr);
	const std::string whole = fTemp / "dest/whole";
	ASSERT_TRUE(store.ExtractEntry(kItem, whole.c_str(), true));
	EXPECT_EQ(store.LastEntryCount(), 311) << "300 files, 10 folders and the item's own";
}

// An item large enough to be unpacked on two threads comes out as it went
// in: contents, modes, times, and a type on every file and folder.
TEST_F(LibAppResourceTest, AddAndExtract_LargeItemOnTwoThreadsMatchesItsSource)
{
	std::string item = fTemp / "src/large";
	std::mt19937 random(3);
	for (int i = 0; i < 120; i++) {
		std::string folder = item + "/d" + std::to_string(i / 25);
		std::filesystem::create_directories(folder);
		std::string data(70000 + i * 13, '\0');
		for (char& c : data)
			c = (char)random();
		if (i % 3 == 0)
			data = "plain words for sniffing\n" + std::string(i * 100, 'w');
		std::string path = folder + "/f" + std::to_string(i);
		WriteText(path, data);
		chmod(path.c_str(), i % 2 ? 0600 : 0644);
		SetTime(path, 1000000000 + i);
	}
	for (int d = 0; d < 5; d++)
		SetTime(item + "/d" + std::to_string(d), 1200000000 + d);
	ASSERT_TRUE(Pack(item, kItem, "large"));
	std::string placed = fTemp / "dest/large";
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	ASSERT_TRUE(store.ExtractEntry(kItem, placed.c_str(), true));

	std::vector<std::string> tree = ListTree(placed);
	EXPECT_EQ(tree, ListTree(item));
	for (const std::string& name : tree) {
		SCOPED_TRACE(name);
		std::string source = item + "/" + name;
		std::string path = placed + "/" + name;
		struct stat st = {};
		struct stat original = {};
		ASSERT_EQ(lstat(path.c_str(), &st), 0);
		ASSERT_EQ(lstat(source.c_str(), &original), 0);
		EXPECT_EQ(st.st_mode, original.st_mode);
		EXPECT_EQ(st.st_mtime, original.st_mtime);
		type_code type = 0;
		std::string mime = Attribute(path, "BEOS:TYPE", &type);
		if (S_ISDIR(st.st_mode)) {
			EXPECT_EQ(mime, std::string(B_DIRECTORY_MIME_TYPE, sizeof(B_DIRECTORY_MIME_TYPE)));
			continue;
		}
		EXPECT_TRUE(ReadText(path) == ReadText(source));
		std::string expected;
		ASSERT_EQ(sniff_mime_type(source, &expected), B_OK);
		if (ReadText(source).rfind("plain", 0) == 0)
			EXPECT_EQ(expected, "text/plain");
		EXPECT_EQ(mime, expected + std::string(1, '\0'));
	}
}

// Entries that come back to a folder left earlier, a folder's own entry
// after its contents, modes the umask would narrow or that forbid writing,
// and entries larger than a read-ahead window all come out whole.
TEST_F(LibAppResourceTest, ExtractEntry_AnyOrderAndEveryModeComeOutWhole)
{
	std::string big(300000, '\0');
	std::mt19937 random(5);
	for (char& c : big)
		c = (char)('a' + random() % 3);
	struct Case {
		const char* name;
		std::string data;
		uint32 mode;
		bool deflated;
	} cases[] = {
	        {"item/a/b/one", "one\n", 0100755, false},
	        {"item/c/two", "two\n", 0100444, true},
	        {"item/a/b/three", "three\n", 0100666, false},
	        {"item/a/d/four", std::string(5000, 'f'), 0100640, true},
	        {"item/big", big, 0100600, true},
	        {"item/stored", big.substr(0, 200000), 0100604, false},
	        {"item/a/b/five", "five\n", 0100400, false},
	};
	RawZip zip;
	for (const Case& c : cases) {
		RawZip::Entry entry =
		        c.deflated ? RawZip::Deflated(c.name, c.data) : RawZip::Stored(c.name, c.data);
		entry.mode = c.mode;
		zip.Add(entry);
	}
	zip.Add(RawZip::Stored("item/a/", "", 040750));
	AddRaw(fInstaller, kItem + 1, "item", zip.Bytes());

	const mode_t mask = umask(077);
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	const bool placed = store.ExtractEntry(kItem + 1, (fTemp / "dest/item").c_str(), true);
	umask(mask);
	ASSERT_TRUE(placed) << store.ExtractError();
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		const std::string path = fTemp / (std::string("dest/") + c.name);
		EXPECT_TRUE(ReadText(path) == c.data);
		struct stat st = {};
		ASSERT_EQ(lstat(path.c_str(), &st), 0);
		EXPECT_EQ(st.st_mode, c.mode);
		type_code type = 0;
		EXPECT_FALSE(Attribute(path, "BEOS:TYPE", &type).empty());
	}
	for (const char* folder : {"item/a", "item/a/b", "item/a/d", "item/c"}) {
		SCOPED_TRACE(folder);
		type_code type = 0;
		EXPECT_EQ(Attribute(fTemp / (std::string("dest/") + folder), "BEOS:TYPE", &type),
		          std::string(B_DIRECTORY_MIME_TYPE, sizeof(B_DIRECTORY_MIME_TYPE)));
	}
	struct stat st = {};
	ASSERT_EQ(stat((fTemp / "dest/item/a").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0750u);
}

// Trees deeper than the folders kept open come out whole, and no
// descriptor stays open after them.
TEST_F(LibAppResourceTest, ExtractEntry_DeepTreesComeOutWholeWithoutLeakingDescriptors)
{
	std::string deep = "item";
	for (int i = 0; i < 100; i++)
		deep += "/d" + std::to_string(i % 3);
	const std::string middle = deep.substr(0, deep.rfind('/', deep.size() / 2));
	RawZip zip;
	zip.Add(RawZip::Stored(deep + "/one", "one"));
	zip.Add(RawZip::Stored(middle + "/mid", "mid"));
	zip.Add(RawZip::Stored(deep + "/two", "two"));
	zip.Add(RawZip::Stored(deep + "/", "", 040700));
	AddRaw(fInstaller, kItem + 4, "item", zip.Bytes());
	auto open_descriptors = [] {
		return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
		                     std::filesystem::directory_iterator());
	};
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	const auto before = open_descriptors();
	ASSERT_TRUE(store.ExtractEntry(kItem + 4, (fTemp / "dest/item").c_str(), true))
	        << store.ExtractError();
	EXPECT_EQ(open_descriptors(), before);
	const std::string placed = fTemp / "dest";
	EXPECT_EQ(ReadText(placed + "/" + deep + "/one"), "one");
	EXPECT_EQ(ReadText(placed + "/" + deep + "/two"), "two");
	EXPECT_EQ(ReadText(placed + "/" + middle + "/mid"), "mid");
	struct stat st = {};
	ASSERT_EQ(stat((placed + "/" + deep).c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// Files large enough to be written behind their reading come out whole,
// and damage at their end still leaves nothing.
TEST_F(LibAppResourceTest, ExtractEntry_LargeFilesWrittenBehindTheirReading)
{
	std::string data(17 << 20, '\0');
	std::mt19937 random(9);
	for (size_t i = 0; i < data.size(); i += 4096)
		data[i] = char(random());
	RawZip good;
	good.Add(RawZip::Deflated("big/deflated", data));
	good.Add(RawZip::Stored("big/stored", data));
	AddRaw(fInstaller, kItem + 2, "big", good.Bytes());
	RawZip damaged;
	RawZip::Entry late = RawZip::Stored("big/stored", data);
	late.crc ^= 1;
	damaged.Add(late);
	AddRaw(fInstaller, kItem + 3, "big", damaged.Bytes());

	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	ASSERT_TRUE(store.ExtractEntry(kItem + 2, (fTemp / "dest/big").c_str(), true))
	        << store.ExtractError();
	EXPECT_TRUE(ReadText(fTemp / "dest/big/deflated") == data);
	EXPECT_TRUE(ReadText(fTemp / "dest/big/stored") == data);
	testing::internal::CaptureStderr();
	EXPECT_FALSE(store.ExtractEntry(kItem + 3, (fTemp / "dest/again").c_str(), true));
	testing::internal::GetCapturedStderr();
	EXPECT_NE(std::string(store.ExtractError()).find("CRC"), std::string::npos);
	EXPECT_EQ(ListTree(fTemp / "dest"),
	          (std::vector<std::string>{"big", "big/deflated", "big/stored"}));
}

// A damaged entry late in a large archive stops both threads and leaves no
// trace at the destination.
TEST_F(LibAppResourceTest, ExtractEntry_LargeArchiveDamagedLateLeavesNothing)
{
	RawZip zip;
	zip.Add(RawZip::Stored("item/", "", 040755));
	for (int i = 0; i < 80; i++) {
		RawZip::Entry entry = RawZip::Stored("item/f" + std::to_string(i),
		                                     std::string(120000, (char)('a' + i % 26)));
		if (i == 75)
			entry.crc ^= 1;
		zip.Add(entry);
	}
	AddRaw(fInstaller, kItem, "item", zip.Bytes());
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	EXPECT_FALSE(store.ExtractEntry(kItem, (fTemp / "dest/item").c_str(), true));
	EXPECT_NE(std::string(store.ExtractError()).find("f75"), std::string::npos)
	        << store.ExtractError();
	EXPECT_TRUE(ListTree(fTemp / "dest").empty());
}

TEST_F(LibAppResourceTest, ExtractEntry_SingleFileReplacesDestinationWhole)
{
	std::string file = fTemp / "src/tool";
	std::filesystem::create_directories(fTemp / "src");
	WriteText(file, "#!/bin/sh\necho new\n");
	chmod(file.c_str(), 0755);
	ASSERT_TRUE(Pack(file, kItem, "tool"));
	std::string placed = fTemp / "dest/tool";
	WriteText(placed, "old contents that are longer than the new ones");

	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	ASSERT_TRUE(store.ExtractEntry(kItem, placed.c_str(), true));
	EXPECT_EQ(ReadText(placed), "#!/bin/sh\necho new\n");
	EXPECT_EQ(ListTree(fTemp / "dest"), std::vector<std::string>{"tool"});
	EXPECT_EQ(access(placed.c_str(), X_OK), 0);
}

TEST_F(LibAppResourceTest, ExtractEntry_NothingHappensWithoutPlaceableArchive)
{
	std::string item = MakeItem();
	ASSERT_TRUE(Pack(item, kItem, "item"));
	// Resource 2101 holds the same archive under another name.
	{
		LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
		size_t size = 0;
		void* bytes = store.FindResource(B_RAW_TYPE, kItem, &size);
		ASSERT_NE(bytes, nullptr);
		AddRaw(fInstaller, kItem + 1, "renamed", std::string((const char*)bytes, size));
		free(bytes);
	}
	LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
	struct Case {
		int32 id;
		const char* what;
	} cases[] = {{2999, "no such resource"}, {kItem + 1, "entry name differs"}};
	for (const Case& c : cases) {
		std::string placed = fTemp / "dest/item";
		EXPECT_FALSE(store.ExtractEntry(c.id, placed.c_str(), true)) << c.what;
		EXPECT_TRUE(ListTree(fTemp / "dest").empty()) << c.what;
		EXPECT_TRUE(ListTree(fTemp / "tmp").empty()) << c.what;
	}
	LibAppResource unattached((fTemp / "missing").c_str(), B_READ_ONLY);
	EXPECT_NE(unattached.InitCheck(), B_OK);
	EXPECT_FALSE(unattached.ExtractEntry(kItem, (fTemp / "dest/item").c_str(), true));
	EXPECT_EQ(unattached.FindString(1), nullptr);
}

TEST_F(LibAppResourceTest, FindString)
{
	ASSERT_TRUE(Pack(MakeItem(), kItem, "item"));
	{
		BResources resources(fInstaller.c_str(), true);
		resources.AddResource(B_STRING_TYPE, 7, "hello", 6, "en:1000");
		resources.AddResource(B_STRING_TYPE, 8, "", 0, "empty");
		resources.AddResource(B_STRING_TYPE, 9, "no nul", 6, "bare");
	}
	LibAppResource source(fInstaller.c_str(), B_READ_ONLY);
	char* text = source.FindString(7);
	ASSERT_NE(text, nullptr);
	EXPECT_STREQ(text, "hello");
	free(text);
	text = source.FindString(9);
	ASSERT_NE(text, nullptr);
	EXPECT_STREQ(text, "no nul");
	free(text);
	EXPECT_EQ(source.FindString(8), nullptr);
	EXPECT_EQ(source.FindString(10), nullptr);
}

} // namespace
