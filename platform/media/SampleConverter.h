// SampleConverter: raw audio samples to and from the floating-point mix the
// sound player sums its sounds in.
#pragma once

#include "MediaDefs.h"

class SampleConverter {
public:
	// One sample as -1.0 .. 1.0.
	static float ReadSample(const uint8* sample, uint32 format, uint32 byteOrder);
	// Writes one sample, clipped to the format's range.
	static void WriteSample(float value, uint8* sample, uint32 format, uint32 byteOrder);
	// Adds `count` samples of `source`, times `gain`, to `mix`.
	static void AddToMix(const uint8* source, size_t count, uint32 format, uint32 byteOrder,
	                     float gain, float* mix);
	// Writes `count` mixed samples in the format.
	static void FromMix(const float* mix, size_t count, uint32 format, uint32 byteOrder,
	                    uint8* out);
};
