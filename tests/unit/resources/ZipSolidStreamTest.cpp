// The reader on entries that share one Zstandard stream: in order, alone or
// backwards, and refusing streams that contradict the directory.
#include <gtest/gtest.h>

#include <zlib.h>

#include <functional>
#include <numeric>

#include "ZipArchiveFixture.h"

using namespace payload_test;

namespace {

using Entries = std::vector<RawZip::Entry>;

// The whole stream in the first entry, which claims all of it; the entries
// continuing it are empty.
Entries WholeStreamInFirst(const Entries& good, const std::vector<std::string>& texts)
{
	Entries early = good;
	std::string all;
	for (const std::string& text : texts)
		all += text;
	early[0].data.clear();
	for (const RawZip::Entry& entry : good)
		early[0].data += entry.data;
	early[0].size = all.size();
	early[0].crc = crc32(0, (const Bytef*)all.data(), all.size());
	for (size_t i = 1; i < early.size(); i++)
		early[i].data.clear(), early[i].size = 0, early[i].crc = 0;
	return early;
}

// The archive of `entries` is refused, by its directory or by the reader
// reading its entries in order, with `message`; nothing past an entry's
// size is handed out.
void ExpectRefused(const Entries& entries, bool byDirectory, const char* message)
{
	TempFolder temp;
	RawZip zip;
	for (const RawZip::Entry& entry : entries)
		zip.Add(entry);
	ArchiveFile file(temp / "installer", zip.Bytes());
	ZipArchive archive;
	const status_t opened = file.Open(&archive);
	if (byDirectory) {
		EXPECT_NE(opened, B_OK);
		EXPECT_NE(archive.ErrorText().find(message), std::string::npos) << archive.ErrorText();
		return;
	}
	ASSERT_EQ(opened, B_OK) << archive.ErrorText();
	ZipEntryReader reader;
	ssize_t result = 0;
	for (const ZipEntry& entry : archive.Entries()) {
		std::string data;
		result = reader.SetTo(archive, entry);
		if (result == B_OK)
			result = ReadAll(reader, &data, 1 << 16);
		EXPECT_LE(data.size(), entry.size) << entry.name;
		if (result < 0)
			break;
	}
	EXPECT_LT(result, 0);
	EXPECT_NE(reader.ErrorText().find(message), std::string::npos) << reader.ErrorText();
}

} // namespace

// Entries sharing one Zstandard stream, with entries outside it between
// them, read alike in directory order through one reader, alone through a
// fresh reader each (decoding the stream from its start), and backwards.
TEST(ZipArchiveTest, SolidStreams_ReadInOrderAloneOrBackwards)
{
	TempFolder temp;
	const std::vector<std::string> first = {LargeText(300 << 10), "short", LargeText(90000)};
	const std::vector<std::string> second = {LargeText(5000), LargeText(400 << 10)};
	std::vector<RawZip::Entry> one = RawZip::Solid({"item/a", "item/b", "item/d"}, first);
	std::vector<RawZip::Entry> two = RawZip::Solid({"item/e", "item/f"}, second);
	RawZip zip;
	zip.Add(RawZip::Stored("item/", "", 040755));
	zip.Add(one[0]);
	zip.Add(one[1]);
	zip.Add(RawZip::Stored("item/c", "between"));
	zip.Add(one[2]);
	zip.Add(two[0]);
	zip.Add(two[1]);
	ArchiveFile file(temp / "installer", zip.Bytes());
	ZipArchive archive;
	ASSERT_EQ(file.Open(&archive), B_OK) << archive.ErrorText();
	const std::vector<std::string> expected = {"",       first[0],  first[1], "between",
	                                           first[2], second[0], second[1]};
	ASSERT_EQ(archive.Entries().size(), expected.size());
	std::vector<size_t> forwards(expected.size());
	std::iota(forwards.begin(), forwards.end(), 0);
	const std::vector<size_t> backwards(forwards.rbegin(), forwards.rend());
	for (const auto& [order, shared] :
	     {std::pair(forwards, true), std::pair(forwards, false), std::pair(backwards, true)}) {
		ZipEntryReader sharedReader;
		for (size_t i : order) {
			SCOPED_TRACE(archive.Entries()[i].name + (shared ? " through one reader" : " alone"));
			ZipEntryReader ownReader;
			ZipEntryReader& reader = shared ? sharedReader : ownReader;
			ASSERT_EQ(reader.SetTo(archive, archive.Entries()[i]), B_OK) << reader.ErrorText();
			std::string data;
			EXPECT_EQ(ReadAll(reader, &data, 70000), 0) << reader.ErrorText();
			EXPECT_TRUE(data == expected[i]);
		}
	}
}

