// LibSound: loading, archiving and starting one sound.
#include "LibSound.h"

#include <cstdlib>
#include <cstring>

#include "Message.h"
#include "Sound.h"
#include "TypeConstants.h"

LibSound::LibSound(const char* path, const char* playerName)
    : fPlayer(nullptr), fPlayId(0), fSound(nullptr), fReady(false), fAllowMultiple(false),
      fFormat(media_raw_audio_format::wildcard)
{
	if (LoadSound(path))
		CreatePlayer(playerName);
}

LibSound::LibSound(const BMessage& message, const char* playerName)
    : fPlayer(nullptr), fPlayId(0), fSound(nullptr), fReady(false), fAllowMultiple(false),
      fFormat(media_raw_audio_format::wildcard)
{
	if (LoadSound(message))
		CreatePlayer(playerName);
}

LibSound::~LibSound()
{
	ReleaseSound();
	if (fPlayer == nullptr)
		return;
	fPlayer->Stop(true, true);
	delete fPlayer;
}

bool LibSound::LoadSound(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	BEntry entry(path, true);
	entry_ref ref;
	if (!entry.Exists() || entry.GetRef(&ref) != B_OK)
		return false;
	BSound* sound = new BSound(&ref);
	if (sound->InitCheck() != B_OK) {
		sound->ReleaseRef();
		return false;
	}
	ReleaseSound();
	fSound = sound;
	fFormat = sound->Format();
	fEntry = entry;
	fRef = ref;
	fPath.SetTo(&entry);
	return true;
}

bool LibSound::LoadSound(const BMessage& message)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message.FindData("data", B_ANY_TYPE, &data, &size) != B_OK || size <= 0)
		return false;
	media_raw_audio_format format = media_raw_audio_format::wildcard;
	int32 channels = 0;
	int32 sampleFormat = 0;
	int32 byteOrder = 0;
	int32 bufferSize = 0;
	message.FindFloat("frame_rate", &format.frame_rate);
	message.FindInt32("channel_count", &channels);
	message.FindInt32("format", &sampleFormat);
	message.FindInt32("byte_order", &byteOrder);
	message.FindInt32("buffer_size", &bufferSize);
	format.channel_count = uint32(channels);
	format.format = uint32(sampleFormat);
	format.byte_order = uint32(byteOrder);
	format.buffer_size = bufferSize > 0 ? size_t(bufferSize) : 0;
	void* copy = malloc(size_t(size));
	if (copy == nullptr)
		return false;
	memcpy(copy, data, size_t(size));
	BSound* sound = new BSound(copy, size_t(size), format, true);
	if (sound->InitCheck() != B_OK) {
		sound->ReleaseRef();
		return false;
	}
	ReleaseSound();
	fSound = sound;
	fFormat = format;
	fPath.Unset();
	return true;
}

status_t LibSound::Archive(BMessage& message) const
{
	if (fSound == nullptr)
		return B_NO_INIT;
	message.AddData("data", B_ANY_TYPE, fSound->Data(), ssize_t(fSound->Size()), false);
	message.AddFloat("frame_rate", fFormat.frame_rate);
	message.AddInt32("channel_count", int32(fFormat.channel_count));
	message.AddInt32("format", int32(fFormat.format));
	message.AddInt32("byte_order", int32(fFormat.byte_order));
	return message.AddInt32("buffer_size", int32(fFormat.buffer_size));
}

play_id LibSound::Play()
{
	if (!fReady)
		return 0;
	if (IsPlaying()) {
		if (!fAllowMultiple)
			return fPlayId;
		ReloadFromPath();
	}
	if (!fPlayer->IsRunning()) {
		fPlayer->Stop();
		fPlayer->Start();
	}
	play_id id = fPlayer->StartPlaying(fSound);
	fPlayId = id > 0 ? id : 0;
	return fPlayId;
}

bool LibSound::IsPlaying() const
{
	return fReady && fPlayId > 0 && fPlayer->IsPlaying(fPlayId);
}

void LibSound::CreatePlayer(const char* playerName)
{
	BSoundPlayer* player = new BSoundPlayer(&fFormat, playerName);
	if (player->InitCheck() != B_OK) {
		delete player;
		return;
	}
	player->SetVolume(1.0f);
	fPlayer = player;
	fReady = true;
}

void LibSound::ReleaseSound()
{
	if (fSound == nullptr)
		return;
	fSound->ReleaseRef();
	fSound = nullptr;
}

// A file sound is loaded afresh for a second, overlapping play; should the
// file have gone meanwhile, the sound already loaded plays again instead. A
// sound from a message has no file and always plays again as it is.
bool LibSound::ReloadFromPath()
{
	if (fPath.Path() == nullptr)
		return false;
	BEntry entry(fPath.Path(), true);
	entry_ref ref;
	if (entry.GetRef(&ref) != B_OK)
		return false;
	BSound* sound = new BSound(&ref);
	if (sound->InitCheck() != B_OK || sound->Format().channel_count != fFormat.channel_count ||
	    unsigned(sound->Format().frame_rate) != unsigned(fFormat.frame_rate)) {
		sound->ReleaseRef();
		return false;
	}
	ReleaseSound();
	fSound = sound;
	return true;
}
