// Writing behind: buffers reach the file in the order given, and a failed
// write stops the writer and is reported.
#include "WriteBehind.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "TempFolder.h"
#include "TestFiles.h"

TEST(WriteBehindTest, BuffersArriveInOrderAndAFailedWriteIsReported)
{
	TempFolder temp;
	const std::string path = temp / "out";
	struct Case {
		const char* what;
		int flags;
		bool fails;
	} cases[] = {{"writable", O_WRONLY | O_CREAT | O_TRUNC, false},
	             {"read-only descriptor", O_RDONLY | O_CREAT, true}};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		const int fd = open(path.c_str(), c.flags, 0600);
		ASSERT_GE(fd, 0);
		std::string expected;
		bool refused = false;
		{
			WriteBehind writer(fd, 1000, 2);
			for (int i = 0; i < 50; i++) {
				char* buffer = writer.Buffer();
				if (buffer == nullptr) {
					refused = true;
					break;
				}
				const std::string piece(size_t(1 + i * 7 % 1000), char('a' + i % 26));
				memcpy(buffer, piece.data(), piece.size());
				writer.Submit(buffer, i == 10 ? 0 : piece.size());
				if (i != 10)
					expected += piece;
			}
			EXPECT_EQ(writer.Finish(), c.fails ? B_IO_ERROR : B_OK);
			EXPECT_EQ(writer.Error() != 0, c.fails);
		}
		close(fd);
		if (c.fails)
			EXPECT_TRUE(refused) << "buffers are still handed out after a failed write";
		else
			EXPECT_TRUE(ReadText(path) == expected);
	}
}
