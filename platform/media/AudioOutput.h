// AudioOutput: one ALSA playback stream in a raw audio format. The device is
// "default", or the one named by VANTRY_AUDIO_DEVICE ("null" plays into
// nothing, for tests on machines without sound).
#pragma once

#include "MediaDefs.h"

typedef struct _snd_pcm snd_pcm_t;

class AudioOutput {
public:
	AudioOutput();
	~AudioOutput();
	AudioOutput(const AudioOutput&) = delete;
	AudioOutput& operator=(const AudioOutput&) = delete;

	// Opens the device for the format, with about `latency` microseconds of
	// buffering. ALSA's own complaints are kept off the standard error stream.
	status_t Open(const media_raw_audio_format& format, uint32 latency);
	void Close();
	bool IsOpen() const { return fDevice != nullptr; }

	// Writes whole frames, recovering from an underrun once.
	status_t Write(const void* frames, size_t frameCount);
	// Plays out what was written and stops; the next Write starts again.
	void Drain();
	// Drops what was written and stops.
	void Drop();

	static const char* DeviceName();

private:
	status_t Prepare();

	snd_pcm_t* fDevice;
	size_t fFrameSize;
	bool fStopped;
};
