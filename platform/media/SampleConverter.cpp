// Conversion of 8, 16 and 32-bit integer and float samples in either byte order.
#include "SampleConverter.h"

#include <cmath>
#include <cstring>

namespace {

bool NeedsSwap(uint32 byteOrder)
{
	return byteOrder != 0 && byteOrder != B_MEDIA_HOST_ENDIAN;
}

template <typename T> T Load(const uint8* p, bool swap)
{
	uint8 bytes[sizeof(T)];
	for (size_t i = 0; i < sizeof(T); i++)
		bytes[i] = swap ? p[sizeof(T) - 1 - i] : p[i];
	T value;
	memcpy(&value, bytes, sizeof(T));
	return value;
}

template <typename T> void Store(T value, uint8* p, bool swap)
{
	uint8 bytes[sizeof(T)];
	memcpy(bytes, &value, sizeof(T));
	for (size_t i = 0; i < sizeof(T); i++)
		p[i] = swap ? bytes[sizeof(T) - 1 - i] : bytes[i];
}

float Clip(float value)
{
	if (std::isnan(value))
		return 0.0f;
	return value > 1.0f ? 1.0f : (value < -1.0f ? -1.0f : value);
}

} // namespace

float SampleConverter::ReadSample(const uint8* sample, uint32 format, uint32 byteOrder)
{
	bool swap = NeedsSwap(byteOrder);
	switch (format) {
		case B_AUDIO_UCHAR: return (float(sample[0]) - 128.0f) / 128.0f;
		case B_AUDIO_CHAR: return float(int8(sample[0])) / 128.0f;
		case B_AUDIO_SHORT: return float(Load<int16>(sample, swap)) / 32768.0f;
		case B_AUDIO_INT: return float(double(Load<int32>(sample, swap)) / 2147483648.0);
		case B_AUDIO_FLOAT: return Clip(Load<float>(sample, swap));
		default: return 0.0f;
	}
}

void SampleConverter::WriteSample(float value, uint8* sample, uint32 format, uint32 byteOrder)
{
	bool swap = NeedsSwap(byteOrder);
	float v = Clip(value);
	switch (format) {
		case B_AUDIO_UCHAR: sample[0] = uint8(std::lround(v * 127.0f) + 128); break;
		case B_AUDIO_CHAR: sample[0] = uint8(int8(std::lround(v * 127.0f))); break;
		case B_AUDIO_SHORT: Store<int16>(int16(std::lround(v * 32767.0f)), sample, swap); break;
		case B_AUDIO_INT:
			Store<int32>(int32(std::llround(double(v) * 2147483647.0)), sample, swap);
			break;
		case B_AUDIO_FLOAT: Store<float>(v, sample, swap); break;
		default: break;
	}
}

void SampleConverter::AddToMix(const uint8* source, size_t count, uint32 format, uint32 byteOrder,
                               float gain, float* mix)
{
	size_t size = media_sample_size(format);
	for (size_t i = 0; i < count; i++)
		mix[i] += ReadSample(source + i * size, format, byteOrder) * gain;
}

void SampleConverter::FromMix(const float* mix, size_t count, uint32 format, uint32 byteOrder,
                              uint8* out)
{
	size_t size = media_sample_size(format);
	for (size_t i = 0; i < count; i++)
		WriteSample(mix[i], out + i * size, format, byteOrder);
}
