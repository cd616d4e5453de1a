// Raw audio formats of the media kit: sample format and byte order codes,
// the format record and the media error codes.
#pragma once

#include "SupportDefs.h"

// Sample formats (media_raw_audio_format::format).
enum : uint32 {
	B_AUDIO_CHAR = 0x1,
	B_AUDIO_SHORT = 0x2,
	B_AUDIO_INT = 0x4,
	B_AUDIO_UCHAR = 0x11,
	B_AUDIO_FLOAT = 0x24,
	B_AUDIO_SIZE_MASK = 0xf,
};

// Byte orders; 0 means the host's.
enum : uint32 {
	B_MEDIA_BIG_ENDIAN = 1,
	B_MEDIA_LITTLE_ENDIAN = 2,
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
	B_MEDIA_HOST_ENDIAN = B_MEDIA_BIG_ENDIAN,
#else
	B_MEDIA_HOST_ENDIAN = B_MEDIA_LITTLE_ENDIAN,
#endif
};

struct media_raw_audio_format {
	float frame_rate;
	uint32 channel_count;
	uint32 format;
	uint32 byte_order;
	size_t buffer_size;

	static const media_raw_audio_format wildcard;
};

enum : int32 {
	B_MEDIA_SYSTEM_FAILURE = B_MEDIA_ERROR_BASE + 0x100,
	B_MEDIA_BAD_NODE,
	B_MEDIA_NODE_BUSY,
	B_MEDIA_BAD_FORMAT,
};

// Bytes of one sample of a format code, 0 for an unknown code.
size_t media_sample_size(uint32 format);
// True when the format names a known sample format, at least one channel and
// a positive frame rate.
bool media_format_is_playable(const media_raw_audio_format& format);
