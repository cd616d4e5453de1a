// The installer's ZIP reader: directories read from a byte range of a file,
// entries streamed whole, and every kind of damage reported, not written.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <numeric>

#include "PayloadExtractor.h"
#include "PayloadTestSupport.h"
#include "ZipArchive.h"
#include "ZipArchiveFixture.h"
#include "ZipEntryReader.h"
#include "ZipFormat.h"
#include "ZipStreamWriter.h"

using namespace payload_test;

namespace {

// `archive` with a ZIP64 end record and locator before its end record,
// giving `entries`; the end record's count becomes 0xffff when `saturate`,
// its directory offset 0xffffffff.
std::string WithZip64End(std::string archive, uint64 entries, bool saturate)
{
	const size_t endAt = archive.size() - 22;
	const uint64 directoryBytes = zip_get32((const uint8*)archive.data() + endAt + 12);
	const uint64 directoryStart = zip_get32((const uint8*)archive.data() + endAt + 16);
	std::string records;
	RawZip::Put32(records, 0x06064b50);
	RawZip::Put64(records, 44);
	RawZip::Put16(records, 45);
	RawZip::Put16(records, 45);
	RawZip::Put32(records, 0);
	RawZip::Put32(records, 0);
	RawZip::Put64(records, entries);
	RawZip::Put64(records, entries);
	RawZip::Put64(records, directoryBytes);
	RawZip::Put64(records, directoryStart);
	RawZip::Put32(records, 0x07064b50);
	RawZip::Put32(records, 0);
	RawZip::Put64(records, endAt);
	RawZip::Put32(records, 1);
	std::string end = archive.substr(endAt);
	if (saturate)
		end.replace(8, 4, 4, '\xff');
	end.replace(16, 4, 4, '\xff');
	return archive.substr(0, endAt) + records + end;
}

} // namespace

TEST(ZipArchiveTest, Entries_StreamedWholeFromTheirByteRange)
{
	TempFolder temp;
	std::string large = LargeText(600 * 1024);
	RawZip::Entry wide = RawZip::Deflated("item/wide", large);
	wide.zip64 = true;
	RawZip zip;
	zip.Add(RawZip::Stored("item/", "", 040755));
	zip.Add(RawZip::Stored("item/stored", "kept as it is"));
	zip.Add(RawZip::Deflated("item/large", large));
	zip.Add(wide);
	zip.Add(RawZip::Zstd("item/zstd", large));
	// Frames of odd sizes, so that frame headers straddle the reader's window.
	zip.Add(RawZip::Zstd("item/frames", large, 100003));
	ArchiveFile file(temp / "installer", zip.Bytes());
	ZipArchive archive;
	ASSERT_EQ(file.Open(&archive), B_OK) << archive.ErrorText();

	struct {
		const char* name;
		std::string data;
	} expected[] = {{"item/", ""},         {"item/stored", "kept as it is"},
	                {"item/large", large}, {"item/wide", large},
	                {"item/zstd", large},  {"item/frames", large}};
	ASSERT_EQ(archive.Entries().size(), std::size(expected));
	for (size_t i = 0; i < std::size(expected); i++) {
		SCOPED_TRACE(expected[i].name);
		const ZipEntry& entry = archive.Entries()[i];
		EXPECT_EQ(entry.name, expected[i].name);
		EXPECT_EQ(entry.size, expected[i].data.size());
		ZipEntryReader reader;
		ASSERT_EQ(reader.SetTo(archive, entry), B_OK) << reader.ErrorText();
		std::string data;
		EXPECT_EQ(ReadAll(reader, &data), 0) << reader.ErrorText();
		EXPECT_TRUE(data == expected[i].data);
		char more;
		EXPECT_EQ(reader.Read(&more, 1), 0);
	}
}

