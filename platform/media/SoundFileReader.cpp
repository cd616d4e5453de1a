// WAV (PCM, float, extensible) and AIFF/AIFC (uncompressed) decoding.
#include "SoundFileReader.h"

#include "ByteOrder.h"

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

const size_t kDefaultBufferSize = 4096;

struct Chunk {
	char id[5];
	size_t offset;
	size_t size;
};

// The 80-bit IEEE extended number AIFF stores its sample rate in.
double ReadExtended(const uint8* p)
{
	int exponent = ((p[0] & 0x7f) << 8) | p[1];
	uint64 mantissa = 0;
	for (int i = 0; i < 8; i++)
		mantissa = (mantissa << 8) | p[2 + i];
	if (exponent == 0 && mantissa == 0)
		return 0.0;
	double value = std::ldexp(double(mantissa), exponent - 16383 - 63);
	return (p[0] & 0x80) != 0 ? -value : value;
}

// The chunks of a RIFF or IFF body from `start`; sizes are checked against the file.
std::vector<Chunk> ListChunks(const std::vector<uint8>& file, size_t start, bool bigEndian)
{
	std::vector<Chunk> chunks;
	size_t position = start;
	while (position + 8 <= file.size()) {
		Chunk chunk;
		memcpy(chunk.id, file.data() + position, 4);
		chunk.id[4] = '\0';
		uint32 size = bigEndian ? read_u32(file.data() + position + 4, true)
		                        : read_u32(file.data() + position + 4, false);
		chunk.offset = position + 8;
		// A last chunk that claims more than the file holds is cut to what is there.
		chunk.size = min_c(size_t(size), file.size() - chunk.offset);
		chunks.push_back(chunk);
		position = chunk.offset + chunk.size + (chunk.size & 1);
	}
	return chunks;
}

const Chunk* FindChunk(const std::vector<Chunk>& chunks, const char* id)
{
	for (const Chunk& chunk : chunks) {
		if (memcmp(chunk.id, id, 4) == 0)
			return &chunk;
	}
	return nullptr;
}

// 24-bit samples widen to 32 bits, which the sample formats have.
std::vector<uint8> Widen24(const uint8* data, size_t size, bool bigEndian)
{
	size_t count = size / 3;
	std::vector<uint8> out(count * 4);
	for (size_t i = 0; i < count; i++) {
		const uint8* s = data + i * 3;
		uint8* d = out.data() + i * 4;
		if (bigEndian) {
			d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 0;
		} else {
			d[0] = 0, d[1] = s[0], d[2] = s[1], d[3] = s[2];
		}
	}
	return out;
}

status_t SampleFormatFor(uint32 bits, bool isFloat, bool signed8, uint32* format)
{
	if (isFloat) {
		if (bits != 32)
			return B_MEDIA_BAD_FORMAT;
		*format = B_AUDIO_FLOAT;
		return B_OK;
	}
	switch (bits) {
		case 8: *format = signed8 ? B_AUDIO_CHAR : B_AUDIO_UCHAR; return B_OK;
		case 16: *format = B_AUDIO_SHORT; return B_OK;
		case 24:
		case 32: *format = B_AUDIO_INT; return B_OK;
		default: return B_MEDIA_BAD_FORMAT;
	}
}

status_t Finish(const uint8* data, size_t size, uint32 bits, media_raw_audio_format& found,
                media_raw_audio_format* format, std::vector<uint8>* samples)
{
	if (!media_format_is_playable(found))
		return B_MEDIA_BAD_FORMAT;
	bool bigEndian = found.byte_order == B_MEDIA_BIG_ENDIAN;
	if (bits == 24)
		*samples = Widen24(data, size, bigEndian);
	else
		samples->assign(data, data + size);
	size_t frameSize = media_sample_size(found.format) * found.channel_count;
	samples->resize(samples->size() - samples->size() % frameSize);
	found.buffer_size = kDefaultBufferSize - kDefaultBufferSize % frameSize;
	*format = found;
	return B_OK;
}

} // namespace

status_t SoundFileReader::Read(const char* path, media_raw_audio_format* format,
                               std::vector<uint8>* samples)
{
	if (path == nullptr || format == nullptr || samples == nullptr)
		return B_BAD_VALUE;
	std::ifstream in(path, std::ios::binary | std::ios::ate);
	if (!in)
		return B_ENTRY_NOT_FOUND;
	std::streamoff size = in.tellg();
	if (size < 0 || size_t(size) > kMaxFileSize)
		return B_MEDIA_BAD_FORMAT;
	std::vector<uint8> file(static_cast<size_t>(size));
	in.seekg(0);
	if (!in.read(reinterpret_cast<char*>(file.data()), size))
		return B_IO_ERROR;
	return Decode(file, format, samples);
}

