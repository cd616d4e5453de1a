// SoundFileReader: loads the samples of an uncompressed WAV or AIFF file with
// their raw audio format, as the media kit's file decoders would.
#pragma once

#include <string>
#include <vector>

#include "MediaDefs.h"

class SoundFileReader {
public:
	// Reads the whole file. B_MEDIA_BAD_FORMAT for a file that is not a
	// sound we decode; the outputs are untouched then.
	static status_t Read(const char* path, media_raw_audio_format* format,
	                     std::vector<uint8>* samples);
	// The same from bytes already in memory.
	static status_t Decode(const std::vector<uint8>& file, media_raw_audio_format* format,
	                       std::vector<uint8>* samples);

	// Larger files are refused rather than held in memory.
	static const size_t kMaxFileSize = 64 * 1024 * 1024;

private:
	static status_t DecodeWave(const std::vector<uint8>& file, media_raw_audio_format* format,
	                           std::vector<uint8>* samples);
	static status_t DecodeAiff(const std::vector<uint8>& file, media_raw_audio_format* format,
	                           std::vector<uint8>* samples);
};
