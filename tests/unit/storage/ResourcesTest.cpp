// Tests of BResources: the real fixture files, the quirks of old files,
// damaged input, the writer's exact output and ELF executables.
#include "ResourcesFixture.h"

using namespace resources_test;

namespace {

TEST_F(ResourcesTest, Fixtures_ReadAsDocumented)
{
	std::vector<Expected> withType = kTestResources;
	withType.push_back(kElfType);
	struct Case {
		const char* file;
		std::vector<Expected> expected;
	} cases[] = {
	        {"haiku-test-x86.rsrc", kTestResources},
	        {"haiku-test-ppc.rsrc", kTestResources},
	        {"haiku-test-elf", withType},
	        {"haiku-test-elf-no-res", {kElfType}},
	};
	for (Case& c : cases) {
		SCOPED_TRACE(c.file);
		BResources resources(fixture(c.file).c_str(), false);
		expect_resources(resources, c.expected);
	}
}

TEST_F(ResourcesTest, Fixtures_ApplicationResources)
{
	BResources thesaurus(fixture("Thesaurus.rsrc").c_str(), false);
	ASSERT_EQ(thesaurus.InitCheck(), B_OK) << thesaurus.ErrorText();
	size_t size = 0;
	const char* name = nullptr;
	ASSERT_TRUE(thesaurus.GetResourceInfo('ICON', 101, &name, &size));
	EXPECT_EQ(size, 1024u);
	ASSERT_TRUE(thesaurus.GetResourceInfo('MICN', 101, &name, &size));
	EXPECT_EQ(size, 256u);
	auto* sig = static_cast<const char*>(thesaurus.LoadResource('MIMS', "BEOS:APP_SIG", &size));
	ASSERT_NE(sig, nullptr);
	EXPECT_STREQ(sig, "application/x-vnd.Be.Thesaurus");
	ASSERT_TRUE(thesaurus.GetResourceInfo('APPV', 1, &name, &size));
	EXPECT_EQ(size, 680u);
	auto* flags = static_cast<const uint32*>(thesaurus.LoadResource('APPF', 1, &size));
	ASSERT_NE(flags, nullptr);
	EXPECT_EQ(*flags, 1u);

	BResources pot(fixture("pot.rsrc").c_str(), false);
	ASSERT_EQ(pot.InitCheck(), B_OK) << pot.ErrorText();
	const void* types = pot.LoadResource(B_MESSAGE_TYPE, "BEOS:FILE_TYPES", &size);
	ASSERT_NE(types, nullptr);
	BMessage message;
	ASSERT_EQ(message.Unflatten(static_cast<const char*>(types), (ssize_t)size), B_OK);
	const char* type = nullptr;
	EXPECT_EQ(message.FindString("types", &type), B_OK);
}

TEST_F(ResourcesTest, Fixtures_OpenThroughBFile)
{
	BFile file(fixture("haiku-test-elf").c_str(), B_READ_ONLY);
	ASSERT_EQ(file.InitCheck(), B_OK);
	BResources resources(&file);
	std::vector<Expected> withType = kTestResources;
	withType.push_back(kElfType);
	expect_resources(resources, withType);
	EXPECT_FALSE(resources.IsWritable());
	EXPECT_EQ(resources.AddResource('CSTR', 1, "x", 2, "x"), B_NOT_ALLOWED);
}

TEST_F(ResourcesTest, Ppc_NumbersSwappedAndRangeKeepsStoredBytes)
{
	BResources resources(fixture("haiku-test-ppc.rsrc").c_str(), false);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	int32 value = 0;
	ASSERT_EQ(resources.ReadResource(B_INT32_TYPE, 17, &value, 0, 4), B_OK);
	EXPECT_EQ(value, 42);
	off_t offset;
	size_t size;
	ASSERT_EQ(resources.GetResourceRange(B_INT32_TYPE, 17, &offset, &size), B_OK);
	std::string file = read_file(fixture("haiku-test-ppc.rsrc"));
	EXPECT_EQ(read_u32(file.data() + offset, true), 42u);
}

// A minimal container of the given header followed by a block at `blockAt`.
std::string container_with_block(std::string header, size_t blockAt, const std::string& block)
{
	header.resize(blockAt, '\0');
	return header + block;
}

TEST_F(ResourcesTest, Containers_BlockFoundInEveryKind)
{
	std::string x86Block = read_file(fixture("haiku-test-x86.rsrc")).substr(4);
	std::string ppcBlock = read_file(fixture("haiku-test-ppc.rsrc")).substr(0x28);
	std::string elf32be("\x7f"
	                    "ELF\x01\x02\x01",
	                    7);
	elf32be.resize(52, '\0');
	std::string elf64le("\x7f"
	                    "ELF\x02\x01\x01",
	                    7);
	elf64le.resize(64, '\0');
	std::string pef("Joy!peff", 8);
	pef.resize(68, '\0');
	pef[33] = 1;       // one section, big-endian count
	pef[40 + 19] = 10; // packed size
	pef[40 + 23] = 68; // container offset: the section ends at 78
	struct Case {
		const char* what;
		std::string data;
	} cases[] = {
	        {"big-endian ELF32, 32-byte alignment", container_with_block(elf32be, 64, ppcBlock)},
	        {"ELF64, 8-byte alignment", container_with_block(elf64le, 64, x86Block)},
	        {"PEF, no alignment", container_with_block(pef, 78, ppcBlock)},
	};
	for (Case& c : cases) {
		SCOPED_TRACE(c.what);
		write_file(Path("container"), c.data);
		BResources resources(Path("container").c_str(), false);
		expect_resources(resources, kTestResources);
	}
}

TEST_F(ResourcesTest, Writer_MatchesTheFixtureByteForByte)
{
	std::string written = write_test_file(Path("test.rsrc"));
	std::string original = read_file(fixture("haiku-test-x86.rsrc"));
	ASSERT_EQ(written.size(), original.size());
	// Header, index section with its fill, data, info table and checksum.
	EXPECT_EQ(written.substr(0, 0x48), original.substr(0, 0x48));
	EXPECT_EQ(written.substr(0x48, 0x600), original.substr(0x48, 0x600));
	EXPECT_EQ(written.substr(0x648, 0x168), original.substr(0x648, 0x168));
	EXPECT_EQ(written.substr(0x7b0, 0x46), original.substr(0x7b0, 0x46));
	EXPECT_EQ(written.substr(0x7f6), original.substr(0x7f6));
	EXPECT_EQ(written, original);
}

TEST_F(ResourcesTest, Writer_RoundTripKeepsEveryResource)
{
	std::string path = Path("round.rsrc");
	std::vector<Expected> many = {
	        {B_STRING_TYPE, 1, "", cstr("no name")},
	        {B_RAW_TYPE, -5, "negative id", std::string("\0\1\2\3\xff", 5)},
	        {B_RAW_TYPE, 2001, "empty", std::string()},
	        {B_STRING_TYPE, 2, "second string", cstr("grouped with the first")},
	        {'APPV', 1, "BEOS:APP_VERSION", std::string(680, 'v')},
	};
	for (int i = 0; i < 150; i++) // past one 0x600 index section
		many.push_back({B_INT32_TYPE, 1000 + i, "n" + std::to_string(i), int32_bytes(i)});
	{
		BResources resources(path.c_str(), true);
		for (const Expected& e : many)
			ASSERT_EQ(resources.AddResource(e.type, e.id, e.data.data(), e.data.size(),
			                                e.name.c_str()),
			          B_OK);
	}
	// The writer groups each type in one block, in order of first appearance.
	std::vector<Expected> grouped = {many[0], many[3], many[1], many[2], many[4]};
	grouped.insert(grouped.end(), many.begin() + 5, many.end());
	BResources reread(path.c_str(), false);
	expect_resources(reread, grouped);
	EXPECT_EQ(read_file(path).substr(0, 4), std::string("RS\0\0", 4));
}

TEST_F(ResourcesTest, Writer_PpcFileIsRewrittenLittleEndian)
{
	std::string path = Copy(fixture("haiku-test-ppc.rsrc"), "ppc.rsrc");
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('CSTR', 5, "x", 2, "added"), B_OK);
	}
	std::string data = read_file(path);
	EXPECT_EQ(data.substr(0, 8), std::string("RS\0\0\0\x10OD", 8));
	std::vector<Expected> expected = kTestResources;
	expected.push_back({'CSTR', 5, "added", cstr("x")});
	std::swap(expected[1], expected[3]);
	std::swap(expected[2], expected[3]);
	BResources reread(path.c_str(), false);
	expect_resources(reread, {expected[0], expected[1], expected[2], expected[3]});
}