static void CheckDamagedEntries(const RawZip::Entry& whole, size_t piece)
{
	struct {
		const char* name;
		std::function<void(RawZip::Entry&)> damage;
		bool refusedAtOpen;
		const char* message;
	} cases[] = {
	        {"wrong CRC", [](RawZip::Entry& e) { e.crc ^= 1; }, false, "CRC mismatch"},
	        {"declared smaller", [](RawZip::Entry& e) { e.size -= 10; }, false,
	         "larger than it declares"},
	        {"declared larger", [](RawZip::Entry& e) { e.size += 10; }, false,
	         "shorter than it declares"},
	        {"data cut off", [](RawZip::Entry& e) { e.data.resize(e.data.size() / 2); }, false,
	         "cut short"},
	        {"corrupt stream", [](RawZip::Entry& e) { e.data[0] = (char)0xff; }, false, "damaged"},
	        {"unknown method", [](RawZip::Entry& e) { e.method = 12; }, true,
	         "unknown compression"},
	        {"encrypted", [](RawZip::Entry& e) { e.flags |= 1; }, true, "encrypted"},
	        {"stored sizes differ",
	         [&](RawZip::Entry& e) { e = RawZip::Stored("item/x", "abc"), e.size = 5; }, true,
	         "damaged"},
	};
	for (auto& test : cases) {
		SCOPED_TRACE(test.name);
		TempFolder temp;
		RawZip::Entry entry = whole;
		test.damage(entry);
		RawZip zip;
		zip.Add(entry);
		ArchiveFile file(temp / "installer", zip.Bytes());
		ZipArchive archive;
		ASSERT_EQ(file.Open(&archive), B_OK) << archive.ErrorText();
		ZipEntryReader reader;
		status_t opened = reader.SetTo(archive, archive.Entries()[0]);
		std::string data;
		if (test.refusedAtOpen)
			EXPECT_NE(opened, B_OK);
		else {
			ASSERT_EQ(opened, B_OK) << reader.ErrorText();
			EXPECT_LT(ReadAll(reader, &data, piece), 0);
			EXPECT_LE(data.size(), entry.size);
		}
		EXPECT_NE(reader.ErrorText().find(test.message), std::string::npos) << reader.ErrorText();
	}
}

// Entries up to a few megabytes are inflated whole, larger ones streamed;
// either is read in small pieces or into one buffer that holds it all.
// Zstandard entries of one frame or several take the same damage.
TEST(ZipArchiveTest, DamagedEntries_ReportedBeforeTheirEnd)
{
	for (size_t length : {200 << 10, 600 << 10, 5 << 20}) {
		const std::string text = LargeText(length);
		for (const RawZip::Entry& whole :
		     {RawZip::Deflated("item/x", text), RawZip::Zstd("item/x", text),
		      RawZip::Zstd("item/x", text, 300000)}) {
			for (size_t piece : {size_t(1000), size_t(1 << 20)}) {
				SCOPED_TRACE(std::to_string(length) + " method " + std::to_string(whole.method) +
				             " in " + std::to_string(whole.data.size()) + " bytes read by " +
				             std::to_string(piece));
				CheckDamagedEntries(whole, piece);
			}
		}
	}
}

// Zstandard frames that would make the reader write or allocate beyond what
// the directory allows, or that are not plain data, are refused before
// their data is decoded past the entry's size.
TEST(ZipArchiveTest, HostileZstdFrames_Refused)
{
	const std::string text = LargeText(300 << 10);
	const RawZip::Entry good = RawZip::Zstd("item/x", text);
	RawZip::Entry twice = good;
	twice.data += good.data;
	RawZip::Entry unsized = RawZip::Zstd("item/x", text, 0, true);
	// A skippable frame: its magic, a length and that many bytes.
	RawZip::Entry skippable = good;
	std::string skip;
	RawZip::Put32(skip, 0x184D2A50);
	RawZip::Put32(skip, 3);
	skippable.data = skip + "abc" + good.data;
	RawZip::Entry trailing = good;
	trailing.data += "trailing";
	const std::string huge(20 << 20, 'a');
	RawZip::Entry wideWindow = RawZip::Zstd("item/x", huge, 0, false, 25);
	RawZip::Entry bomb = RawZip::Zstd("item/x", huge, 1 << 20);
	bomb.size = 3 << 20;
	bomb.crc = crc32(0, (const Bytef*)huge.data(), 3 << 20);

	struct {
		const char* name;
		RawZip::Entry entry;
		const char* message;
	} cases[] = {
	        {"frames declaring more than the entry", twice, "larger than it declares"},
	        {"frame without its size", unsized, "frame of unknown size"},
	        {"skippable frame", skippable, "frame without data"},
	        {"bytes after the last frame", trailing, "damaged"},
	        {"window beyond what a decoder may hold", wideWindow, "asks for a window of 20 MB"},
	        {"bomb of frames past the declared size", bomb, "larger than it declares"},
	};
	for (auto& test : cases) {
		SCOPED_TRACE(test.name);
		TempFolder temp;
		RawZip zip;
		zip.Add(test.entry);
		ArchiveFile file(temp / "installer", zip.Bytes());
		ZipArchive archive;
		ASSERT_EQ(file.Open(&archive), B_OK) << archive.ErrorText();
		ZipEntryReader reader;
		ASSERT_EQ(reader.SetTo(archive, archive.Entries()[0]), B_OK) << reader.ErrorText();
		std::string data;
		EXPECT_LT(ReadAll(reader, &data, 1 << 16), 0);
		EXPECT_LE(data.size(), test.entry.size);
		EXPECT_NE(reader.ErrorText().find(test.message), std::string::npos) << reader.ErrorText();
	}
}

