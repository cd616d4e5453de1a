// Minisign key files made for tests without the minisign tool: a secret key,
// plain or encrypted with the smallest scrypt limits, and its public key.
#pragma once

#include <sodium.h>

#include <cstring>
#include <fstream>
#include <string>

namespace minisign_test {

struct KeyFiles {
	std::string secret;    // path of the secret key
	std::string publicKey; // path of the public key
	std::string id;        // as minisign prints it
};

inline std::string Base64(const unsigned char* data, size_t length)
{
	std::string text(sodium_base64_ENCODED_LEN(length, sodium_base64_VARIANT_ORIGINAL), '\0');
	sodium_bin2base64(text.data(), text.size(), data, length, sodium_base64_VARIANT_ORIGINAL);
	text.resize(strlen(text.c_str()));
	return text;
}

inline void Store64(unsigned char* out, unsigned long long value)
{
	for (int i = 0; i < 8; i++)
		out[i] = (unsigned char)(value >> (8 * i));
}

// Writes `base`.key and `base`.pub; encrypted with `password` unless it is empty.
inline KeyFiles MakeKey(const std::string& base, const std::string& password = "")
{
	if (sodium_init() < 0)
		return {};
	unsigned char publicKey[32];
	unsigned char secret[64];
	crypto_sign_keypair(publicKey, secret);
	unsigned char id[8];
	randombytes_buf(id, sizeof(id));
	unsigned char key[158] = {};
	memcpy(key, "Ed", 2);
	memcpy(key + 4, "B2", 2);
	unsigned char* data = key + 54;
	memcpy(data, id, 8);
	memcpy(data + 8, secret, 64);
	unsigned char checked[74];
	memcpy(checked, "Ed", 2);
	memcpy(checked + 2, data, 72);
	crypto_generichash(data + 72, 32, checked, sizeof(checked), nullptr, 0);
	if (!password.empty()) {
		memcpy(key + 2, "Sc", 2);
		randombytes_buf(key + 6, 32);
		const unsigned long long ops = crypto_pwhash_scryptsalsa208sha256_OPSLIMIT_MIN;
		const unsigned long long mem = crypto_pwhash_scryptsalsa208sha256_MEMLIMIT_MIN;
		Store64(key + 38, ops);
		Store64(key + 46, mem);
		unsigned char stream[104];
		if (crypto_pwhash_scryptsalsa208sha256(stream, sizeof(stream), password.data(),
		                                       password.size(), key + 6, ops, mem) != 0)
			return {};
		for (size_t i = 0; i < sizeof(stream); i++)
			data[i] ^= stream[i];
	}
	unsigned char pub[42];
	memcpy(pub, "Ed", 2);
	memcpy(pub + 2, id, 8);
	memcpy(pub + 10, publicKey, 32);
	KeyFiles files{base + ".key", base + ".pub", ""};
	char text[17];
	for (int i = 0; i < 8; i++)
		snprintf(text + 2 * i, 3, "%02X", id[7 - i]);
	files.id = text;
	std::ofstream(files.secret) << "untrusted comment: minisign encrypted secret key\n"
	                            << Base64(key, sizeof(key)) << "\n";
	std::ofstream(files.publicKey) << "untrusted comment: minisign public key " << files.id << "\n"
	                               << Base64(pub, sizeof(pub)) << "\n";
	return files;
}

} // namespace minisign_test
