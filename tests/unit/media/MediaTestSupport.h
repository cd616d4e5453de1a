// Sound files built byte by byte for the media tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace media_test {

inline void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
	for (int i = 0; i < bytes; i++)
		out.push_back(uint8_t(value >> (8 * i)));
}

inline void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
	for (int i = bytes - 1; i >= 0; i--)
		out.push_back(uint8_t(value >> (8 * i)));
}

inline void PutText(std::vector<uint8_t>& out, const char* text)
{
	out.insert(out.end(), text, text + strlen(text));
}

// A RIFF WAVE file: "fmt " with the tag, channels, rate and bits, then "data".
inline std::vector<uint8_t> Wave(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                                 const std::vector<uint8_t>& samples, bool extensible = false)
{
	std::vector<uint8_t> fmt;
	PutLittle(fmt, extensible ? 0xfffe : tag, 2);
	PutLittle(fmt, channels, 2);
	PutLittle(fmt, rate, 4);
	PutLittle(fmt, rate * channels * bits / 8, 4);
	PutLittle(fmt, channels * bits / 8, 2);
	PutLittle(fmt, bits, 2);
	if (extensible) {
		PutLittle(fmt, 22, 2);
		PutLittle(fmt, bits, 2);
		PutLittle(fmt, 0, 4);
		PutLittle(fmt, tag, 2);
		for (int i = 0; i < 14; i++)
			fmt.push_back(0);
	}
	std::vector<uint8_t> out;
	PutText(out, "RIFF");
	PutLittle(out, uint32_t(4 + 8 + fmt.size() + 8 + samples.size()), 4);
	PutText(out, "WAVE");
	PutText(out, "fmt ");
	PutLittle(out, uint32_t(fmt.size()), 4);
	out.insert(out.end(), fmt.begin(), fmt.end());
	PutText(out, "data");
	PutLittle(out, uint32_t(samples.size()), 4);
	out.insert(out.end(), samples.begin(), samples.end());
	return out;
}

// The 80-bit extended form of a whole sample rate.
inline void PutExtended(std::vector<uint8_t>& out, uint32_t rate)
{
	int exponent = 0;
	uint64_t mantissa = rate;
	while ((mantissa & (1ULL << 63)) == 0) {
		mantissa <<= 1;
		exponent++;
	}
	PutBig(out, 16383 + 63 - exponent, 2);
	for (int i = 7; i >= 0; i--)
		out.push_back(uint8_t(mantissa >> (8 * i)));
}

// An AIFF file, or an AIFC file when `compression` is given.
inline std::vector<uint8_t> Aiff(uint16_t channels, uint32_t rate, uint16_t bits,
                                 const std::vector<uint8_t>& samples,
                                 const char* compression = nullptr)
{
	std::vector<uint8_t> comm;
	PutBig(comm, channels, 2);
	PutBig(comm, uint32_t(samples.size() / (channels * bits / 8)), 4);
	PutBig(comm, bits, 2);
	PutExtended(comm, rate);
	if (compression != nullptr) {
		PutText(comm, compression);
		comm.push_back(0);
		comm.push_back(0);
	}
	std::vector<uint8_t> out;
	PutText(out, "FORM");
	PutBig(out, uint32_t(4 + 8 + comm.size() + 16 + samples.size()), 4);
	PutText(out, compression != nullptr ? "AIFC" : "AIFF");
	PutText(out, "COMM");
	PutBig(out, uint32_t(comm.size()), 4);
	out.insert(out.end(), comm.begin(), comm.end());
	PutText(out, "SSND");
	PutBig(out, uint32_t(8 + samples.size()), 4);
	PutBig(out, 0, 4);
	PutBig(out, 0, 4);
	out.insert(out.end(), samples.begin(), samples.end());
	return out;
}

inline std::string WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
	std::ofstream out(path, std::ios::binary);
	out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
	return path;
}

// `frames` frames of 16-bit mono silence at 8000 Hz, as little-endian bytes.
inline std::vector<uint8_t> Silence16(size_t frames)
{
	return std::vector<uint8_t>(frames * 2, 0);
}

} // namespace media_test
