// The R5 flattened form: real files, byte-exact writing, big-endian input and
// hostile buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ByteOrder.h"
#include "Message.h"

namespace {

std::string read_fixture(const char* name)
{
	std::ifstream in(std::string(VANTRY_FIXTURES) + "/" + name, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

// The BEOS:FILE_TYPES message inside pot.rsrc.
std::string pot_message()
{
	std::string file = read_fixture("pot.rsrc");
	size_t at = file.find("1BOF");
	return at == std::string::npos ? std::string() : file.substr(at, 46);
}

std::string flatten(const BMessage& msg)
{
	std::string out;
	EXPECT_EQ(msg.Flatten(&out), B_OK);
	EXPECT_EQ(ssize_t(out.size()), msg.FlattenedSize());
	return out;
}

// Builds flattened R5 messages by hand, in either byte order, so that tests
// can state exactly what a writer put in a buffer.
class RawMessage {
public:
	explicit RawMessage(bool bigEndian = false, uint32 what = 0) : fBig(bigEndian), fWhat(what) {}

	std::string U32(uint32 value) const
	{
		std::string bytes(4, '\0');
		write_u32le(bytes.data(), fBig ? swap32(value) : value);
		return bytes;
	}

	// A variable item: its length, its bytes and padding to 8.
	std::string Variable(const std::string& bytes, char pad = '\0') const
	{
		std::string item = U32(uint32(bytes.size())) + bytes;
		item.append((8 - item.size() % 8) % 8, pad);
		return item;
	}

	RawMessage& Field(uint8 flags, uint32 type, uint32 count, const std::string& name,
	                  const std::string& data)
	{
		bool mini = flags & 0x02;
		std::string record(1, char(flags));
		record += U32(type);
		if (!(flags & 0x08))
			record += mini ? std::string(1, char(count)) : U32(count);
		record += mini ? std::string(1, char(data.size())) : U32(uint32(data.size()));
		record += char(name.size());
		fFields += record + name + data;
		return *this;
	}

	// Appends a raw byte string to the field area.
	RawMessage& Raw(const std::string& bytes)
	{
		fFields += bytes;
		return *this;
	}

	std::string Build(uint8 headerFlags = 0x01, const std::string& headerExtra = "") const
	{
		std::string header = U32('FOB1') + U32(0);
		uint32 size = uint32(17 + headerExtra.size() + fFields.size() + 1);
		std::string sums = U32(size) + U32(fWhat) + std::string(1, char(headerFlags)) + headerExtra;
		uint32 sum = 0;
		size_t i = 0;
		for (; i + 4 <= sums.size(); i += 4)
			sum += read_u32(sums.data() + i, true);
		uint32 tail = 0;
		for (; i < sums.size(); i++)
			tail = (tail << 8) + uint8(sums[i]);
		sum += tail;
		return U32('FOB1') + U32(sum) + sums + fFields + std::string(1, '\0');
	}

private:
	bool fBig;
	uint32 fWhat;
	std::string fFields;
};

std::string le32(uint32 value)
{
	return RawMessage(false).U32(value);
}

// Field by field equality, nested messages included.
void expect_same_fields(const BMessage& a, const BMessage& b, const std::string& where = "")
{
	EXPECT_EQ(a.what, b.what) << where;
	ASSERT_EQ(a.CountNames(B_ANY_TYPE), b.CountNames(B_ANY_TYPE)) << where;
	char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; a.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		char* otherName;
		type_code otherType;
		int32 otherCount;
		ASSERT_EQ(b.GetInfo(B_ANY_TYPE, i, &otherName, &otherType, &otherCount), B_OK);
		std::string here = where + "/" + name;
		ASSERT_STREQ(name, otherName) << here;
		ASSERT_EQ(type, otherType) << here;
		ASSERT_EQ(count, otherCount) << here;
		for (int32 index = 0; index < count; index++) {
			if (type == B_MESSAGE_TYPE) {
				BMessage x, y;
				ASSERT_EQ(a.FindMessage(name, index, &x), B_OK) << here;
				ASSERT_EQ(b.FindMessage(name, index, &y), B_OK) << here;
				expect_same_fields(x, y, here);
				continue;
			}
			const void* x;
			const void* y;
			ssize_t xSize, ySize;
			ASSERT_EQ(a.FindData(name, type, index, &x, &xSize), B_OK);
			ASSERT_EQ(b.FindData(name, type, index, &y, &ySize), B_OK);
			ASSERT_EQ(xSize, ySize) << here;
			EXPECT_EQ(std::memcmp(x, y, size_t(xSize)), 0) << here;
		}
	}
}

TEST(MessageFlattenTest, EmptyMessageHeader)
{
	BMessage msg;
	std::string bytes = flatten(msg);
	// 18 bytes: the checksum of size 18, what 0 and flags 1 is 0x12000001.
	EXPECT_EQ(bytes,
	          std::string("1BOF\x01\x00\x00\x12\x12\x00\x00\x00\x00\x00\x00\x00\x01\x00", 18));
	BMessage back(7);
	ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	EXPECT_TRUE(back.IsEmpty());
	EXPECT_EQ(back.what, 0u);
}

TEST(MessageFlattenTest, PotFileTypesReadsAndWritesIdentically)
{
	std::string pot = pot_message();
	ASSERT_EQ(pot.size(), 46u);
	BMessage msg;
	ASSERT_EQ(msg.Unflatten(pot.data(), ssize_t(pot.size())), B_OK);
	EXPECT_STREQ(msg.FindString("types"), "image");
	EXPECT_EQ(msg.CountNames(B_ANY_TYPE), 1);

	BMessage built;
	built.AddString("types", "image");
	EXPECT_EQ(flatten(built), pot);
	BMessage trusted;
	ASSERT_EQ(trusted.Unflatten(pot.data()), B_OK);
	EXPECT_STREQ(trusted.FindString("types"), "image");
}

TEST(MessageFlattenTest, BitmapArchiveReadsAsTheBitmap)
{
	std::string file = read_fixture("bitmap-128_SmallPlus.msg");
	ASSERT_EQ(file.size(), 264u);
	BMessage msg;
	ASSERT_EQ(msg.Unflatten(file.data(), ssize_t(file.size())), B_OK);
	EXPECT_STREQ(msg.FindString("class"), "BBitmap");
	EXPECT_EQ(msg.FindRect("_frame"), BRect(0, 0, 9, 9));
	EXPECT_EQ(msg.FindInt32("_cspace"), 4);
	EXPECT_EQ(msg.FindInt32("_bmflags"), 1);
	EXPECT_EQ(msg.FindInt32("_rowbytes"), 12);
	const void* data;
	ssize_t size;
	ASSERT_EQ(msg.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
	EXPECT_EQ(size, 120);
}

TEST(MessageFlattenTest, BitmapArchiveWrittenAsR5Writes)
{
	std::string file = read_fixture("bitmap-128_SmallPlus.msg");
	ASSERT_EQ(file.size(), 264u);
	const size_t dataOffset = 264 - 1 - 120;
	BMessage msg;
	msg.AddString("class", "BBitmap");
	msg.AddRect("_frame", BRect(0, 0, 9, 9));
	msg.AddInt32("_cspace", 4);
	msg.AddInt32("_bmflags", 1);
	msg.AddInt32("_rowbytes", 12);
	msg.AddData("_data", B_RAW_TYPE, file.data() + dataOffset, 120);
	std::string ours = flatten(msg);
	ASSERT_EQ(ours.size(), file.size());

	// R5 left stale memory in the padding after "BBitmap\0"; we write zeroes.
	const size_t padStart = 0x29;
	const size_t padEnd = 0x2d;
	for (size_t i = 0; i < ours.size(); i++) {
		if (i >= padStart && i < padEnd) {
			EXPECT_EQ(ours[i], '\0') << "padding at " << i;
			continue;
		}
		EXPECT_EQ(uint8(ours[i]), uint8(file[i])) << "offset " << i;
	}
}

TEST(MessageFlattenTest, LargeNestedFileSurvivesARoundTrip)
{
	std::string file = read_fixture("Website_Login.wonderbrush.msg");
	ASSERT_EQ(file.size(), 8466u);
	BMessage msg;
	ASSERT_EQ(msg.Unflatten(file.data(), ssize_t(file.size())), B_OK);
	type_code type;
	int32 count;
	ASSERT_EQ(msg.GetInfo("layer", &type, &count), B_OK);
	EXPECT_EQ(type, uint32(B_MESSAGE_TYPE));
	EXPECT_EQ(count, 2);
	BMessage layer;
	ASSERT_EQ(msg.FindMessage("layer", 0, &layer), B_OK);
	EXPECT_STREQ(layer.FindString("name"), "button_login.png");
	EXPECT_EQ(layer.FindFloat("alpha"), 1.0f);

	std::string ours = flatten(msg);
	// The file was written by R5 without extra header blocks, so only the
	// padding may differ, never the size.
	EXPECT_EQ(ours.size(), file.size());
	BMessage back;
	ASSERT_EQ(back.Unflatten(ours.data(), ssize_t(ours.size())), B_OK);
	expect_same_fields(msg, back);
	EXPECT_EQ(flatten(back), ours);
}

TEST(MessageFlattenTest, FieldFlagsFollowR5Rules)
{
	struct Case {
		const char* label;
		int items;
		size_t itemSize;
		bool fixed;
		uint8 flags;
	};
	const Case cases[] = {
	        {"fixed single mini", 1, 4, true, 0x0F},
	        {"fixed single big", 1, 256, true, 0x0D},
	        {"variable single mini", 1, 4, false, 0x0B},
	        {"variable single big", 1, 300, false, 0x09},
	        {"fixed multi mini", 3, 4, true, 0x07},
	        {"fixed multi big", 300, 1, true, 0x05},
	        {"variable multi mini", 2, 4, false, 0x03},
	        {"variable multi big", 2, 200, false, 0x01},
	};
	for (const Case& c : cases) {
		BMessage msg;
		std::string item(c.itemSize, 'x');
		for (int i = 0; i < c.items; i++)
			ASSERT_EQ(msg.AddData("f", B_RAW_TYPE, item.data(), ssize_t(item.size()), c.fixed),
			          B_OK);
		std::string bytes = flatten(msg);
		EXPECT_EQ(uint8(bytes[17]), c.flags) << c.label;
		BMessage back;
		ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK) << c.label;
		expect_same_fields(msg, back, c.label);
	}
}

TEST(MessageFlattenTest, EveryTypeRoundTrips)
{
	BMessage inner('innr');
	inner.AddInt16("deep", 9);
	entry_ref ref(5, 1234567890123LL, "file name");
	BMessage msg('rtrp');
	msg.AddString("s", "one");
	msg.AddString("s", "");
	msg.AddInt8("i8", -1);
	msg.AddInt16("i16", 300);
	msg.AddInt32("i32", 70000);
	msg.AddInt64("i64", int64(1) << 50);
	msg.AddBool("b", true);
	msg.AddFloat("f", 0.5f);
	msg.AddDouble("d", 0.125);
	msg.AddPoint("p", BPoint(-1, 2));
	msg.AddRect("r", BRect(1, 2, 30, 40));
	msg.AddRef("ref", &ref);
	msg.AddMessage("m", &inner);
	msg.AddMessage("m", &msg);
	msg.AddData("raw", 'WXYZ', "\0\1\2", 3, false);

	std::string bytes = flatten(msg);
	BMessage back;
	ASSERT_EQ(back.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	expect_same_fields(msg, back);
	entry_ref found;
	ASSERT_EQ(back.FindRef("ref", &found), B_OK);
	EXPECT_EQ(found, ref);
	// The folder path lives in memory only.
	EXPECT_TRUE(found.directory_path.empty());
	bool fixed;
	type_code type;
	ASSERT_EQ(back.GetInfo("raw", &type, &fixed), B_OK);
	EXPECT_FALSE(fixed);

	char small[16];
	EXPECT_EQ(msg.Flatten(small, sizeof(small)), B_BUFFER_OVERFLOW);
}

TEST(MessageFlattenTest, VariablePaddingIsZeroed)
{
	BMessage msg;
	msg.AddString("s", "abcde");
	std::string bytes = flatten(msg);
	// Record: flags, type, size, name length, "s", length 6, "abcde\0", 6 zeroes to 16.
	std::string expected = std::string("\x0b", 1) + le32(B_STRING_TYPE) +
	                       std::string("\x10\x01s", 3) + le32(6) +
	                       std::string("abcde\0\0\0\0\0\0\0", 12) + std::string(1, '\0');
	EXPECT_EQ(bytes.substr(17), expected);
}

TEST(MessageFlattenTest, ReadsBigEndianMessages)
{
	RawMessage nestedRaw(true, 'nest');
	nestedRaw.Field(0x0F, B_INT64_TYPE, 1, "v", std::string("\0\0\0\0\0\0\x01\x02", 8));
	std::string nested = nestedRaw.Build();

	RawMessage raw(true, 'bige');
	std::string floats =
	        raw.U32(0x3F800000) + raw.U32(0x40000000) + raw.U32(0x40400000) + raw.U32(0x40800000);
	raw.Field(0x0F, B_INT32_TYPE, 1, "int", raw.U32(0x01020304))
	        .Field(0x07, B_INT16_TYPE, 2, "shorts", std::string("\x01\x00\x00\x02", 4))
	        .Field(0x0F, B_RECT_TYPE, 1, "rect", floats)
	        .Field(0x0B, B_STRING_TYPE, 1, "str", raw.Variable(std::string("big\0", 4), '\x5a'))
	        .Field(0x09, B_MESSAGE_TYPE, 1, "msg", raw.Variable(nested))
	        .Field(0x0B, B_REF_TYPE, 1, "ref",
	               raw.Variable(raw.U32(7) + std::string("\0\0\0\0\0\0\0\x09", 8) + "n" + '\0'));
	std::string bytes = raw.Build();
	ASSERT_EQ(bytes.substr(0, 4), "FOB1");

	BMessage msg;
	ASSERT_EQ(msg.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	EXPECT_EQ(msg.what, uint32('bige'));
	EXPECT_EQ(msg.FindInt32("int"), 0x01020304);
	EXPECT_EQ(msg.FindInt16("shorts", 0), 0x0100);
	EXPECT_EQ(msg.FindInt16("shorts", 1), 0x0002);
	EXPECT_EQ(msg.FindRect("rect"), BRect(1, 2, 3, 4));
	EXPECT_STREQ(msg.FindString("str"), "big");
	BMessage inner;
	ASSERT_EQ(msg.FindMessage("msg", &inner), B_OK);
	EXPECT_EQ(inner.what, uint32('nest'));
	EXPECT_EQ(inner.FindInt64("v"), 0x0102);
	entry_ref ref;
	ASSERT_EQ(msg.FindRef("ref", &ref), B_OK);
	EXPECT_EQ(ref, entry_ref(7, 9, "n"));

	// Written back, it is little-endian.
	std::string ours = flatten(msg);
	EXPECT_EQ(ours.substr(0, 4), "1BOF");
	BMessage back;
	ASSERT_EQ(back.Unflatten(ours.data(), ssize_t(ours.size())), B_OK);
	expect_same_fields(msg, back);
}

TEST(MessageFlattenTest, ToleratesWhatRealFilesBend)
{
	RawMessage raw(false, 'bend');
	// Haiku's writer: a small field without the mini flag; stale padding;
	// a target token and a reply block in the header.
	raw.Field(0x0D, B_INT32_TYPE, 1, "big", le32(5))
	        .Field(0x01, B_STRING_TYPE, 2, "strs",
	               raw.Variable(std::string("a\0", 2), '\xee') +
	                       raw.Variable(std::string("bc\0", 3), '\x77'));
	std::string extra = le32(3) + le32(1) + le32(2) + le32(3) + std::string("\0\1\0\0", 4);
	std::string bytes = raw.Build(0x07, extra);
	BMessage msg;
	ASSERT_EQ(msg.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	EXPECT_EQ(msg.FindInt32("big"), 5);
	EXPECT_STREQ(msg.FindString("strs", 1), "bc");

	// A field name repeated continues the field.
	RawMessage twice;
	twice.Field(0x0F, B_INT32_TYPE, 1, "n", le32(1)).Field(0x0F, B_INT32_TYPE, 1, "n", le32(2));
	bytes = twice.Build();
	ASSERT_EQ(msg.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	EXPECT_EQ(msg.FindInt32("n", 1), 2);
	// So it does in a message of many fields, early and late ones alike.
	RawMessage many;
	for (int i = 0; i < 40; i++)
		many.Field(0x0F, B_INT32_TYPE, 1, "f" + std::to_string(i), le32(uint32(i)));
	many.Field(0x0F, B_INT32_TYPE, 1, "f3", le32(103))
	        .Field(0x0F, B_INT32_TYPE, 1, "f39", le32(139));
	many.Field(0x0F, B_INT32_TYPE, 1, "f20", le32(120));
	bytes = many.Build();
	ASSERT_EQ(msg.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	EXPECT_EQ(msg.CountNames(B_ANY_TYPE), 40);
	for (const auto& [name, value] :
	     {std::pair<const char*, int32>{"f3", 103}, {"f39", 139}, {"f20", 120}}) {
		int32 count = 0;
		msg.GetInfo(name, nullptr, &count);
		EXPECT_EQ(count, 2) << name;
		EXPECT_EQ(msg.FindInt32(name, 1), value) << name;
	}
	EXPECT_EQ(msg.FindInt32("f17"), 17);

	// Bytes after the end marker are not the message's.
	bytes = RawMessage().Field(0x0F, B_INT8_TYPE, 1, "x", "\x05").Build() + "trailing";
	ASSERT_EQ(msg.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	EXPECT_EQ(msg.FindInt8("x"), 5);
}

TEST(MessageFlattenTest, OtherFormatsAreRecognised)
{
	struct Case {
		const char* label;
		std::string bytes;
		status_t expected;
	};
	std::string tail(64, '\0');
	const Case cases[] = {
	        {"Dano LE", "2BOF" + tail, B_NOT_SUPPORTED},
	        {"Dano BE", "FOB2" + tail, B_NOT_SUPPORTED},
	        {"Haiku LE", "HMF1" + tail, B_NOT_SUPPORTED},
	        {"Haiku BE", "1FMH" + tail, B_NOT_SUPPORTED},
	        {"garbage", "abcd" + tail, B_BAD_VALUE},
	        {"too short", "1B", B_BAD_VALUE},
	};
	for (const Case& c : cases) {
		BMessage msg;
		EXPECT_EQ(msg.Unflatten(c.bytes.data(), ssize_t(c.bytes.size())), c.expected) << c.label;
	}
}

TEST(MessageFlattenTest, EveryTruncationFailsAndLeavesTheMessageAlone)
{
	std::string file = read_fixture("bitmap-128_SmallPlus.msg");
	ASSERT_FALSE(file.empty());
	for (size_t length = 0; length < file.size(); length++) {
		// A copy of exactly `length` bytes, so a sanitizer sees any overread.
		std::vector<char> cut(file.begin(), file.begin() + ssize_t(length));
		BMessage msg('keep');
		msg.AddInt32("kept", 1);
		EXPECT_NE(msg.Unflatten(cut.data(), ssize_t(length)), B_OK) << length;
		EXPECT_EQ(msg.what, uint32('keep'));
		EXPECT_EQ(msg.FindInt32("kept"), 1);
	}
}

TEST(MessageFlattenTest, MalformedBuffersFailCleanly)
{
	RawMessage r;
	std::string bad;
	struct Case {
		const char* label;
		std::string bytes;
	};
	std::string goodField = std::string("\x0f", 1) + le32(B_INT32_TYPE) + "\x04\x01n" + le32(1);
	std::string wrongSum = RawMessage().Raw(goodField).Build();
	wrongSum[4] ^= 1;
	std::string tooLarge = RawMessage().Raw(goodField).Build();
	write_u32le(tooLarge.data() + 8, 1000);
	std::string noEnd = RawMessage().Raw(goodField).Build();
	noEnd.pop_back();
	noEnd.push_back('\x0f');

	const Case cases[] = {
	        {"wrong checksum", wrongSum},
	        {"size beyond buffer", tooLarge},
	        {"no end marker", noEnd},
	        {"huge count fixed", RawMessage()
	                                     .Raw(std::string("\x05", 1) + le32(B_INT32_TYPE) +
	                                          le32(0x7fffffff) + le32(4) + "\x01n" + le32(1))
	                                     .Build()},
	        {"huge count variable",
	         RawMessage()
	                 .Raw(std::string("\x01", 1) + le32(B_STRING_TYPE) + le32(0x7fffffff) +
	                      le32(8) + "\x01n" + le32(1) + "a\0\0\0")
	                 .Build()},
	        {"huge data size", RawMessage()
	                                   .Raw(std::string("\x0d", 1) + le32(B_RAW_TYPE) +
	                                        le32(0xfffffff0) + "\x01n" + "xxxx")
	                                   .Build()},
	        {"huge item length",
	         RawMessage().Field(0x0B, B_STRING_TYPE, 1, "s", le32(0xfffffff0) + "abcd").Build()},
	        {"item longer than field",
	         RawMessage().Field(0x0B, B_STRING_TYPE, 1, "s", le32(5) + "abcd").Build()},
	        {"zero count", RawMessage().Field(0x07, B_INT32_TYPE, 0, "n", le32(1)).Build()},
	        {"uneven fixed items",
	         RawMessage().Field(0x07, B_INT32_TYPE, 3, "n", le32(1) + "x").Build()},
	        {"zero-size fixed", RawMessage().Field(0x07, B_INT32_TYPE, 200, "n", "").Build()},
	        {"name past end",
	         RawMessage().Raw(std::string("\x0f", 1) + le32(B_INT8_TYPE) + "\x01\xff").Build()},
	        {"broken nested",
	         RawMessage()
	                 .Field(0x0B, B_MESSAGE_TYPE, 1, "m", r.Variable("1BOFjunkjunkjunkjunk"))
	                 .Build()},
	        {"nested item longer than field",
	         RawMessage()
	                 .Field(0x0B, B_MESSAGE_TYPE, 1, "m", le32(64) + RawMessage().Build())
	                 .Build()},
	        {"nested count past the data",
	         RawMessage()
	                 .Field(0x03, B_MESSAGE_TYPE, 3, "m", r.Variable(RawMessage().Build()))
	                 .Build()},
	        {"type clash on repeat", RawMessage()
	                                         .Field(0x0F, B_INT32_TYPE, 1, "n", le32(1))
	                                         .Field(0x0F, B_FLOAT_TYPE, 1, "n", le32(1))
	                                         .Build()},
	};
	for (const Case& c : cases) {
		BMessage msg;
		EXPECT_NE(msg.Unflatten(c.bytes.data(), ssize_t(c.bytes.size())), B_OK) << c.label;
		EXPECT_TRUE(msg.IsEmpty()) << c.label;
	}
	BMessage msg;
	EXPECT_EQ(msg.Unflatten(nullptr, 10), B_BAD_VALUE);
	EXPECT_EQ(msg.Unflatten(nullptr), B_BAD_VALUE);
}

// Wraps a message `levels` times, each level a field holding the one below.
std::string nest(int levels)
{
	std::string bytes = RawMessage().Build();
	for (int i = 0; i < levels; i++)
		bytes = RawMessage()
		                .Field(0x09, B_MESSAGE_TYPE, 1, "m", RawMessage().Variable(bytes))
		                .Build();
	return bytes;
}

TEST(MessageFlattenTest, NestingDepthIsCapped)
{
	std::string fine = nest(64);
	BMessage msg;
	EXPECT_EQ(msg.Unflatten(fine.data(), ssize_t(fine.size())), B_OK);
	std::string deep = nest(65);
	EXPECT_NE(msg.Unflatten(deep.data(), ssize_t(deep.size())), B_OK);
	std::string deeper = nest(2000);
	EXPECT_NE(msg.Unflatten(deeper.data(), ssize_t(deeper.size())), B_OK);
}

} // namespace
