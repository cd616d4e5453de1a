// Sounds and the sound player, on ALSA's "null" device so that nothing is heard
// and no sound card is needed; a missing device makes the player fail to start.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "MediaTestSupport.h"
#include "Sound.h"
#include "SoundPlayer.h"

using namespace media_test;

namespace {

const media_raw_audio_format kMono16 = {8000.0f, 1, B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 512};

class SoundPlayerTest : public testing::Test {
protected:
	void SetUp() override { setenv("VANTRY_AUDIO_DEVICE", "null", 1); }

	// ALSA's "null" device comes with its configuration files; without them
	// nothing can play here.
	static bool NullDeviceWorks()
	{
		BSoundPlayer probe(&kMono16, "probe");
		return probe.InitCheck() == B_OK;
	}
	void TearDown() override { unsetenv("VANTRY_AUDIO_DEVICE"); }

	// A sound of `frames` frames of silence in the player's format.
	static BSound* MakeSound(size_t frames, const media_raw_audio_format& format = kMono16)
	{
		std::vector<uint8_t> data = Silence16(frames * format.channel_count);
		return new BSound(data.data(), data.size(), format);
	}
};

TEST_F(SoundPlayerTest, SoundFromMemoryAndFromFile)
{
	BSound* memory = MakeSound(4000);
	EXPECT_EQ(memory->InitCheck(), B_OK);
	EXPECT_EQ(memory->Size(), 8000);
	EXPECT_EQ(memory->Duration(), 500000);
	EXPECT_TRUE(memory->ReleaseRef());

	std::string folder = testing::TempDir();
	WriteFile(folder + "/tone.wav", Wave(1, 2, 22050, 16, std::vector<uint8_t>(400)));
	entry_ref ref(0, 0, "tone.wav");
	ref.directory_path = folder;
	BSound* file = new BSound(&ref);
	EXPECT_EQ(file->InitCheck(), B_OK);
	EXPECT_EQ(file->Format().channel_count, 2u);
	EXPECT_EQ(file->Size(), 400);
	file->ReleaseRef();

	entry_ref missing(0, 0, "missing.wav");
	missing.directory_path = folder;
	BSound* none = new BSound(&missing);
	EXPECT_NE(none->InitCheck(), B_OK);
	none->ReleaseRef();
	BSound* empty = new BSound(nullptr, 0, kMono16);
	EXPECT_EQ(empty->InitCheck(), B_BAD_VALUE);
	empty->ReleaseRef();
}

TEST_F(SoundPlayerTest, NoDeviceMeansNoPlayer)
{
	setenv("VANTRY_AUDIO_DEVICE", "vantry-no-such-device", 1);
	BSoundPlayer player(&kMono16, "test");
	EXPECT_NE(player.InitCheck(), B_OK);
	EXPECT_NE(player.Start(), B_OK);
	BSound* sound = MakeSound(100);
	EXPECT_LT(player.StartPlaying(sound), 0);
	EXPECT_EQ(sound->RefCount(), 1);
	sound->ReleaseRef();
}

TEST_F(SoundPlayerTest, UnplayableFormatIsRefused)
{
	media_raw_audio_format bad = kMono16;
	bad.format = 0x99;
	BSoundPlayer player(&bad, "test");
	EXPECT_EQ(player.InitCheck(), B_MEDIA_BAD_FORMAT);
	BSoundPlayer none(nullptr, "test");
	EXPECT_NE(none.InitCheck(), B_OK);
}

TEST_F(SoundPlayerTest, PlaysForAboutTheSoundsDurationThenReleasesIt)
{
	if (!NullDeviceWorks())
		GTEST_SKIP() << "ALSA's null device is not configured";
	BSoundPlayer player(&kMono16, "test");
	ASSERT_EQ(player.InitCheck(), B_OK);
	ASSERT_EQ(player.Start(), B_OK);
	EXPECT_TRUE(player.IsRunning());
	BSound* sound = MakeSound(2400); // 0.3 seconds
	auto start = std::chrono::steady_clock::now();
	play_id id = player.StartPlaying(sound);
	ASSERT_GT(id, 0);
	EXPECT_TRUE(player.IsPlaying(id));
	EXPECT_EQ(sound->RefCount(), 2);
	EXPECT_EQ(player.WaitForSound(id), B_OK);
	double elapsed =
	        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	EXPECT_GT(elapsed, 0.15);
	EXPECT_FALSE(player.IsPlaying(id));
	EXPECT_EQ(sound->RefCount(), 1);
	sound->ReleaseRef();
}

TEST_F(SoundPlayerTest, StoppingASoundOrThePlayerReleasesIt)
{
	if (!NullDeviceWorks())
		GTEST_SKIP() << "ALSA's null device is not configured";
	BSoundPlayer player(&kMono16, "test");
	ASSERT_EQ(player.Start(), B_OK);
	BSound* sound = MakeSound(80000); // ten seconds
	play_id first = player.StartPlaying(sound);
	play_id second = player.StartPlaying(sound, 0, 0.5f);
	EXPECT_NE(first, second);
	EXPECT_EQ(player.CountStarts(), 2);
	EXPECT_EQ(sound->RefCount(), 3);
	EXPECT_EQ(player.StopPlaying(first), B_OK);
	EXPECT_FALSE(player.IsPlaying(first));
	EXPECT_TRUE(player.IsPlaying(second));
	EXPECT_EQ(player.StopPlaying(first), B_BAD_VALUE);
	player.Stop();
	EXPECT_FALSE(player.IsRunning());
	EXPECT_FALSE(player.IsPlaying(second));
	EXPECT_EQ(sound->RefCount(), 1);
	sound->ReleaseRef();
}

TEST_F(SoundPlayerTest, SoundOfAnotherRateOrChannelCountIsRefused)
{
	if (!NullDeviceWorks())
		GTEST_SKIP() << "ALSA's null device is not configured";
	BSoundPlayer player(&kMono16, "test");
	ASSERT_EQ(player.InitCheck(), B_OK);
	media_raw_audio_format stereo = kMono16;
	stereo.channel_count = 2;
	media_raw_audio_format faster = kMono16;
	faster.frame_rate = 44100;
	media_raw_audio_format floats = kMono16;
	floats.format = B_AUDIO_FLOAT;
	for (const media_raw_audio_format& format : {stereo, faster}) {
		BSound* sound = MakeSound(100, format);
		EXPECT_EQ(player.StartPlaying(sound), B_MEDIA_BAD_FORMAT);
		sound->ReleaseRef();
	}
	BSound* other = MakeSound(100, floats);
	EXPECT_GT(player.StartPlaying(other), 0);
	player.Stop();
	other->ReleaseRef();
}

} // namespace
