// Reading back the flat JSON lines the programs print.
#include "JsonLine.h"

#include <gtest/gtest.h>

#include "JsonWriter.h"

namespace {

TEST(JsonLineTest, ReadsBackWhatTheWriterWrote)
{
	JsonWriter json;
	json.BeginObject().Field("event", "question").Field("exit_code", 10).Field("changed", true);
	json.Field("text", "a \"quoted\"\tline\nand \xc3\xa9 \xf0\x9f\x98\x80 \x01 /");
	json.Key("buttons").BeginArray().String("Don't").String("R\\eplace").EndArray();
	json.Key("none").BeginArray().EndArray().Key("key").Null().EndObject();
	JsonLine line;
	ASSERT_TRUE(line.SetTo(json.Text())) << json.Text();
	EXPECT_EQ(line.String("event"), "question");
	EXPECT_EQ(line.String("text"), "a \"quoted\"\tline\nand \xc3\xa9 \xf0\x9f\x98\x80 \x01 /");
	EXPECT_EQ(line.Number("exit_code"), 10);
	EXPECT_EQ(line.Number("changed"), 1);
	EXPECT_EQ(line.Strings("buttons"), (std::vector<std::string>{"Don't", "R\\eplace"}));
	EXPECT_TRUE(line.Strings("none").empty());
	EXPECT_TRUE(line.Has("key"));
	EXPECT_EQ(line.String("key"), "");
	EXPECT_EQ(line.Number("missing", -3), -3);
	EXPECT_EQ(line.Number("text", -3), -3) << "a string is no number";
}

TEST(JsonLineTest, RefusesWhatIsNoFlatObject)
{
	for (const char* text :
	     {"", "[]", "{", "{\"a\":}", "{\"a\":1,}", "{\"a\":{\"b\":1}}", "{\"a\":[1]}",
	      "{\"a\":\"x\"} trailing", "{\"a\":\"\\q\"}", "{\"a\":\"cut", "{a:1}", "{\"a\":1x}",
	      "{\"a\":\"\\u12\"}", "{\"a\":\"line\nbreak\"}"}) {
		JsonLine line;
		EXPECT_FALSE(line.SetTo(text)) << text;
	}
	JsonLine line;
	EXPECT_TRUE(line.SetTo(" { } "));
	EXPECT_TRUE(line.SetTo("{\"s\":\"\\ud83d\\ude00\\u00e9\"}"));
	EXPECT_EQ(line.String("s"), "\xf0\x9f\x98\x80\xc3\xa9");
}

} // namespace
