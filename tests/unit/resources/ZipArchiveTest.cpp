// The installer's ZIP reader: directories read from a byte range of a file,
// entries streamed whole, and every kind of damage reported, not written.
#include <fcntl.h>
#include <unistd.h>

#include <functional>

#include "PayloadTestSupport.h"
#include "ZipArchive.h"
#include "ZipEntryReader.h"

using namespace payload_test;

namespace {

// Text that deflates well but spans several of the reader's input chunks.
std::string LargeText(size_t size)
{
	std::string text;
	uint32 state = 7;
	while (text.size() < size) {
		state = state * 1103515245 + 12345;
		text += "line " + std::to_string(state >> 8) +
		        (state & 0x100 ? " install\n" : " payload\n");
	}
	text.resize(size);
	return text;
}

// An archive written at `offset` of a file between foreign bytes, as a
// resource lies in an installer.
class ArchiveFile {
public:
	ArchiveFile(const std::string& path, const std::string& archive, size_t offset = 1000)
	    : fOffset(offset), fSize(archive.size())
	{
		WriteText(path, std::string(offset, 'E') + archive + std::string(300, 'T'));
		fFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	}
	~ArchiveFile() { close(fFd); }

	status_t Open(ZipArchive* archive, uint64 maxEntries = 100) const
	{
		return archive->SetTo(fFd, fOffset, fSize, maxEntries);
	}

private:
	int fFd;
	off_t fOffset;
	off_t fSize;
};

// Reads the whole entry in pieces, small by default; the status of the
// last read.
ssize_t ReadAll(ZipEntryReader& reader, std::string* data, size_t piece = 1000)
{
	std::string buffer(piece, '\0');
	ssize_t read;
	while ((read = reader.Read(buffer.data(), piece)) > 0)
		data->append(buffer.data(), read);
	return read;
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
	ArchiveFile file(temp / "installer", zip.Bytes());
	ZipArchive archive;
	ASSERT_EQ(file.Open(&archive), B_OK) << archive.ErrorText();

	struct {
		const char* name;
		std::string data;
	} expected[] = {{"item/", ""},
	                {"item/stored", "kept as it is"},
	                {"item/large", large},
	                {"item/wide", large}};
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
TEST(ZipArchiveTest, DamagedEntries_ReportedBeforeTheirEnd)
{
	for (size_t length : {200 << 10, 600 << 10, 5 << 20}) {
		const RawZip::Entry whole = RawZip::Deflated("item/x", LargeText(length));
		for (size_t piece : {size_t(1000), size_t(1 << 20)}) {
			SCOPED_TRACE(std::to_string(length) + " read by " + std::to_string(piece));
			CheckDamagedEntries(whole, piece);
		}
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
