// Payload archives: entries, methods, host, modes, extra fields and the data,
// read back by an independent reader and by the stock unzip tool.
#include "PayloadWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include <zstd.h>

#include "BuildTestSupport.h"
#include "DeflatePool.h"
#include "Node.h"
#include "PayloadExtractor.h"
#include "PayloadFields.h"
#include "ZipFormat.h"
#include "ZipReader.h"

namespace {

const int64 kModified = 0x12345678;
const int64 kAccessed = 0x01020304;

void set_times(const std::string& path)
{
	struct timespec times[2] = {{(time_t)kAccessed, 0}, {(time_t)kModified, 0}};
	utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

std::string le16(uint32 value)
{
	return std::string{(char)(value & 0xff), (char)((value >> 8) & 0xff)};
}

class PayloadWriterTest : public testing::Test {
protected:
	// Packs `source` as `leaf` and reads the archive back.
	std::vector<ZipEntryInfo> Pack(const std::string& source, const std::string& leaf,
	                               int32 threads = 2)
	{
		fArchive = fFolder / "out.zip";
		PayloadWriter writer(6, threads);
		EXPECT_EQ(writer.Write(source, leaf, fArchive), B_OK) << writer.ErrorText();
		std::vector<ZipEntryInfo> entries;
		EXPECT_TRUE(read_zip(read_file(fArchive), &entries));
		return entries;
	}

	// Unpacks the archive with the stock unzip into a new folder.
	std::string Unzip()
	{
		std::string target = fFolder / "unpacked";
		std::filesystem::create_directories(target);
		std::string output;
		EXPECT_EQ(run_program({"unzip", "-q", fArchive, "-d", target}, &output), 0) << output;
		return target;
	}

	TempFolder fFolder;
	std::string fArchive;
};

TEST_F(PayloadWriterTest, FileIsOneDeflatedEntryWithTimeOwnerAndTypeFields)
{
	std::string path = fFolder.Write("src/notes.txt", std::string(5000, 'n'));
	chmod(path.c_str(), 0640);
	set_times(path);
	std::vector<ZipEntryInfo> entries = Pack(path, "notes.txt");
	ASSERT_EQ(entries.size(), 1u);
	const ZipEntryInfo& entry = entries[0];
	EXPECT_EQ(entry.name, "notes.txt");
	EXPECT_EQ(entry.method, 8);
	EXPECT_EQ(entry.madeBy >> 8, 16) << "host BeOS";
	EXPECT_EQ(entry.externalAttributes, (uint32)(S_IFREG | 0640) << 16);
	EXPECT_EQ(entry.size, 5000u);
	std::string expectedLocal = "UT" + le16(9) + "\x03\x78\x56\x34\x12\x04\x03\x02\x01" + "Ux" +
	                            le16(4) + le16(getuid()) + le16(getgid());
	EXPECT_EQ(entry.localExtra.substr(0, expectedLocal.size()), expectedLocal);
	std::string expectedCentral = "UT" + le16(5) + "\x03\x78\x56\x34\x12" + "Ux" + le16(0);
	EXPECT_EQ(entry.centralExtra.substr(0, expectedCentral.size()), expectedCentral);
	auto local = split_extra(entry.localExtra);
	ASSERT_EQ(local.size(), 3u);
	EXPECT_EQ(local[2].first, 0x6542) << "the sniffed type travels with the file";
	std::string inflated;
	ASSERT_TRUE(inflate_raw(entry.rawData, &inflated));
	EXPECT_EQ(inflated, std::string(5000, 'n'));
	EXPECT_EQ(entry.crc, (uint32)crc32(0, (const Bytef*)inflated.data(), (uInt)inflated.size()));
}

TEST_F(PayloadWriterTest, FolderEntriesComeSortedWithStoredFoldersLinksAndEmptyFiles)
{
	fFolder.Write("src/Item/b.txt", "bee");
	fFolder.Write("src/Item/a.txt", "ay");
	fFolder.Write("src/Item/empty", "");
	fFolder.Write("src/Item/sub/c.txt", "sea");
	ASSERT_EQ(symlink("a.txt", (fFolder / "src/Item/link").c_str()), 0);
	std::vector<ZipEntryInfo> entries = Pack(fFolder / "src/Item", "Item");
	struct Expected {
		const char* name;
		uint16 method;
		mode_t type;
	} expected[] = {
	        {"Item/", 0, S_IFDIR},          {"Item/a.txt", 8, S_IFREG}, {"Item/b.txt", 8, S_IFREG},
	        {"Item/empty", 0, S_IFREG},     {"Item/link", 0, S_IFLNK},  {"Item/sub/", 0, S_IFDIR},
	        {"Item/sub/c.txt", 8, S_IFREG},
	};
	ASSERT_EQ(entries.size(), std::size(expected));
	for (size_t i = 0; i < entries.size(); i++) {
		EXPECT_EQ(entries[i].name, expected[i].name);
		EXPECT_EQ(entries[i].method, expected[i].method) << expected[i].name;
		EXPECT_EQ((entries[i].externalAttributes >> 16) & S_IFMT, expected[i].type)
		        << expected[i].name;
		EXPECT_EQ(entries[i].externalAttributes & 0x10, expected[i].type == S_IFDIR ? 0x10u : 0u);
		auto fields = split_extra(entries[i].localExtra);
		ASSERT_GE(fields.size(), 2u) << expected[i].name;
		EXPECT_EQ(fields[0].first, 0x5455);
		EXPECT_EQ(fields[1].first, 0x7855);
	}
	EXPECT_EQ(entries[4].rawData, "a.txt") << "a link holds its target";
}

TEST_F(PayloadWriterTest, AttributesTravelInsideTheBeOSField)
{
	std::string path = fFolder.Write("src/Tagged", "data");
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);
	int32 count = 0x01020304;
	ASSERT_EQ(node.WriteAttr("Count", 'LONG', 0, &count, 4), 4);
	ASSERT_EQ(node.WriteAttr("BEOS:TYPE", 'MIMS', 0, "text/plain", 11), 11);
	ASSERT_EQ(node.WriteAttr("InstallBy", 'CSTR', 0, "Hello;1.0;", 10), 10);
	std::vector<ZipEntryInfo> entries = Pack(path, "Tagged");
	ASSERT_EQ(entries.size(), 1u);
	auto local = split_extra(entries[0].localExtra);
	auto central = split_extra(entries[0].centralExtra);
	ASSERT_EQ(local.size(), 3u);
	ASSERT_EQ(central.size(), 3u);
	EXPECT_EQ(local[2].first, 0x6542);
	EXPECT_EQ(central[2].first, 0x6542);
	const std::string& block = local[2].second;
	std::string records = std::string("BEOS:TYPE\0MIMS", 14) + std::string(7, '\0') + "\x0b" +
	                      std::string("text/plain\0", 11) + std::string("Count\0LONG", 10) +
	                      std::string(7, '\0') + "\x04\x01\x02\x03\x04" +
	                      std::string("InstallBy\0CSTR", 14) + std::string(7, '\0') + "\x0a" +
	                      "Hello;1.0;";
	EXPECT_EQ(zip32(block, 0), records.size());
	std::string stored = block.substr(5);
	if (block[4] == 1) {
		EXPECT_EQ(stored, records);
	} else {
		ASSERT_EQ(block[4], 0);
		std::string inflated;
		ASSERT_TRUE(inflate_raw(stored.substr(6), &inflated));
		EXPECT_EQ(inflated, records);
	}
	ASSERT_EQ(central[2].second.size(), 5u);
	EXPECT_EQ(zip32(central[2].second, 0), stored.size());
	EXPECT_EQ(central[2].second[4], block[4]);
}

TEST_F(PayloadWriterTest, LargeAttributesAreDeflatedAndReadBackByTheInstallersDecoder)
{
	std::string path = fFolder.Write("src/Icons", "data");
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK);
	std::string icon(1024, '\x1f');
	for (size_t i = 0; i < icon.size(); i += 33)
		icon[i] = (char)i;
	ASSERT_EQ(node.WriteAttr("BEOS:L:STD_ICON", 'ICON', 0, icon.data(), icon.size()), 1024);
	double ratio = 1.5;
	ASSERT_EQ(node.WriteAttr("Ratio", 'DBLE', 0, &ratio, 8), 8);
	std::vector<ZipEntryInfo> entries = Pack(path, "Icons");
	ASSERT_EQ(entries.size(), 1u);
	auto local = split_extra(entries[0].localExtra);
	ASSERT_EQ(local.size(), 3u);
	const std::string& block = local[2].second;
	EXPECT_EQ(block[4], 0) << "compressed: the block is smaller deflated";
	EXPECT_LT(block.size(), icon.size());
	std::vector<PayloadAttribute> attributes;
	ASSERT_EQ(decode_payload_attributes((const uint8*)block.data(), block.size(), &attributes),
	          B_OK);
	ASSERT_EQ(attributes.size(), 3u);
	EXPECT_EQ(attributes[0].name, "BEOS:L:STD_ICON");
	EXPECT_EQ(attributes[0].type, (uint32)'ICON');
	EXPECT_EQ(attributes[0].data, icon);
	EXPECT_EQ(attributes[1].name, "BEOS:TYPE") << "sniffed, in name order";
	EXPECT_EQ(attributes[2].name, "Ratio");
	EXPECT_EQ(attributes[2].type, (uint32)'DBLE');
	double read = 0;
	ASSERT_EQ(attributes[2].data.size(), 8u);
	memcpy(&read, attributes[2].data.data(), 8);
	EXPECT_EQ(read, 1.5);
}

