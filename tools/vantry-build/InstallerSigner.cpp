// Signing an installer: the parts of the file are hashed once the resources
// are written, and the signature is written over the reserved bytes, so no
// other byte moves.
#include "InstallerSigner.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "HostFileReader.h"
#include "InstallerSignature.h"
#include "Resources.h"
#include "SigningKey.h"

namespace {

const uint64 kLargestPart = 4 * 1024 * 1024;
const size_t kReadBlock = 1024 * 1024;

size_t parts_of(const uint64& size)
{
	return size_t((size + kLargestPart - 1) / kLargestPart);
}

std::string base64(const uint8* data, const size_t& length)
{
	std::string text(sodium_base64_ENCODED_LEN(length, sodium_base64_VARIANT_ORIGINAL), '\0');
	sodium_bin2base64(text.data(), text.size(), data, length, sodium_base64_VARIANT_ORIGINAL);
	text.resize(strlen(text.c_str()));
	return text;
}

// minisign's prehash: BLAKE2b-512 of the whole file.
status_t file_hash(const std::string& path, uint8* hash, std::string* error)
{
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0) {
		*error = strerror(errno);
		return B_IO_ERROR;
	}
	crypto_generichash_state state;
	crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
	std::unique_ptr<uint8[]> block(new uint8[kReadBlock]);
	ssize_t got = 0;
	while ((got = read(fd, block.get(), kReadBlock)) != 0) {
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0) {
			*error = strerror(errno);
			close(fd);
			return B_IO_ERROR;
		}
		crypto_generichash_update(&state, block.get(), size_t(got));
	}
	close(fd);
	crypto_generichash_final(&state, hash, crypto_generichash_BYTES_MAX);
	return B_OK;
}

} // namespace

InstallerSigner::InstallerSigner(const SigningKey& key) : fKey(key) {}

status_t InstallerSigner::Fail(const std::string& text)
{
	fError = text;
	return B_ERROR;
}

status_t InstallerSigner::Reserve(BResources& resources, const off_t& programSize)
{
	// The program with its tables, each resource, the info table.
	size_t parts = parts_of(uint64(programSize)) + 1;
	type_code type = 0;
	int32 id = 0;
	const char* name = nullptr;
	size_t length = 0;
	for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &length); i++) {
		if (type != kSignatureType || id != kSignatureId)
			parts += parts_of(length);
	}
	const std::string empty(InstallerSignature::ResourceSize(parts), '\0');
	if (resources.AddResource(kSignatureType, kSignatureId, empty.data(), empty.size(),
	                          kSignatureName) != B_OK)
		return Fail(std::string("cannot add the signature: ") + resources.ErrorText());
	return B_OK;
}

status_t InstallerSigner::Resize(const std::string& path, const size_t& parts)
{
	BResources resources(path.c_str(), true);
	const std::string empty(InstallerSignature::ResourceSize(parts), '\0');
	if (resources.InitCheck() != B_OK ||
	    resources.AddResource(kSignatureType, kSignatureId, empty.data(), empty.size(),
	                          kSignatureName) != B_OK ||
	    resources.Sync() != B_OK)
		return Fail("cannot write the signature into " + path + ": " + resources.ErrorText());
	return B_OK;
}

status_t InstallerSigner::Sign(const std::string& path)
{
	off_t offset = 0;
	size_t size = 0;
	std::vector<uint64> lengths;
	std::string error;
	// The estimate of Reserve holds unless a table crossed a part's size.
	for (int attempt = 0; attempt < 3; attempt++) {
		{
			BResources resources(path.c_str(), false);
			if (resources.GetResourceRange(kSignatureType, kSignatureId, &offset, &size) != B_OK)
				return Fail("cannot find the signature resource in " + path + ": " +
				            resources.ErrorText());
		}
		if (InstallerSignature::PartLengths(path.c_str(), offset, size, &lengths, &error) != B_OK)
			return Fail("cannot read " + path + ": " + error);
		if (InstallerSignature::ResourceSize(lengths.size()) == size)
			break;
		if (Resize(path, lengths.size()) != B_OK)
			return B_ERROR;
	}
	if (InstallerSignature::ResourceSize(lengths.size()) != size)
		return Fail("cannot give the signature of " + path + " its size");
	const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
	if (fd < 0)
		return Fail("cannot open " + path + ": " + strerror(errno));
	std::vector<std::string> digests;
	status_t status =
	        InstallerSignature::DigestParts(fd, lengths, offset, size, true, &digests, &error);
	if (status != B_OK) {
		close(fd);
		return Fail("cannot read " + path + ": " + error);
	}
	SignatureHead head;
	memcpy(head.keyId, fKey.KeyId(), sizeof(head.keyId));
	memcpy(head.publicKey, fKey.PublicKey(), sizeof(head.publicKey));
	std::string resource = InstallerSignature::Encode(head, lengths, digests);
	const std::string prehash = InstallerSignature::Prehash(resource);
	uint8 signature[64];
	fKey.Sign((const uint8*)prehash.data(), prehash.size(), signature);
	InstallerSignature::SetSignature(&resource, signature);
	status = pwrite(fd, resource.data(), resource.size(), offset) == ssize_t(resource.size())
	                 ? B_OK
	                 : B_IO_ERROR;
	const std::string written = strerror(errno);
	close(fd);
	if (status != B_OK)
		return Fail("cannot write the signature into " + path + ": " + written);
	return B_OK;
}

status_t InstallerSigner::WriteMinisig(const std::string& path, const std::string& minisig,
                                       const std::string& leaf, const int64& when)
{
	uint8 hash[crypto_generichash_BYTES_MAX];
	std::string error;
	if (file_hash(path, hash, &error) != B_OK)
		return Fail("cannot read " + path + ": " + error);
	uint8 line[2 + 8 + 64];
	memcpy(line, "ED", 2);
	memcpy(line + 2, fKey.KeyId(), 8);
	fKey.Sign(hash, sizeof(hash), line + 10);
	const std::string trusted = "timestamp:" + std::to_string(when) + "\tfile:" + leaf + "\thashed";
	std::string global((const char*)line + 10, 64);
	global += trusted;
	uint8 globalSignature[64];
	fKey.Sign((const uint8*)global.data(), global.size(), globalSignature);
	const std::string text = "untrusted comment: signature of " + leaf + " from vantry-build\n" +
	                         base64(line, sizeof(line)) + "\ntrusted comment: " + trusted + "\n" +
	                         base64(globalSignature, sizeof(globalSignature)) + "\n";
	const std::string temporary = minisig + ".part";
	const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
	if (fd < 0)
		return Fail("cannot write " + minisig + ": " + strerror(errno));
	const bool written = write_fully(fd, text.data(), text.size()) == B_OK;
	const std::string reason = strerror(errno);
	if (close(fd) != 0 || !written || rename(temporary.c_str(), minisig.c_str()) != 0) {
		unlink(temporary.c_str());
		return Fail("cannot write " + minisig + ": " + (written ? strerror(errno) : reason));
	}
	return B_OK;
}
