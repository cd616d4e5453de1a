// Tests of BAppFileInfo: reading the standard application resources of real
// files, and writing them into an executable as resources and attributes.
#include <spawn.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "AppFileInfo.h"
#include "File.h"
#include "Message.h"
#include "Resources.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

class AppFileInfoTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "/appfileinfo-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fDir = pattern;
	}
	void TearDown() override { fs::remove_all(fDir); }

	std::string Copy(const std::string& from, const char* leaf) const
	{
		std::string to = fDir + "/" + leaf;
		fs::copy_file(from, to);
		fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
		return to;
	}

	std::string fDir;
};

std::string fixture(const char* name)
{
	return std::string(VANTRY_FIXTURES) + "/" + name;
}

version_info make_version(uint32 major, const char* text)
{
	version_info info;
	memset(&info, 0, sizeof(info));
	info.major = major;
	info.middle = 8;
	info.minor = 0;
	info.variety = 1;
	info.internal = 2;
	strcpy(info.short_info, text);
	strcpy(info.long_info, "long text");
	return info;
}

bool user_attributes_work(const std::string& path)
{
	if (setxattr(path.c_str(), "user.probe", "1", 1, 0) != 0)
		return false;
	removexattr(path.c_str(), "user.probe");
	return true;
}

TEST_F(AppFileInfoTest, Fixtures_ReadTheStandardResources)
{
	BFile thesaurus(fixture("Thesaurus.rsrc").c_str(), B_READ_ONLY);
	BAppFileInfo info(&thesaurus);
	ASSERT_EQ(info.InitCheck(), B_OK);
	char signature[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.GetSignature(signature), B_OK);
	EXPECT_STREQ(signature, "application/x-vnd.Be.Thesaurus");
	uint32 flags = 0;
	ASSERT_EQ(info.GetAppFlags(&flags), B_OK);
	EXPECT_EQ(flags, 1u);
	version_info version;
	EXPECT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_EQ(info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND), B_OK);

	BFile pot(fixture("pot.rsrc").c_str(), B_READ_ONLY);
	BAppFileInfo potInfo(&pot);
	BMessage types;
	ASSERT_EQ(potInfo.GetSupportedTypes(&types), B_OK);
	const char* type = nullptr;
	ASSERT_EQ(types.FindString("types", 0, &type), B_OK);
	EXPECT_TRUE(potInfo.IsSupportedType(type));
	EXPECT_FALSE(potInfo.IsSupportedType("text/x-never-seen"));
	ASSERT_EQ(potInfo.GetAppFlags(&flags), B_OK);
	EXPECT_EQ(flags, 0u);
	// A read-only file cannot be changed.
	EXPECT_EQ(potInfo.SetAppFlags(2), B_NOT_ALLOWED);
}

TEST_F(AppFileInfoTest, Write_RoundTripsThroughResourcesAndAttributes)
{
	std::string path = Copy("/bin/true", "app");
	bool attributes = user_attributes_work(path);
	version_info app = make_version(1, "1.8.0 alpha 2");
	version_info systemVersion = make_version(5, "R5");
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		ASSERT_EQ(info.InitCheck(), B_OK);
		ASSERT_EQ(info.SetSignature("application/x-vnd.Vantry-Test"), B_OK);
		ASSERT_EQ(info.SetAppFlags(0x5), B_OK);
		ASSERT_EQ(info.SetVersionInfo(&systemVersion, B_SYSTEM_VERSION_KIND), B_OK);
		ASSERT_EQ(info.SetVersionInfo(&app, B_APP_VERSION_KIND), B_OK);
		BMessage types;
		types.AddString("types", "text/plain");
		types.AddString("types", "image/png");
		ASSERT_EQ(info.SetSupportedTypes(&types), B_OK);
		EXPECT_EQ(info.SetSignature("no-slash"), B_BAD_VALUE);
	}
	info_location locations[] = {B_USE_RESOURCES, B_USE_ATTRIBUTES};
	for (info_location location : locations) {
		if (location == B_USE_ATTRIBUTES && !attributes)
			continue;
		SCOPED_TRACE(location);
		BFile file(path.c_str(), B_READ_ONLY);
		BAppFileInfo info(&file);
		info.SetInfoLocation(location);
		char signature[B_MIME_TYPE_LENGTH];
		ASSERT_EQ(info.GetSignature(signature), B_OK);
		EXPECT_STREQ(signature, "application/x-vnd.Vantry-Test");
		uint32 flags;
		ASSERT_EQ(info.GetAppFlags(&flags), B_OK);
		EXPECT_EQ(flags, 0x5u);
		version_info read;
		ASSERT_EQ(info.GetVersionInfo(&read, B_APP_VERSION_KIND), B_OK);
		EXPECT_EQ(memcmp(&read, &app, sizeof(read)), 0);
		ASSERT_EQ(info.GetVersionInfo(&read, B_SYSTEM_VERSION_KIND), B_OK);
		EXPECT_EQ(memcmp(&read, &systemVersion, sizeof(read)), 0);
		BMessage types;
		ASSERT_EQ(info.GetSupportedTypes(&types), B_OK);
		EXPECT_EQ(types.what, 0u);
		EXPECT_TRUE(info.IsSupportedType("image/png"));
	}
	BResources resources(path.c_str(), false);
	size_t size = 0;
	EXPECT_TRUE(resources.GetResourceInfo('APPV', 1, nullptr, &size));
	EXPECT_EQ(size, 680u);
	const char* name = nullptr;
	EXPECT_TRUE(resources.GetResourceInfo('MIMS', 1, &name, &size));
	EXPECT_STREQ(name, "BEOS:APP_SIG");
	// The executable still runs with its resources appended.
	pid_t pid;
	char* argv[] = {path.data(), nullptr};
	ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
	int status = -1;
	ASSERT_EQ(waitpid(pid, &status, 0), pid);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(AppFileInfoTest, Version_ShortRecordHasNoSystemVersion)
{
	std::string path = fDir + "/short.rsrc";
	version_info app = make_version(3, "three");
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('APPV', 1, &app, sizeof(app), "BEOS:APP_VERSION"), B_OK);
	}
	BFile file(path.c_str(), B_READ_WRITE);
	BAppFileInfo info(&file);
	info.SetInfoLocation(B_USE_RESOURCES);
	version_info read;
	ASSERT_EQ(info.GetVersionInfo(&read, B_APP_VERSION_KIND), B_OK);
	EXPECT_EQ(read.major, 3u);
	EXPECT_EQ(info.GetVersionInfo(&read, B_SYSTEM_VERSION_KIND), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(info.SetSignature(nullptr), B_OK);
	char signature[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(info.GetSignature(signature), B_ENTRY_NOT_FOUND);
}

} // namespace
