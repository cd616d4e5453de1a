// SigningKey: an Ed25519 secret key in minisign's file format, as
// `minisign -G` writes it: encrypted with a password (scrypt), or not (-W).
#pragma once

#include <string>

#include "SupportDefs.h"

class SigningKey {
public:
	// Reads the key file at `path`. An encrypted key takes its password from
	// VANTRY_SIGN_PASSWORD, else asks for it on the terminal.
	explicit SigningKey(const std::string& path);
	~SigningKey();

	status_t InitCheck() const { return fStatus; }
	// What is wrong with the key, naming its file.
	const std::string& ErrorText() const { return fError; }

	const uint8* KeyId() const { return fKeyId; }
	// The public half, from the secret key.
	const uint8* PublicKey() const { return fSecret + 32; }
	// The Ed25519 signature (64 bytes) of `length` bytes at `message`.
	void Sign(const uint8* message, const size_t& length, uint8* signature) const;

private:
	status_t Fail(const std::string& text);
	status_t Load();
	status_t Decrypt(uint8* keyData, const uint8* salt, const uint64& opsLimit,
	                 const uint64& memLimit);
	status_t ReadPassword(std::string* password);

	std::string fPath;
	status_t fStatus;
	std::string fError;
	uint8 fKeyId[8];
	uint8 fSecret[64];
};
