// The configuration record vantry-build writes: field order and types, the
// items with their rules, and the picture, icon and sound conversions.
#include "ConfigWriter.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "BuildTestSupport.h"
#include "ConfigRecord.h"
#include "GraphicsDefs.h"
#include "LibFile.h"
#include "Message.h"
#include "ProductDescription.h"

namespace {

std::string sample_path()
{
	return std::string(VANTRY_SOURCE_DIR) + "/examples/hello/product.toml";
}

// A PNG of one colour (blue, green, red, alpha) at `path`.
void write_png(const std::string& path, int32 width, int32 height, const uint8 bgra[4])
{
	std::vector<uint8> pixels;
	for (int32 i = 0; i < width * height; i++)
		pixels.insert(pixels.end(), bgra, bgra + 4);
	png_image image = {};
	image.version = PNG_IMAGE_VERSION;
	image.width = (png_uint_32)width;
	image.height = (png_uint_32)height;
	image.format = PNG_FORMAT_BGRA;
	ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr));
}

void put32(std::string& out, uint32 value)
{
	for (int i = 0; i < 4; i++)
		out.push_back((char)(value >> (8 * i)));
}

// A 16-bit stereo PCM WAV file holding `samples`.
std::string wav_file(const std::string& samples, uint32 rate)
{
	std::string file = "RIFF";
	put32(file, 36 + (uint32)samples.size());
	file += "WAVEfmt ";
	put32(file, 16);
	file += std::string("\x01\x00\x02\x00", 4);
	put32(file, rate);
	put32(file, rate * 4);
	file += std::string("\x04\x00\x10\x00", 4);
	file += "data";
	put32(file, (uint32)samples.size());
	return file + samples;
}

std::vector<std::string> field_order(const BMessage& message)
{
	std::vector<std::string> names;
	char* name;
	type_code type;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type) == B_OK; i++)
		names.push_back(name);
	return names;
}

class ConfigWriterTest : public testing::Test {
protected:
	// Builds the record of a description text written into the test folder.
	status_t Build(const std::string& text, BMessage* record)
	{
		std::string path = fFolder.Write("product.toml", text);
		EXPECT_EQ(fDescription.Load(path.c_str()), B_OK)
		        << testing::PrintToString(fDescription.Errors());
		ConfigWriter writer(fDescription.GetProduct());
		return writer.Build(1234, record, &fErrors);
	}

	TempFolder fFolder;
	ProductDescription fDescription;
	std::vector<std::string> fErrors;
};

TEST_F(ConfigWriterTest, SampleRecordHasEveryFieldInOrderWithItsType)
{
	ASSERT_EQ(fDescription.Load(sample_path().c_str()), B_OK);
	BMessage record;
	ConfigWriter writer(fDescription.GetProduct());
	ASSERT_EQ(writer.Build(4321, &record, &fErrors), B_OK) << testing::PrintToString(fErrors);
	std::vector<std::string> expected;
	for (const ConfigRecord::Field& field : ConfigRecord::Fields()) {
		if (std::string(field.name) == "audio_data")
			continue;
		expected.push_back(field.name);
		type_code type;
		ASSERT_EQ(record.GetInfo(field.name, &type), B_OK) << field.name;
		EXPECT_EQ(type, field.type) << field.name;
	}
	EXPECT_EQ(field_order(record), expected);
	EXPECT_EQ(record.what, 0u);
	EXPECT_EQ(record.FindInt32("VXC:deinstaller_size"), 4321);
	EXPECT_STREQ(record.FindString("audio_file"), "None");
	EXPECT_STREQ(record.FindString("opt_created_folder"), "Hello");
	EXPECT_TRUE(record.FindBool("edit_profile"));
	EXPECT_STREQ(record.FindString("edit_profile_tag"), "Hello");
	BMessage amount;
	ASSERT_EQ(record.FindMessage("req_disk_space_amount", &amount), B_OK);
	EXPECT_EQ(amount.FindDouble("value"), 1048576.0);
	EXPECT_EQ(amount.FindInt32("value_type"), (int32)'mb  ');
	EXPECT_EQ(amount.FindFloat("value_conversion"), 1048576.0f);
}

