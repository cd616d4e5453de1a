// The fixture of the payload store tests: an installer copy to pack items
// into, a destination to place them in, and items with known times and modes.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "LibAppResource.h"
#include "Mime.h"
#include "MimeType.h"
#include "Node.h"
#include "PayloadExtractor.h"
#include "PayloadTestSupport.h"
#include "TypeConstants.h"

namespace app_resource_test {

using namespace payload_test;

const int32 kItem = 2100;

inline void SetTime(const std::string& path, time_t modified)
{
	struct timespec times[2] = {{modified - 100, 0}, {modified, 0}};
	ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

inline time_t ModifiedTime(const std::string& path)
{
	struct stat st = {};
	lstat(path.c_str(), &st);
	return st.st_mtime;
}

inline std::string Attribute(const std::string& path, const char* name, type_code* type)
{
	BNode node(path.c_str());
	attr_info info;
	if (node.GetAttrInfo(name, &info) != B_OK)
		return "<none>";
	std::string value(info.size, '\0');
	node.ReadAttr(name, info.type, 0, value.data(), value.size());
	*type = info.type;
	return value;
}

class LibAppResourceTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::filesystem::create_directories(fTemp / "tmp");
		fInstaller = CopyElf(fTemp / "Installer");
		std::filesystem::create_directories(fTemp / "dest");
	}

	// An item folder with a file carrying attributes, a nested folder, a
	// link and an empty folder, with known times and modes.
	std::string MakeItem()
	{
		std::string item = fTemp / "src/item";
		std::filesystem::create_directories(item + "/sub/empty");
		WriteText(item + "/readme.txt", "read me\n");
		std::string big;
		for (int i = 0; i < 300000; i++)
			big.push_back((char)((i * 7919u) % 251));
		WriteText(item + "/sub/data.bin", big);
		chmod((item + "/readme.txt").c_str(), 0640);
		symlink("readme.txt", (item + "/link").c_str());
		BNode node((item + "/readme.txt").c_str());
		node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "Hello;1.0;", 11);
		int32 count = 0x01020304;
		node.WriteAttr("count", B_INT32_TYPE, 0, &count, sizeof(count));
		node.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, "text/x-vantry-test", 19);
		SetTime(item + "/readme.txt", 1000000000);
		SetTime(item + "/sub/data.bin", 1000000500);
		SetTime(item + "/sub/empty", 1100000000);
		SetTime(item + "/sub", 1200000000);
		SetTime(item, 1300000000);
		return item;
	}

	bool Pack(const std::string& source, int32 id, const char* name)
	{
		LibAppResource store(fInstaller.c_str(), B_READ_WRITE);
		return store.AddEntry(source.c_str(), id, name, 6);
	}

	TempFolder fTemp;
	ScopedEnv fTmpdir{"TMPDIR", fTemp / "tmp"};
	ScopedEnv fRoot{"VANTRY_ROOT", std::nullopt};
	std::string fInstaller;
};

} // namespace app_resource_test
