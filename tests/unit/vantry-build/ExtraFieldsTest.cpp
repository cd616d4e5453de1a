// The extra fields of payload entries, byte for byte.
#include "ExtraFields.h"

#include <gtest/gtest.h>

#include "ZipReader.h"

namespace {

std::string bytes(std::initializer_list<int> values)
{
	std::string out;
	for (int value : values)
		out.push_back((char)value);
	return out;
}

TEST(ExtraFieldsTest, TimeFieldHoldsModifiedAndAccessedLocallyModifiedCentrally)
{
	ExtraField field = encode_time_field(0x12345678, 0x01020304);
	EXPECT_EQ(field.local, bytes({0x03, 0x78, 0x56, 0x34, 0x12, 0x04, 0x03, 0x02, 0x01}));
	EXPECT_EQ(field.central, bytes({0x03, 0x78, 0x56, 0x34, 0x12}));
}

TEST(ExtraFieldsTest, TimesOutsideThe32BitRangeArePinned)
{
	ExtraField field = encode_time_field(5000000000LL, -5000000000LL);
	EXPECT_EQ(field.local, bytes({0x03, 0xff, 0xff, 0xff, 0x7f, 0x00, 0x00, 0x00, 0x80}));
}

TEST(ExtraFieldsTest, OwnerFieldIsLittleEndianAndEmptyCentrally)
{
	struct Case {
		uint32 uid, gid;
		std::string local;
	} cases[] = {
	        {1000, 100, bytes({0xe8, 0x03, 0x64, 0x00})},
	        {0, 0, bytes({0, 0, 0, 0})},
	        // Ids the field cannot hold become "nobody" rather than another user.
	        {100000, 70000, bytes({0xfe, 0xff, 0xfe, 0xff})},
	};
	for (const Case& c : cases) {
		ExtraField field = encode_owner_field(c.uid, c.gid);
		EXPECT_EQ(field.local, c.local) << c.uid;
		EXPECT_TRUE(field.central.empty());
	}
}

TEST(ExtraFieldsTest, AttributeRecordsAreBigEndianWithNumbersSwapped)
{
	std::vector<AttributeRecord> attributes = {
	        {"BEOS:TYPE", 'MIMS', std::string("text/plain\0", 11)},
	        {"Count", 'LONG', bytes({0x04, 0x03, 0x02, 0x01})},
	        {"Odd", 'LONG', bytes({1, 2, 3})},
	};
	std::string expected = std::string("BEOS:TYPE\0", 10) + bytes({'M', 'I', 'M', 'S'}) +
	                       bytes({0, 0, 0, 0, 0, 0, 0, 11}) + std::string("text/plain\0", 11) +
	                       std::string("Count\0", 6) + bytes({'L', 'O', 'N', 'G'}) +
	                       bytes({0, 0, 0, 0, 0, 0, 0, 4}) + bytes({0x01, 0x02, 0x03, 0x04}) +
	                       std::string("Odd\0", 4) + bytes({'L', 'O', 'N', 'G'}) +
	                       bytes({0, 0, 0, 0, 0, 0, 0, 3}) + bytes({1, 2, 3});
	EXPECT_EQ(encode_attribute_records(attributes), expected);
}

TEST(ExtraFieldsTest, SmallAttributeBlockIsStoredAsItIs)
{
	std::string records =
	        std::string("A\0", 2) + bytes({'C', 'S', 'T', 'R', 0, 0, 0, 0, 0, 0, 0, 1}) + "x";
	ExtraField field = encode_beos_field(records, 6);
	std::string size = bytes({(int)records.size(), 0, 0, 0});
	EXPECT_EQ(field.local, size + bytes({0x01}) + records);
	EXPECT_EQ(field.central, size + bytes({0x01}));
}

TEST(ExtraFieldsTest, LargeAttributeBlockIsDeflatedWithMethodAndCrc)
{
	std::string records = std::string("Long\0", 5) +
	                      bytes({'C', 'S', 'T', 'R', 0, 0, 0, 0, 0, 0, 0x0f, 0xa0}) +
	                      std::string(4000, 'a');
	ExtraField field = encode_beos_field(records, 6);
	ASSERT_GT(field.local.size(), 11u);
	EXPECT_LT(field.local.size(), records.size());
	EXPECT_EQ(zip32(field.local, 0), records.size());
	EXPECT_EQ(field.local[4], 0) << "flags: compressed";
	EXPECT_EQ(zip16(field.local, 5), 8) << "method deflate";
	EXPECT_EQ(zip32(field.local, 7),
	          (uint32)crc32(0, (const Bytef*)records.data(), (uInt)records.size()));
	std::string inflated;
	ASSERT_TRUE(inflate_raw(field.local.substr(11), &inflated));
	EXPECT_EQ(inflated, records);
	EXPECT_EQ(field.central.size(), 5u);
	EXPECT_EQ(zip32(field.central, 0), field.local.size() - 5) << "central: length as stored";
	EXPECT_EQ(field.central[4], 0);
}

} // namespace
