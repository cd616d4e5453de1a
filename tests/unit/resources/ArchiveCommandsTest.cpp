// Tests of the archive commands: finding the tools, their working folder,
// and arguments reaching them verbatim, never through a shell.
#include <gtest/gtest.h>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "LibArchiveCommands.h"
#include "Path.h"
#include "PayloadTestSupport.h"

using namespace payload_test;

namespace {

// A stub tool that records its working folder and its arguments, each
// followed by a NUL,, into $VANTRY_TEST_RECORD.
void WriteStub(const std::string& path)
{
	WriteText(path, "#!/bin/sh\n"
	                "printf '%s\\0' \"$(pwd -P)\" \"$@\" > \"$VANTRY_TEST_RECORD\"\n"
	                "exit 3\n");
	chmod(path.c_str(), 0755);
}

struct Recorded {
	std::string folder;
	std::vector<std::string> arguments;
	bool ran = false;
};

Recorded ReadRecord(const std::string& path)
{
	Recorded record;
	if (!std::filesystem::exists(path))
		return record;
	std::string text = ReadText(path);
	record.ran = true;
	size_t first = text.find('\0');
	record.folder = text.substr(0, first);
	for (size_t at = first + 1; at < text.size();) {
		size_t end = text.find('\0', at);
		record.arguments.push_back(text.substr(at, end - at));
		at = end + 1;
	}
	return record;
}

std::string WorkingFolder()
{
	char folder[PATH_MAX];
	return getcwd(folder, sizeof(folder)) ? folder : "";
}

class ArchiveCommandsTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::filesystem::create_directories(fTemp / "bin");
		std::filesystem::create_directories(fTemp / "empty");
		std::filesystem::create_directories(fTemp / "root/beos/bin");
		// Names a shell would expand, split or end a command at.
		fFolder = fTemp / "we ird $HOME `id` \"q\" 'q' ;&|\nline";
		std::filesystem::create_directories(fFolder);
	}

	Recorded Record() { return ReadRecord(fRecordPath); }

	TempFolder fTemp;
	std::string fRecordPath = fTemp / "record";
	ScopedEnv fRecord{"VANTRY_TEST_RECORD", fTemp / "record"};
	ScopedEnv fRoot{"VANTRY_ROOT", fTemp / "root"};
	std::string fFolder;
};

TEST_F(ArchiveCommandsTest, MissingTools_ReturnFalseAndRunNothing)
{
	// Stubs that lie where the tools are not looked for.
	WriteStub(fTemp / "zip");
	WriteStub(fTemp / "unzip");
	WriteStub(fTemp / "bin/tar");
	ScopedEnv path("PATH", fTemp / "empty" + "::" + fTemp / "bin");
	// An empty PATH entry must not mean the working folder.
	std::string before = WorkingFolder();
	ASSERT_EQ(chdir(fTemp.Path().c_str()), 0);
	BPath source((fFolder + "/item").c_str());

	EXPECT_FALSE(LibZip((fTemp / "a.zip").c_str(), source, 6));
	EXPECT_FALSE(LibUnzip((fTemp / "a.zip").c_str()));
	EXPECT_FALSE(LibTar("item", (fTemp / "a.tar").c_str()));
	EXPECT_FALSE(Record().ran);
	EXPECT_EQ(WorkingFolder(), fTemp.Path());
	ASSERT_EQ(chdir(before.c_str()), 0);
}

TEST_F(ArchiveCommandsTest, FoundTools_GetArgumentsVerbatimInTheirFolder)
{
	WriteStub(fTemp / "bin/zip");
	WriteStub(fTemp / "bin/unzip");
	WriteStub(fTemp / "root/beos/bin/tar");
	ScopedEnv path("PATH", fTemp / "empty:" + fTemp / "bin");
	std::string before = WorkingFolder();
	std::string leaf = "it em $(touch pwned) 'x'\n\"y\"";
	std::string archive = fFolder + "/arch ive $1.zip";
	// Far beyond the old 512-byte command buffer.
	std::string longLeaf(400, 'L');
	std::string longArchive =
	        fFolder + "/" + std::string(250, 'a') + "/" + std::string(250, 'b') + ".zip";

	struct Case {
		const char* what;
		std::function<bool()> run;
		std::string folder;
		std::vector<std::string> arguments;
	} cases[] = {
	        {"zip",
	         [&] { return LibZip(archive.c_str(), BPath((fFolder + "/" + leaf).c_str()), 9); },
	         fFolder,
	         {"-rq9", archive, leaf}},
	        {"zip level clamped",
	         [&] { return LibZip(archive.c_str(), BPath((fFolder + "/x").c_str()), 42); },
	         fFolder,
	         {"-rq9", archive, "x"}},
	        {"zip option-like leaf",
	         [&] { return LibZip(archive.c_str(), BPath((fFolder + "/-d").c_str()), 1); },
	         fFolder,
	         {"-rq1", archive, "./-d"}},
	        {"zip long",
	         [&] {
		         return LibZip(longArchive.c_str(), BPath((fFolder + "/" + longLeaf).c_str()), 5);
	         },
	         fFolder,
	         {"-rq5", longArchive, longLeaf}},
	        {"unzip", [&] { return LibUnzip(archive.c_str()); }, fFolder, {"-oq", archive}},
	        {"tar",
	         [&] { return LibTar(leaf.c_str(), archive.c_str()); },
	         fFolder,
	         {"-cf", "arch ive $1.zip", leaf}},
	};
	for (const Case& c : cases) {
		std::filesystem::remove(fRecordPath);
		EXPECT_TRUE(c.run()) << c.what;
		Recorded record = Record();
		ASSERT_TRUE(record.ran) << c.what;
		EXPECT_EQ(record.folder, c.folder) << c.what;
		EXPECT_EQ(record.arguments, c.arguments) << c.what;
	}
	EXPECT_EQ(WorkingFolder(), before);
	EXPECT_FALSE(std::filesystem::exists(fFolder + "/pwned"));
}

TEST_F(ArchiveCommandsTest, RealZipAndUnzip_RoundTrip)
{
	LibString zip, unzip;
	if (!LibFindInPath("zip", zip) || !LibFindInPath("unzip", unzip))
		GTEST_SKIP() << "zip and unzip are not installed";
	std::filesystem::create_directories(fFolder + "/item/sub");
	WriteText(fFolder + "/item/sub/file", "content");
	std::string archive = fTemp / "out/packed.zip";
	std::filesystem::create_directories(fTemp / "out");
	ASSERT_TRUE(LibZip(archive.c_str(), BPath((fFolder + "/item").c_str()), 6));
	ASSERT_TRUE(LibUnzip(archive.c_str()));
	EXPECT_EQ(ReadText(fTemp / "out/item/sub/file"), "content");
}

TEST_F(ArchiveCommandsTest, RunTool_ReportsExitStatusAndStartFailures)
{
	WriteStub(fTemp / "bin/zip");
	int status = -5;
	EXPECT_EQ(LibRunTool((fTemp / "bin/zip").c_str(), {"zip"}, nullptr, &status), B_OK);
	EXPECT_EQ(status, 3);
	EXPECT_NE(LibRunTool((fTemp / "bin/none").c_str(), {"none"}, nullptr, &status), B_OK);
	EXPECT_NE(LibRunTool((fTemp / "bin/zip").c_str(), {"zip"}, (fTemp / "no-folder").c_str(),
	                     &status),
	          B_OK);
	EXPECT_EQ(LibRunTool((fTemp / "bin/zip").c_str(), {}, nullptr, &status), B_BAD_VALUE);
}

} // namespace
