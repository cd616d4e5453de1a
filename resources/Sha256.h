// Sha256: SHA-256 computed in pieces, with the processor's SHA instructions
// where it has them (about twice the speed of BLAKE2b), libsodium's portable
// code elsewhere. Signed installers digest their parts with it.
#pragma once

#include <sodium.h>

#include <cstddef>

#include "SupportDefs.h"

class Sha256 {
public:
	static const size_t kSize = 32;

	Sha256();

	void Update(const uint8* data, size_t size);
	// Writes the 32-byte digest; the object is spent afterwards.
	void Final(uint8* digest);

	// Whether this processor has the SHA instructions.
	static bool Accelerated();

private:
	void Blocks(const uint8* data, const size_t& count);

	bool fAccelerated;
	crypto_hash_sha256_state fPortable;
	uint32 fState[8];
	uint8 fBuffer[64];
	size_t fBuffered;
	uint64 fLength;
};