// Shared streams that contradict the directory, or would make the reader
// write past an entry, are refused: by the directory when their marks do
// not hold together, else by the reader before anything past an entry's
// size is handed out.
TEST(ZipArchiveTest, HostileSolidStreams_Refused)
{
	const std::vector<std::string> texts = {LargeText(200 << 10), LargeText(3000),
	                                        LargeText(100 << 10)};
	const std::vector<std::string> names = {"item/a", "item/b", "item/c"};
	const std::vector<RawZip::Entry> good = RawZip::Solid(names, texts);
	auto damaged = [&](const std::function<void(Entries&)>& damage) {
		Entries entries = good;
		damage(entries);
		return entries;
	};
	const Entries early = WholeStreamInFirst(good, texts);
	const std::string wide(20 << 20, 'w');
	struct {
		const char* name;
		Entries entries;
		bool refusedByDirectory;
		const char* message;
	} cases[] = {
	        {"a continuation without a start", damaged([](Entries& e) { e.erase(e.begin()); }),
	         true, "item/b continues a Zstandard stream that no entry before it starts"},
	        {"a mark on a stored entry", damaged([](Entries& e) {
		         e.insert(e.begin() + 1, RawZip::Stored("item/s", "plain"));
		         e[1].centralExtra = RawZip::Mark(1);
	         }),
	         true, "item/s is marked as part of a Zstandard stream"},
	        {"a damaged mark", damaged([](Entries& e) { e[1].centralExtra = RawZip::Mark(7); }),
	         true, "the stream mark of the entry item/b is damaged"},
	        {"a frame stating another size than its entries",
	         damaged([](Entries& e) { e[2].size += 1; }), false, "states"},
	        {"an entry lying about its size, the stream's sum kept",
	         damaged([](Entries& e) { e[1].size -= 10, e[2].size += 10; }), false,
	         "item/b is larger than it declares"},
	        {"a stream that runs past its entry", damaged([](Entries& e) {
		         e[0].data += e[1].data;
		         e[1].data.clear();
	         }),
	         false, "item/a is larger than it declares"},
	        {"an entry whose data stops inside its own part", damaged([](Entries& e) {
		         e[1].data = e[0].data.substr(e[0].data.size() - 100) + e[1].data;
		         e[0].data.resize(e[0].data.size() - 100);
	         }),
	         false, "item/a is shorter than it declares"},
	        {"a stream ending before the entries that continue it", early, false,
	         "ends before the entries that continue it"},
	        {"a last entry cut short", damaged([](Entries& e) { e[2].data.pop_back(); }), false,
	         "item/c is cut short"},
	        {"bytes after the stream's end", damaged([](Entries& e) { e[2].data += "junk"; }),
	         false, "item/c is damaged (bytes after its stream's end)"},
	        {"a frame without its size", RawZip::Solid(names, texts, true), false,
	         "frame of unknown size"},
	        {"a window beyond what a decoder may hold",
	         RawZip::Solid({"item/a", "item/b"}, {wide, "tail"}, false, 25), false,
	         "asks for a window of 20 MB"},
	};
	for (auto& test : cases) {
		SCOPED_TRACE(test.name);
		ExpectRefused(test.entries, test.refusedByDirectory, test.message);
	}
}
