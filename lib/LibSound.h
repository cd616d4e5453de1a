// LibSound: one short sound, from a sound file or from samples archived in a
// message, with the player that plays it.
#pragma once

#include "Entry.h"
#include "EntryRef.h"
#include "MediaDefs.h"
#include "Path.h"
#include "SoundPlayer.h"

class BMessage;
class BSound;

class LibSound {
public:
	// Not ready when the sound cannot be loaded or there is no sound device.
	LibSound(const char* path, const char* playerName);
	LibSound(const BMessage& message, const char* playerName);
	virtual ~LibSound();
	LibSound(const LibSound&) = delete;
	LibSound& operator=(const LibSound&) = delete;

	bool LoadSound(const char* path);
	// Fields "data" ('ANYT'), "frame_rate", "channel_count", "format",
	// "byte_order" and "buffer_size".
	bool LoadSound(const BMessage& message);
	status_t Archive(BMessage& message) const;

	// The play identifier, or 0 when not ready.
	play_id Play();
	bool IsPlaying() const;
	void AllowMultiple(const bool& allow) { fAllowMultiple = allow; }
	bool IsProceeding() const { return fReady; }

private:
	void CreatePlayer(const char* playerName);
	void ReleaseSound();
	bool ReloadFromPath();

	BSoundPlayer* fPlayer;
	play_id fPlayId;
	BSound* fSound;
	bool fReady;
	bool fAllowMultiple;
	BEntry fEntry;
	entry_ref fRef;
	BPath fPath;
	media_raw_audio_format fFormat;
};
