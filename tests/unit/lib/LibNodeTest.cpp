// LibNode: attribute encodings byte for byte, and files kept in attributes
// as ZIP archives that the zip tools read too.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <functional>

#include "LibFileTestSupport.h"
#include "LibNode.h"
#include "LibZipMember.h"
#include "Message.h"
#include "TypeConstants.h"

using namespace libfile_test;

extern char** environ;

namespace {

class LibNodeTest : public testing::Test {
protected:
	void SetUp() override { WriteText(fFile, ""); }

	std::string TypeOf(const std::string& name)
	{
		return RawXattr(fFile, "user.beos.type." + name).value_or("none");
	}

	TempFolder fTemp;
	std::string fFile = fTemp / "node";
};

struct Encoding {
	const char* name;
	std::function<bool(LibNode&)> write;
	std::string bytes;
	const char* type;
};

} // namespace

TEST_F(LibNodeTest, EachValueIsWrittenAsItsPlatformBytesAndType)
{
	int32 number = 0x01020304;
	const std::vector<Encoding> encodings = {
	        {"flag", [](LibNode& n) { return n.WriteBoolAttr("flag", true); }, std::string("\1", 1),
	         "BOOL"},
	        {"off", [](LibNode& n) { return n.WriteBoolAttr("off", false); }, std::string("\0", 1),
	         "BOOL"},
	        {"count", [](LibNode& n) { return n.WriteInt32Attr("count", 0x01020304); },
	         std::string((const char*)&number, 4), "LONG"},
	        {"text", [](LibNode& n) { return n.WriteStringAttr("text", "abc") == 3; }, "abc",
	         "CSTR"},
	};
	for (const Encoding& encoding : encodings) {
		LibNode node(fFile.c_str());
		ASSERT_EQ(node.InitCheck(), B_OK);
		// A longer old value must not survive behind the new one.
		ASSERT_EQ(node.WriteAttr(encoding.name, B_RAW_TYPE, 0, "0123456789", 10), 10);
		ASSERT_TRUE(encoding.write(node)) << encoding.name;
		EXPECT_EQ(RawXattr(fFile, std::string("user.") + encoding.name), encoding.bytes)
		        << encoding.name;
		EXPECT_EQ(TypeOf(encoding.name), encoding.type) << encoding.name;
	}
}

TEST_F(LibNodeTest, ReadsBackWhatWasWrittenAndLeavesValuesOnFailure)
{
	LibNode node(fFile.c_str());
	ASSERT_TRUE(node.WriteBoolAttr("flag", true));
	ASSERT_TRUE(node.WriteInt32Attr("count", -7));
	ASSERT_EQ(node.WriteStringAttr("text", "abc"), 3);
	bool flag = false;
	int32 count = 0;
	LibString text;
	EXPECT_TRUE(node.ReadBoolAttr("flag", flag));
	EXPECT_TRUE(flag);
	EXPECT_TRUE(node.ReadInt32Attr("count", count));
	EXPECT_EQ(count, -7);
	EXPECT_EQ(node.ReadStringAttr("text", text), 3);
	EXPECT_STREQ(text.String(), "abc");

	flag = true;
	count = 42;
	EXPECT_FALSE(node.ReadBoolAttr("missing", flag));
	EXPECT_FALSE(node.ReadInt32Attr("missing", count));
	EXPECT_FALSE(node.ReadInt32Attr("text", count));
	EXPECT_TRUE(flag);
	EXPECT_EQ(count, 42);
	EXPECT_LT(node.ReadStringAttr("missing", text), 0);
	EXPECT_STREQ(text.String(), "abc");
}

TEST_F(LibNodeTest, MessagesRoundTripAsFlattenedRawData)
{
	BMessage message('test');
	message.AddString("name", "Vantry");
	message.AddInt32("count", 3);
	LibNode node(fFile.c_str());
	ASSERT_TRUE(node.WriteMessageAttr("record", message));
	std::string flat;
	ASSERT_EQ(message.Flatten(&flat), B_OK);
	EXPECT_EQ(RawXattr(fFile, "user.record"), flat);
	EXPECT_EQ(TypeOf("record"), "RAWT");
	BMessage read;
	ASSERT_TRUE(node.ReadMessageAttr("record", read));
	EXPECT_EQ(read.what, (uint32)'test');
	EXPECT_STREQ(read.FindString("name"), "Vantry");
	EXPECT_FALSE(node.ReadMessageAttr("missing", read));
	ASSERT_EQ(node.WriteStringAttr("junk", "not a message"), 13);
	EXPECT_FALSE(node.ReadMessageAttr("junk", read));
	EXPECT_EQ(read.what, (uint32)'test');
}

TEST_F(LibNodeTest, CompressedFileComesBackWhole)
{
	std::string data;
	for (int i = 0; i < 600; i++)
		data += "line " + std::to_string(i) + "\n";
	WriteText(fTemp / "settings", data);
	LibNode node(fFile.c_str());
	ASSERT_TRUE(node.CompressFile("settings", (fTemp / "settings").c_str()));
	std::optional<std::string> archive = RawXattr(fFile, "user.settings");
	ASSERT_TRUE(archive.has_value());
	EXPECT_EQ(archive->substr(0, 4), "PK\3\4");
	EXPECT_LT(archive->size(), data.size());
	EXPECT_EQ(TypeOf("settings"), "RAWT");

	std::string restored = fTemp / "restored";
	WriteText(restored, "old");
	ASSERT_TRUE(node.UncompressFile(restored.c_str(), "settings", true));
	EXPECT_EQ(ReadText(restored), data);
	ASSERT_TRUE(node.UncompressFile((fTemp / "raw").c_str(), "settings", false));
	EXPECT_EQ(ReadText(fTemp / "raw"), *archive);
}