// A file without a type carries the one sniffing finds, so that the installer
// need not sniff it; a type of its own wins; folders and links carry none.
TEST_F(PayloadWriterTest, FilesWithoutTypeCarryTheSniffedType)
{
	fFolder.Write("src/Item/notes.txt", "Just some words in a text file.\n");
	fFolder.Write("src/Item/script", "#!/bin/sh\necho hi\n");
	fFolder.Write("src/Item/empty", "");
	std::string program = fFolder / "src/Item/program";
	std::filesystem::copy_file("/proc/self/exe", program);
	chmod(program.c_str(), 0755);
	std::string own = fFolder.Write("src/Item/own", "plain words\n");
	BNode node(own.c_str());
	ASSERT_EQ(node.WriteAttr("BEOS:TYPE", 'MIMS', 0, "text/x-mine", 12), 12);
	ASSERT_EQ(symlink("notes.txt", (fFolder / "src/Item/link").c_str()), 0);
	std::vector<ZipEntryInfo> entries = Pack(fFolder / "src/Item", "Item");
	const std::pair<std::string, std::string> expected[] = {
	        {"Item/", ""},
	        {"Item/empty", "application/octet-stream"},
	        {"Item/link", ""},
	        {"Item/notes.txt", "text/plain"},
	        {"Item/own", "text/x-mine"},
	        {"Item/program", "application/x-vnd.Be-elfexecutable"},
	        {"Item/script", "text/x-shellscript"},
	};
	ASSERT_EQ(entries.size(), std::size(expected));
	for (size_t i = 0; i < entries.size(); i++) {
		SCOPED_TRACE(entries[i].name);
		EXPECT_EQ(entries[i].name, expected[i].first);
		auto fields = split_extra(entries[i].localExtra);
		if (expected[i].second.empty()) {
			EXPECT_EQ(fields.size(), 2u);
			continue;
		}
		ASSERT_EQ(fields.size(), 3u);
		std::vector<PayloadAttribute> attributes;
		ASSERT_EQ(decode_payload_attributes((const uint8*)fields[2].second.data(),
		                                    fields[2].second.size(), &attributes),
		          B_OK);
		ASSERT_EQ(attributes.size(), 1u);
		EXPECT_EQ(attributes[0].name, "BEOS:TYPE");
		EXPECT_EQ(attributes[0].type, (uint32)'MIMS');
		EXPECT_EQ(attributes[0].data, expected[i].second + std::string(1, '\0'));
	}
}

