// Samples to and from the player's floating-point mix, in every format and byte order.
#include <gtest/gtest.h>

#include "SampleConverter.h"

namespace {

struct SampleCase {
	const char* name;
	uint32 format;
	uint32 byteOrder;
	std::vector<uint8> bytes;
	float value;
};

TEST(SampleConverterTest, ReadsAndWritesEachFormat)
{
	const std::vector<SampleCase> cases = {
	        {"uchar middle", B_AUDIO_UCHAR, 0, {0x80}, 0.0f},
	        {"uchar low", B_AUDIO_UCHAR, 0, {0x00}, -1.0f},
	        {"char low", B_AUDIO_CHAR, 0, {0x80}, -1.0f},
	        {"short little", B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, {0x00, 0x40}, 0.5f},
	        {"short big", B_AUDIO_SHORT, B_MEDIA_BIG_ENDIAN, {0x40, 0x00}, 0.5f},
	        {"short low", B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, {0x00, 0x80}, -1.0f},
	        {"int big", B_AUDIO_INT, B_MEDIA_BIG_ENDIAN, {0xc0, 0, 0, 0}, -0.5f},
	        {"float little", B_AUDIO_FLOAT, B_MEDIA_LITTLE_ENDIAN, {0, 0, 0x80, 0x3e}, 0.25f},
	        {"float big", B_AUDIO_FLOAT, B_MEDIA_BIG_ENDIAN, {0x3e, 0x80, 0, 0}, 0.25f},
	};
	for (const SampleCase& c : cases) {
		SCOPED_TRACE(c.name);
		EXPECT_NEAR(SampleConverter::ReadSample(c.bytes.data(), c.format, c.byteOrder), c.value,
		            1e-6);
		std::vector<uint8> written(c.bytes.size());
		SampleConverter::WriteSample(
		        SampleConverter::ReadSample(c.bytes.data(), c.format, c.byteOrder), written.data(),
		        c.format, c.byteOrder);
		// Writing scales by the largest positive value, so full negative
		// scale comes back one step higher.
		if (c.value > -1.0f) {
			EXPECT_EQ(written, c.bytes);
		}
	}
}

TEST(SampleConverterTest, MixSumsWithGainAndClipsOnOutput)
{
	const int16 samples[3] = {16384, -16384, 32767};
	float mix[3] = {0.25f, 0.0f, 0.9f};
	SampleConverter::AddToMix(reinterpret_cast<const uint8*>(samples), 3, B_AUDIO_SHORT,
	                          B_MEDIA_HOST_ENDIAN, 0.5f, mix);
	EXPECT_NEAR(mix[0], 0.5f, 1e-4);
	EXPECT_NEAR(mix[1], -0.25f, 1e-4);
	EXPECT_GT(mix[2], 1.0f);
	int16 out[3];
	SampleConverter::FromMix(mix, 3, B_AUDIO_SHORT, B_MEDIA_HOST_ENDIAN,
	                         reinterpret_cast<uint8*>(out));
	EXPECT_EQ(out[0], 16384);
	EXPECT_EQ(out[1], -8192);
	EXPECT_EQ(out[2], 32767);
}

} // namespace