TEST_F(ConfigWriterTest, SampleItemsCarryTheirFieldsRulesAndGroups)
{
	ASSERT_EQ(fDescription.Load(sample_path().c_str()), B_OK);
	const Product& product = fDescription.GetProduct();
	BMessage record;
	ConfigWriter writer(product);
	ASSERT_EQ(writer.Build(0, &record, &fErrors), B_OK);
	BMessage instructions;
	ASSERT_EQ(record.FindMessage("install_instructions", &instructions), B_OK);
	struct Expected {
		int8 type;
		const char* groups;
		const char* destination;
		const char* exists;
	} expected[] = {
	        {0, "Minimal;Full;", "User Selected", "Replace"},
	        {1, "Minimal;Full;", "User Selected", "Prompt"},
	        {2, "Full;", "Hello Documentation", "Rename"},
	};
	for (int32 i = 0; i < 3; i++) {
		BMessage item;
		ASSERT_EQ(instructions.FindMessage("install_file", i, &item), B_OK);
		// Relative to the description, as it names the item, never where it was built.
		EXPECT_EQ(std::string(item.FindString("file_name")),
		          std::filesystem::path(product.install_file[i].file_name).lexically_normal())
		        << i;
		EXPECT_EQ(item.FindInt8("file_type"), expected[i].type) << i;
		EXPECT_STREQ(item.FindString("groups"), expected[i].groups);
		int32 size = LibEntrySize(product.install_file[i].source.c_str(), true);
		EXPECT_EQ(item.FindInt32("file_size", 0), size);
		EXPECT_EQ(item.FindInt32("file_size", 1), size);
		EXPECT_FALSE(item.HasBool("install_to_system"));
		BMessage meta;
		ASSERT_EQ(item.FindMessage("install_meta", &meta), B_OK);
		EXPECT_EQ(field_order(meta),
		          (std::vector<std::string>{"destination", "destination_exists", "link",
		                                    "link_exists", "deinstallable", "auto_launch",
		                                    "auto_launch_reason"}));
		EXPECT_STREQ(meta.FindString("destination"), expected[i].destination);
		EXPECT_STREQ(meta.FindString("destination_exists"), expected[i].exists);
		EXPECT_STREQ(meta.FindString("deinstallable"), "True");
	}
	EXPECT_FALSE(instructions.HasMessage("install_file", 3));
	BMessage folders;
	BMessage folder;
	ASSERT_EQ(record.FindMessage("custom_folder", &folders), B_OK);
	ASSERT_EQ(folders.FindMessage("custom_folder", &folder), B_OK);
	EXPECT_STREQ(folder.FindString("custom_folder_name"), "Hello Documentation");
	EXPECT_EQ(folder.FindInt32("custom_root_dir"), 3000);
	EXPECT_STREQ(folder.FindString("custom_sub_dir"), "Documents/Hello");
	EXPECT_FALSE(folder.FindBool("custom_replace_existing"));
	BMessage groups;
	ASSERT_EQ(record.FindMessage("groups", &groups), B_OK);
	EXPECT_STREQ(groups.FindString("group_name", 1), "Full");
	EXPECT_STREQ(groups.FindString("group_description", 0), "The program and its ReadMe.");
}

// Access and birth times vary between copies of the same files: the build's time stands for them.
TEST_F(ConfigWriterTest, ItemTimesAreTheSourcesModificationAndTheBuildsTime)
{
	std::string path = fFolder.Write("a.txt", "a");
	struct timespec times[2] = {{1000000, 0}, {2000000, 0}};
	ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
	BMessage record;
	ASSERT_EQ(Build("app_name = \"P\"\n[[install_file]]\nfile_name = \"a.txt\"\n", &record), B_OK);
	BMessage instructions;
	BMessage item;
	ASSERT_EQ(record.FindMessage("install_instructions", &instructions), B_OK);
	ASSERT_EQ(instructions.FindMessage("install_file", &item), B_OK);
	EXPECT_EQ(item.FindInt64("file_modified"), 2000000);
	EXPECT_EQ(item.FindInt64("file_accessed"), kFixedBuildTime);
	EXPECT_EQ(item.FindInt64("file_creation"), kFixedBuildTime);
}