// Large files of every mix: chunks of noise are stored, the rest deflated,
// and the chunks still join into one stream.
TEST_F(PayloadWriterTest, LargeFileSpansChunksAsOneValidStream)
{
	struct Mix {
		const char* label;
		std::function<bool(size_t)> noise; // whether byte i is random
		double largestRatio;               // packed size over size
	};
	const size_t chunk = DeflatePool::kChunkSize;
	const Mix mixes[] = {
	        {"every third byte", [](size_t i) { return i % 3 == 0; }, 0.6},
	        {"all noise", [](size_t) { return true; }, 1.001},
	        {"noise then text", [chunk](size_t i) { return i < chunk; }, 0.45},
	        {"text then noise", [chunk](size_t i) { return i >= 2 * chunk; }, 0.45},
	};
	for (const Mix& mix : mixes) {
		std::mt19937 random(7);
		std::string data;
		for (size_t i = 0; i < 3500000; i++)
			data.push_back(mix.noise(i) ? (char)(random() & 0xff) : (char)('a' + i % 7));
		std::string path = fFolder.Write("src/big.bin", data);
		std::vector<ZipEntryInfo> entries = Pack(path, "big.bin", 2);
		ASSERT_EQ(entries.size(), 1u);
		EXPECT_EQ(entries[0].size, data.size()) << mix.label;
		EXPECT_LE(entries[0].rawData.size(), data.size() * mix.largestRatio) << mix.label;
		std::string inflated;
		ASSERT_TRUE(inflate_raw(entries[0].rawData, &inflated)) << mix.label;
		EXPECT_TRUE(inflated == data) << mix.label;
		EXPECT_EQ(entries[0].crc, (uint32)crc32(0, (const Bytef*)data.data(), (uInt)data.size()))
		        << mix.label;
	}
}

