// LibSound: loading from files and archives, readiness without a sound device,
// and single or overlapping plays (on ALSA's "null" device, heard by no one).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "LibSound.h"
#include "Message.h"
#include "TypeConstants.h"

namespace {

// A 16-bit mono WAV file of `frames` frames of silence at 8000 Hz.
std::string WriteWave(const std::string& path, uint32_t frames)
{
	auto put = [](std::string& out, uint32_t value, int bytes) {
		for (int i = 0; i < bytes; i++)
			out += char(value >> (8 * i));
	};
	std::string out = "RIFF";
	put(out, 36 + frames * 2, 4);
	out += "WAVEfmt ";
	put(out, 16, 4);
	put(out, 1, 2);
	put(out, 1, 2);
	put(out, 8000, 4);
	put(out, 16000, 4);
	put(out, 2, 2);
	put(out, 16, 2);
	out += "data";
	put(out, frames * 2, 4);
	out.append(frames * 2, '\0');
	std::ofstream(path, std::ios::binary) << out;
	return path;
}

BMessage SoundArchive(size_t bytes, float rate = 8000.0f, int32 format = 0x2)
{
	BMessage archive('snd ');
	std::vector<uint8> data(bytes, 0);
	for (size_t i = 0; i < bytes; i++)
		data[i] = uint8(i * 7);
	archive.AddData("data", B_ANY_TYPE, data.data(), ssize_t(data.size()), false);
	archive.AddFloat("frame_rate", rate);
	archive.AddInt32("channel_count", 1);
	archive.AddInt32("format", format);
	archive.AddInt32("byte_order", 2);
	archive.AddInt32("buffer_size", 512);
	return archive;
}

class LibSoundTest : public testing::Test {
protected:
	void SetUp() override
	{
		setenv("VANTRY_AUDIO_DEVICE", "null", 1);
		fFolder = testing::TempDir() + "/libsound-" + std::to_string(getpid());
		std::string command = "mkdir -p '" + fFolder + "'";
		ASSERT_EQ(system(command.c_str()), 0);
	}
	void TearDown() override { unsetenv("VANTRY_AUDIO_DEVICE"); }

	// ALSA's "null" device comes with its configuration files; without them
	// no sound is ever ready here.
	static bool NullDeviceWorks()
	{
		media_raw_audio_format format = {8000.0f, 1, B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 512};
		BSoundPlayer probe(&format, "probe");
		return probe.InitCheck() == B_OK;
	}

	std::string fFolder;
};

TEST_F(LibSoundTest, MissingOrUndecodableFileIsNotReadyAndPlaysNothing)
{
	std::string junk = fFolder + "/junk.wav";
	std::ofstream(junk) << "not a sound";
	for (const std::string& path : {fFolder + "/missing.wav", junk, std::string()}) {
		SCOPED_TRACE(path);
		LibSound sound(path.c_str(), "test");
		EXPECT_FALSE(sound.IsProceeding());
		EXPECT_EQ(sound.Play(), 0);
		EXPECT_FALSE(sound.IsPlaying());
		BMessage archive;
		EXPECT_NE(sound.Archive(archive), B_OK);
		EXPECT_TRUE(archive.IsEmpty());
	}
}

TEST_F(LibSoundTest, NoSoundDeviceMeansNotReady)
{
	setenv("VANTRY_AUDIO_DEVICE", "vantry-no-such-device", 1);
	LibSound sound(WriteWave(fFolder + "/quiet.wav", 800).c_str(), "test");
	EXPECT_FALSE(sound.IsProceeding());
	EXPECT_EQ(sound.Play(), 0);
	LibSound archived(SoundArchive(800), "test");
	EXPECT_FALSE(archived.IsProceeding());
}

TEST_F(LibSoundTest, FileSoundFollowsSymbolicLinksAndPlays)
{
	if (!NullDeviceWorks())
		GTEST_SKIP() << "ALSA's null device is not configured";
	std::string target = WriteWave(fFolder + "/tone.wav", 8000);
	std::string link = fFolder + "/link.wav";
	ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
	LibSound sound(link.c_str(), "test");
	ASSERT_TRUE(sound.IsProceeding());
	play_id id = sound.Play();
	EXPECT_GT(id, 0);
	EXPECT_TRUE(sound.IsPlaying());
}

TEST_F(LibSoundTest, SecondPlayWhilePlayingStartsNothingUnlessAllowed)
{
	if (!NullDeviceWorks())
		GTEST_SKIP() << "ALSA's null device is not configured";
	LibSound single(WriteWave(fFolder + "/single.wav", 16000).c_str(), "test");
	ASSERT_TRUE(single.IsProceeding());
	play_id first = single.Play();
	EXPECT_GT(first, 0);
	EXPECT_EQ(single.Play(), first);

	LibSound multiple(WriteWave(fFolder + "/multiple.wav", 16000).c_str(), "test");
	multiple.AllowMultiple(true);
	play_id one = multiple.Play();
	play_id two = multiple.Play();
	EXPECT_GT(one, 0);
	EXPECT_GT(two, one);
	EXPECT_TRUE(multiple.IsPlaying());

	LibSound archived(SoundArchive(32000), "test");
	archived.AllowMultiple(true);
	play_id a = archived.Play();
	EXPECT_GT(archived.Play(), a);
}

TEST_F(LibSoundTest, ArchiveRoundTripKeepsSamplesAndFormat)
{
	BMessage original = SoundArchive(600);
	LibSound sound(original, "test");
	BMessage archive;
	ASSERT_EQ(sound.Archive(archive), B_OK);
	const void* before = nullptr;
	const void* after = nullptr;
	ssize_t beforeSize = 0;
	ssize_t afterSize = 0;
	ASSERT_EQ(original.FindData("data", B_ANY_TYPE, &before, &beforeSize), B_OK);
	ASSERT_EQ(archive.FindData("data", B_ANY_TYPE, &after, &afterSize), B_OK);
	ASSERT_EQ(afterSize, beforeSize);
	EXPECT_EQ(memcmp(before, after, size_t(afterSize)), 0);
	EXPECT_FLOAT_EQ(archive.FindFloat("frame_rate"), 8000.0f);
	for (const char* field : {"channel_count", "format", "byte_order", "buffer_size"})
		EXPECT_EQ(archive.FindInt32(field), original.FindInt32(field)) << field;
}

TEST_F(LibSoundTest, ArchiveWithoutSamplesOrWithBadFormatIsNotReady)
{
	BMessage noData = SoundArchive(600);
	noData.RemoveName("data");
	BMessage badFormat = SoundArchive(600, 8000.0f, 0x77);
	BMessage noRate = SoundArchive(600, 0.0f);
	BMessage emptyData = SoundArchive(600);
	emptyData.RemoveName("data");
	emptyData.AddData("data", B_ANY_TYPE, "", 0, false);
	for (const BMessage* message : {&noData, &badFormat, &noRate, &emptyData}) {
		LibSound sound(*message, "test");
		EXPECT_FALSE(sound.IsProceeding());
		EXPECT_EQ(sound.Play(), 0);
	}
}

TEST_F(LibSoundTest, DestroyingAPlayingSoundStopsIt)
{
	if (!NullDeviceWorks())
		GTEST_SKIP() << "ALSA's null device is not configured";
	auto sound = std::make_unique<LibSound>(SoundArchive(160000), "test");
	ASSERT_GT(sound->Play(), 0);
	EXPECT_TRUE(sound->IsPlaying());
	sound.reset();
}

} // namespace
