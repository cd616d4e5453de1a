// The SHA instructions' digest against libsodium's portable one, at every
// length around the block edges and split at every point of a buffer.
#include <gtest/gtest.h>
#include <sodium.h>

#include <random>
#include <vector>

#include "Sha256.h"

namespace {

std::vector<uint8> Digest(const std::vector<uint8>& bytes, const size_t& split)
{
	Sha256 hash;
	hash.Update(bytes.data(), split);
	hash.Update(bytes.data() + split, bytes.size() - split);
	std::vector<uint8> digest(Sha256::kSize);
	hash.Final(digest.data());
	return digest;
}

std::vector<uint8> Reference(const std::vector<uint8>& bytes)
{
	std::vector<uint8> digest(crypto_hash_sha256_BYTES);
	crypto_hash_sha256(digest.data(), bytes.data(), bytes.size());
	return digest;
}

TEST(Sha256Test, MatchesTheReferenceAtEveryLengthAndSplit)
{
	ASSERT_GE(sodium_init(), 0);
	std::mt19937 random(7);
	std::vector<uint8> bytes(1 << 20);
	for (uint8& byte : bytes)
		byte = uint8(random());
	for (size_t length = 0; length <= 200; length++) {
		const std::vector<uint8> part(bytes.begin(), bytes.begin() + length);
		for (size_t split = 0; split <= length; split += 7)
			ASSERT_EQ(Digest(part, split), Reference(part)) << length << " split " << split;
	}
	EXPECT_EQ(Digest(bytes, 12345), Reference(bytes));
	// "abc" from the standard's examples.
	const std::vector<uint8> abc = {'a', 'b', 'c'};
	const std::vector<uint8> expected = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea,
	                                     0x41, 0x41, 0x40, 0xde, 0x5d, 0xae, 0x22, 0x23,
	                                     0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17, 0x7a, 0x9c,
	                                     0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
	EXPECT_EQ(Digest(abc, 1), expected);
}

} // namespace
