// BSoundPlayer: a mixing thread writing buffers to the audio output, paced to
// real time so that a sound lasts as long as it sounds, even on a device that
// takes data faster than it plays.
#include "SoundPlayer.h"

#include <algorithm>

#include "SampleConverter.h"
#include "Sound.h"

namespace {

const size_t kDefaultBufferFrames = 1024;
const uint32 kMinLatency = 40000;

} // namespace

BSoundPlayer::BSoundPlayer(const media_raw_audio_format* format, const char* name)
    : fFormat(format != nullptr ? *format : media_raw_audio_format::wildcard),
      fName(name != nullptr ? name : ""), fStatus(B_NO_INIT), fFrameSize(0),
      fBufferFrames(kDefaultBufferFrames), fNextId(1), fStarts(0), fVolume(1.0f), fRunning(false),
      fStopRequested(false), fFramesSinceStart(0)
{
	if (!media_format_is_playable(fFormat)) {
		fStatus = B_MEDIA_BAD_FORMAT;
		return;
	}
	fFrameSize = media_sample_size(fFormat.format) * fFormat.channel_count;
	if (fFormat.buffer_size >= fFrameSize)
		fBufferFrames = min_c(fFormat.buffer_size / fFrameSize, size_t(65536));
	double bufferTime = double(fBufferFrames) * 1000000.0 / fFormat.frame_rate;
	uint32 latency = std::max(kMinLatency, uint32(std::min(bufferTime * 4, 2000000.0)));
	fStatus = fOutput.Open(fFormat, latency);
}

BSoundPlayer::~BSoundPlayer()
{
	Stop(true, true);
	ReleaseAll();
	fOutput.Close();
}

status_t BSoundPlayer::Start()
{
	if (fStatus != B_OK)
		return fStatus;
	std::lock_guard<std::mutex> guard(fLock);
	if (fRunning)
		return B_OK;
	fStopRequested = false;
	fRunning = true;
	fFramesSinceStart = 0;
	fThread = std::thread(&BSoundPlayer::Run, this);
	return B_OK;
}

void BSoundPlayer::Stop(bool block, bool flush)
{
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (!fRunning)
			return;
		fStopRequested = true;
	}
	fChanged.notify_all();
	// The mixing thread must end before the player can be used again, so the
	// call waits whatever `block` says.
	if (fThread.joinable())
		fThread.join();
	if (flush)
		fOutput.Drop();
	else
		fOutput.Drain();
	std::lock_guard<std::mutex> guard(fLock);
	fRunning = false;
	for (Play& play : fPlays)
		play.sound->ReleaseRef();
	fPlays.clear();
	fChanged.notify_all();
}

bool BSoundPlayer::IsRunning() const
{
	std::lock_guard<std::mutex> guard(const_cast<std::mutex&>(fLock));
	return fRunning;
}

play_id BSoundPlayer::StartPlaying(BSound* sound, bigtime_t atTime)
{
	return StartPlaying(sound, atTime, 1.0f);
}

play_id BSoundPlayer::StartPlaying(BSound* sound, bigtime_t atTime, float withVolume)
{
	if (fStatus != B_OK)
		return fStatus;
	if (sound == nullptr || sound->InitCheck() != B_OK)
		return B_BAD_VALUE;
	const media_raw_audio_format& format = sound->Format();
	if (format.channel_count != fFormat.channel_count ||
	    unsigned(format.frame_rate) != unsigned(fFormat.frame_rate))
		return B_MEDIA_BAD_FORMAT;
	std::lock_guard<std::mutex> guard(fLock);
	Play play = {fNextId++, sound->AcquireRef(), 0, withVolume};
	fPlays.push_back(play);
	fStarts++;
	fChanged.notify_all();
	return play.id;
}

bool BSoundPlayer::IsPlaying(play_id id)
{
	std::lock_guard<std::mutex> guard(fLock);
	return std::any_of(fPlays.begin(), fPlays.end(),
	                   [id](const Play& play) { return play.id == id; });
}

status_t BSoundPlayer::StopPlaying(play_id id)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = std::find_if(fPlays.begin(), fPlays.end(),
	                          [id](const Play& play) { return play.id == id; });
	if (found == fPlays.end())
		return B_BAD_VALUE;
	found->sound->ReleaseRef();
	fPlays.erase(found);
	fChanged.notify_all();
	return B_OK;
}