// Offsets of a file our writer made, for patching in the quirk tests.
struct Written {
	std::string data;
	size_t info; // info table offset in the file
	size_t infoSize;
};

Written written_layout(const std::string& path)
{
	Written w;
	w.data = write_test_file(path);
	w.info = 4 + u32_at(w.data, 4 + 0x44 + 120);
	w.infoSize = u32_at(w.data, 4 + 0x44 + 124);
	return w;
}

// Patches the info table and stores a checksum that matches again.
void rechecksum(Written* w)
{
	size_t covered = w->infoSize - 8;
	uint32 sum = 0;
	for (size_t i = 0; i + 4 <= covered; i += 4)
		sum += read_u32(w->data.data() + w->info + i, true);
	uint32 tail = 0;
	for (size_t i = covered / 4 * 4; i < covered; i++)
		tail = tail << 8 | (uint8)w->data[w->info + i];
	put_u32(&w->data, w->info + covered, sum + tail);
}

TEST_F(ResourcesTest, Quirks_AreTolerated)
{
	// Info offsets: first type block at +0, first info +4, its index at +8.
	// The second block starts after name "a string resource" (18) and a separator.
	size_t secondIndex = 4 + 10 + 18 + 8 + 4 + 4;
	struct Case {
		const char* what;
		void (*patch)(Written*, size_t);
		std::vector<int32> ids;
	} cases[] = {
	        {"count smaller than the index",
	         [](Written* w, size_t) { put_u32(&w->data, 8, 1); },
	         {74, 17, 29}},
	        {"stale pad words",
	         [](Written* w, size_t) {
		         for (size_t o = 20; o < 72; o += 4)
			         put_u32(&w->data, o, 0x80001234 + (uint32)o);
	         },
	         {74, 17, 29}},
	        {"unknown section without the pattern",
	         [](Written* w, size_t) { memset(w->data.data() + 4 + 0x644, 0x5a, 0x168); },
	         {74, 17, 29}},
	        {"RSy! signature",
	         [](Written* w, size_t) {
		         w->data[2] = 'y';
		         w->data[3] = '!';
	         },
	         {74, 17, 29}},
	        {"info index out of range",
	         [](Written* w, size_t second) {
		         put_u32(&w->data, w->info + second, 99);
		         rechecksum(w);
	         },
	         {74, 29}},
	        {"info index repeated",
	         [](Written* w, size_t second) {
		         put_u32(&w->data, w->info + second, 1);
		         rechecksum(w);
	         },
	         {74, 29}},
	        {"info index zero",
	         [](Written* w, size_t) {
		         put_u32(&w->data, w->info + 8, 0);
		         rechecksum(w);
	         },
	         {17, 29}},
	        {"no checksum",
	         [](Written* w, size_t) {
		         w->data.resize(w->data.size() - 8);
		         put_u32(&w->data, 4 + 0x44 + 124, (uint32)w->infoSize - 8);
	         },
	         {74, 17, 29}},
	};
	for (Case& c : cases) {
		SCOPED_TRACE(c.what);
		Written w = written_layout(Path("quirk.rsrc"));
		c.patch(&w, secondIndex);
		write_file(Path("quirk.rsrc"), w.data);
		BResources resources(Path("quirk.rsrc").c_str(), false);
		ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
		ASSERT_EQ(resources.CountResources(), (int32)c.ids.size());
		for (size_t i = 0; i < c.ids.size(); i++) {
			int32 id;
			ASSERT_TRUE(resources.GetResourceInfo((int32)i, nullptr, &id, nullptr, nullptr));
			EXPECT_EQ(id, c.ids[i]);
		}
	}
}