TEST_F(PayloadWriterTest, StockUnzipRestoresTheItemExactly)
{
	std::mt19937 random(3);
	const std::pair<const char*, uint64> sizes[] = {
	        {"src/Product/data/one-chunk", DeflatePool::kChunkSize},
	        {"src/Product/data/two-chunks", DeflatePool::kChunkSize + 1},
	        {"src/Product/data/noise", 100000},
	};
	for (const auto& [path, size] : sizes) {
		std::string data;
		for (uint64 i = 0; i < size; i++)
			data.push_back(strstr(path, "noise") ? (char)random() : (char)('a' + i % 13));
		fFolder.Write(path, data);
	}
	fFolder.Write("src/Product/readme.txt", "read me\n");
	fFolder.Write("src/Product/bin/tool", "#!/bin/sh\necho hi\n");
	chmod((fFolder / "src/Product/bin/tool").c_str(), 0755);
	fFolder.Write("src/Product/empty/.keep", "");
	set_times(fFolder / "src/Product/readme.txt");
	ASSERT_EQ(symlink("bin/tool", (fFolder / "src/Product/run").c_str()), 0);
	Pack(fFolder / "src/Product", "Product");
	std::string target = Unzip();
	std::string output;
	EXPECT_EQ(run_program({"diff", "-r", "--no-dereference", fFolder / "src/Product",
	                       target + "/Product"},
	                      &output),
	          0)
	        << output;
	struct stat info;
	ASSERT_EQ(stat((target + "/Product/bin/tool").c_str(), &info), 0);
	EXPECT_EQ(info.st_mode & 0777, 0755u);
	ASSERT_EQ(stat((target + "/Product/readme.txt").c_str(), &info), 0);
	EXPECT_EQ(info.st_mtime, (time_t)kModified);
	char link[64] = {};
	ASSERT_GT(readlink((target + "/Product/run").c_str(), link, sizeof(link) - 1), 0);
	EXPECT_STREQ(link, "bin/tool");
}