TEST_F(ConfigWriterTest, PictureBecomesAnArchived32BitBitmap)
{
	ASSERT_EQ(fDescription.Load(sample_path().c_str()), B_OK);
	BMessage record;
	ConfigWriter writer(fDescription.GetProduct());
	ASSERT_EQ(writer.Build(0, &record, &fErrors), B_OK);
	BMessage picture;
	ASSERT_EQ(record.FindMessage("about_image", &picture), B_OK);
	EXPECT_STREQ(picture.FindString("class"), "BBitmap");
	EXPECT_EQ(picture.FindRect("_frame"), BRect(0, 0, 149, 199));
	EXPECT_EQ(picture.FindInt32("_cspace"), (int32)B_RGB32);
	EXPECT_EQ(picture.FindInt32("_rowbytes"), 600);
	const void* data;
	ssize_t size;
	ASSERT_EQ(picture.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
	ASSERT_EQ(size, 150 * 200 * 4);
	const uint8* pixel = static_cast<const uint8*>(data);
	// The sample's top-left pixel is (40, 90, 200), stored blue first.
	EXPECT_EQ(pixel[0], 200);
	EXPECT_EQ(pixel[1], 90);
	EXPECT_EQ(pixel[2], 40);
}

TEST_F(ConfigWriterTest, NoPictureIsAnEmptyMessage)
{
	fFolder.Write("a.txt", "a");
	BMessage record;
	ASSERT_EQ(Build("app_name = \"P\"\n[[install_file]]\nfile_name = \"a.txt\"\n", &record), B_OK);
	BMessage picture;
	ASSERT_EQ(record.FindMessage("about_image", &picture), B_OK);
	EXPECT_TRUE(picture.IsEmpty());
	EXPECT_FALSE(record.HasMessage("audio_data"));
}

TEST_F(ConfigWriterTest, PictureOfTheWrongSizeNamesItsLine)
{
	fFolder.Write("a.txt", "a");
	const uint8 grey[4] = {128, 128, 128, 255};
	write_png(fFolder / "small.png", 100, 100, grey);
	fFolder.Write("notpng.png", "GIF89a");
	struct Case {
		const char* picture;
		const char* message;
	} cases[] = {{"small.png", "is 100 x 100 pixels; it must be 150 x 200"},
	             {"notpng.png", "not a PNG picture"}};
	for (const Case& c : cases) {
		fErrors.clear();
		BMessage record;
		std::string text = std::string("app_name = \"P\"\n\nabout_image = \"") + c.picture +
		                   "\"\n[[install_file]]\nfile_name = \"a.txt\"\n";
		EXPECT_EQ(Build(text, &record), B_BAD_VALUE);
		ASSERT_EQ(fErrors.size(), 1u);
		std::string prefix = fFolder / "product.toml:3: field `about_image`: ";
		EXPECT_EQ(fErrors[0].rfind(prefix, 0), 0u) << fErrors[0];
		EXPECT_NE(fErrors[0].find(c.message), std::string::npos) << fErrors[0];
	}
}

TEST_F(ConfigWriterTest, IconPictureReplacesTheItemsIcon)
{
	fFolder.Write("a.txt", "a");
	fFolder.Write("b.txt", "b");
	const uint8 red[4] = {0, 0, 255, 255};
	const uint8 clear[4] = {0, 0, 0, 0};
	write_png(fFolder / "red.png", 16, 16, red);
	write_png(fFolder / "clear.png", 16, 16, clear);
	BMessage record;
	ASSERT_EQ(Build("app_name = \"P\"\n[[install_file]]\nfile_name = \"a.txt\"\n"
	                "file_icon = \"red.png\"\n[[install_file]]\nfile_name = \"b.txt\"\n"
	                "file_icon = \"clear.png\"\n",
	                &record),
	          B_OK)
	        << testing::PrintToString(fErrors);
	BMessage instructions;
	record.FindMessage("install_instructions", &instructions);
	struct {
		int32 item;
		uint8 index;
	} expected[] = {{0, 42}, {1, 0xff}};
	for (const auto& e : expected) {
		BMessage item;
		BMessage icon;
		instructions.FindMessage("install_file", e.item, &item);
		ASSERT_EQ(item.FindMessage("file_icon", &icon), B_OK);
		const void* data;
		ssize_t size;
		ASSERT_EQ(icon.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
		ASSERT_EQ(size, 256);
		for (int i = 0; i < 256; i++)
			ASSERT_EQ(static_cast<const uint8*>(data)[i], e.index) << e.item << " at " << i;
	}
}

TEST_F(ConfigWriterTest, SoundBecomesTheArchivedSoundFields)
{
	fFolder.Write("a.txt", "a");
	std::string samples;
	for (int i = 0; i < 400; i++)
		samples.push_back((char)(i * 7));
	fFolder.Write("chime.wav", wav_file(samples, 8000));
	fFolder.Write("noise.wav", "RIFF....WAVEjunk");
	BMessage record;
	ASSERT_EQ(Build("app_name = \"P\"\naudio_data = \"chime.wav\"\n[[install_file]]\n"
	                "file_name = \"a.txt\"\n",
	                &record),
	          B_OK)
	        << testing::PrintToString(fErrors);
	EXPECT_STREQ(record.FindString("audio_file"), "chime.wav");
	BMessage sound;
	ASSERT_EQ(record.FindMessage("audio_data", &sound), B_OK);
	const void* data;
	ssize_t size;
	ASSERT_EQ(sound.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
	EXPECT_EQ(std::string(static_cast<const char*>(data), (size_t)size), samples);
	EXPECT_EQ(sound.FindFloat("frame_rate"), 8000.0f);
	EXPECT_EQ(sound.FindInt32("channel_count"), 2);
	EXPECT_EQ(sound.FindInt32("format"), 0x2);
	EXPECT_EQ(sound.FindInt32("byte_order"), 2);
	EXPECT_EQ(sound.FindInt32("buffer_size"), 4096);

	fErrors.clear();
	EXPECT_EQ(Build("app_name = \"P\"\naudio_data = \"noise.wav\"\n[[install_file]]\n"
	                "file_name = \"a.txt\"\n",
	                &record),
	          B_BAD_VALUE);
	ASSERT_EQ(fErrors.size(), 1u);
	EXPECT_EQ(fErrors[0].rfind(fFolder / "product.toml:2: field `audio_data`: ", 0), 0u)
	        << fErrors[0];
}

} // namespace