TEST(ZipArchiveTest, DamagedDirectories_Refused)
{
	RawZip zip;
	zip.Add(RawZip::Stored("item/", "", 040755));
	zip.Add(RawZip::Deflated("item/a", LargeText(5000)));
	std::string good = zip.Bytes();
	std::string farOffset = good;
	farOffset[farOffset.size() - 3] = 0x7f; // directory offset beyond the range
	std::string badCentral = good;
	badCentral[badCentral.size() - 22 - (46 + 5) - (46 + 6)] ^= 0x55; // first central record
	std::string zip64Beyond = WithZip64End(good, 2, true);
	zip64Beyond[zip64Beyond.size() - 22 - 20 + 12] = 1; // the ZIP64 record's offset, past 4 GB
	struct {
		const char* name;
		std::string bytes;
		uint64 maxEntries;
		const char* message;
	} cases[] = {
	        {"cut before its end record", good.substr(0, good.size() - 30), 100,
	         "no end of directory"},
	        {"cut inside its data", good.substr(0, 200) + good.substr(good.size() - 22), 100,
	         "outside"},
	        {"directory offset beyond it", farOffset, 100, "outside"},
	        {"damaged directory record", badCentral, 100, "damaged"},
	        {"more entries than allowed", good, 1, "too many entries"},
	        {"more entries claimed than it holds", zip.Bytes(1000), UINT64_MAX, "damaged"},
	        {"ZIP64 count contradicting the end record", WithZip64End(good, 5, false), 100,
	         "the archive's two end records disagree"},
	        {"ZIP64 locator pointing past itself", zip64Beyond, 100, "damaged ZIP64 directory"},
	        {"not an archive", std::string(4000, 'x'), 100, "not a ZIP archive"},
	        {"shorter than an end record", "PK", 100, "not a ZIP archive"},
	};
	for (auto& test : cases) {
		SCOPED_TRACE(test.name);
		TempFolder temp;
		ArchiveFile file(temp / "installer", test.bytes);
		ZipArchive archive;
		EXPECT_NE(file.Open(&archive, test.maxEntries), B_OK);
		EXPECT_NE(archive.ErrorText().find(test.message), std::string::npos) << archive.ErrorText();
	}
}

namespace {

// The first refusal of the archive: at its directory, else at the first
// entry whose local header or descriptor contradicts it; empty when none.
std::string FirstRefusal(const std::string& bytes)
{
	TempFolder temp;
	ArchiveFile file(temp / "installer", bytes);
	ZipArchive archive;
	if (file.Open(&archive) != B_OK)
		return archive.ErrorText();
	for (const ZipEntry& entry : archive.Entries()) {
		ZipEntryReader reader;
		std::string data;
		if (reader.SetTo(archive, entry) != B_OK || ReadAll(reader, &data) != 0)
			return reader.ErrorText();
	}
	return std::string();
}

} // namespace