// Zstandard files share one stream per run of files: the entry of a run's
// first compressed file starts it, stating the run's size, each later one
// continues it, and together they are exactly one frame. Data that does not
// shrink and empty files are stored outside the streams. The installer's
// own extraction gives the item back exactly.
TEST_F(PayloadWriterTest, ZstdFilesShareAStreamPerRunThatTheInstallerUnpacks)
{
	const uint64 run = DeflatePool::kZstdRunSize;
	std::mt19937 random(5);
	struct {
		const char* path;
		uint64 size;
		bool noise;
		int method;
		int stream; // the run whose stream holds the file, -1 for none
		int mark;   // of the directory's stream field, -1 for none
	} files[] = {
	        // Fills the first run over several chunks, which then is sealed.
	        {"src/Product/a-large", run + 300000, false, 93, 0, kZipStreamStarts},
	        {"src/Product/b-noise", 200000, true, 0, -1, -1},
	        {"src/Product/c-small.txt", 12, false, 93, 1, kZipStreamStarts},
	        {"src/Product/d-text", 70000, false, 93, 1, kZipStreamContinues},
	        {"src/Product/sub/empty", 0, false, 0, -1, -1},
	};
	for (const auto& file : files) {
		std::string data;
		for (uint64 i = 0; i < file.size; i++)
			data.push_back(file.noise ? (char)random() : (char)('a' + (i * i / 7) % 23));
		fFolder.Write(file.path, data);
	}
	ASSERT_EQ(symlink("c-small.txt", (fFolder / "src/Product/link").c_str()), 0);
	fArchive = fFolder / "out.zip";
	PayloadWriter writer(3, 2, PayloadCompression::kZstd);
	ASSERT_EQ(writer.Write(fFolder / "src/Product", "Product", fArchive), B_OK)
	        << writer.ErrorText();
	std::vector<ZipEntryInfo> entries;
	ASSERT_TRUE(read_zip(read_file(fArchive), &entries));
	std::string streams[2];
	uint64 streamSizes[2] = {0, 0};
	for (const auto& file : files) {
		const std::string name = std::string(file.path).substr(4);
		SCOPED_TRACE(name);
		auto entry = std::find_if(entries.begin(), entries.end(),
		                          [&](const ZipEntryInfo& e) { return e.name == name; });
		ASSERT_NE(entry, entries.end());
		EXPECT_EQ(entry->method, file.method);
		uint16 length = 0;
		const uint8* mark = zip_find_extra((const uint8*)entry->centralExtra.data(),
		                                   entry->centralExtra.size(), kZipSolidField, &length);
		EXPECT_EQ(mark == nullptr ? -1 : length == 1 ? *mark : 99, file.mark);
		if (file.stream < 0)
			continue;
		streams[file.stream] += entry->rawData;
		streamSizes[file.stream] += file.size;
	}
	for (int i = 0; i < 2; i++) {
		SCOPED_TRACE("stream " + std::to_string(i));
		EXPECT_EQ(ZSTD_findFrameCompressedSize(streams[i].data(), streams[i].size()),
		          streams[i].size());
		EXPECT_EQ(ZSTD_getFrameContentSize(streams[i].data(), streams[i].size()), streamSizes[i]);
	}
	std::filesystem::create_directories(fFolder / "unpacked");
	PayloadExtractor extractor;
	ASSERT_EQ(extractor.Extract(fArchive.c_str(), 0, (off_t)std::filesystem::file_size(fArchive),
	                            (fFolder / "unpacked").c_str(), "Product"),
	          B_OK)
	        << extractor.ErrorText();
	std::string output;
	EXPECT_EQ(run_program({"diff", "-r", "--no-dereference", fFolder / "src/Product",
	                       fFolder / "unpacked/Product"},
	                      &output),
	          0)
	        << output;
	// Beyond Zstandard's levels the writer refuses, as it does beyond deflate's.
	PayloadWriter tooHigh(ZSTD_maxCLevel() + 1, 1, PayloadCompression::kZstd);
	EXPECT_EQ(tooHigh.Write(fFolder / "src/Product", "Product", fFolder / "high.zip"), B_BAD_VALUE);
}

