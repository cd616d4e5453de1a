// Hostile archives in the payload store: each is refused, and nothing is
// written, inside the destination or outside it.
#include "LibAppResourceFixture.h"

using namespace app_resource_test;

namespace {

// Archives that try to escape, hide behind links, lie about sizes or
// exhaust memory: each is refused and leaves nothing anywhere.
TEST_F(LibAppResourceTest, HostileArchives_RefusedWithNothingWritten)
{
	using Entry = RawZip::Entry;
	std::string outside = fTemp / "outside";
	std::filesystem::create_directories(outside);
	std::string bomb(200000, 'A');
	Entry liar = RawZip::Deflated("item/big", bomb);
	liar.size = 10;
	Entry zstdLiar = RawZip::Zstd("item/big", bomb);
	zstdLiar.size = 10;
	Entry shortEntry = RawZip::Stored("item/short", "12345");
	shortEntry.size = 50;
	Entry badAttributes = RawZip::Stored("item/f", "x");
	badAttributes.localExtra = std::string("\x42\x65\x06\x00\x01\x00\x00\x00\xfe\x00", 10);
	Entry badCrc = RawZip::Stored("item/f", "data");
	badCrc.crc ^= 1;

	struct Case {
		const char* what;
		std::vector<Entry> entries;
	} cases[] = {
	        {"absolute path", {RawZip::Stored("/item", "x")}},
	        {"absolute inside",
	         {RawZip::Stored("item/", "", 040755), RawZip::Stored("//item/x", "x")}},
	        {"dot-dot",
	         {RawZip::Stored("item/", "", 040755), RawZip::Stored("item/../../outside/x", "x")}},
	        {"dot component", {RawZip::Stored("item/./x", "x")}},
	        {"empty component", {RawZip::Stored("item//x", "x")}},
	        {"other top name", {RawZip::Stored("item/x", "x"), RawZip::Stored("other/x", "x")}},
	        {"link then through it",
	         {RawZip::Stored("item/", "", 040755), RawZip::Stored("item/l", outside, 0120777),
	          RawZip::Stored("item/l/evil", "x")}},
	        {"relative link then through it",
	         {RawZip::Stored("item/", "", 040755), RawZip::Stored("item/l", "../..", 0120777),
	          RawZip::Stored("item/l/outside/evil", "x")}},
	        {"file then folder below it",
	         {RawZip::Stored("item/f", "x"), RawZip::Stored("item/f/g", "y")}},
	        {"declared size exceeded", {liar}},
	        {"declared size exceeded by Zstandard", {zstdLiar}},
	        {"declared size not reached", {shortEntry}},
	        {"damaged attributes", {badAttributes}},
	        {"damaged checksum", {badCrc}},
	        {"long leaf", {RawZip::Stored("item/" + std::string(300, 'n'), "x")}},
	        {"long name",
	         {RawZip::Stored("item/" + std::string(200, 'a') + "/" + std::string(200, 'b') + "/" +
	                                 std::string(200, 'c') + "/" + std::string(200, 'd') + "/" +
	                                 std::string(200, 'e') + "/" + std::string(200, 'f'),
	                         "x")}},
	        {"no entries", {}},
	};
	int32 id = 3000;
	for (const Case& c : cases) {
		RawZip zip;
		for (const Entry& entry : c.entries)
			zip.Add(entry);
		AddRaw(fInstaller, ++id, "item", zip.Bytes());
		LibAppResource store(fInstaller.c_str(), B_READ_ONLY);
		testing::internal::CaptureStderr();
		EXPECT_FALSE(store.ExtractEntry(id, (fTemp / "dest/item").c_str(), true)) << c.what;
		// The reason goes to the caller, who names the item; nothing to the terminal.
		EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
		EXPECT_STRNE(store.ExtractError(), "") << c.what;
		EXPECT_TRUE(ListTree(fTemp / "dest").empty()) << c.what;
		EXPECT_TRUE(ListTree(outside).empty()) << c.what;
		EXPECT_FALSE(std::filesystem::exists(fTemp / "x")) << c.what;
	}
}

TEST(PayloadExtractorTest, Limits_TooManyEntriesRefusedBeforeReading)
{
	TempFolder temp;
	RawZip zip;
	for (int i = 0; i < 12; i++)
		zip.Add(RawZip::Stored("item/" + std::to_string(i), "x"));
	WriteText(temp / "few.zip", zip.Bytes());
	// The end record may claim more entries than are there.
	WriteText(temp / "claims.zip", zip.Bytes(60000));
	std::filesystem::create_directories(temp / "out");

	struct Case {
		const char* archive;
		int64 maxEntries;
		bool refused;
	} cases[] = {{"few.zip", 12, false}, {"few.zip", 11, true}, {"claims.zip", 1000, true}};
	for (const Case& c : cases) {
		std::filesystem::remove_all(temp / "out");
		std::filesystem::create_directories(temp / "out");
		PayloadExtractor extractor;
		extractor.SetLimits(c.maxEntries, 1024);
		std::string archive = temp / c.archive;
		status_t status = extractor.Extract(archive.c_str(), 0, std::filesystem::file_size(archive),
		                                    (temp / "out").c_str(), "item");
		EXPECT_EQ(status != B_OK, c.refused) << c.archive << " " << c.maxEntries;
		EXPECT_EQ(ListTree(temp / "out").empty(), c.refused) << c.archive;
	}
}

} // namespace