status_t SoundFileReader::Decode(const std::vector<uint8>& file, media_raw_audio_format* format,
                                 std::vector<uint8>* samples)
{
	if (format == nullptr || samples == nullptr)
		return B_BAD_VALUE;
	if (file.size() < 12)
		return B_MEDIA_BAD_FORMAT;
	if (memcmp(file.data(), "RIFF", 4) == 0 && memcmp(file.data() + 8, "WAVE", 4) == 0)
		return DecodeWave(file, format, samples);
	if (memcmp(file.data(), "FORM", 4) == 0 &&
	    (memcmp(file.data() + 8, "AIFF", 4) == 0 || memcmp(file.data() + 8, "AIFC", 4) == 0))
		return DecodeAiff(file, format, samples);
	return B_MEDIA_BAD_FORMAT;
}

status_t SoundFileReader::DecodeWave(const std::vector<uint8>& file, media_raw_audio_format* format,
                                     std::vector<uint8>* samples)
{
	std::vector<Chunk> chunks = ListChunks(file, 12, false);
	const Chunk* fmt = FindChunk(chunks, "fmt ");
	const Chunk* data = FindChunk(chunks, "data");
	if (fmt == nullptr || data == nullptr || fmt->size < 16)
		return B_MEDIA_BAD_FORMAT;
	const uint8* f = file.data() + fmt->offset;
	uint16 tag = read_u16(f, false);
	// WAVE_FORMAT_EXTENSIBLE names the real tag in its sub-format.
	if (tag == 0xfffe && fmt->size >= 26)
		tag = read_u16(f + 24, false);
	if (tag != 1 && tag != 3)
		return B_MEDIA_BAD_FORMAT;
	uint32 bits = read_u16(f + 14, false);
	media_raw_audio_format found = {};
	found.channel_count = read_u16(f + 2, false);
	found.frame_rate = float(read_u32(f + 4, false));
	found.byte_order = B_MEDIA_LITTLE_ENDIAN;
	if (SampleFormatFor(bits, tag == 3, false, &found.format) != B_OK)
		return B_MEDIA_BAD_FORMAT;
	return Finish(file.data() + data->offset, data->size, bits, found, format, samples);
}

status_t SoundFileReader::DecodeAiff(const std::vector<uint8>& file, media_raw_audio_format* format,
                                     std::vector<uint8>* samples)
{
	bool compressedForm = memcmp(file.data() + 8, "AIFC", 4) == 0;
	std::vector<Chunk> chunks = ListChunks(file, 12, true);
	const Chunk* comm = FindChunk(chunks, "COMM");
	const Chunk* ssnd = FindChunk(chunks, "SSND");
	if (comm == nullptr || ssnd == nullptr || comm->size < 18 || ssnd->size < 8)
		return B_MEDIA_BAD_FORMAT;
	const uint8* c = file.data() + comm->offset;
	media_raw_audio_format found = {};
	found.channel_count = read_u16(c, true);
	uint32 bits = read_u16(c + 6, true);
	found.frame_rate = float(ReadExtended(c + 8));
	found.byte_order = B_MEDIA_BIG_ENDIAN;
	bool isFloat = false;
	if (compressedForm) {
		if (comm->size < 22)
			return B_MEDIA_BAD_FORMAT;
		const uint8* kind = c + 18;
		if (memcmp(kind, "sowt", 4) == 0)
			found.byte_order = B_MEDIA_LITTLE_ENDIAN;
		else if (memcmp(kind, "fl32", 4) == 0 || memcmp(kind, "FL32", 4) == 0)
			isFloat = true;
		else if (memcmp(kind, "NONE", 4) != 0)
			return B_MEDIA_BAD_FORMAT;
	}
	if (SampleFormatFor(bits, isFloat, true, &found.format) != B_OK)
		return B_MEDIA_BAD_FORMAT;
	uint32 skip = read_u32(file.data() + ssnd->offset, true);
	if (skip > ssnd->size - 8)
		return B_MEDIA_BAD_FORMAT;
	const uint8* data = file.data() + ssnd->offset + 8 + skip;
	return Finish(data, ssnd->size - 8 - skip, bits, found, format, samples);
}
