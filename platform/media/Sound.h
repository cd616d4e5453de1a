// BSound: a sound's samples and raw audio format, loaded from a file or given
// in memory; counted references keep it alive while a player plays it.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <vector>

#include "EntryRef.h"
#include "MediaDefs.h"

class BSound {
public:
	// The samples are copied; with `freeWhenDone` the caller's buffer is
	// released with free() at once, as ownership passed to the sound.
	BSound(void* data, size_t size, const media_raw_audio_format& format,
	       bool freeWhenDone = false);
	// Loads an uncompressed WAV or AIFF file (symbolic links followed).
	BSound(const entry_ref* soundFile, bool loadIntoMemory = false);

	status_t InitCheck() const { return fStatus; }
	BSound* AcquireRef();
	// Drops one reference; true when that was the last and the sound is gone.
	bool ReleaseRef();
	int32 RefCount() const { return fRefCount.load(); }

	bigtime_t Duration() const;
	const media_raw_audio_format& Format() const { return fFormat; }
	const void* Data() const { return fSamples.data(); }
	off_t Size() const { return off_t(fSamples.size()); }
	// Copies up to `bufferSize` bytes from `offset`; false past the end.
	bool GetDataAt(off_t offset, void* intoBuffer, size_t bufferSize, size_t* outUsed);

protected:
	virtual ~BSound();

private:
	BSound(const BSound&) = delete;
	BSound& operator=(const BSound&) = delete;

	std::vector<uint8> fSamples;
	media_raw_audio_format fFormat;
	status_t fStatus;
	std::atomic<int32> fRefCount;
};
