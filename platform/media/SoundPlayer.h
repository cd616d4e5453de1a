// BSoundPlayer: plays BSounds of one raw audio format, mixed, on its own
// thread, through the host's sound output.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AudioOutput.h"
#include "MediaDefs.h"

class BSound;

typedef int32 play_id;

class BSoundPlayer {
public:
	// InitCheck fails when the format is not playable or there is no sound
	// device to play it on.
	BSoundPlayer(const media_raw_audio_format* format, const char* name = nullptr);
	virtual ~BSoundPlayer();
	BSoundPlayer(const BSoundPlayer&) = delete;
	BSoundPlayer& operator=(const BSoundPlayer&) = delete;

	status_t InitCheck() const { return fStatus; }
	media_raw_audio_format Format() const { return fFormat; }
	const char* Name() const { return fName.c_str(); }

	status_t Start();
	// With `flush` what was not yet heard is dropped; otherwise it plays out.
	// The sounds that were playing are released either way.
	void Stop(bool block = true, bool flush = true);
	// Our addition: true between Start and Stop.
	bool IsRunning() const;

	// Starts a sound of the player's frame rate and channel count (any sample
	// format); it plays once the player runs. `atTime` is not honoured: the
	// sound starts as soon as possible. A negative result is an error.
	play_id StartPlaying(BSound* sound, bigtime_t atTime = 0);
	play_id StartPlaying(BSound* sound, bigtime_t atTime, float withVolume);
	bool IsPlaying(play_id id);
	status_t StopPlaying(play_id id);
	// Waits until the sound ended (B_OK) or the player stopped.
	status_t WaitForSound(play_id id);

	float Volume();
	void SetVolume(float volume);

	// Our addition: how many sounds were started since construction.
	int32 CountStarts();

private:
	struct Play {
		play_id id;
		BSound* sound;
		size_t position;
		float volume;
	};

	void Run();
	bool MixBuffer(std::vector<uint8>& out);
	void ReleaseFinished();
	void ReleaseAll();
	void Pace(size_t frames);

	media_raw_audio_format fFormat;
	std::string fName;
	status_t fStatus;
	AudioOutput fOutput;
	size_t fFrameSize;
	size_t fBufferFrames;

	std::mutex fLock;
	std::condition_variable fChanged;
	std::thread fThread;
	std::vector<Play> fPlays;
	play_id fNextId;
	int32 fStarts;
	float fVolume;
	bool fRunning;
	bool fStopRequested;

	std::chrono::steady_clock::time_point fClockStart;
	uint64 fFramesSinceStart;
};
