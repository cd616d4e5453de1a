// Sample sizes and the checks of raw audio formats.
#include "MediaDefs.h"

const media_raw_audio_format media_raw_audio_format::wildcard = {0.0f, 0, 0, 0, 0};

size_t media_sample_size(uint32 format)
{
	switch (format) {
		case B_AUDIO_CHAR:
		case B_AUDIO_UCHAR: return 1;
		case B_AUDIO_SHORT: return 2;
		case B_AUDIO_INT:
		case B_AUDIO_FLOAT: return 4;
		default: return 0;
	}
}

bool media_format_is_playable(const media_raw_audio_format& format)
{
	// Rates above a few hundred kilohertz or hundreds of channels are damaged
	// archives, not sounds.
	return media_sample_size(format.format) != 0 && format.channel_count >= 1 &&
	       format.channel_count <= 32 && format.frame_rate >= 1.0f &&
	       format.frame_rate <= 768000.0f;
}
