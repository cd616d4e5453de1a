// LibBitmap: a file's icon from its attribute or its resources, or the
// default of its kind, in both icon sizes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LibBitmap.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Resources.h"

namespace {

class LibBitmapTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "icons-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fBase = pattern;
	}
	void TearDown() override { std::filesystem::remove_all(fBase); }

	std::string Make(const char* name, mode_t mode = 0644)
	{
		std::string path = fBase + "/" + name;
		std::ofstream(path) << "content";
		chmod(path.c_str(), mode);
		return path;
	}

	// The bitmap's pixels as icon bytes, rows unpadded.
	static std::vector<uint8> Pixels(const LibBitmap& bitmap)
	{
		int32 size = bitmap.Bounds().IntegerWidth() + 1;
		std::vector<uint8> bits;
		const uint8* source = static_cast<const uint8*>(bitmap.Bits());
		for (int32 y = 0; y < size; y++)
			bits.insert(bits.end(), source + y * bitmap.BytesPerRow(),
			            source + y * bitmap.BytesPerRow() + size);
		return bits;
	}

	static std::vector<uint8> Default(LibBitmap::IconKind kind, icon_size size)
	{
		std::vector<uint8> bits(size_t(size) * size);
		LibBitmap::GetDefaultIcon(kind, size, bits.data());
		return bits;
	}

	std::string fBase;
};

TEST_F(LibBitmapTest, DefaultIconPerKind)
{
	std::string file = Make("readme.txt");
	std::string app = Make("Tool", 0755);
	std::filesystem::create_directory(fBase + "/Folder");
	std::filesystem::create_symlink(fBase + "/Folder", fBase + "/link");
	struct Case {
		std::string path;
		LibBitmap::IconKind kind;
	};
	const std::vector<Case> cases = {{file, LibBitmap::kFileIcon},
	                                 {app, LibBitmap::kAppIcon},
	                                 {fBase + "/Folder", LibBitmap::kFolderIcon},
	                                 {fBase + "/link", LibBitmap::kFolderIcon}};
	for (icon_size size : {B_LARGE_ICON, B_MINI_ICON}) {
		for (const Case& c : cases) {
			SCOPED_TRACE(c.path + " " + std::to_string(size));
			LibBitmap bitmap(size);
			ASSERT_EQ(bitmap.SetTo(nullptr, c.path.c_str(), size), B_OK);
			EXPECT_EQ(Pixels(bitmap), Default(c.kind, size));
		}
	}
	// The kinds really differ.
	EXPECT_NE(Default(LibBitmap::kFileIcon, B_LARGE_ICON),
	          Default(LibBitmap::kFolderIcon, B_LARGE_ICON));
	EXPECT_NE(Default(LibBitmap::kAppIcon, B_MINI_ICON),
	          Default(LibBitmap::kVolumeIcon, B_MINI_ICON));
}

TEST_F(LibBitmapTest, IconResourcesOfAnExecutable)
{
	std::string path = Make("Game", 0755);
	std::vector<uint8> large(1024);
	std::vector<uint8> mini(256);
	for (size_t i = 0; i < large.size(); i++)
		large[i] = uint8(i % 200);
	for (size_t i = 0; i < mini.size(); i++)
		mini[i] = uint8(255 - i % 100);
	{
		BResources resources(path.c_str(), true, true);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		ASSERT_EQ(resources.AddResource('ICON', 101, large.data(), large.size(), "BEOS:L:STD_ICON"),
		          B_OK);
		ASSERT_EQ(resources.AddResource('MICN', 101, mini.data(), mini.size(), "BEOS:M:STD_ICON"),
		          B_OK);
	}
	LibBitmap bitmap(B_LARGE_ICON);
	ASSERT_EQ(bitmap.SetTo(nullptr, path.c_str(), B_LARGE_ICON), B_OK);
	EXPECT_EQ(Pixels(bitmap), large);
	LibBitmap small(B_MINI_ICON);
	ASSERT_EQ(small.SetTo(nullptr, path.c_str(), B_MINI_ICON), B_OK);
	EXPECT_EQ(Pixels(small), mini);
}

TEST_F(LibBitmapTest, WrongSizedIconResourceIsIgnored)
{
	std::string path = Make("Odd", 0755);
	std::vector<uint8> wrong(100, 7);
	{
		BResources resources(path.c_str(), true, true);
		ASSERT_EQ(resources.AddResource('ICON', 101, wrong.data(), wrong.size(), "BEOS:L:STD_ICON"),
		          B_OK);
	}
	LibBitmap bitmap(B_LARGE_ICON);
	ASSERT_EQ(bitmap.SetTo(nullptr, path.c_str(), B_LARGE_ICON), B_OK);
	EXPECT_EQ(Pixels(bitmap), Default(LibBitmap::kAppIcon, B_LARGE_ICON));
}

TEST_F(LibBitmapTest, IconAttributeComesFirst)
{
	std::string path = Make("picture.png");
	std::vector<uint8> icon(256, 42);
	BNode node(path.c_str());
	BNodeInfo info(&node);
	status_t status = info.SetIconBits(icon.data(), B_MINI_ICON);
	if (status == B_NOT_SUPPORTED)
		GTEST_SKIP() << "the temporary folder keeps no attributes";
	ASSERT_EQ(status, B_OK);
	LibBitmap bitmap(B_MINI_ICON);
	ASSERT_EQ(bitmap.SetTo(&node, path.c_str(), B_MINI_ICON), B_OK);
	EXPECT_EQ(Pixels(bitmap), icon);
	LibBitmap fromPath(B_MINI_ICON);
	ASSERT_EQ(fromPath.SetTo(nullptr, path.c_str(), B_MINI_ICON), B_OK);
	EXPECT_EQ(Pixels(fromPath), icon);
	LibBitmap large(B_LARGE_ICON);
	ASSERT_EQ(large.SetTo(&node, path.c_str(), B_LARGE_ICON), B_OK);
	EXPECT_EQ(Pixels(large), Default(LibBitmap::kFileIcon, B_LARGE_ICON));
}

TEST_F(LibBitmapTest, MissingEntriesAndMismatchedSizes)
{
	LibBitmap bitmap(B_LARGE_ICON);
	EXPECT_EQ(bitmap.Bounds(), BRect(0, 0, 31, 31));
	EXPECT_EQ(bitmap.ColorSpace(), B_CMAP8);
	std::vector<uint8> before = Pixels(bitmap);
	EXPECT_EQ(bitmap.SetTo(nullptr, (fBase + "/none").c_str(), B_LARGE_ICON), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(bitmap.SetTo(nullptr, Make("x").c_str(), B_MINI_ICON), B_BAD_VALUE);
	EXPECT_EQ(bitmap.SetTo(nullptr, static_cast<const char*>(nullptr), B_LARGE_ICON), B_BAD_VALUE);
	EXPECT_EQ(Pixels(bitmap), before);
}

} // namespace
