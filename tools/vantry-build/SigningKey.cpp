// Reading a minisign secret key: base64 of "Ed", the key derivation ("Sc" for
// scrypt, zeros for none), "B2", salt, limits, then key ID, secret key and a
// BLAKE2b-256 checksum, encrypted by XOR with the scrypt stream.
#include "SigningKey.h"

#include <fcntl.h>
#include <sodium.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

const size_t kKeyFileSize = 158;
const size_t kSaltOffset = 6;
const size_t kOpsOffset = 38;
const size_t kMemOffset = 46;
const size_t kKeyOffset = 54;
const size_t kKeyDataSize = 104; // key ID, secret key, checksum
const size_t kLargestFile = 64 * 1024;

uint64 load64(const uint8* in)
{
	uint64 value = 0;
	for (int i = 7; i >= 0; i--)
		value = (value << 8) | in[i];
	return value;
}

// Turns the terminal's echo off while a password is typed.
class HiddenInput {
public:
	explicit HiddenInput(const int& fd) : fFd(fd), fRestore(tcgetattr(fd, &fSaved) == 0)
	{
		if (!fRestore)
			return;
		struct termios quiet = fSaved;
		quiet.c_lflag &= ~tcflag_t(ECHO);
		tcsetattr(fd, TCSAFLUSH, &quiet);
	}
	~HiddenInput()
	{
		if (fRestore)
			tcsetattr(fFd, TCSAFLUSH, &fSaved);
	}

private:
	int fFd;
	struct termios fSaved;
	bool fRestore;
};

} // namespace

SigningKey::SigningKey(const std::string& path)
    : fPath(path), fStatus(B_NO_INIT), fKeyId{}, fSecret{}
{
	fStatus = Load();
}

SigningKey::~SigningKey()
{
	sodium_memzero(fSecret, sizeof(fSecret));
}

status_t SigningKey::Fail(const std::string& text)
{
	fError = fPath + ": " + text;
	return B_BAD_VALUE;
}

status_t SigningKey::Load()
{
	if (sodium_init() < 0)
		return Fail("the signing library cannot start");
	std::ifstream file(fPath, std::ios::binary);
	if (!file)
		return Fail(std::string("cannot read the secret key: ") + strerror(errno));
	std::string comment;
	std::string encoded;
	std::getline(file, comment);
	std::getline(file, encoded);
	if (comment.rfind("untrusted comment:", 0) != 0 || file.tellg() > std::streamoff(kLargestFile))
		return Fail("not a minisign secret key (its first line is no \"untrusted comment:\"; "
		            "make one with minisign -G)");
	while (!encoded.empty() && (encoded.back() == '\r' || encoded.back() == ' '))
		encoded.pop_back();
	uint8 key[kKeyFileSize + 1];
	size_t length = 0;
	if (sodium_base642bin(key, sizeof(key), encoded.data(), encoded.size(), nullptr, &length,
	                      nullptr, sodium_base64_VARIANT_ORIGINAL) != 0 ||
	    length != kKeyFileSize)
		return Fail("not a minisign secret key (its second line is not the base64 of a " +
		            std::to_string(kKeyFileSize) + "-byte key)");
	if (memcmp(key, "Ed", 2) != 0 || memcmp(key + 4, "B2", 2) != 0)
		return Fail("not an Ed25519 minisign secret key (it starts with \"" +
		            std::string((const char*)key, 2) + "\")");
	const bool encrypted = memcmp(key + 2, "Sc", 2) == 0;
	if (!encrypted && memcmp(key + 2, "\0\0", 2) != 0)
		return Fail("the key is encrypted in a way minisign does not know");
	uint8* data = key + kKeyOffset;
	if (encrypted) {
		const status_t status = Decrypt(data, key + kSaltOffset, load64(key + kOpsOffset),
		                                load64(key + kMemOffset));
		if (status != B_OK)
			return status;
	}
	uint8 checksum[32];
	uint8 checked[2 + 8 + 64];
	memcpy(checked, key, 2);
	memcpy(checked + 2, data, 8 + 64);
	crypto_generichash(checksum, sizeof(checksum), checked, sizeof(checked), nullptr, 0);
	sodium_memzero(checked, sizeof(checked));
	// minisign -W leaves the checksum of a key it does not encrypt zero.
	const bool matches = sodium_memcmp(checksum, data + 8 + 64, sizeof(checksum)) == 0 ||
	                     (!encrypted && sodium_is_zero(data + 8 + 64, sizeof(checksum)));
	memcpy(fKeyId, data, 8);
	memcpy(fSecret, data + 8, 64);
	sodium_memzero(key, sizeof(key));
	if (!matches)
		return Fail(encrypted ? "wrong password for this secret key"
		                      : "the secret key is damaged: its checksum does not match");
	uint8 publicKey[32];
	uint8 secret[64];
	crypto_sign_seed_keypair(publicKey, secret, fSecret);
	sodium_memzero(secret, sizeof(secret));
	if (memcmp(publicKey, fSecret + 32, sizeof(publicKey)) != 0)
		return Fail("the secret key is damaged: its two halves do not belong together");
	return B_OK;
}

status_t SigningKey::Decrypt(uint8* keyData, const uint8* salt, const uint64& opsLimit,
                             const uint64& memLimit)
{
	std::string password;
	status_t status = ReadPassword(&password);
	if (status != B_OK)
		return status;
	uint8 stream[kKeyDataSize];
	const int derived =
	        crypto_pwhash_scryptsalsa208sha256(stream, sizeof(stream), password.data(),
	                                           password.size(), salt, opsLimit, size_t(memLimit));
	sodium_memzero(password.data(), password.size());
	if (derived != 0)
		return Fail("cannot derive the key from the password (the key asks for " +
		            std::to_string(memLimit >> 20) + " MB of memory)");
	for (size_t i = 0; i < kKeyDataSize; i++)
		keyData[i] ^= stream[i];
	sodium_memzero(stream, sizeof(stream));
	return B_OK;
}

status_t SigningKey::ReadPassword(std::string* password)
{
	const char* given = getenv("VANTRY_SIGN_PASSWORD");
	if (given != nullptr) {
		*password = given;
		return B_OK;
	}
	const int terminal = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
	if (terminal < 0)
		return Fail("the secret key is encrypted: set VANTRY_SIGN_PASSWORD, or run vantry-build "
		            "on a terminal to type its password");
	const std::string prompt = "Password for " + fPath + ": ";
	ssize_t ignored = write(terminal, prompt.data(), prompt.size());
	{
		HiddenInput hidden(terminal);
		char c = 0;
		while (read(terminal, &c, 1) == 1 && c != '\n')
			password->push_back(c);
	}
	ignored = write(terminal, "\n", 1);
	(void)ignored;
	close(terminal);
	if (!password->empty() && password->back() == '\r')
		password->pop_back();
	return B_OK;
}

void SigningKey::Sign(const uint8* message, const size_t& length, uint8* signature) const
{
	crypto_sign_detached(signature, nullptr, message, length, fSecret);
}
