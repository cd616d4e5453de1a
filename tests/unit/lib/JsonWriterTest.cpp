// JSON text from hostile bytes: every string parses, every valid character
// stays as it was, and containers get their commas where they belong.
#include <gtest/gtest.h>

#include "JsonWriter.h"

namespace {

struct QuoteCase {
	const char* name;
	std::string bytes;
	std::string quoted;
};

void PrintTo(const QuoteCase& test, std::ostream* stream)
{
	*stream << test.name;
}

class JsonQuoteTest : public testing::TestWithParam<QuoteCase> {};

TEST_P(JsonQuoteTest, EscapesWhatJsonCannotHold)
{
	EXPECT_EQ(JsonWriter::Quote(GetParam().bytes), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
        Bytes, JsonQuoteTest,
        testing::Values(QuoteCase{"Plain", "/home/a b.txt", "\"/home/a b.txt\""},
                        QuoteCase{"QuoteAndBackslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
                        QuoteCase{"ShortEscapes", "\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
                        QuoteCase{"OtherControls", std::string("\x01\x1f\x7f", 3),
                                  "\"\\u0001\\u001f\\u007f\""},
                        QuoteCase{"NulInside", std::string("a\0b", 3), "\"a\\u0000b\""},
                        QuoteCase{"ValidUtf8Kept", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
                                  "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
                        QuoteCase{"Latin1Byte", "caf\xe9", "\"caf\\ufffd\""},
                        QuoteCase{"LoneContinuation", "\x80x", "\"\\ufffdx\""},
                        QuoteCase{"CutSequenceAtEnd", "a\xe2\x82", "\"a\\ufffd\\ufffd\""},
                        QuoteCase{"Overlong", "\xc0\xaf", "\"\\ufffd\\ufffd\""},
                        QuoteCase{"Surrogate", "\xed\xa0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
                        QuoteCase{"PastUnicode", "\xf4\x90\x80\x80",
                                  "\"\\ufffd\\ufffd\\ufffd\\ufffd\""}),
        [](const testing::TestParamInfo<QuoteCase>& info) { return info.param.name; });

TEST(JsonWriterTest, SeparatesMembersAndElements)
{
	JsonWriter json;
	json.BeginObject().Field("schema", 1).Key("items").BeginArray();
	json.BeginObject().Field("name", "a").Field("size", int64(5)).EndObject();
	json.BeginObject().Field("name", std::string("b")).Field("whole", false).EndObject();
	json.String("c").Null().EndArray().Key("empty").BeginArray().EndArray();
	json.Field("none", (const char*)nullptr).EndObject();
	EXPECT_EQ(json.Text(), "{\"schema\":1,\"items\":[{\"name\":\"a\",\"size\":5},"
	                       "{\"name\":\"b\",\"whole\":false},\"c\",null],\"empty\":[],"
	                       "\"none\":null}");
}

} // namespace
