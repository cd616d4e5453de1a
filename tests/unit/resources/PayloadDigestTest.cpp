// Payload digests: zlib's CRC-32 of the range, whether summed in one piece
// or in two halves on two threads, and a range past the file's end refused.
#include "PayloadDigest.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <random>

#include "TempFolder.h"

namespace {

TEST(PayloadDigestTest, IsTheRangesCrcInOneOrTwoPiecesAndRefusesACutFile)
{
	TempFolder folder;
	const std::string path = folder / "installer";
	const size_t fileSize = (80 << 20) + 7;
	std::string bytes(fileSize, '\0');
	std::mt19937 random(3);
	for (char& byte : bytes)
		byte = char(random());
	{
		const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		ASSERT_GE(fd, 0);
		ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
		close(fd);
	}
	struct Case {
		off_t offset;
		off_t size;
		status_t status;
	};
	const Case cases[] = {
	        {0, 0, B_OK},
	        {3, 1, B_OK},
	        {5, 5 << 20, B_OK},
	        {3, off_t(fileSize) - 3, B_OK},        // two halves
	        {3, off_t(fileSize), B_FILE_ERROR},    // the second half runs out
	        {3, 1 << 20 << 5, B_OK},               // two halves, exactly 32 MB
	        {off_t(fileSize) - 2, 9, B_FILE_ERROR} // one piece runs out
	};
	const int fd = open(path.c_str(), O_RDONLY);
	ASSERT_GE(fd, 0);
	for (const Case& test : cases) {
		SCOPED_TRACE(std::to_string(test.offset) + "+" + std::to_string(test.size));
		uint32 digest = 0;
		std::string error;
		ASSERT_EQ(payload_digest(fd, test.offset, test.size, &digest, &error), test.status);
		if (test.status != B_OK) {
			EXPECT_NE(error.find("before the payload's end at byte " +
			                     std::to_string(test.offset + test.size)),
			          std::string::npos)
			        << error;
			continue;
		}
		const uLong expected = crc32_z(
		        0, reinterpret_cast<const Bytef*>(bytes.data()) + test.offset, size_t(test.size));
		EXPECT_EQ(digest, uint32(expected));
	}
	close(fd);
}

} // namespace