// A file packed against a reference (the deinstaller against the installer
// program) costs little of what it shares with it, and unpacks only where
// those very bytes start the file that holds the archive.
TEST_F(PayloadWriterTest, ReferencedFileUnpacksOnlyAfterItsReference)
{
	std::mt19937 random(11);
	std::string reference;
	for (int i = 0; i < 300000; i++)
		reference.push_back((char)random());
	std::string program = reference.substr(1000, 200000) + "what only the program has";
	program[5000] ^= 1;
	const std::string referencePath = fFolder.Write("reference", reference);
	const std::string source = fFolder.Write("src/Program", program);
	fArchive = fFolder / "out.zip";
	PayloadWriter writer(3, 1);
	ASSERT_EQ(writer.SetReference(referencePath, reference.size()), B_OK) << writer.ErrorText();
	ASSERT_EQ(writer.Write(source, "Program", fArchive), B_OK) << writer.ErrorText();
	const std::string archive = read_file(fArchive);
	std::vector<ZipEntryInfo> entries;
	ASSERT_TRUE(read_zip(archive, &entries));
	ASSERT_EQ(entries.size(), 1u);
	EXPECT_EQ(entries[0].method, 93);
	EXPECT_LT(entries[0].compressedSize, program.size() / 20) << "the reference went unused";
	std::string field;
	for (const auto& [id, data] : split_extra(entries[0].localExtra)) {
		if (id == kPayloadReferenceField)
			field = data;
	}
	PayloadReference named;
	ASSERT_EQ(decode_payload_reference((const uint8*)field.data(), field.size(), &named), B_OK);
	EXPECT_EQ(named.size, reference.size());

	std::string changed = reference;
	changed[200000] ^= 1;
	const struct {
		const char* name;
		std::string before; // what precedes the archive in its file
		const char* error;  // null when it unpacks
	} cases[] = {
	        {"after its reference", reference, nullptr},
	        {"after other bytes", changed, "packed against another installer program"},
	        {"alone", "", "lies in no such installer"},
	        {"after a shorter start", reference.substr(0, 1000), "lies in no such installer"},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.name);
		const std::string holder = fFolder.Write("holder", test.before + archive);
		const std::string target = fFolder / "unpacked";
		std::filesystem::remove_all(target);
		std::filesystem::create_directories(target);
		PayloadExtractor extractor;
		const status_t status = extractor.Extract(holder.c_str(), (off_t)test.before.size(),
		                                          (off_t)archive.size(), target.c_str(), "Program");
		if (test.error == nullptr) {
			ASSERT_EQ(status, B_OK) << extractor.ErrorText();
			EXPECT_EQ(read_file(target + "/Program"), program);
		} else {
			EXPECT_NE(status, B_OK);
			EXPECT_NE(extractor.ErrorText().find(test.error), std::string::npos)
			        << extractor.ErrorText();
			EXPECT_NE(extractor.ErrorText().find("Program"), std::string::npos)
			        << extractor.ErrorText();
		}
	}
}

TEST_F(PayloadWriterTest, MissingSourceAndSpecialFilesAreNamed)
{
	PayloadWriter writer(6, 1);
	std::string missing = fFolder / "absent";
	EXPECT_EQ(writer.Write(missing, "absent", fFolder / "a.zip"), B_ENTRY_NOT_FOUND);
	EXPECT_NE(writer.ErrorText().find(missing), std::string::npos) << writer.ErrorText();

	std::string fifo = fFolder / "src/Item/pipe";
	fFolder.Write("src/Item/a", "a");
	ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
	EXPECT_NE(writer.Write(fFolder / "src/Item", "Item", fFolder / "b.zip"), B_OK);
	EXPECT_NE(writer.ErrorText().find(fifo), std::string::npos) << writer.ErrorText();
}

// A file that cannot be read in full: unreadable for a user, or for root a
// kernel file whose contents are shorter than the size it reports.
std::string unreadable_file(const TempFolder& folder)
{
	if (geteuid() != 0) {
		std::string path = folder.Write("src/secret", "s");
		chmod(path.c_str(), 0);
		return path;
	}
	struct stat info;
	const char* shrinking = "/sys/kernel/uevent_seqnum";
	if (stat(shrinking, &info) == 0 && info.st_size > 64)
		return shrinking;
	return "";
}

TEST_F(PayloadWriterTest, UnreadableFileFailsTheArchiveAndLeavesNoFile)
{
	std::string path = unreadable_file(fFolder);
	if (path.empty())
		GTEST_SKIP() << "no file here fails to read";
	PayloadWriter writer(6, 2);
	std::string archive = fFolder / "c.zip";
	EXPECT_NE(writer.Write(path, "secret", archive), B_OK);
	EXPECT_NE(writer.ErrorText().find(path), std::string::npos) << writer.ErrorText();
	EXPECT_FALSE(std::filesystem::exists(archive));
}

} // namespace
