// The streaming ZIP writer: entries with sizes known at once or patched
// afterwards, UTF-8 names and ZIP64 records, read back by the installer's
// reader and tested by the stock unzip.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "TempFolder.h"
#include "ZipArchive.h"
#include "ZipEntryReader.h"
#include "ZipFormat.h"
#include "ZipStreamWriter.h"

namespace {

struct Planned {
	std::string name;
	std::string data;
	bool sizesKnown;
};

struct WriterCase {
	const char* label;
	std::vector<Planned> entries;
	size_t emptyEntries; // stored empty entries added after the planned ones
};

std::string pattern(size_t size)
{
	std::string text;
	for (size_t i = 0; text.size() < size; i++)
		text += "line " + std::to_string(i * 7919 % 1000) + "\n";
	text.resize(size);
	return text;
}

status_t write_archive(const std::string& path, const WriterCase& test)
{
	ZipStreamWriter writer;
	status_t status = writer.Open(path);
	for (const Planned& planned : test.entries) {
		ZipStreamEntry entry;
		entry.name = planned.name;
		entry.dosTime = zip_dos_time(1700000000);
		entry.external = (uint32)(S_IFREG | 0644) << 16;
		entry.crc = (uint32)crc32(0, (const Bytef*)planned.data.data(), (uInt)planned.data.size());
		entry.size = entry.compressedSize = planned.data.size();
		if (status == B_OK)
			status = writer.BeginEntry(entry, planned.sizesKnown);
		// Written in two pieces, as chunks come.
		const size_t half = planned.data.size() / 2;
		if (status == B_OK)
			status = writer.WriteData(planned.data.data(), half);
		if (status == B_OK)
			status = writer.WriteData(planned.data.data() + half, planned.data.size() - half);
		if (status == B_OK)
			status = writer.FinishEntry(entry.crc, entry.size, entry.size);
	}
	for (size_t i = 0; status == B_OK && i < test.emptyEntries; i++) {
		ZipStreamEntry entry;
		entry.name = "e" + std::to_string(i);
		status = writer.BeginEntry(entry, true);
		if (status == B_OK)
			status = writer.FinishEntry(0, 0, 0);
	}
	return status == B_OK ? writer.Close() : status;
}

class ZipStreamWriterTest : public testing::TestWithParam<WriterCase> {
protected:
	TempFolder fFolder;
};

TEST_P(ZipStreamWriterTest, ReadBackByOurReaderAndByUnzip)
{
	const WriterCase& test = GetParam();
	const std::string path = fFolder / "out.zip";
	ASSERT_EQ(write_archive(path, test), B_OK);

	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	struct stat info;
	ASSERT_EQ(fstat(fd, &info), 0);
	ZipArchive archive;
	ASSERT_EQ(archive.SetTo(fd, 0, info.st_size, 1 << 20), B_OK) << archive.ErrorText();
	ASSERT_EQ(archive.Entries().size(), test.entries.size() + test.emptyEntries);
	for (size_t i = 0; i < test.entries.size(); i++) {
		const ZipEntry& entry = archive.Entries()[i];
		EXPECT_EQ(entry.name, test.entries[i].name);
		EXPECT_EQ(entry.system, 16) << "made on BeOS";
		const bool wide = test.entries[i].name.find('\xc3') != std::string::npos;
		EXPECT_EQ((entry.flags & 0x0800) != 0, wide) << entry.name;
		ZipEntryReader reader;
		ASSERT_EQ(reader.SetTo(archive, entry), B_OK) << entry.name;
		std::string data(test.entries[i].data.size() + 1, '\0');
		std::string read;
		ssize_t got;
		while ((got = reader.Read(data.data(), data.size())) > 0)
			read.append(data.data(), (size_t)got);
		EXPECT_EQ(got, 0) << entry.name;
		EXPECT_EQ(read, test.entries[i].data) << entry.name;
	}
	close(fd);

	const std::string command = "unzip -tqq '" + path + "' >/dev/null 2>&1";
	EXPECT_EQ(system(command.c_str()), 0) << "unzip finds the archive damaged";
}

INSTANTIATE_TEST_SUITE_P(
        Archives, ZipStreamWriterTest,
        testing::Values(WriterCase{"KnownAndPatchedSizes",
                                   {{"a.txt", "alpha", true},
                                    {"big", pattern(300000), false},
                                    {"dir/", "", true},
                                    {"dir/b", pattern(70000), true}},
                                   0},
                        WriterCase{"Utf8Name", {{"caf\xc3\xa9.txt", "coffee", false}}, 0},
                        // More entries than the classic end record counts.
                        WriterCase{"Zip64EntryCount", {{"first", "data", false}}, 70000}),
        [](const testing::TestParamInfo<WriterCase>& info) { return info.param.label; });

TEST(ZipStreamWriterFailure, DiscardedOrUnwritableArchiveLeavesNoFile)
{
	TempFolder folder;
	ZipStreamWriter writer;
	EXPECT_NE(writer.Open(folder / "missing/out.zip"), B_OK);
	EXPECT_NE(writer.ErrorText().find(folder / "missing/out.zip"), std::string::npos);

	ZipStreamWriter discarded;
	ASSERT_EQ(discarded.Open(folder / "half.zip"), B_OK);
	ZipStreamEntry entry;
	entry.name = "a";
	ASSERT_EQ(discarded.BeginEntry(entry, false), B_OK);
	EXPECT_NE(discarded.Close(), B_OK) << "an entry is still open";
	discarded.Discard();
	EXPECT_FALSE(std::filesystem::exists(folder / "half.zip"));
}

} // namespace
