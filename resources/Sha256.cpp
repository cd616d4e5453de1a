// SHA-256 with the x86 SHA extensions: four rounds per pair of sha256rnds2,
// the message schedule by sha256msg1/sha256msg2.
#include "Sha256.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VANTRY_SHA_NI 1
#endif

namespace {

const uint32 kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                            0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

#if VANTRY_SHA_NI
alignas(16) const uint32 kRound[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};

__attribute__((target("sha,sse4.1"))) void sha_ni_blocks(uint32* state, const uint8* data,
                                                         size_t count)
{
	const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
	// The instructions keep the state as ABEF and CDGH.
	__m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i*)&state[0]), 0xB1);
	__m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128((const __m128i*)&state[4]), 0x1B);
	__m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
	__m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
	for (; count > 0; count--, data += 64) {
		const __m128i abefBefore = abef;
		const __m128i cdghBefore = cdgh;
		__m128i words[4];
#pragma GCC unroll 16
		for (int group = 0; group < 16; group++) {
			__m128i& current = words[group % 4];
			if (group < 4)
				current = _mm_shuffle_epi8(_mm_loadu_si128((const __m128i*)(data + 16 * group)),
				                           byteSwap);
			__m128i message =
			        _mm_add_epi32(current, _mm_load_si128((const __m128i*)&kRound[4 * group]));
			cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
			if (group >= 3 && group <= 14) {
				__m128i& next = words[(group + 1) % 4];
				next = _mm_add_epi32(next, _mm_alignr_epi8(current, words[(group + 3) % 4], 4));
				next = _mm_sha256msg2_epu32(next, current);
			}
			message = _mm_shuffle_epi32(message, 0x0E);
			abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
			if (group >= 1 && group <= 12)
				words[(group + 3) % 4] = _mm_sha256msg1_epu32(words[(group + 3) % 4], current);
		}
		abef = _mm_add_epi32(abef, abefBefore);
		cdgh = _mm_add_epi32(cdgh, cdghBefore);
	}
	const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
	const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
	_mm_storeu_si128((__m128i*)&state[0], _mm_blend_epi16(feba, dchg, 0xF0));
	_mm_storeu_si128((__m128i*)&state[4], _mm_alignr_epi8(dchg, feba, 8));
}
#endif

} // namespace

bool Sha256::Accelerated()
{
#if VANTRY_SHA_NI
	static const bool has = __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1");
	return has;
#else
	return false;
#endif
}

Sha256::Sha256() : fAccelerated(Accelerated()), fBuffered(0), fLength(0)
{
	memcpy(fState, kInitial, sizeof(fState));
	if (!fAccelerated)
		crypto_hash_sha256_init(&fPortable);
}

void Sha256::Blocks(const uint8* data, const size_t& count)
{
#if VANTRY_SHA_NI
	sha_ni_blocks(fState, data, count);
#else
	(void)data;
	(void)count;
#endif
}

void Sha256::Update(const uint8* data, size_t size)
{
	if (!fAccelerated) {
		crypto_hash_sha256_update(&fPortable, data, size);
		return;
	}
	fLength += size;
	if (fBuffered > 0) {
		const size_t taken = std::min(size, sizeof(fBuffer) - fBuffered);
		memcpy(fBuffer + fBuffered, data, taken);
		fBuffered += taken;
		data += taken;
		size -= taken;
		if (fBuffered < sizeof(fBuffer))
			return;
		Blocks(fBuffer, 1);
		fBuffered = 0;
	}
	Blocks(data, size / 64);
	memcpy(fBuffer, data + size / 64 * 64, size % 64);
	fBuffered = size % 64;
}

void Sha256::Final(uint8* digest)
{
	if (!fAccelerated) {
		crypto_hash_sha256_final(&fPortable, digest);
		return;
	}
	const uint64 bits = fLength * 8;
	uint8 tail[128] = {};
	memcpy(tail, fBuffer, fBuffered);
	tail[fBuffered] = 0x80;
	const size_t blocks = fBuffered + 9 <= 64 ? 1 : 2;
	for (int i = 0; i < 8; i++)
		tail[blocks * 64 - 1 - i] = uint8(bits >> (8 * i));
	Blocks(tail, blocks);
	for (int i = 0; i < 8; i++) {
		digest[4 * i] = uint8(fState[i] >> 24);
		digest[4 * i + 1] = uint8(fState[i] >> 16);
		digest[4 * i + 2] = uint8(fState[i] >> 8);
		digest[4 * i + 3] = uint8(fState[i]);
	}
}
