// Finding applications by signature (attribute or resource, nested or flat
// folders, case ignored) and launching executables detached.
#include "LibRoster.h"

#include <chrono>
#include <thread>

#include "AppFileInfo.h"
#include "Entry.h"
#include "File.h"
#include "LibFileTestSupport.h"
#include "Path.h"

using libfile_test::TempFolder;

namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text)
{
	fs::create_directories(fs::path(path).parent_path());
	std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A copy of a real executable carrying `signature` where `location` says.
void MakeApplication(const std::string& path, const char* signature, const info_location& location,
                     const bool& executable = true)
{
	fs::create_directories(fs::path(path).parent_path());
	fs::copy_file("/bin/true", path);
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		info.SetInfoLocation(location);
		ASSERT_EQ(info.SetSignature(signature), B_OK);
	}
	chmod(path.c_str(), executable ? 0755 : 0644);
}

std::string FoundPath(const LibRoster& roster, const char* signature)
{
	entry_ref ref;
	if (roster.FindApp(signature, &ref) != B_OK)
		return std::string();
	BPath path(&ref);
	return path.Path() != nullptr ? path.Path() : "";
}

TEST(LibRosterTest, FindsApplicationsBySignatureWhereTheyMayLie)
{
	TempFolder folder;
	const std::string apps = folder / "apps";
	const std::string bin = folder / "bin";
	MakeApplication(apps + "/Editor/Editor", "application/x-vnd.Test-Editor", B_USE_ATTRIBUTES);
	MakeApplication(apps + "/Suite/Tools/Paint", "application/x-vnd.Test-Paint", B_USE_RESOURCES);
	MakeApplication(apps + "/Suite/Tools/Deep/Hidden", "application/x-vnd.Test-Hidden",
	                B_USE_ATTRIBUTES);
	MakeApplication(bin + "/tool", "application/x-vnd.Test-Tool", B_USE_ATTRIBUTES);
	MakeApplication(bin + "/sub/nested", "application/x-vnd.Test-Nested", B_USE_ATTRIBUTES);
	MakeApplication(bin + "/plain", "application/x-vnd.Test-Plain", B_USE_ATTRIBUTES, false);
	const LibRoster roster({apps + "/*", bin});

	struct Case {
		const char* signature;
		std::string expected; // empty: not found
	};
	const Case cases[] = {
	        {"application/x-vnd.Test-Editor", apps + "/Editor/Editor"},
	        {"APPLICATION/X-VND.TEST-EDITOR", apps + "/Editor/Editor"},
	        {"application/x-vnd.Test-Paint", apps + "/Suite/Tools/Paint"},
	        {"application/x-vnd.Test-Tool", bin + "/tool"},
	        // Deeper than an application folder is searched.
	        {"application/x-vnd.Test-Hidden", ""},
	        // PATH folders are searched flat.
	        {"application/x-vnd.Test-Nested", ""},
	        // Without an execute permission a file is no application.
	        {"application/x-vnd.Test-Plain", ""},
	        {"application/x-vnd.Test-Missing", ""},
	};
	for (const Case& test : cases)
		EXPECT_EQ(FoundPath(roster, test.signature), test.expected) << test.signature;
}

TEST(LibRosterTest, FindAppAnswersWhyNothingWasFound)
{
	TempFolder folder;
	const LibRoster roster({folder.Path()});
	entry_ref ref;
	EXPECT_EQ(roster.FindApp("", &ref), B_BAD_VALUE);
	EXPECT_EQ(roster.FindApp(nullptr, &ref), B_BAD_VALUE);
	EXPECT_EQ(roster.FindApp("application/x-vnd.Test", nullptr), B_BAD_VALUE);
	EXPECT_EQ(roster.FindApp("application/x-vnd.Test", &ref), B_LAUNCH_FAILED_APP_NOT_FOUND);
}

TEST(LibRosterTest, DefaultRosterSearchesThePathVariable)
{
	TempFolder folder;
	MakeApplication(folder / "probe", "application/x-vnd.Test-OnPath", B_USE_ATTRIBUTES);
	const std::string old = getenv("PATH") != nullptr ? getenv("PATH") : "";
	setenv("PATH", (folder.Path() + ":" + old).c_str(), 1);
	const LibRoster roster;
	setenv("PATH", old.c_str(), 1);
	EXPECT_EQ(FoundPath(roster, "application/x-vnd.Test-OnPath"), folder / "probe");
}

TEST(LibRosterTest, LaunchStartsTheProgramInItsFolderWithItsArguments)
{
	TempFolder folder;
	const std::string program = folder / "tools/report";
	WriteText(program, "#!/bin/sh\necho \"$(pwd) $*\" > \"" + (folder / "report.txt") + "\"\n");
	chmod(program.c_str(), 0755);
	entry_ref ref;
	ASSERT_EQ(BEntry(program.c_str()).GetRef(&ref), B_OK);
	const char* arguments[] = {"one", "two words"};
	team_id team = -1;
	ASSERT_EQ(LibRoster(std::vector<std::string>()).Launch(&ref, 2, arguments, &team), B_OK);
	EXPECT_GT(team, 0);
	const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
	while (ReadText(folder / "report.txt").empty() && std::chrono::steady_clock::now() < end)
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	EXPECT_EQ(ReadText(folder / "report.txt"), folder / "tools" + " one two words\n");
}

TEST(LibRosterTest, LaunchReportsWhenTheProgramCannotRun)
{
	TempFolder folder;
	struct Case {
		const char* leaf;
		const char* content;
		mode_t mode;
		status_t expected;
	};
	const Case cases[] = {
	        {"not-executable", "#!/bin/sh\nexit 0\n", 0644, B_LAUNCH_FAILED_EXECUTABLE},
	        // The exec itself fails: no interpreter line, no binary format.
	        {"no-format", "just some text\n", 0755, status_from_errno(ENOEXEC)},
	        {"bad-interpreter", "#!/nonexistent/shell\n", 0755, B_ENTRY_NOT_FOUND},
	};
	for (const Case& test : cases) {
		const std::string path = folder / test.leaf;
		WriteText(path, test.content);
		chmod(path.c_str(), test.mode);
		entry_ref ref;
		ASSERT_EQ(BEntry(path.c_str()).GetRef(&ref), B_OK);
		EXPECT_EQ(LibRoster(std::vector<std::string>()).Launch(&ref), test.expected) << test.leaf;
	}
	entry_ref missing;
	ASSERT_EQ(BEntry((folder / "gone").c_str()).GetRef(&missing), B_OK);
	EXPECT_NE(LibRoster(std::vector<std::string>()).Launch(&missing), B_OK);
	EXPECT_EQ(LibRoster(std::vector<std::string>()).Launch(nullptr), B_BAD_VALUE);
}

} // namespace
