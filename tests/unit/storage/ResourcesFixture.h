// The fixture of the BResources tests: a fresh folder per test, the
// fixture files and the resources they hold.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "File.h"
#include "Message.h"
#include "Resources.h"
#include "TypeConstants.h"

extern char** environ;

namespace resources_test {

namespace fs = std::filesystem;

inline std::string fixture(const char* name)
{
	return std::string(VANTRY_FIXTURES) + "/" + name;
}

inline std::string read_file(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const std::string& path, const std::string& data)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out.write(data.data(), (std::streamsize)data.size());
}

inline uint32 u32_at(const std::string& data, size_t offset)
{
	return read_u32(data.data() + offset, false);
}

inline void put_u32(std::string* data, size_t offset, uint32 value)
{
	write_u32le(data->data() + offset, value);
}

// A fresh folder per test.
class ResourcesTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "/resources-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fDir = pattern;
	}
	void TearDown() override { fs::remove_all(fDir); }

	std::string Path(const char* leaf) const { return fDir + "/" + leaf; }

	// Copies a file into the test folder, writable.
	std::string Copy(const std::string& from, const char* leaf) const
	{
		std::string to = Path(leaf);
		fs::copy_file(from, to, fs::copy_options::overwrite_existing);
		fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
		return to;
	}

	std::string fDir;
};

struct Expected {
	type_code type;
	int32 id;
	std::string name;
	std::string data;
};

inline std::string cstr(const char* text)
{
	return std::string(text, strlen(text) + 1);
}

inline std::string int32_bytes(int32 value)
{
	return std::string(reinterpret_cast<const char*>(&value), 4);
}

inline const std::vector<Expected> kTestResources = {
        {B_STRING_TYPE, 74, "a string resource", cstr("I like strings, especially cellos.")},
        {B_INT32_TYPE, 17, "just a resource", int32_bytes(42)},
        {B_MIME_STRING_TYPE, 29, "another resource", cstr("application/bread-roll-counter")},
};

inline const Expected kElfType = {B_MIME_STRING_TYPE, 2, "BEOS:TYPE",
                                  cstr("application/x-vnd.Be-elfexecutable")};

// Checks that `resources` holds exactly `expected`, in that order.
inline void expect_resources(BResources& resources, const std::vector<Expected>& expected)
{
	ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
	ASSERT_EQ(resources.CountResources(), (int32)expected.size());
	for (size_t i = 0; i < expected.size(); i++) {
		const Expected& e = expected[i];
		type_code type;
		int32 id;
		const char* name;
		size_t size;
		ASSERT_TRUE(resources.GetResourceInfo((int32)i, &type, &id, &name, &size));
		EXPECT_EQ(type, e.type);
		EXPECT_EQ(id, e.id);
		EXPECT_EQ(name, e.name);
		void* data = resources.FindResource(e.type, e.id, &size);
		ASSERT_NE(data, nullptr);
		EXPECT_EQ(std::string(static_cast<char*>(data), size), e.data) << e.name;
		free(data);
		const void* byName = resources.LoadResource(e.type, e.name.c_str(), &size);
		ASSERT_NE(byName, nullptr);
		EXPECT_EQ(std::string(static_cast<const char*>(byName), size), e.data);
	}
}

// Writes the three test resources with our writer and returns the file bytes.
inline std::string write_test_file(const std::string& path)
{
	fs::remove(path);
	BResources resources(path.c_str(), true);
	for (const Expected& e : kTestResources)
		EXPECT_EQ(resources.AddResource(e.type, e.id, e.data.data(), e.data.size(), e.name.c_str()),
		          B_OK);
	EXPECT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
	return read_file(path);
}

} // namespace resources_test