TEST_F(ResourcesTest, Quirks_ZeroSizeEntryReadsAsEmpty)
{
	std::string path = Path("zero.rsrc");
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('RAWT', 3, "", 0, "nothing"), B_OK);
	}
	BResources resources(path.c_str(), false);
	size_t size = 99;
	void* data = resources.FindResource('RAWT', 3, &size);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(size, 0u);
	free(data);
}

TEST_F(ResourcesTest, Damage_IsRejectedWithOffset)
{
	struct Case {
		const char* what;
		void (*patch)(Written*);
		const char* text;
	} cases[] = {
	        {"wrong checksum", [](Written* w) { w->data[w->info + 16] ^= 0x20; },
	         "info table checksum"},
	        {"bad magic", [](Written* w) { w->data[4] = 'x'; }, "no resources header"},
	        {"data past the end", [](Written* w) { put_u32(&w->data, 4 + 0x44 + 132, 0x7fff0000); },
	         "extends beyond the end of the file"},
	        {"info table past the end",
	         [](Written* w) { put_u32(&w->data, 4 + 0x44 + 124, 0x10000); }, "info table"},
	        {"name past the table",
	         [](Written* w) {
		         w->data[w->info + 12] = (char)0xff;
		         rechecksum(w);
	         },
	         "runs past the info table"},
	        {"index size too small", [](Written* w) { put_u32(&w->data, 4 + 0x44 + 4, 8); },
	         "index section size"},
	};
	for (Case& c : cases) {
		SCOPED_TRACE(c.what);
		Written w = written_layout(Path("bad.rsrc"));
		c.patch(&w);
		write_file(Path("bad.rsrc"), w.data);
		{
			BResources resources(Path("bad.rsrc").c_str(), true);
			EXPECT_NE(resources.InitCheck(), B_OK);
			EXPECT_NE(strstr(resources.ErrorText(), c.text), nullptr) << resources.ErrorText();
			EXPECT_EQ(strncmp(resources.ErrorText(), "offset 0x", 9), 0) << resources.ErrorText();
			EXPECT_EQ(resources.FindResource('CSTR', 74, nullptr), nullptr);
			EXPECT_NE(resources.AddResource('CSTR', 1, "x", 2, "x"), B_OK);
		}
		// A damaged file is never rewritten.
		EXPECT_EQ(read_file(Path("bad.rsrc")), w.data);
	}
}

