// BSound: samples held in memory with their format and a reference count.
#include "Sound.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "SoundFileReader.h"

BSound::BSound(void* data, size_t size, const media_raw_audio_format& format, bool freeWhenDone)
    : fFormat(format), fStatus(B_NO_INIT), fRefCount(1)
{
	if (data != nullptr && size > 0) {
		const uint8* bytes = static_cast<const uint8*>(data);
		fSamples.assign(bytes, bytes + size);
	}
	if (freeWhenDone)
		free(data);
	if (fSamples.empty())
		fStatus = B_BAD_VALUE;
	else if (!media_format_is_playable(fFormat))
		fStatus = B_MEDIA_BAD_FORMAT;
	else
		fStatus = B_OK;
}

BSound::BSound(const entry_ref* soundFile, bool loadIntoMemory)
    : fFormat(media_raw_audio_format::wildcard), fStatus(B_NO_INIT), fRefCount(1)
{
	if (soundFile == nullptr || soundFile->name == nullptr) {
		fStatus = B_BAD_VALUE;
		return;
	}
	std::string path = soundFile->directory_path + "/" + soundFile->name;
	fStatus = SoundFileReader::Read(path.c_str(), &fFormat, &fSamples);
	if (fStatus == B_OK && fSamples.empty())
		fStatus = B_MEDIA_BAD_FORMAT;
}

BSound::~BSound() {}

BSound* BSound::AcquireRef()
{
	fRefCount.fetch_add(1);
	return this;
}

bool BSound::ReleaseRef()
{
	if (fRefCount.fetch_sub(1) != 1)
		return false;
	delete this;
	return true;
}

bigtime_t BSound::Duration() const
{
	size_t frameSize = media_sample_size(fFormat.format) * fFormat.channel_count;
	if (frameSize == 0 || fFormat.frame_rate <= 0)
		return 0;
	double frames = double(fSamples.size() / frameSize);
	return bigtime_t(frames * 1000000.0 / fFormat.frame_rate);
}

bool BSound::GetDataAt(off_t offset, void* intoBuffer, size_t bufferSize, size_t* outUsed)
{
	if (intoBuffer == nullptr || offset < 0 || size_t(offset) >= fSamples.size())
		return false;
	size_t count = min_c(bufferSize, fSamples.size() - size_t(offset));
	memcpy(intoBuffer, fSamples.data() + offset, count);
	if (outUsed != nullptr)
		*outUsed = count;
	return true;
}