TEST_F(LibNodeTest, FileTooBigForTheVolumeKeepsTheOldValue)
{
	std::string noise;
	uint32 seed = 12345;
	for (int i = 0; i < 200000; i++) {
		seed = seed * 1103515245 + 12345;
		noise += (char)(seed >> 16);
	}
	WriteText(fTemp / "noise", noise);
	LibNode node(fFile.c_str());
	ASSERT_EQ(node.WriteStringAttr("slot", "old"), 3);
	if (node.CompressFile("slot", (fTemp / "noise").c_str())) {
		std::string data;
		ASSERT_TRUE(LibUnzipOneFile(*RawXattr(fFile, "user.slot"), "noise", data));
		EXPECT_EQ(data, noise);
	} else {
		EXPECT_EQ(RawXattr(fFile, "user.slot"), "old");
		EXPECT_EQ(TypeOf("slot"), "CSTR");
	}
}

TEST_F(LibNodeTest, ArchiveIsReadByTheZipTool)
{
	if (access("/usr/bin/unzip", X_OK) != 0)
		GTEST_SKIP() << "no unzip";
	WriteText(fTemp / "notes", std::string(5000, 'z') + "end");
	LibNode node(fFile.c_str());
	ASSERT_TRUE(node.CompressFile("notes", (fTemp / "notes").c_str()));
	WriteText(fTemp / "archive.zip", *RawXattr(fFile, "user.notes"));
	std::string zip = fTemp / "archive.zip";
	std::string out = fTemp / "out";
	mkdir(out.c_str(), 0755);
	const char* argv[] = {"unzip", "-qo", zip.c_str(), "-d", out.c_str(), nullptr};
	pid_t child;
	ASSERT_EQ(posix_spawn(&child, "/usr/bin/unzip", nullptr, nullptr, (char**)argv, environ), 0);
	int status = 0;
	waitpid(child, &status, 0);
	EXPECT_EQ(WEXITSTATUS(status), 0);
	EXPECT_EQ(ReadText(out + "/notes"), std::string(5000, 'z') + "end");
}

TEST_F(LibNodeTest, DamagedArchiveLeavesTheTargetAlone)
{
	WriteText(fTemp / "data", std::string(4000, 'd'));
	LibNode node(fFile.c_str());
	ASSERT_TRUE(node.CompressFile("data", (fTemp / "data").c_str()));
	std::string archive = *RawXattr(fFile, "user.data");
	std::vector<std::string> damaged = {archive.substr(0, archive.size() / 2), archive, archive,
	                                    "PK"};
	damaged[1][40] ^= 0x55;                // inside the deflated data
	damaged[2][archive.size() - 6] = 0x7f; // central directory offset
	std::string target = fTemp / "target";
	for (size_t i = 0; i < damaged.size(); i++) {
		ASSERT_EQ(node.WriteAttr("bad", B_RAW_TYPE, 0, damaged[i].data(), damaged[i].size()),
		          (ssize_t)damaged[i].size());
		WriteText(target, "keep");
		EXPECT_FALSE(node.UncompressFile(target.c_str(), "bad", true)) << i;
		EXPECT_EQ(ReadText(target), "keep") << i;
		node.RemoveAttr("bad");
	}
	EXPECT_EQ(Listing(fTemp.Path()).size(), 3u);
}

TEST_F(LibNodeTest, MissingAttributeOrFileChangesNothing)
{
	LibNode node(fFile.c_str());
	std::string target = fTemp / "target";
	WriteText(target, "keep");
	EXPECT_TRUE(node.UncompressFile(target.c_str(), "absent", true));
	EXPECT_EQ(ReadText(target), "keep");
	ASSERT_EQ(node.WriteStringAttr("kept", "old"), 3);
	testing::internal::CaptureStderr();
	EXPECT_FALSE(node.CompressFile("kept", (fTemp / "absent").c_str()));
	std::string message = testing::internal::GetCapturedStderr();
	EXPECT_NE(message.find("LibNode::CompressFile: " + (fTemp / "absent") + " does not exist"),
	          std::string::npos);
	EXPECT_EQ(RawXattr(fFile, "user.kept"), "old");
}

TEST(LibZipMemberTest, PicksTheMemberNamedLikeTheAttribute)
{
	TempFolder temp;
	WriteText(temp / "empty", "");
	std::string archive;
	ASSERT_TRUE(LibZipOneFile((temp / "empty").c_str(), "empty", archive));
	std::string data = "x";
	ASSERT_TRUE(LibUnzipOneFile(archive, "other", data));
	EXPECT_EQ(data, "");
	EXPECT_FALSE(LibZipOneFile(temp.Path().c_str(), "folder", archive));
}