TEST_F(ResourcesTest, Damage_TruncationAtEveryLengthNeverCrashes)
{
	// In these files the info table comes last, so every cut damages it. A
	// file cut before its block, or an ELF cut between its section headers
	// and the block, has no resources.
	const char* files[] = {"haiku-test-x86.rsrc", "haiku-test-ppc.rsrc", "haiku-test-elf",
	                       "Thesaurus.rsrc", "pot.rsrc"};
	for (const char* name : files) {
		std::string data = read_file(fixture(name));
		int fd = memfd_create("cut", 0);
		ASSERT_GE(fd, 0);
		ASSERT_EQ(write(fd, data.data(), data.size()), (ssize_t)data.size());
		std::string path = "/proc/self/fd/" + std::to_string(fd);
		for (size_t length = data.size() - 1; length > 0; length--) {
			ASSERT_EQ(ftruncate(fd, (off_t)length), 0);
			BResources resources(path.c_str(), false);
			if (resources.InitCheck() == B_OK) {
				EXPECT_EQ(resources.CountResources(), 0) << name << " cut at " << length;
				EXPECT_TRUE(length <= 0x28 || (length >= 3744 && length <= 4096))
				        << name << " cut at " << length;
				continue;
			}
			EXPECT_EQ(strncmp(resources.ErrorText(), "offset 0x", 9), 0);
		}
		close(fd);
	}
}

