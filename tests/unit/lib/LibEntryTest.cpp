// Entry types and kinds, opening in the file manager (through a recording
// stub), references and paths, entry dates and typed resources.
#include <gtest/gtest.h>
#include <sys/time.h>

#include <chrono>
#include <thread>

#include "LibEntry.h"
#include "LibFile.h"
#include "LibFileTestSupport.h"
#include "Message.h"
#include "Node.h"
#include "NodeInfo.h"
#include "TypeConstants.h"

using namespace libfile_test;

namespace {

std::string TypeOrKind(const std::string& path, bool kind)
{
	entry_ref ref;
	if (!LibGetEntryRef(path.c_str(), ref))
		return "no ref";
	char type[B_MIME_TYPE_LENGTH] = "untouched";
	if (!LibGetMimeType(ref, type, kind))
		return "failed";
	return type;
}

// This test program: an ELF file with its execute bit.
std::string Executable()
{
	char path[PATH_MAX];
	return realpath("/proc/self/exe", path) != nullptr ? path : "";
}

// Waits (at most five seconds) for a file to appear with content.
std::string WaitForText(const std::string& path)
{
	for (int i = 0; i < 500; i++) {
		std::string text = ReadText(path);
		if (!text.empty() && text.back() == '\n')
			return text;
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return "";
}

// A stub opener that appends its arguments, one per line, to `log`.
std::string MakeOpener(const TempFolder& temp, const std::string& log)
{
	std::string stub = temp / "opener";
	WriteText(stub, "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done >> \"" + log +
	                        "\"\necho >> \"" + log + "\"\n");
	chmod(stub.c_str(), 0755);
	return stub;
}

} // namespace

TEST(LibEntryTest, TypesAndKindNames)
{
	TempFolder temp;
	WriteText(temp / "text", "plain words\n");
	ASSERT_TRUE(Libmimeset((temp / "text").c_str()));
	mkdir((temp / "folder").c_str(), 0755);
	ASSERT_TRUE(Libmimeset((temp / "folder").c_str()));
	symlink("text", (temp / "link").c_str());
	struct Case {
		std::string path;
		bool kind;
		std::string expected;
	};
	const std::vector<Case> cases = {
	        {temp / "text", false, "text/plain"},   {temp / "text", true, "Unknown"},
	        {temp / "folder", true, "Folder"},      {temp / "folder", false, B_DIRECTORY_MIME_TYPE},
	        {temp / "link", true, "Symbolic Link"}, {Executable(), true, "Be Application"},
	        {temp / "absent", true, "failed"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(TypeOrKind(c.path, c.kind), c.expected) << c.path << " " << c.kind;
}

TEST(LibEntryTest, SetFileTypeRecordsTypeAndPreferredApplication)
{
	TempFolder temp;
	WriteText(temp / "doc", "");
	ASSERT_TRUE(LibSetFileType((temp / "doc").c_str(), "text/x-vantry", "application/x-vnd.Test"));
	BNode node((temp / "doc").c_str());
	BNodeInfo info(&node);
	char text[B_MIME_TYPE_LENGTH] = "";
	EXPECT_EQ(info.GetType(text), B_OK);
	EXPECT_STREQ(text, "text/x-vantry");
	EXPECT_EQ(info.GetPreferredApp(text), B_OK);
	EXPECT_STREQ(text, "application/x-vnd.Test");
	EXPECT_FALSE(LibSetMimeType((temp / "doc").c_str(), "not a type"));
	EXPECT_FALSE(LibSetMimeType((temp / "absent").c_str(), "text/plain"));
}

TEST(LibEntryTest, OpenAndInfoRunTheOpenerWithOneArgument)
{
	TempFolder temp;
	std::string log = temp / "log";
	ScopedEnv opener("VANTRY_OPENER", MakeOpener(temp, log));
	std::string awkward = temp / "a \"$x\" `b`;c";
	mkdir(awkward.c_str(), 0755);
	ASSERT_TRUE(LibOpenEntry(awkward.c_str()));
	EXPECT_EQ(WaitForText(log), awkward + "|\n");
	unlink(log.c_str());
	WriteText(awkward + "/file", "");
	ASSERT_TRUE(LibInfoEntry((awkward + "/file").c_str()));
	EXPECT_EQ(WaitForText(log), awkward + "|\n");
	unlink(log.c_str());
	EXPECT_FALSE(LibOpenEntry((temp / "absent").c_str()));
	EXPECT_FALSE(LibInfoEntry((temp / "absent").c_str()));
	ScopedEnv missing("VANTRY_OPENER", temp / "no-such-opener");
	EXPECT_FALSE(LibOpenEntry(awkward.c_str()));
	std::this_thread::sleep_for(std::chrono::milliseconds(50));
	EXPECT_FALSE(Occupied(log));
}

TEST(LibEntryTest, ReferencesAndPaths)
{
	TempFolder temp;
	mkdir((temp / "dir").c_str(), 0755);
	entry_ref ref;
	ASSERT_TRUE(LibGetEntryRef((temp / "dir/not-yet").c_str(), ref));
	EXPECT_STREQ(ref.name, "not-yet");
	BPath path;
	ASSERT_TRUE(LibGetFullPath(ref, path));
	EXPECT_EQ(std::string(path.Path()), temp / "dir/not-yet");
	entry_ref parent = LibGetParentRef(ref);
	ASSERT_NE(parent.name, nullptr);
	EXPECT_STREQ(parent.name, "dir");
	ASSERT_TRUE(LibGetPath(parent, "child", path));
	EXPECT_EQ(std::string(path.Path()), temp / "dir/child");
	entry_ref kept = ref;
	EXPECT_FALSE(LibGetEntryRef((temp / "nowhere/leaf").c_str(), ref));
	EXPECT_EQ(ref, kept);

	const std::pair<const char*, const char*> parents[] = {
	        {"/a/b/c", "/a/b"}, {"/a", "/"}, {"/a/b/", "/a"}, {"leaf", ""}, {"x/y", "x"}};
	for (const auto& [full, expected] : parents) {
		LibString text;
		LibGetParentPath(full, text);
		EXPECT_STREQ(text.String(), expected) << full;
	}
	char leaf[8];
	EXPECT_TRUE(LibGetChildName("/a/b/short", leaf, sizeof(leaf)));
	EXPECT_STREQ(leaf, "short");
	EXPECT_FALSE(LibGetChildName("/a/b/much-too-long", leaf, sizeof(leaf)));
	EXPECT_STREQ(leaf, "much-to");
}

TEST(LibEntryTest, FilePathOfASaveRequestTrimsTheName)
{
	TempFolder temp;
	entry_ref folder;
	ASSERT_TRUE(LibGetEntryRef(temp.Path().c_str(), folder));
	BMessage request('save');
	request.AddRef("directory", &folder);
	request.AddString("name", "  report.txt \t");
	BPath path;
	EXPECT_EQ(LibGetFilePath(request, path), 10);
	EXPECT_EQ(std::string(path.Path()), temp / "report.txt");
	BMessage empty('save');
	EXPECT_LT(LibGetFilePath(empty, path), 0);
	EXPECT_EQ(std::string(path.Path()), temp / "report.txt");
}

TEST(LibEntryTest, SettingsPathAndWorkingFolder)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp.Path());
	LibString settings;
	ASSERT_TRUE(LibGetSettingsPath(settings));
	EXPECT_EQ(std::string(settings.String()), temp / "home/config/settings");
	char buffer[B_PATH_NAME_LENGTH];
	ASSERT_TRUE(LibGetSettingsPath(buffer, sizeof(buffer)));
	EXPECT_STREQ(buffer, settings.String());
	char small[8] = "x";
	EXPECT_FALSE(LibGetSettingsPath(small, sizeof(small)));
	EXPECT_STREQ(small, "");
	BPath folder;
	ASSERT_TRUE(LibGetWorkingDirectory(folder));
	EXPECT_TRUE(LibExists((std::string(folder.Path()) + "/unit_lib").c_str()));
}

TEST(LibEntryTest, DatesInUniversalAndLocalTime)
{
	TempFolder temp;
	struct ZoneRestore {
		~ZoneRestore() { tzset(); }
	} restore;
	ScopedEnv zone("TZ", "UTC-2");
	tzset();
	WriteText(temp / "dated", "");
	struct timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
	ASSERT_EQ(utimes((temp / "dated").c_str(), times), 0);
	LibDateTime utc = LibLastModifiedDate((temp / "dated").c_str(), false);
	struct tm broken;
	utc.GetDateTime(&broken);
	EXPECT_EQ(broken.tm_year, 101);
	EXPECT_EQ(broken.tm_mon, 8);
	EXPECT_EQ(broken.tm_mday, 9);
	EXPECT_EQ(broken.tm_hour, 1);
	EXPECT_EQ(broken.tm_min, 46);
	LibDateTime local = LibLastModifiedDate((temp / "dated").c_str(), true);
	local.GetDateTime(&broken);
	EXPECT_EQ(broken.tm_hour, 3);

	testing::internal::CaptureStderr();
	LibDateTime missing = LibCreationDate((temp / "absent").c_str(), true);
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
	          "LibCreationDate: Unable to set entry <" + (temp / "absent") + ">\n");
	EXPECT_EQ(missing, LibDateTime(1, 1, 1970));
	testing::internal::CaptureStderr();
	EXPECT_EQ(LibLastModifiedDate((temp / "absent").c_str(), false), LibDateTime(1, 1, 1970));
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
