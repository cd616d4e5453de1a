// ALSA playback for the sound player.
#include "AudioOutput.h"

#include "AlsaLibrary.h"

#include <cstdlib>
#include <mutex>

namespace {

void SilentErrorHandler(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa()
{
	static std::once_flag once;
	std::call_once(once, [] { AlsaLibrary::Get()->lib_error_set_handler(SilentErrorHandler); });
}

snd_pcm_format_t AlsaFormat(const media_raw_audio_format& format)
{
	bool big = format.byte_order == B_MEDIA_BIG_ENDIAN ||
	           (format.byte_order == 0 && B_MEDIA_HOST_ENDIAN == B_MEDIA_BIG_ENDIAN);
	switch (format.format) {
		case B_AUDIO_UCHAR: return SND_PCM_FORMAT_U8;
		case B_AUDIO_CHAR: return SND_PCM_FORMAT_S8;
		case B_AUDIO_SHORT: return big ? SND_PCM_FORMAT_S16_BE : SND_PCM_FORMAT_S16_LE;
		case B_AUDIO_INT: return big ? SND_PCM_FORMAT_S32_BE : SND_PCM_FORMAT_S32_LE;
		case B_AUDIO_FLOAT: return big ? SND_PCM_FORMAT_FLOAT_BE : SND_PCM_FORMAT_FLOAT_LE;
		default: return SND_PCM_FORMAT_UNKNOWN;
	}
}

} // namespace

AudioOutput::AudioOutput() : fDevice(nullptr), fFrameSize(0), fStopped(true) {}

AudioOutput::~AudioOutput()
{
	Close();
}

const char* AudioOutput::DeviceName()
{
	const char* name = getenv("VANTRY_AUDIO_DEVICE");
	return name != nullptr && name[0] != '\0' ? name : "default";
}

status_t AudioOutput::Open(const media_raw_audio_format& format, uint32 latency)
{
	if (!media_format_is_playable(format))
		return B_MEDIA_BAD_FORMAT;
	Close();
	const AlsaLibrary* alsa = AlsaLibrary::Get();
	if (alsa == nullptr)
		return B_MEDIA_SYSTEM_FAILURE;
	SilenceAlsa();
	snd_pcm_t* device = nullptr;
	if (alsa->pcm_open(&device, DeviceName(), SND_PCM_STREAM_PLAYBACK, 0) < 0)
		return B_MEDIA_SYSTEM_FAILURE;
	int result =
	        alsa->pcm_set_params(device, AlsaFormat(format), SND_PCM_ACCESS_RW_INTERLEAVED,
	                             format.channel_count, unsigned(format.frame_rate), 1, latency);
	if (result < 0) {
		alsa->pcm_close(device);
		return B_MEDIA_BAD_FORMAT;
	}
	fDevice = device;
	fFrameSize = media_sample_size(format.format) * format.channel_count;
	fStopped = false;
	return B_OK;
}

void AudioOutput::Close()
{
	if (fDevice == nullptr)
		return;
	AlsaLibrary::Get()->pcm_drop(fDevice);
	AlsaLibrary::Get()->pcm_close(fDevice);
	fDevice = nullptr;
}

status_t AudioOutput::Prepare()
{
	if (!fStopped)
		return B_OK;
	if (AlsaLibrary::Get()->pcm_prepare(fDevice) < 0)
		return B_MEDIA_SYSTEM_FAILURE;
	fStopped = false;
	return B_OK;
}

status_t AudioOutput::Write(const void* frames, size_t frameCount)
{
	if (fDevice == nullptr)
		return B_NO_INIT;
	if (Prepare() != B_OK)
		return B_MEDIA_SYSTEM_FAILURE;
	const uint8* data = static_cast<const uint8*>(frames);
	bool recovered = false;
	while (frameCount > 0) {
		snd_pcm_sframes_t written = AlsaLibrary::Get()->pcm_writei(fDevice, data, frameCount);
		if (written < 0) {
			if (recovered || AlsaLibrary::Get()->pcm_recover(fDevice, int(written), 1) < 0)
				return B_MEDIA_SYSTEM_FAILURE;
			recovered = true;
			continue;
		}
		data += size_t(written) * fFrameSize;
		frameCount -= size_t(written);
	}
	return B_OK;
}

void AudioOutput::Drain()
{
	if (fDevice == nullptr || fStopped)
		return;
	AlsaLibrary::Get()->pcm_drain(fDevice);
	fStopped = true;
}

void AudioOutput::Drop()
{
	if (fDevice == nullptr || fStopped)
		return;
	AlsaLibrary::Get()->pcm_drop(fDevice);
	fStopped = true;
}