TEST_F(ResourcesTest, Api_LoadCachesFindCopiesAndPartialAccess)
{
	std::string path = Copy(fixture("haiku-test-x86.rsrc"), "api.rsrc");
	BResources resources(path.c_str(), true);
	size_t size;
	const void* first = resources.LoadResource('CSTR', 74, &size);
	EXPECT_EQ(resources.LoadResource('CSTR', 74, &size), first);
	void* copy = resources.FindResource('CSTR', "a string resource", &size);
	EXPECT_NE(copy, first);
	free(copy);
	EXPECT_EQ(resources.FindResource('CSTR', 75, &size), nullptr);
	EXPECT_EQ(resources.LoadResource('CSTR', "nope", &size), nullptr);
	EXPECT_TRUE(resources.HasResource('MIMS', "another resource"));
	EXPECT_FALSE(resources.HasResource('MIMS', 74));

	int32 id;
	const char* name;
	ASSERT_TRUE(resources.GetResourceInfo((type_code)'MIMS', 0, &id, &name, &size));
	EXPECT_EQ(id, 29);
	EXPECT_FALSE(resources.GetResourceInfo((type_code)'MIMS', 1, &id, &name, &size));
	type_code type;
	ASSERT_TRUE(resources.GetResourceInfo(first, &type, &id, &size, &name));
	EXPECT_EQ(type, (type_code)'CSTR');

	char part[8] = {};
	ASSERT_EQ(resources.ReadResource('CSTR', 74, part, 2, 4), B_OK);
	EXPECT_STREQ(part, "like");
	EXPECT_EQ(resources.ReadResource('CSTR', 74, part, 36, 1), B_BAD_VALUE);

	ASSERT_EQ(resources.WriteResource('CSTR', 74, "LOVE", 2, 4), B_OK);
	ASSERT_EQ(resources.WriteResource('CSTR', 74, "!!", 35, 2), B_OK);
	ASSERT_EQ(resources.Sync(), B_OK);
	BResources reread(path.c_str(), false);
	const char* text = static_cast<const char*>(reread.LoadResource('CSTR', 74, &size));
	ASSERT_EQ(size, 37u);
	EXPECT_EQ(std::string(text, size), cstr("I LOVE strings, especially cellos.") + "!!");
	EXPECT_EQ(resources.WriteResource('CSTR', 1, "x", 0, 1), B_BAD_VALUE);
	EXPECT_EQ(resources.RemoveResource('CSTR', 1), B_BAD_VALUE);
}

TEST_F(ResourcesTest, Api_AddReplacesAndRemoveDrops)
{
	std::string path = Copy(fixture("haiku-test-x86.rsrc"), "edit.rsrc");
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('LONG', 17, "\7\0\0\0", 4, "replaced"), B_OK);
		ASSERT_EQ(resources.RemoveResource('CSTR', 74), B_OK);
		EXPECT_EQ(resources.CountResources(), 2);
	}
	BResources reread(path.c_str(), false);
	expect_resources(reread, {{'LONG', 17, "replaced", int32_bytes(7)}, kTestResources[2]});
}

