// Decoding WAV and AIFF files: formats, sample bytes and refusal of damaged files.
#include <gtest/gtest.h>

#include "MediaTestSupport.h"
#include "SoundFileReader.h"

using namespace media_test;

namespace {

struct DecodeCase {
	const char* name;
	std::vector<uint8_t> file;
	float rate;
	uint32 channels;
	uint32 format;
	uint32 byteOrder;
	std::vector<uint8_t> samples;
};

TEST(SoundFileReaderTest, DecodesEachUncompressedForm)
{
	const std::vector<uint8_t> pcm16 = {0x01, 0x02, 0x03, 0x04};
	const std::vector<DecodeCase> cases = {
	        {"wave u8",
	         Wave(1, 1, 11025, 8, {0x80, 0xff}),
	         11025,
	         1,
	         B_AUDIO_UCHAR,
	         B_MEDIA_LITTLE_ENDIAN,
	         {0x80, 0xff}},
	        {"wave s16 stereo", Wave(1, 2, 44100, 16, pcm16), 44100, 2, B_AUDIO_SHORT,
	         B_MEDIA_LITTLE_ENDIAN, pcm16},
	        {"wave s24 widened",
	         Wave(1, 1, 8000, 24, {0x11, 0x22, 0x33}),
	         8000,
	         1,
	         B_AUDIO_INT,
	         B_MEDIA_LITTLE_ENDIAN,
	         {0x00, 0x11, 0x22, 0x33}},
	        {"wave s32", Wave(1, 1, 8000, 32, pcm16), 8000, 1, B_AUDIO_INT, B_MEDIA_LITTLE_ENDIAN,
	         pcm16},
	        {"wave float", Wave(3, 1, 48000, 32, pcm16), 48000, 1, B_AUDIO_FLOAT,
	         B_MEDIA_LITTLE_ENDIAN, pcm16},
	        {"wave extensible", Wave(1, 2, 22050, 16, pcm16, true), 22050, 2, B_AUDIO_SHORT,
	         B_MEDIA_LITTLE_ENDIAN, pcm16},
	        {"aiff s16", Aiff(1, 22050, 16, pcm16), 22050, 1, B_AUDIO_SHORT, B_MEDIA_BIG_ENDIAN,
	         pcm16},
	        {"aiff s8",
	         Aiff(1, 8000, 8, {0x7f, 0x80}),
	         8000,
	         1,
	         B_AUDIO_CHAR,
	         B_MEDIA_BIG_ENDIAN,
	         {0x7f, 0x80}},
	        {"aifc sowt", Aiff(2, 44100, 16, pcm16, "sowt"), 44100, 2, B_AUDIO_SHORT,
	         B_MEDIA_LITTLE_ENDIAN, pcm16},
	        {"aifc fl32", Aiff(1, 32000, 32, pcm16, "fl32"), 32000, 1, B_AUDIO_FLOAT,
	         B_MEDIA_BIG_ENDIAN, pcm16},
	};
	for (const DecodeCase& c : cases) {
		SCOPED_TRACE(c.name);
		media_raw_audio_format format = {};
		std::vector<uint8> samples;
		ASSERT_EQ(SoundFileReader::Decode(c.file, &format, &samples), B_OK);
		EXPECT_FLOAT_EQ(format.frame_rate, c.rate);
		EXPECT_EQ(format.channel_count, c.channels);
		EXPECT_EQ(format.format, c.format);
		EXPECT_EQ(format.byte_order, c.byteOrder);
		EXPECT_EQ(format.buffer_size % (media_sample_size(c.format) * c.channels), 0u);
		EXPECT_GT(format.buffer_size, 0u);
		EXPECT_EQ(std::vector<uint8_t>(samples.begin(), samples.end()), c.samples);
	}
}

TEST(SoundFileReaderTest, RefusesWhatItCannotPlayAndLeavesOutputsAlone)
{
	std::vector<uint8_t> noData = Wave(1, 1, 8000, 16, {});
	noData.resize(noData.size() - 8); // drop the "data" chunk header
	std::vector<uint8_t> badSkip = Aiff(1, 8000, 16, {1, 2});
	badSkip[badSkip.size() - 2 - 8 + 3] = 0x40; // SSND offset beyond the chunk
	const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
	        {"empty", {}},
	        {"not a sound", std::vector<uint8_t>(64, 'x')},
	        {"adpcm", Wave(2, 1, 8000, 4, {1, 2})},
	        {"12-bit", Wave(1, 1, 8000, 12, {1, 2})},
	        {"no channels", Wave(1, 0, 8000, 16, {1, 2})},
	        {"no rate", Wave(1, 1, 0, 16, {1, 2})},
	        {"64-bit float", Wave(3, 1, 8000, 64, std::vector<uint8_t>(8))},
	        {"no data chunk", noData},
	        {"compressed aifc", Aiff(1, 8000, 16, {1, 2}, "ima4")},
	        {"aiff skip too far", badSkip},
	};
	for (const auto& [name, file] : cases) {
		SCOPED_TRACE(name);
		media_raw_audio_format format = {1.0f, 9, 9, 9, 9};
		std::vector<uint8> samples = {42};
		EXPECT_EQ(SoundFileReader::Decode(file, &format, &samples), B_MEDIA_BAD_FORMAT);
		EXPECT_EQ(format.channel_count, 9u);
		EXPECT_EQ(samples, std::vector<uint8>{42});
	}
}

TEST(SoundFileReaderTest, CutsDataChunkThatClaimsMoreThanTheFileAndPartialFrames)
{
	std::vector<uint8_t> file = Wave(1, 2, 8000, 16, {1, 2, 3, 4, 5, 6});
	file.resize(file.size() - 1); // the last frame loses a byte
	media_raw_audio_format format = {};
	std::vector<uint8> samples;
	ASSERT_EQ(SoundFileReader::Decode(file, &format, &samples), B_OK);
	EXPECT_EQ(samples, (std::vector<uint8>{1, 2, 3, 4}));
}

TEST(SoundFileReaderTest, ReadsFilesAndReportsMissingOnes)
{
	std::string path = WriteFile(testing::TempDir() + "/reader.wav", Wave(1, 1, 8000, 16, {9, 8}));
	media_raw_audio_format format = {};
	std::vector<uint8> samples;
	EXPECT_EQ(SoundFileReader::Read(path.c_str(), &format, &samples), B_OK);
	EXPECT_EQ(samples, (std::vector<uint8>{9, 8}));
	std::string missing = testing::TempDir() + "/no-such-sound.wav";
	EXPECT_EQ(SoundFileReader::Read(missing.c_str(), &format, &samples), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(SoundFileReader::Read(nullptr, &format, &samples), B_BAD_VALUE);
}

} // namespace
