// Typed swapping, errno mapping and entry references.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "ByteOrder.h"
#include "EntryRef.h"
#include "TypeConstants.h"

TEST(ByteOrderTest, SwapsOnlyNumericTypes)
{
	uint8 rect[16] = {0x3f, 0x80, 0, 0}; // 1.0f big-endian, then zeros
	ASSERT_TRUE(swap_data(B_RECT_TYPE, rect, sizeof(rect)));
	float left;
	std::memcpy(&left, rect, 4);
	EXPECT_EQ(left, 1.0f);

	uint8 text[3] = {'a', 'b', 'c'};
	ASSERT_TRUE(swap_data(B_STRING_TYPE, text, 3));
	EXPECT_EQ(text[0], 'a');

	uint8 odd[6] = {};
	EXPECT_FALSE(swap_data(B_INT32_TYPE, odd, sizeof(odd)));

	uint8 big[8] = {0, 0, 0, 0, 0, 0, 1, 2};
	EXPECT_EQ(read_u64(big, true), 0x102u);
	EXPECT_EQ(read_u32(big + 4, false), 0x02010000u);
}

TEST(ByteOrderTest, TypeCodesPrintAsCharactersOrHex)
{
	char text[11];
	type_code_to_string(B_STRING_TYPE, text);
	EXPECT_STREQ(text, "CSTR");
	type_code_to_string(0x01020304, text);
	EXPECT_STREQ(text, "0x01020304");
}

TEST(ByteOrderTest, ErrnoMapsToPlatformCodes)
{
	struct {
		int error;
		status_t status;
	} cases[] = {{0, B_OK},
	             {ENOENT, B_ENTRY_NOT_FOUND},
	             {EEXIST, B_FILE_EXISTS},
	             {ENOSPC, B_DEVICE_FULL},
	             {ENOTSUP, B_NOT_SUPPORTED},
	             {ETXTBSY, B_BUSY},
	             {EXDEV, B_CROSS_DEVICE_LINK},
	             {12345, B_ERROR}};
	for (const auto& c : cases)
		EXPECT_EQ(status_from_errno(c.error), c.status) << c.error;
	EXPECT_STREQ(status_text(B_ENTRY_NOT_FOUND), "No such file or directory");
}

TEST(EntryRefTest, CopiesOwnTheirName)
{
	entry_ref ref(3, 42, "leaf");
	ref.directory_path = "/tmp";
	entry_ref copy(ref);
	ref.set_name("other");
	EXPECT_STREQ(copy.name, "leaf");
	EXPECT_EQ(copy.directory_path, "/tmp");
	EXPECT_NE(copy, ref);
	copy = ref;
	EXPECT_EQ(copy, ref);
	EXPECT_NE(copy.name, ref.name); // separate storage

	entry_ref empty;
	EXPECT_EQ(empty.name, nullptr);
	EXPECT_NE(empty, ref);
}
