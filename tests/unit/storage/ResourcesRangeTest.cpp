// Tests of BResources on running and large files: a running executable,
// streaming reads that touch only the tables, and copied file ranges.
#include "ResourcesFixture.h"

using namespace resources_test;

namespace {

TEST_F(ResourcesTest, RunningExecutable_OpensReadOnly)
{
	std::string path = Copy("/bin/sleep", "sleeper");
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('CSTR', 1, "x", 2, "x"), B_OK);
	}
	pid_t pid;
	char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("30"), nullptr};
	ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
	// Wait until the kernel maps the file (it refuses writers from then on).
	for (int i = 0; i < 200; i++) {
		int fd = open(path.c_str(), O_RDWR);
		if (fd < 0)
			break;
		close(fd);
		usleep(10000);
	}
	BResources resources(path.c_str(), true);
	EXPECT_EQ(resources.InitCheck(), B_OK);
	EXPECT_FALSE(resources.IsWritable());
	EXPECT_TRUE(resources.HasResource('CSTR', 1));
	EXPECT_EQ(resources.AddResource('CSTR', 2, "y", 2, "y"), B_NOT_ALLOWED);
	EXPECT_NE(strstr(resources.ErrorText(), "running executable"), nullptr);
	kill(pid, SIGKILL);
	waitpid(pid, nullptr, 0);
}

TEST_F(ResourcesTest, Streaming_RangeAndListingTouchOnlyTables)
{
	std::string path = Path("stream.rsrc");
	std::string big(8 << 20, '\0');
	for (size_t i = 0; i < big.size(); i++)
		big[i] = (char)(i * 7);
	{
		BResources resources(path.c_str(), true);
		ASSERT_EQ(resources.AddResource('RAWT', 2001, big.data(), big.size(), "archive"), B_OK);
		off_t offset;
		size_t size;
		EXPECT_EQ(resources.GetResourceRange('RAWT', 2001, &offset, &size), B_NOT_ALLOWED);
		ASSERT_EQ(resources.Sync(), B_OK);
		ASSERT_EQ(resources.GetResourceRange('RAWT', 2001, &offset, &size), B_OK);
		EXPECT_EQ(size, big.size());
		EXPECT_EQ(read_file(path).substr((size_t)offset, size), big);
	}
	BResources listing(path.c_str(), false);
	ASSERT_EQ(listing.CountResources(), 1);
	EXPECT_LT(listing.BytesRead(), 4096u);
	size_t size;
	void* data = listing.FindResource('RAWT', 2001, &size);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(memcmp(data, big.data(), size), 0);
	free(data);
}

// Bytes that differ at every offset, so a shifted copy is caught.
std::string patterned_bytes(size_t size)
{
	std::string data(size, '\0');
	uint32 state = 12345;
	for (size_t i = 0; i < size; i++) {
		state = state * 1103515245 + 12345;
		data[i] = (char)(state >> 16);
	}
	return data;
}

// The entries of a folder other than those named.
std::vector<std::string> leaves_of(const std::string& folder)
{
	std::vector<std::string> leaves;
	for (const auto& entry : fs::directory_iterator(folder))
		leaves.push_back(entry.path().filename().string());
	return leaves;
}

TEST_F(ResourcesTest, FileRange_CopiesTheRangeExactly)
{
	const size_t kChunk = 1024 * 1024;
	const std::string source = Path("source.bin");
	const std::string bytes = patterned_bytes(2 * kChunk + 4097);
	write_file(source, bytes);
	struct Case {
		const char* label;
		off_t offset;
		size_t size;
	};
	const std::vector<Case> cases = {
	        {"whole file, past two copy chunks", 0, bytes.size()},
	        {"inner range across a chunk edge", 7, kChunk + 3},
	        {"tail of the file", (off_t)(bytes.size() - 10), 10},
	        {"empty range at the end", (off_t)bytes.size(), 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.label);
		const std::string expected = bytes.substr((size_t)c.offset, c.size);
		const std::string streamed = Path("streamed.rsrc");
		const std::string copied = Path("copied.rsrc");
		fs::remove(streamed);
		fs::remove(copied);
		{
			BResources resources(streamed.c_str(), true);
			ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 1, "a", 2, "first"), B_OK);
			ASSERT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 2100, source.c_str(), c.offset,
			                                        c.size, "payload"),
			          B_OK)
			        << resources.ErrorText();
			// Pending data read back from the source before any write.
			size_t size = 0;
			const void* loaded = resources.LoadResource(B_RAW_TYPE, 2100, &size);
			ASSERT_NE(loaded, nullptr);
			EXPECT_EQ(std::string(static_cast<const char*>(loaded), size), expected);
			ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
		}
		{
			BResources resources(copied.c_str(), true);
			ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 1, "a", 2, "first"), B_OK);
			ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 2100, expected.data(), expected.size(),
			                                "payload"),
			          B_OK);
		}
		// The same file as when the bytes are handed over in memory.
		EXPECT_EQ(read_file(streamed), read_file(copied));
		BResources reread(streamed.c_str(), false);
		expect_resources(reread, {{B_STRING_TYPE, 1, "first", std::string("a", 2)},
		                          {B_RAW_TYPE, 2100, "payload", expected}});
		off_t offset = 0;
		size_t size = 0;
		ASSERT_EQ(reread.GetResourceRange(B_RAW_TYPE, 2100, &offset, &size), B_OK);
		EXPECT_EQ(read_file(streamed).substr((size_t)offset, size), expected);
	}
	EXPECT_EQ(read_file(source), bytes);
}