namespace {

using Entry = RawZip::Entry;

Entry With(Entry entry, const std::function<void(Entry&)>& change)
{
	change(entry);
	return entry;
}

// A data descriptor giving `size`; in its ZIP64 form when `wide`.
Entry Described(const Entry& entry, uint64 size, bool signature, bool wide = false)
{
	return With(entry, [&](Entry& e) {
		e.descriptor = RawZip::Descriptor(e.crc, e.data.size(), size, signature, wide);
		if (wide)
			e.localExtra = std::string("\x01\x00\x10\x00", 4) + std::string(16, '\0');
	});
}

// The bytes of `entries`, the first local header patched by `patch`.
std::string ArchiveOf(const std::vector<Entry>& entries,
                      const std::function<void(std::string&)>& patch = nullptr,
                      bool reversed = false)
{
	RawZip zip;
	for (const Entry& entry : entries)
		zip.Add(entry);
	if (reversed)
		zip.ReverseDirectory();
	std::string bytes = zip.Bytes();
	if (patch)
		patch(bytes);
	return bytes;
}

std::function<void(std::string&)> Bump(size_t at, char by)
{
	return [at, by](std::string& bytes) { bytes[at] = (char)(bytes[at] + by); };
}

} // namespace

// Archives whose parts contradict one another are refused before their data
// is written, naming the entry; unusual ones that agree with themselves
// (rows without a message) read whole.
TEST(ZipArchiveTest, Contradictions_RefusedNamingTheEntry)
{
	const Entry a = RawZip::Stored("item/a", "alpha");
	const Entry b = RawZip::Stored("item/b", "beta");
	const Entry packed = RawZip::Deflated("item/packed", LargeText(3000));
	auto sharing = [&](const std::string& name) {
		return With(packed, [&](Entry& e) { e.name = name, e.sharesLocalOf = 0; });
	};
	const Entry claiming = With(a, [](Entry& e) { e.claimedExtra = 8; });
	const struct {
		const char* what;
		std::string bytes;
		const char* message;
	} cases[] = {
	        {"a name twice", ArchiveOf({a, With(b, [](Entry& e) { e.name = "item/a"; })}),
	         "the archive holds the entry item/a twice"},
	        {"a file and a folder of one path",
	         ArchiveOf({RawZip::Stored("item/a/", "", 040755), a}),
	         "the entries item/a/ and item/a name one path"},
	        {"names sharing one deflate stream",
	         ArchiveOf({packed, sharing("item/copy1"), sharing("item/copy2")}),
	         "the entries item/packed and item/copy1 overlap"},
	        {"overlap listed out of file order", ArchiveOf({claiming, b}, nullptr, true),
	         "the entries item/a and item/b overlap"},
	        {"data running into the directory", ArchiveOf({claiming}),
	         "the entry item/a runs into the archive's directory"},
	        {"escape sequence in a name", ArchiveOf({RawZip::Stored("item/a\x1b[2Jb", "x")}),
	         "the name of the entry item/a\\x1b[2Jb holds a control character (0x1b)"},
	        {"DEL in a name", ArchiveOf({a, RawZip::Stored("item/\x7f", "x")}),
	         "the name of the entry item/\\x7f holds a control character (0x7f)"},
	        {"local header naming another entry",
	         ArchiveOf({With(a, [](Entry& e) { e.localName = "item/\x07z"; })}),
	         "the local header of item/a names another entry (item/\\x07z)"},
	        {"local extra field reaching the next entry", ArchiveOf({a, b}, Bump(28, 20)),
	         "the entry item/a runs into the entry after it"},
	        {"local size", ArchiveOf({a}, Bump(22, -1)),
	         "the local header of item/a contradicts the directory (size)"},
	        {"local method", ArchiveOf({a}, Bump(8, 8)),
	         "the local header of item/a contradicts the directory (compression method)"},
	        {"descriptor giving another size", ArchiveOf({Described(a, 6, true)}),
	         "the data descriptor of item/a contradicts the directory"},
	        {"descriptor cut off by the next entry",
	         ArchiveOf({With(a, [](Entry& e) { e.descriptor = "PK\x07\x08"; }), b}),
	         "the data descriptor of item/a is missing or runs into the entry after it"},
	        {"names differing in case",
	         ArchiveOf({RawZip::Stored("item/Read", "1"), RawZip::Stored("item/read", "2")}), ""},
	        {"names differing in composition",
	         ArchiveOf({RawZip::Stored("item/caf\xc3\xa9", "1"),
	                    RawZip::Stored("item/cafe\xcc\x81", "2")}),
	         ""},
	        {"descriptors with and without signature",
	         ArchiveOf({Described(a, 5, true), Described(b, 4, false)}), ""},
	        {"ZIP64 descriptor", ArchiveOf({Described(packed, 3000, true, true)}), ""},
	        {"directory out of file order", ArchiveOf({a, b, packed}, nullptr, true), ""},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.what);
		EXPECT_EQ(FirstRefusal(test.bytes), test.message);
	}
}