TEST_F(ResourcesTest, Rewrite_KeepsModeAttributesAndLeavesNoTemporaryFile)
{
	std::string path = Copy(fixture("haiku-test-x86.rsrc"), "kept.rsrc");
	chmod(path.c_str(), 0751);
	bool attributes = setxattr(path.c_str(), "user.BEOS:TYPE", "x", 1, 0) == 0;
	fs::create_symlink(path, Path("link.rsrc"));
	{
		BResources resources(Path("link.rsrc").c_str(), true);
		ASSERT_EQ(resources.AddResource('CSTR', 9, "y", 2, nullptr), B_OK);
		ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
	}
	EXPECT_TRUE(fs::is_symlink(Path("link.rsrc")));
	struct stat st;
	ASSERT_EQ(stat(path.c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 07777, 0751u);
	if (attributes) {
		char value[4];
		EXPECT_EQ(getxattr(path.c_str(), "user.BEOS:TYPE", value, sizeof(value)), 1);
	}
	int count = 0;
	for (const auto& entry : fs::directory_iterator(fDir))
		count += entry.path().filename().string()[0] == '.';
	EXPECT_EQ(count, 0);
	BResources reread(path.c_str(), false);
	EXPECT_TRUE(reread.HasResource('CSTR', 9));
}

TEST_F(ResourcesTest, Clobber_DropsEveryResource)
{
	std::string path = Copy(fixture("haiku-test-elf"), "clobber");
	std::string before = read_file(path);
	{
		BResources resources(path.c_str(), true, true);
		EXPECT_EQ(resources.CountResources(), 0);
	}
	std::string after = read_file(path);
	EXPECT_EQ(after.substr(0, 4096), before.substr(0, 4096));
	BResources reread(path.c_str(), false);
	EXPECT_EQ(reread.InitCheck(), B_OK);
	EXPECT_EQ(reread.CountResources(), 0);
}

// Runs a program and returns its exit status, -1 when it did not run.
int run(const std::string& path, const char* argument)
{
	pid_t pid;
	char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(argument), nullptr};
	if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
		return -1;
	int status;
	if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

TEST_F(ResourcesTest, Elf_AppendAndRewriteKeepTheProgramRunnable)
{
	std::string path = Copy("/bin/true", "true");
	std::string original = read_file(path);
	std::string big(300000, 'p');
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
		EXPECT_EQ(resources.CountResources(), 0);
		ASSERT_EQ(resources.AddResource('RAWT', 2001, big.data(), big.size(), "payload"), B_OK);
		ASSERT_EQ(resources.AddResource('CSTR', 1, "cfg", 4, "config"), B_OK);
	}
	std::string appended = read_file(path);
	size_t block = (original.size() + 7) / 8 * 8;
	ASSERT_GT(appended.size(), block);
	EXPECT_EQ(appended.substr(0, original.size()), original);
	EXPECT_EQ(u32_at(appended, block), 0x444f1000u);
	EXPECT_EQ(run(path, "x"), 0);

	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.CountResources(), 2);
		ASSERT_EQ(resources.RemoveResource('CSTR', 1), B_OK);
		ASSERT_EQ(resources.AddResource('CSTR', 2, "new", 4, "other"), B_OK);
	}
	std::string rewritten = read_file(path);
	EXPECT_EQ(rewritten.substr(0, original.size()), original);
	EXPECT_EQ(run(path, "x"), 0);
	BResources reread(path.c_str(), false);
	expect_resources(reread, {{'RAWT', 2001, "payload", big}, {'CSTR', 2, "other", cstr("new")}});
}

TEST_F(ResourcesTest, Elf32_RewriteKeepsThePageAlignedOffset)
{
	std::string path = Copy(fixture("haiku-test-elf"), "elf32");
	std::string before = read_file(path);
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('CSTR', 3, "z", 2, "third"), B_OK);
	}
	std::string after = read_file(path);
	EXPECT_EQ(after.substr(0, 4096), before.substr(0, 4096));
	EXPECT_EQ(u32_at(after, 4096), 0x444f1000u);
}

} // namespace