status_t BSoundPlayer::WaitForSound(play_id id)
{
	std::unique_lock<std::mutex> lock(fLock);
	auto playing = [this, id] {
		return std::any_of(fPlays.begin(), fPlays.end(),
		                   [id](const Play& play) { return play.id == id; });
	};
	if (!playing())
		return B_BAD_VALUE;
	fChanged.wait(lock, [&] { return !playing() || !fRunning; });
	return playing() ? B_INTERRUPTED : B_OK;
}

float BSoundPlayer::Volume()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fVolume;
}

void BSoundPlayer::SetVolume(float volume)
{
	std::lock_guard<std::mutex> guard(fLock);
	fVolume = std::clamp(volume, 0.0f, 1.0f);
}

int32 BSoundPlayer::CountStarts()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fStarts;
}

void BSoundPlayer::Run()
{
	std::vector<uint8> buffer(fBufferFrames * fFrameSize);
	for (;;) {
		{
			std::unique_lock<std::mutex> lock(fLock);
			if (fPlays.empty()) {
				lock.unlock();
				// Nothing left to play: let the device play out and stop
				// rather than run dry.
				fOutput.Drain();
				fFramesSinceStart = 0;
				lock.lock();
			}
			fChanged.wait(lock, [this] { return fStopRequested || !fPlays.empty(); });
			if (fStopRequested)
				return;
		}
		MixBuffer(buffer);
		if (fOutput.Write(buffer.data(), fBufferFrames) != B_OK) {
			ReleaseAll();
			continue;
		}
		Pace(fBufferFrames);
		ReleaseFinished();
	}
}

// Sums one buffer of every playing sound; sounds that ran out stay listed
// until their last buffer was written.
bool BSoundPlayer::MixBuffer(std::vector<uint8>& out)
{
	size_t sampleCount = fBufferFrames * fFormat.channel_count;
	std::vector<float> mix(sampleCount, 0.0f);
	std::lock_guard<std::mutex> guard(fLock);
	for (Play& play : fPlays) {
		const media_raw_audio_format& format = play.sound->Format();
		size_t sampleSize = media_sample_size(format.format);
		size_t frameSize = sampleSize * format.channel_count;
		size_t available = size_t(play.sound->Size()) - play.position;
		size_t frames = min_c(available / frameSize, fBufferFrames);
		const uint8* data = static_cast<const uint8*>(play.sound->Data()) + play.position;
		SampleConverter::AddToMix(data, frames * format.channel_count, format.format,
		                          format.byte_order, play.volume * fVolume, mix.data());
		play.position += frames * frameSize;
	}
	SampleConverter::FromMix(mix.data(), sampleCount, fFormat.format, fFormat.byte_order,
	                         out.data());
	return !fPlays.empty();
}

void BSoundPlayer::ReleaseFinished()
{
	std::lock_guard<std::mutex> guard(fLock);
	for (auto play = fPlays.begin(); play != fPlays.end();) {
		const media_raw_audio_format& format = play->sound->Format();
		size_t frameSize = media_sample_size(format.format) * format.channel_count;
		if (size_t(play->sound->Size()) - play->position >= frameSize) {
			++play;
			continue;
		}
		play->sound->ReleaseRef();
		play = fPlays.erase(play);
	}
	fChanged.notify_all();
}

void BSoundPlayer::ReleaseAll()
{
	std::lock_guard<std::mutex> guard(fLock);
	for (Play& play : fPlays)
		play.sound->ReleaseRef();
	fPlays.clear();
	fChanged.notify_all();
}

// Keeps the frames written at most two buffers ahead of the clock.
void BSoundPlayer::Pace(size_t frames)
{
	using namespace std::chrono;
	if (fFramesSinceStart == 0)
		fClockStart = steady_clock::now();
	fFramesSinceStart += frames;
	double ahead = double(fFramesSinceStart) / fFormat.frame_rate -
	               duration<double>(steady_clock::now() - fClockStart).count();
	double allowed = 2.0 * double(fBufferFrames) / fFormat.frame_rate;
	if (ahead <= allowed)
		return;
	std::unique_lock<std::mutex> lock(fLock);
	fChanged.wait_for(lock, duration<double>(ahead - allowed), [this] { return fStopRequested; });
}