namespace {

// `count` empty entries below item/, written by our writer.
std::string WrittenEntries(const std::string& path, size_t count)
{
	ZipStreamWriter writer;
	status_t status = writer.Open(path);
	for (size_t i = 0; status == B_OK && i < count; i++) {
		ZipStreamEntry entry;
		entry.name = "item/" + std::to_string(i);
		status = writer.BeginEntry(entry, true);
		if (status == B_OK)
			status = writer.FinishEntry(0, 0, 0);
	}
	EXPECT_EQ(status == B_OK ? writer.Close() : status, B_OK) << writer.ErrorText();
	return ReadText(path);
}

std::string RawEntries(size_t count)
{
	RawZip zip;
	for (size_t i = 0; i < count; i++)
		zip.Add(RawZip::Stored("item/" + std::to_string(i), ""));
	return zip.Bytes();
}

// The count of files `unzip -l` lists in the archive at `path`; -1 without
// unzip.
long UnzipCount(const std::string& path)
{
	if (system("command -v unzip >/dev/null 2>&1") != 0)
		return -1;
	FILE* listing = popen(("unzip -l '" + path + "' 2>&1 | tail -n 1").c_str(), "r");
	long count = -2;
	char line[256] = {};
	if (listing != nullptr && fgets(line, sizeof(line), listing) != nullptr)
		sscanf(line, "%*u %ld file", &count);
	if (listing != nullptr)
		pclose(listing);
	return count;
}

} // namespace

// Archives of more entries than the end record counts carry a ZIP64 record;
// one of exactly 65 535 entries may do without, as Info-ZIP writes it.
TEST(ZipArchiveTest, EntryCounts_ReadAcrossTheClassicLimit)
{
	TempFolder temp;
	struct {
		const char* what;
		size_t entries;
		std::function<std::string(const std::string& path)> make;
		bool zip64; // the end record saturated, a ZIP64 record before it
	} cases[] = {
	        {"65 535, classic record saturated without ZIP64", 65535,
	         [](const std::string&) { return RawEntries(65535); }, false},
	        {"3, ZIP64 record behind a saturated count", 3,
	         [](const std::string&) { return WithZip64End(RawEntries(3), 3, true); }, true},
	        {"65 535 by our writer", 65535,
	         [](const std::string& path) { return WrittenEntries(path, 65535); }, true},
	        {"70 000 by our writer", 70000,
	         [](const std::string& path) { return WrittenEntries(path, 70000); }, true},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string path = temp / "archive.zip";
		const std::string bytes = test.make(path);
		WriteText(path, bytes);
		const uint8* end = (const uint8*)bytes.data() + bytes.size() - 22;
		EXPECT_EQ(zip_get16(end + 10), test.zip64 ? 0xffff : test.entries);
		EXPECT_EQ(zip_get32(end - 20) == kZipZip64Locator, test.zip64);

		ArchiveFile file(temp / "installer", bytes);
		ZipArchive archive;
		// With the limit the installer unpacks payloads with.
		ASSERT_EQ(file.Open(&archive, PayloadExtractor::kDefaultMaxEntries), B_OK)
		        << archive.ErrorText();
		ASSERT_EQ(archive.Entries().size(), test.entries);
		EXPECT_EQ(archive.Entries().back().name, "item/" + std::to_string(test.entries - 1));
		// The stock unzip agrees, when the machine has one.
		const long listed = UnzipCount(path);
		if (listed != -1)
			EXPECT_EQ(listed, (long)test.entries);
	}
}
