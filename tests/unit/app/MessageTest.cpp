// BMessage fields: adding, finding in both forms, replacing, removing and
// the information calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Message.h"
#include "MessageDelivery.h"
#include "MessagePrinter.h"

namespace {

TEST(MessageTest, AddAndFindEveryType)
{
	BMessage msg('test');
	entry_ref ref(3, 77, "leaf");
	ref.directory_path = "/tmp/folder";
	BMessage inner('innr');
	inner.AddString("s", "nested");
	int marker = 0;

	ASSERT_EQ(msg.AddString("string", "text"), B_OK);
	ASSERT_EQ(msg.AddInt8("int8", -8), B_OK);
	ASSERT_EQ(msg.AddInt16("int16", -1600), B_OK);
	ASSERT_EQ(msg.AddInt32("int32", -320000), B_OK);
	ASSERT_EQ(msg.AddInt64("int64", -(int64(1) << 40)), B_OK);
	ASSERT_EQ(msg.AddBool("bool", true), B_OK);
	ASSERT_EQ(msg.AddFloat("float", 1.5f), B_OK);
	ASSERT_EQ(msg.AddDouble("double", 2.25), B_OK);
	ASSERT_EQ(msg.AddPoint("point", BPoint(3, 4)), B_OK);
	ASSERT_EQ(msg.AddRect("rect", BRect(1, 2, 3, 4)), B_OK);
	ASSERT_EQ(msg.AddPointer("pointer", &marker), B_OK);
	ASSERT_EQ(msg.AddRef("ref", &ref), B_OK);
	ASSERT_EQ(msg.AddMessage("message", &inner), B_OK);
	ASSERT_EQ(msg.AddData("data", 'ABCD', "\x01\x02\x03", 3), B_OK);

	const char* string = nullptr;
	int8 i8 = 0;
	int16 i16 = 0;
	int32 i32 = 0;
	int64 i64 = 0;
	bool b = false;
	float f = 0;
	double d = 0;
	BPoint point;
	BRect rect;
	void* pointer = nullptr;
	entry_ref foundRef;
	BMessage foundInner;
	const void* data = nullptr;
	ssize_t size = 0;
	EXPECT_EQ(msg.FindString("string", &string), B_OK);
	EXPECT_STREQ(string, "text");
	EXPECT_EQ(msg.FindInt8("int8", &i8), B_OK);
	EXPECT_EQ(i8, -8);
	EXPECT_EQ(msg.FindInt16("int16", &i16), B_OK);
	EXPECT_EQ(i16, -1600);
	EXPECT_EQ(msg.FindInt32("int32", &i32), B_OK);
	EXPECT_EQ(i32, -320000);
	EXPECT_EQ(msg.FindInt64("int64", &i64), B_OK);
	EXPECT_EQ(i64, -(int64(1) << 40));
	EXPECT_EQ(msg.FindBool("bool", &b), B_OK);
	EXPECT_TRUE(b);
	EXPECT_EQ(msg.FindFloat("float", &f), B_OK);
	EXPECT_EQ(f, 1.5f);
	EXPECT_EQ(msg.FindDouble("double", &d), B_OK);
	EXPECT_EQ(d, 2.25);
	EXPECT_EQ(msg.FindPoint("point", &point), B_OK);
	EXPECT_EQ(point, BPoint(3, 4));
	EXPECT_EQ(msg.FindRect("rect", &rect), B_OK);
	EXPECT_EQ(rect, BRect(1, 2, 3, 4));
	EXPECT_EQ(msg.FindPointer("pointer", &pointer), B_OK);
	EXPECT_EQ(pointer, &marker);
	EXPECT_EQ(msg.FindRef("ref", &foundRef), B_OK);
	EXPECT_EQ(foundRef, ref);
	EXPECT_EQ(foundRef.directory_path, "/tmp/folder");
	EXPECT_EQ(msg.FindMessage("message", &foundInner), B_OK);
	EXPECT_EQ(foundInner.what, uint32('innr'));
	EXPECT_STREQ(foundInner.FindString("s"), "nested");
	EXPECT_EQ(msg.FindData("data", 'ABCD', &data, &size), B_OK);
	ASSERT_EQ(size, 3);
	EXPECT_EQ(std::memcmp(data, "\x01\x02\x03", 3), 0);
	EXPECT_EQ(msg.CountNames(B_ANY_TYPE), 14);
}

TEST(MessageTest, AddingToANameAppendsAndKeepsOrder)
{
	BMessage msg;
	ASSERT_EQ(msg.AddInt32("n", 1), B_OK);
	ASSERT_EQ(msg.AddString("s", "a"), B_OK);
	ASSERT_EQ(msg.AddInt32("n", 2), B_OK);
	ASSERT_EQ(msg.AddString("s", "bb"), B_OK);
	EXPECT_EQ(msg.AddString("n", "wrong"), B_BAD_TYPE);

	type_code type;
	int32 count;
	ASSERT_EQ(msg.GetInfo("n", &type, &count), B_OK);
	EXPECT_EQ(type, uint32(B_INT32_TYPE));
	EXPECT_EQ(count, 2);
	EXPECT_EQ(msg.FindInt32("n", 1), 2);
	EXPECT_STREQ(msg.FindString("s", 1), "bb");

	char* name;
	ASSERT_EQ(msg.GetInfo(B_ANY_TYPE, 0, &name, &type, &count), B_OK);
	EXPECT_STREQ(name, "n");
	ASSERT_EQ(msg.GetInfo(B_ANY_TYPE, 1, &name, &type, &count), B_OK);
	EXPECT_STREQ(name, "s");
	EXPECT_EQ(msg.GetInfo(B_ANY_TYPE, 2, &name, &type, &count), B_BAD_INDEX);
	EXPECT_EQ(msg.GetInfo(B_STRING_TYPE, 0, &name, &type, &count), B_OK);
	EXPECT_STREQ(name, "s");
	EXPECT_EQ(msg.GetInfo(B_RECT_TYPE, 0, &name, &type, &count), B_BAD_TYPE);
	EXPECT_EQ(msg.CountNames(B_STRING_TYPE), 1);
}

TEST(MessageTest, FixedFieldsKeepOneItemSize)
{
	BMessage msg;
	bool fixed = false;
	type_code type;
	ASSERT_EQ(msg.AddData("raw", B_RAW_TYPE, "abcd", 4), B_OK);
	EXPECT_EQ(msg.AddData("raw", B_RAW_TYPE, "abc", 3), B_BAD_VALUE);
	EXPECT_EQ(msg.AddData("raw", B_RAW_TYPE, "wxyz", 4), B_OK);
	ASSERT_EQ(msg.GetInfo("raw", &type, &fixed), B_OK);
	EXPECT_TRUE(fixed);

	ASSERT_EQ(msg.AddData("var", B_RAW_TYPE, "abcd", 4, false), B_OK);
	EXPECT_EQ(msg.AddData("var", B_RAW_TYPE, "abc", 3, true), B_OK);
	ASSERT_EQ(msg.GetInfo("var", &type, &fixed), B_OK);
	EXPECT_FALSE(fixed);

	ASSERT_EQ(msg.AddString("str", "x"), B_OK);
	ASSERT_EQ(msg.GetInfo("str", &type, &fixed), B_OK);
	EXPECT_FALSE(fixed);
	EXPECT_EQ(msg.AddData("empty", B_RAW_TYPE, nullptr, 0), B_BAD_VALUE);
	EXPECT_EQ(msg.ReplaceData("raw", B_RAW_TYPE, 1, "toolong", 7), B_BAD_VALUE);
}

TEST(MessageTest, StatusFindsReportWhyAndLeaveOutputAlone)
{
	BMessage msg;
	msg.AddInt32("n", 5);
	struct Case {
		const char* name;
		int32 index;
		status_t expected;
	};
	const Case cases[] = {
	        {"n", 0, B_OK},
	        {"n", 1, B_BAD_INDEX},
	        {"n", -1, B_BAD_INDEX},
	        {"missing", 0, B_NAME_NOT_FOUND},
	};
	for (const Case& c : cases) {
		int32 value = 99;
		EXPECT_EQ(msg.FindInt32(c.name, c.index, &value), c.expected) << c.name << c.index;
		EXPECT_EQ(value, c.expected == B_OK ? 5 : 99);
	}
	const char* string = "untouched";
	EXPECT_EQ(msg.FindString("n", &string), B_BAD_TYPE);
	EXPECT_STREQ(string, "untouched");
	int32 value = 99;
	EXPECT_EQ(msg.FindInt32(nullptr, &value), B_BAD_VALUE);
}

TEST(MessageTest, ValueFindsAnswerAbsentValues)
{
	BMessage msg;
	msg.AddString("wrongtype", "x");
	for (const char* name : {"absent", "wrongtype"}) {
		EXPECT_EQ(msg.FindString(name == std::string("wrongtype") ? "other" : name), nullptr);
		EXPECT_EQ(msg.FindInt8(name), 0);
		EXPECT_EQ(msg.FindInt16(name), 0);
		EXPECT_EQ(msg.FindInt32(name), 0);
		EXPECT_EQ(msg.FindInt64(name), 0);
		EXPECT_FALSE(msg.FindBool(name));
		EXPECT_EQ(msg.FindFloat(name), 0.0f);
		EXPECT_EQ(msg.FindDouble(name), 0.0);
		EXPECT_EQ(msg.FindPoint(name), B_ORIGIN);
		EXPECT_FALSE(msg.FindRect(name).IsValid());
	}
	EXPECT_STREQ(msg.FindString("wrongtype"), "x");
	EXPECT_EQ(msg.FindString("wrongtype", 1), nullptr);
}

TEST(MessageTest, HasChecksTypeAndIndex)
{
	BMessage msg;
	BMessage inner;
	msg.AddString("s", "a");
	msg.AddBool("b", false);
	msg.AddMessage("m", &inner);
	msg.AddInt8("i8", 1);
	msg.AddInt16("i16", 1);
	EXPECT_TRUE(msg.HasString("s"));
	EXPECT_FALSE(msg.HasString("s", 1));
	EXPECT_FALSE(msg.HasInt32("s"));
	EXPECT_TRUE(msg.HasBool("b"));
	EXPECT_TRUE(msg.HasMessage("m"));
	EXPECT_TRUE(msg.HasInt8("i8"));
	EXPECT_TRUE(msg.HasInt16("i16"));
	EXPECT_FALSE(msg.HasInt16("i8"));
	EXPECT_TRUE(msg.HasData("s", B_ANY_TYPE));
	EXPECT_FALSE(msg.HasData("none", B_ANY_TYPE));
}

TEST(MessageTest, ReplaceOverwritesExistingItems)
{
	BMessage msg;
	BMessage first('frst');
	BMessage second('scnd');
	msg.AddString("s", "short");
	msg.AddString("s", "other");
	msg.AddBool("b", false);
	msg.AddMessage("m", &first);
	msg.AddInt32("n", 1);

	EXPECT_EQ(msg.ReplaceString("s", 1, "a much longer string"), B_OK);
	EXPECT_EQ(msg.ReplaceBool("b", true), B_OK);
	EXPECT_EQ(msg.ReplaceMessage("m", &second), B_OK);
	EXPECT_EQ(msg.ReplaceInt32("n", 0, 7), B_OK);
	EXPECT_STREQ(msg.FindString("s", 0), "short");
	EXPECT_STREQ(msg.FindString("s", 1), "a much longer string");
	EXPECT_TRUE(msg.FindBool("b"));
	BMessage found;
	ASSERT_EQ(msg.FindMessage("m", &found), B_OK);
	EXPECT_EQ(found.what, uint32('scnd'));
	EXPECT_EQ(msg.FindInt32("n"), 7);

	EXPECT_EQ(msg.ReplaceString("s", 2, "x"), B_BAD_INDEX);
	EXPECT_EQ(msg.ReplaceString("none", "x"), B_NAME_NOT_FOUND);
	EXPECT_EQ(msg.ReplaceInt32("s", 1), B_BAD_TYPE);
	EXPECT_EQ(msg.ReplaceString("s", nullptr), B_BAD_VALUE);
}

TEST(MessageTest, RemoveRenameAndEmpty)
{
	BMessage msg('what');
	msg.AddInt32("a", 1);
	msg.AddInt32("a", 2);
	msg.AddInt32("b", 3);

	EXPECT_EQ(msg.RemoveData("a", 0), B_OK);
	EXPECT_EQ(msg.FindInt32("a"), 2);
	EXPECT_EQ(msg.RemoveData("a", 5), B_BAD_INDEX);
	EXPECT_EQ(msg.RemoveData("a", 0), B_OK);
	EXPECT_FALSE(msg.HasInt32("a"));
	EXPECT_EQ(msg.CountNames(B_ANY_TYPE), 1);
	EXPECT_EQ(msg.RemoveName("a"), B_NAME_NOT_FOUND);

	msg.AddInt32("c", 4);
	EXPECT_EQ(msg.Rename("b", "c"), B_NAME_IN_USE);
	EXPECT_EQ(msg.Rename("b", "d"), B_OK);
	EXPECT_EQ(msg.FindInt32("d"), 3);
	EXPECT_EQ(msg.Rename("b", "e"), B_NAME_NOT_FOUND);
	EXPECT_EQ(msg.Rename("d", std::string(256, 'x').c_str()), B_BAD_VALUE);

	EXPECT_FALSE(msg.IsEmpty());
	EXPECT_EQ(msg.MakeEmpty(), B_OK);
	EXPECT_TRUE(msg.IsEmpty());
	EXPECT_EQ(msg.what, uint32('what'));
}

TEST(MessageTest, ArgumentChecks)
{
	BMessage msg;
	EXPECT_EQ(msg.AddInt32(nullptr, 1), B_BAD_VALUE);
	EXPECT_EQ(msg.AddInt32(std::string(256, 'n').c_str(), 1), B_BAD_VALUE);
	EXPECT_EQ(msg.AddInt32(std::string(255, 'n').c_str(), 1), B_OK);
	EXPECT_EQ(msg.AddString("s", static_cast<const char*>(nullptr)), B_BAD_VALUE);
	EXPECT_EQ(msg.AddRef("r", nullptr), B_BAD_VALUE);
	EXPECT_EQ(msg.AddMessage("m", nullptr), B_BAD_VALUE);
	EXPECT_EQ(msg.AddData("d", B_RAW_TYPE, nullptr, 4), B_BAD_VALUE);
	EXPECT_EQ(msg.AddData("d", B_RAW_TYPE, "x", -1), B_BAD_VALUE);
}

TEST(MessageTest, NestedMessageIsACopy)
{
	BMessage inner('innr');
	inner.AddInt32("v", 1);
	BMessage outer;
	outer.AddMessage("m", &inner);
	inner.ReplaceInt32("v", 2);
	BMessage found;
	ASSERT_EQ(outer.FindMessage("m", &found), B_OK);
	EXPECT_EQ(found.FindInt32("v"), 1);

	// FindData hands out the nested message in its flattened form.
	const void* data;
	ssize_t size;
	ASSERT_EQ(outer.FindData("m", B_MESSAGE_TYPE, &data, &size), B_OK);
	BMessage parsed;
	ASSERT_EQ(parsed.Unflatten(static_cast<const char*>(data), size), B_OK);
	EXPECT_EQ(parsed.FindInt32("v"), 1);

	// FindNested shares the nested message instead of copying it; replacing
	// the field leaves what was handed out as it was.
	outer.AddMessage("m", &inner);
	std::shared_ptr<const BMessage> first = outer.FindNested("m");
	ASSERT_NE(first, nullptr);
	EXPECT_EQ(first, outer.FindNested("m", 0)) << "the same object, not a copy";
	EXPECT_EQ(first->what, uint32('innr'));
	EXPECT_EQ(first->FindInt32("v"), 1);
	EXPECT_EQ(outer.FindNested("m", 1)->FindInt32("v"), 2);
	EXPECT_EQ(outer.FindNested("m", 2), nullptr);
	EXPECT_EQ(outer.FindNested("none"), nullptr);
	outer.AddInt32("number", 3);
	EXPECT_EQ(outer.FindNested("number"), nullptr) << "not a message";
	BMessage other('othr');
	ASSERT_EQ(outer.ReplaceMessage("m", &other), B_OK);
	EXPECT_EQ(first->FindInt32("v"), 1);
	EXPECT_EQ(outer.FindNested("m")->what, uint32('othr'));

	// So it does for messages read from their flattened form.
	std::string bytes;
	ASSERT_EQ(outer.Flatten(&bytes), B_OK);
	BMessage read;
	ASSERT_EQ(read.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
	ASSERT_NE(read.FindNested("m", 1), nullptr);
	EXPECT_EQ(read.FindNested("m", 1), read.FindNested("m", 1));
	EXPECT_EQ(read.FindNested("m", 1)->FindInt32("v"), 2);
}

TEST(MessageTest, CopyCarriesFieldsAndDeliveryState)
{
	BMessage msg('copy');
	msg.AddString("s", "v");
	auto info = std::make_unique<BMessage::DeliveryInfo>();
	info->delivered = true;
	info->dropped = true;
	info->dropPoint = BPoint(5, 6);
	info->dropOffset = BPoint(1, 2);
	msg.SetDelivery(std::move(info));

	BMessage copy(msg);
	msg.ReplaceString("s", "changed");
	EXPECT_STREQ(copy.FindString("s"), "v");
	EXPECT_TRUE(copy.WasDelivered());
	EXPECT_TRUE(copy.WasDropped());
	BPoint offset;
	EXPECT_EQ(copy.DropPoint(&offset), BPoint(5, 6));
	EXPECT_EQ(offset, BPoint(1, 2));
	EXPECT_NE(copy.Delivery(), msg.Delivery());

	BMessage plain;
	EXPECT_FALSE(plain.WasDropped());
	EXPECT_FALSE(plain.WasDelivered());
	EXPECT_EQ(plain.DropPoint(), B_ORIGIN);
}

TEST(MessageTest, IsSystemForUnderscoreCodes)
{
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
	EXPECT_FALSE(BMessage('isud').IsSystem());
	EXPECT_FALSE(BMessage('_abc').IsSystem());
}

TEST(MessageTest, PrintShowsTypedValuesAndNesting)
{
	BMessage inner('innr');
	inner.AddString("leaf", "deep \"quoted\"");
	BMessage msg('outr');
	msg.AddInt32("count", 42);
	msg.AddRect("frame", BRect(0, 0, 9, 9));
	msg.AddMessage("child", &inner);
	msg.AddData("raw", B_RAW_TYPE, "\xff\x01", 2);

	char* text = nullptr;
	size_t length = 0;
	FILE* out = open_memstream(&text, &length);
	ASSERT_NE(out, nullptr);
	print_message(msg, out, 0);
	std::fclose(out);
	std::string printed(text, length);
	free(text);

	EXPECT_NE(printed.find("'outr'"), std::string::npos) << printed;
	EXPECT_NE(printed.find("\"count\" = int32 42"), std::string::npos) << printed;
	EXPECT_NE(printed.find("BRect(l:0, t:0, r:9, b:9)"), std::string::npos) << printed;
	EXPECT_NE(printed.find("\"child\" = BMessage: what = 'innr' (0x696e6e72)\n        \"leaf\" = "
	                       "\"deep \\\"quoted\\\"\""),
	          std::string::npos)
	        << printed;
	EXPECT_NE(printed.find("'RAWT' 2 bytes: ff 01"), std::string::npos) << printed;
}

} // namespace
