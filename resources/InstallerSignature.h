// InstallerSignature: the Ed25519 signature an installer file carries of
// itself, made by `vantry-build --sign` with a minisign key and checked by the
// installer before anything else.
//
// It is the resource 'VSIG' 1 ("VXC:signature"), little-endian:
//   0    "ES"          Ed25519 over a BLAKE2b-512 prehash, parts by SHA-256
//                      ("ED": parts by BLAKE2b-256, as the first ones were)
//   2    key ID        8 bytes as minisign keeps them (printed last byte first)
//   10   public key    32 bytes
//   42   signature     64 bytes, of BLAKE2b-512 of the message below
//   106  part count    uint32
//   110  parts         per part: its length (uint64) and the SHA-256 of its bytes
// The parts tile the whole file from byte 0 to its end, skipping only this
// resource's own data bytes: the program and resource tables, then every
// other resource's data, cut at resource boundaries and every 4 MiB. The
// message is "Vantry installer signature 2\n" ("... 1\n" for "ED"), bytes 2 to 41 and bytes 106 to
// the end. A changed byte anywhere else, the resource tables that place this
// resource included, breaks one part's digest or the signature; the part
// says where. The parts are hashed on every core.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "SupportDefs.h"

extern const type_code kSignatureType; // 'VSIG'
extern const int32 kSignatureId;
extern const char* const kSignatureName;

// The fixed head of the resource: algorithm, key ID, public key, signature.
struct SignatureHead {
	uint8 keyId[8] = {};
	uint8 publicKey[32] = {};
	uint8 signature[64] = {};
};

class InstallerSignature {
public:
	enum State { kUnsigned, kGood, kBad };

	// Checks the signature of the installer file at `path`; a file whose
	// resources cannot be read at all counts as bad.
	explicit InstallerSignature(const char* path);

	State GetState() const { return fState; }
	// "5898BADBA94D0852", as minisign prints it; empty when unsigned.
	const std::string& KeyId() const { return fKeyId; }
	// The raw 32 bytes of the public key; empty when unsigned.
	const std::string& PublicKey() const { return fPublicKey; }
	// For kBad: what was found changed, naming the part of the file.
	const std::string& Problem() const { return fProblem; }
	// "Signed by <company> (key <ID>)", "This installer is not signed" or
	// "the installer was changed after it was signed: <what>".
	std::string Summary(const char* company) const;

	// The resource's size for `parts` parts.
	static size_t ResourceSize(const size_t& parts);
	// The lengths of the parts of the file at `path` whose signature
	// resource lies at [skipOffset, skipOffset + skipSize).
	static status_t PartLengths(const char* path, const off_t& skipOffset, const size_t& skipSize,
	                            std::vector<uint64>* lengths, std::string* error);
	// The SHA-256 (or with `sha` false BLAKE2b-256) digests of those parts
	// of the open file `fd`.
	static status_t DigestParts(const int& fd, const std::vector<uint64>& lengths,
	                            const off_t& skipOffset, const size_t& skipSize, const bool& sha,
	                            std::vector<std::string>* digests, std::string* error);
	// The resource's bytes, the signature left zero.
	static std::string Encode(const SignatureHead& head, const std::vector<uint64>& lengths,
	                          const std::vector<std::string>& digests);
	// The BLAKE2b-512 prehash the signature is made over, from the resource's bytes.
	static std::string Prehash(const std::string& resource);
	// Writes `signature` (64 bytes) into the encoded resource.
	static void SetSignature(std::string* resource, const uint8* signature);
	// The key ID as minisign prints it.
	static std::string KeyIdText(const uint8* keyId);

private:
	void Check(const char* path);
	// The algorithm, the size and the signature of the list of parts.
	bool VerifyHead(const std::string& resource);
	// The signed parts cover the file, all but the resource at `offset`.
	bool CheckCoverage(const std::vector<uint64>& lengths, const off_t& offset, const size_t& size,
	                   const off_t& fileSize);
	// Every part's bytes have the digest that was signed; the first that
	// does not is named.
	bool CompareParts(const char* path, const int& fd, const std::string& resource,
	                  const std::vector<uint64>& lengths, const off_t& offset);
	// The part count a resource of at least 110 bytes states.
	static size_t PartCount(const std::string& resource);
	// The lengths of the parts the resource lists.
	static std::vector<uint64> SignedLengths(const std::string& resource);
	bool Bad(const std::string& problem);

	State fState;
	std::string fKeyId;
	std::string fPublicKey;
	std::string fProblem;
};

// The result of the check the program made of its own file at start, for
// the front ends and the log; null before that check.
const InstallerSignature* RunningInstallerSignature();
void SetRunningInstallerSignature(const InstallerSignature* signature);
// The Summary of that check for the product of `company`; empty before it.
std::string RunningSignatureSummary(const char* company);