TEST_F(ResourcesTest, FileRange_PendingRangeIsReadAndReplaced)
{
	const std::string source = Path("source.bin");
	const std::string bytes = patterned_bytes(5000);
	write_file(source, bytes);
	const std::string path = Path("target.rsrc");
	BResources resources(path.c_str(), true);
	ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 5, "old", 4, "old"), B_OK);
	ASSERT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 5, source.c_str(), 100, 300, "new"), B_OK);
	EXPECT_EQ(resources.CountResources(), 1);
	char part[50];
	ASSERT_EQ(resources.ReadResource(B_RAW_TYPE, 5, part, 20, sizeof(part)), B_OK);
	EXPECT_EQ(std::string(part, sizeof(part)), bytes.substr(120, sizeof(part)));
	size_t size = 0;
	void* copy = resources.FindResource(B_RAW_TYPE, "new", &size);
	ASSERT_NE(copy, nullptr);
	EXPECT_EQ(std::string(static_cast<char*>(copy), size), bytes.substr(100, 300));
	free(copy);
	off_t offset;
	EXPECT_EQ(resources.GetResourceRange(B_RAW_TYPE, 5, &offset, &size), B_NOT_ALLOWED);
	ASSERT_EQ(resources.Sync(), B_OK);
	ASSERT_EQ(resources.GetResourceRange(B_RAW_TYPE, 5, &offset, &size), B_OK);
	EXPECT_EQ(read_file(path).substr((size_t)offset, size), bytes.substr(100, 300));
}

TEST_F(ResourcesTest, FileRange_BadSourceIsRefusedAndTargetKept)
{
	const std::string shortFile = Path("short.bin");
	write_file(shortFile, patterned_bytes(100));
	fs::create_directory(Path("folder"));
	struct Case {
		const char* label;
		std::string path;
		off_t offset;
		size_t size;
		status_t status;
	};
	const std::vector<Case> cases = {
	        {"missing file", Path("missing.bin"), 0, 10, B_ENTRY_NOT_FOUND},
	        {"range past the end", shortFile, 50, 51, B_BAD_VALUE},
	        {"offset past the end", shortFile, 101, 0, B_BAD_VALUE},
	        {"size that wraps", shortFile, 1, SIZE_MAX, B_BAD_VALUE},
	        {"negative offset", shortFile, -1, 10, B_BAD_VALUE},
	        {"a folder", Path("folder"), 0, 0, B_BAD_VALUE},
	        {"no path", "", 0, 0, B_BAD_VALUE},
	};
	const std::string target = Path("target.rsrc");
	const std::string original = write_test_file(target);
	for (const Case& c : cases) {
		SCOPED_TRACE(c.label);
		{
			BResources resources(target.c_str(), true);
			EXPECT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 9, c.path.c_str(), c.offset, c.size,
			                                        "bad"),
			          c.status);
			EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 9));
			EXPECT_EQ(resources.Sync(), B_OK);
		}
		EXPECT_EQ(read_file(target), original);
	}
}

TEST_F(ResourcesTest, FileRange_SourceShortenedBeforeSyncFailsAndKeepsTarget)
{
	const std::string source = Path("source.bin");
	write_file(source, patterned_bytes(3 * 1024 * 1024));
	const std::string target = Path("target.rsrc");
	const std::string original = write_test_file(target);
	const std::vector<std::string> before = leaves_of(fDir);
	struct Case {
		const char* label;
		bool remove;
	};
	for (const Case& c : std::vector<Case>{{"shortened", false}, {"removed", true}}) {
		SCOPED_TRACE(c.label);
		write_file(source, patterned_bytes(3 * 1024 * 1024));
		BResources resources(target.c_str(), true);
		ASSERT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 9, source.c_str(), 1024,
		                                        2 * 1024 * 1024, "late"),
		          B_OK);
		if (c.remove)
			fs::remove(source);
		else
			fs::resize_file(source, 1024 * 1024 + 5);
		EXPECT_NE(resources.Sync(), B_OK);
		EXPECT_NE(std::string(resources.ErrorText()), "");
		EXPECT_EQ(read_file(target), original);
		// No half-written file left beside the target.
		std::vector<std::string> after = leaves_of(fDir);
		EXPECT_EQ(after.size(), before.size() - (c.remove ? 1 : 0));
		EXPECT_EQ(resources.RemoveResource(B_RAW_TYPE, 9), B_OK);
	}
	EXPECT_EQ(read_file(target), original);
}

TEST_F(ResourcesTest, FileRange_ReadOnlyStoreRefuses)
{
	const std::string source = Path("source.bin");
	write_file(source, "abc");
	const std::string target = Path("target.rsrc");
	write_test_file(target);
	BResources resources(target.c_str(), false);
	EXPECT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 9, source.c_str(), 0, 3), B_NOT_ALLOWED);
	EXPECT_EQ(resources.CountResources(), 3);
}

} // namespace
