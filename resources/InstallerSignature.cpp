// Checking the signature an installer carries of itself, and the pieces
// vantry-build signs with: the parts of the file and their digests.
#include "InstallerSignature.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

#include "ByteOrder.h"
#include "HostFileReader.h"
#include "ResourceContainer.h"
#include "Resources.h"
#include "Sha256.h"

const type_code kSignatureType = 'VSIG';
const int32 kSignatureId = 1;
const char* const kSignatureName = "VXC:signature";

namespace {

// "ED": parts digested with BLAKE2b-256, as the first signed installers
// were; "ES": with SHA-256, which processors compute in hardware.
const char kBlakeParts[] = "ED";
const char kShaParts[] = "ES";
const char kBlakeDomain[] = "Vantry installer signature 1\n";
const char kShaDomain[] = "Vantry installer signature 2\n";
const size_t kHeadSize = 106;
const size_t kCountOffset = 106;
const size_t kPartsOffset = 110;
const size_t kPartSize = 40;
const size_t kDigestSize = 32;
const uint64 kLargestPart = 4 * 1024 * 1024;
const size_t kReadBlock = 1024 * 1024;
// Below this one thread hashes faster than several start.
const uint64 kThreadedSize = 16 * 1024 * 1024;

const InstallerSignature* sRunning = nullptr;

// Closes a descriptor when the check is done with it, whichever way.
struct FileCloser {
	explicit FileCloser(const int& descriptor) : fd(descriptor) {}
	~FileCloser()
	{
		if (fd >= 0)
			close(fd);
	}
	const int fd;
};

void put64(std::string& out, uint64 value)
{
	for (int i = 0; i < 8; i++)
		out.push_back(char((value >> (8 * i)) & 0xff));
}

std::string type_text(const type_code& type)
{
	std::string text;
	for (int shift = 24; shift >= 0; shift -= 8) {
		const char c = char((type >> shift) & 0xff);
		text.push_back(c >= 0x20 && c < 0x7f ? c : '?');
	}
	return text;
}

// One resource's data range, for naming a part.
struct NamedRange {
	off_t offset = 0;
	uint64 size = 0;
	std::string name;
};

std::vector<NamedRange> resource_ranges(BResources& resources)
{
	std::vector<NamedRange> ranges;
	type_code type = 0;
	int32 id = 0;
	const char* name = nullptr;
	size_t length = 0;
	for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &length); i++) {
		NamedRange range;
		size_t size = 0;
		if (resources.GetResourceRange(type, id, &range.offset, &size) != B_OK)
			continue;
		range.size = size;
		range.name = "the resource " + type_text(type) + " " + std::to_string(id);
		if (name != nullptr && name[0] != '\0')
			range.name += std::string(" \"") + name + "\"";
		ranges.push_back(range);
	}
	std::sort(ranges.begin(), ranges.end(),
	          [](const NamedRange& a, const NamedRange& b) { return a.offset < b.offset; });
	return ranges;
}

// Where the resource tables start: the program's bytes end there. 0 when unknown.
off_t block_offset(const char* path)
{
	const int fd = open(path, O_RDONLY | O_CLOEXEC);
	struct stat info;
	ResourceContainer container;
	ResourceError error;
	bool located = false;
	if (fd >= 0 && fstat(fd, &info) == 0) {
		HostFileReader reader(fd, info.st_size);
		located = locate_resource_block(reader, &container, &error) == B_OK;
	}
	if (fd >= 0)
		close(fd);
	return located ? container.blockOffset : 0;
}

// What the bytes at `offset` of the file at `path` are.
std::string part_name(const char* path, const off_t& offset)
{
	BResources resources(path, false);
	for (const NamedRange& range : resource_ranges(resources)) {
		if (offset >= range.offset && uint64(offset - range.offset) < range.size)
			return range.name;
	}
	return offset < block_offset(path) ? "the program" : "the resource tables";
}

// Hashes parts taken in turn from a shared counter until none is left.
class PartHasher {
public:
	PartHasher(const int& fd, const std::vector<off_t>& offsets, const std::vector<uint64>& lengths,
	           const bool& sha, std::vector<std::string>* digests)
	    : fFd(fd), fOffsets(offsets), fLengths(lengths), fSha(sha), fDigests(digests), fNext(0),
	      fFailed(false), fErrno(0)
	{
	}

	void Run()
	{
		std::unique_ptr<uint8[]> block(new uint8[kReadBlock]);
		for (size_t i = fNext++; i < fLengths.size() && !fFailed; i = fNext++) {
			if (!Hash(i, block.get())) {
				fFailed = true;
				return;
			}
		}
	}

	bool Failed() const { return fFailed; }
	int Errno() const { return fErrno; }

private:
	bool Hash(const size_t& index, uint8* block)
	{
		crypto_generichash_state state;
		Sha256 sha;
		if (!fSha)
			crypto_generichash_init(&state, nullptr, 0, kDigestSize);
		uint64 done = 0;
		while (done < fLengths[index]) {
			const size_t wanted = size_t(std::min<uint64>(kReadBlock, fLengths[index] - done));
			if (read_fully_at(fFd, fOffsets[index] + off_t(done), block, wanted) != B_OK) {
				fErrno = errno != 0 ? errno : EIO;
				return false;
			}
			if (fSha)
				sha.Update(block, wanted);
			else
				crypto_generichash_update(&state, block, wanted);
			done += wanted;
		}
		uint8 digest[kDigestSize];
		if (fSha)
			sha.Final(digest);
		else
			crypto_generichash_final(&state, digest, kDigestSize);
		(*fDigests)[index].assign((const char*)digest, kDigestSize);
		return true;
	}

	const int fFd;
	const std::vector<off_t>& fOffsets;
	const std::vector<uint64>& fLengths;
	const bool fSha;
	std::vector<std::string>* fDigests;
	std::atomic<size_t> fNext;
	std::atomic<bool> fFailed;
	std::atomic<int> fErrno;
};

// Where each part starts: they follow one another, jumping over the signature.
std::vector<off_t> part_offsets(const std::vector<uint64>& lengths, const off_t& skipOffset,
                                const size_t& skipSize)
{
	std::vector<off_t> offsets;
	off_t at = 0;
	for (const uint64& length : lengths) {
		if (at == skipOffset)
			at += off_t(skipSize);
		offsets.push_back(at);
		at += off_t(length);
	}
	return offsets;
}

} // namespace

InstallerSignature::InstallerSignature(const char* path) : fState(kUnsigned)
{
	Check(path);
}

bool InstallerSignature::Bad(const std::string& problem)
{
	fState = kBad;
	fProblem = problem;
	return false;
}

void InstallerSignature::Check(const char* path)
{
	BResources resources(path, false);
	if (resources.InitCheck() != B_OK) {
		Bad(std::string("its resources cannot be read: ") + resources.ErrorText());
		return;
	}
	off_t offset = 0;
	size_t size = 0;
	if (resources.GetResourceRange(kSignatureType, kSignatureId, &offset, &size) != B_OK)
		return;
	const FileCloser file(open(path, O_RDONLY | O_CLOEXEC));
	struct stat info;
	if (file.fd < 0 || fstat(file.fd, &info) != 0) {
		Bad(std::string("it cannot be read: ") + strerror(errno));
		return;
	}
	std::string resource(size, '\0');
	if (read_fully_at(file.fd, offset, resource.data(), size) != B_OK || !VerifyHead(resource))
		return;
	const std::vector<uint64> lengths = SignedLengths(resource);
	if (CheckCoverage(lengths, offset, size, info.st_size) &&
	    CompareParts(path, file.fd, resource, lengths, offset))
		fState = kGood;
}

bool InstallerSignature::VerifyHead(const std::string& resource)
{
	if (resource.size() < kPartsOffset ||
	    (resource.compare(0, 2, kBlakeParts) != 0 && resource.compare(0, 2, kShaParts) != 0))
		return Bad("the signature resource (" + type_text(kSignatureType) + " " +
		           std::to_string(kSignatureId) + ") is not a signature of this kind");
	const uint8* bytes = (const uint8*)resource.data();
	fKeyId = KeyIdText(bytes + 2);
	fPublicKey.assign(resource, 10, 32);
	const size_t count = PartCount(resource);
	if (ResourceSize(count) != resource.size())
		return Bad("the signature resource holds " + std::to_string(resource.size()) +
		           " bytes, not the " + std::to_string(ResourceSize(count)) + " its " +
		           std::to_string(count) + " parts take");
	// The list of parts is checked before any part: a changed digest is the
	// signature's fault, not the part's.
	if (sodium_init() < 0 ||
	    crypto_sign_verify_detached(bytes + 42, (const uint8*)Prehash(resource).data(),
	                                crypto_generichash_BYTES_MAX, bytes + 10) != 0)
		return Bad("the signature itself does not match what key " + fKeyId + " signs");
	return true;
}

size_t InstallerSignature::PartCount(const std::string& resource)
{
	const uint8* bytes = (const uint8*)resource.data() + kCountOffset;
	return read_u32(bytes, false);
}

std::vector<uint64> InstallerSignature::SignedLengths(const std::string& resource)
{
	const uint8* bytes = (const uint8*)resource.data();
	std::vector<uint64> lengths;
	for (size_t at = kPartsOffset; at + kPartSize <= resource.size(); at += kPartSize)
		lengths.push_back(read_u64(bytes + at, false));
	return lengths;
}

bool InstallerSignature::CheckCoverage(const std::vector<uint64>& lengths, const off_t& offset,
                                       const size_t& size, const off_t& fileSize)
{
	uint64 covered = size;
	for (const uint64& length : lengths)
		covered += length;
	if (covered != uint64(fileSize))
		return Bad("the file holds " + std::to_string(fileSize) + " bytes, the signed file " +
		           std::to_string(covered));
	const std::vector<off_t> offsets = part_offsets(lengths, offset, size);
	const off_t after = offset + off_t(size);
	if (std::find(offsets.begin(), offsets.end(), after) == offsets.end() && after != fileSize)
		return Bad("the signed parts do not leave out the signature resource");
	return true;
}

bool InstallerSignature::CompareParts(const char* path, const int& fd, const std::string& resource,
                                      const std::vector<uint64>& lengths, const off_t& offset)
{
	std::vector<std::string> digests;
	std::string error;
	const bool sha = resource.compare(0, 2, kShaParts) == 0;
	if (DigestParts(fd, lengths, offset, resource.size(), sha, &digests, &error) != B_OK)
		return Bad("it cannot be read: " + error);
	const std::vector<off_t> offsets = part_offsets(lengths, offset, resource.size());
	for (size_t i = 0; i < lengths.size(); i++) {
		if (digests[i].compare(0, kDigestSize, resource, kPartsOffset + i * kPartSize + 8,
		                       kDigestSize) != 0)
			return Bad("bytes " + std::to_string(offsets[i]) + " to " +
			           std::to_string(offsets[i] + off_t(lengths[i]) - 1) + " (" +
			           part_name(path, offsets[i]) + ") differ from what key " + fKeyId +
			           " signed");
	}
	return true;
}

std::string InstallerSignature::Summary(const char* company) const
{
	if (fState == kGood)
		return std::string("Signed by ") + (company != nullptr ? company : "") + " (key " + fKeyId +
		       ")";
	if (fState == kUnsigned)
		return "This installer is not signed";
	return "the installer was changed after it was signed: " + fProblem;
}

size_t InstallerSignature::ResourceSize(const size_t& parts)
{
	return kPartsOffset + parts * kPartSize;
}

status_t InstallerSignature::PartLengths(const char* path, const off_t& skipOffset,
                                         const size_t& skipSize, std::vector<uint64>* lengths,
                                         std::string* error)
{
	if (path == nullptr || lengths == nullptr)
		return B_BAD_VALUE;
	BResources resources(path, false);
	struct stat info;
	if (resources.InitCheck() != B_OK || stat(path, &info) != 0) {
		if (error != nullptr)
			*error = resources.InitCheck() != B_OK ? resources.ErrorText() : strerror(errno);
		return B_IO_ERROR;
	}
	// Cut at every resource's start and end, so each part is one thing.
	std::vector<off_t> cuts = {0, block_offset(path), off_t(info.st_size)};
	for (const NamedRange& range : resource_ranges(resources)) {
		cuts.push_back(range.offset);
		cuts.push_back(range.offset + off_t(range.size));
	}
	std::sort(cuts.begin(), cuts.end());
	cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
	lengths->clear();
	const off_t skipEnd = skipOffset + off_t(skipSize);
	for (size_t i = 0; i + 1 < cuts.size(); i++) {
		if (cuts[i] >= skipOffset && cuts[i + 1] <= skipEnd)
			continue;
		for (uint64 left = uint64(cuts[i + 1] - cuts[i]); left > 0;) {
			lengths->push_back(std::min(left, kLargestPart));
			left -= lengths->back();
		}
	}
	return B_OK;
}

status_t InstallerSignature::DigestParts(const int& fd, const std::vector<uint64>& lengths,
                                         const off_t& skipOffset, const size_t& skipSize,
                                         const bool& sha, std::vector<std::string>* digests,
                                         std::string* error)
{
	if (fd < 0 || digests == nullptr || sodium_init() < 0)
		return B_BAD_VALUE;
	const std::vector<off_t> offsets = part_offsets(lengths, skipOffset, skipSize);
	digests->assign(lengths.size(), std::string());
	uint64 total = 0;
	for (const uint64& length : lengths)
		total += length;
	posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
	PartHasher hasher(fd, offsets, lengths, sha, digests);
	const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
	std::vector<std::thread> helpers;
	for (unsigned i = 1; total >= kThreadedSize && i < cores; i++)
		helpers.emplace_back([&hasher] { hasher.Run(); });
	hasher.Run();
	for (std::thread& helper : helpers)
		helper.join();
	if (!hasher.Failed())
		return B_OK;
	if (error != nullptr)
		*error = strerror(hasher.Errno());
	return B_IO_ERROR;
}

std::string InstallerSignature::Encode(const SignatureHead& head,
                                       const std::vector<uint64>& lengths,
                                       const std::vector<std::string>& digests)
{
	std::string resource(kShaParts, 2);
	resource.append((const char*)head.keyId, sizeof(head.keyId));
	resource.append((const char*)head.publicKey, sizeof(head.publicKey));
	resource.append((const char*)head.signature, sizeof(head.signature));
	const uint32 count = uint32(lengths.size());
	for (int i = 0; i < 4; i++)
		resource.push_back(char((count >> (8 * i)) & 0xff));
	for (size_t i = 0; i < lengths.size(); i++) {
		put64(resource, lengths[i]);
		std::string digest = i < digests.size() ? digests[i] : std::string();
		digest.resize(kDigestSize, '\0');
		resource += digest;
	}
	return resource;
}

std::string InstallerSignature::Prehash(const std::string& resource)
{
	std::string message = resource.compare(0, 2, kShaParts) == 0 ? kShaDomain : kBlakeDomain;
	message.append(resource, 2, 40);
	if (resource.size() > kHeadSize)
		message.append(resource, kCountOffset, std::string::npos);
	uint8 hash[crypto_generichash_BYTES_MAX];
	crypto_generichash(hash, sizeof(hash), (const uint8*)message.data(), message.size(), nullptr,
	                   0);
	return std::string((const char*)hash, sizeof(hash));
}

void InstallerSignature::SetSignature(std::string* resource, const uint8* signature)
{
	if (resource != nullptr && resource->size() >= kHeadSize && signature != nullptr)
		resource->replace(42, 64, (const char*)signature, 64);
}

std::string InstallerSignature::KeyIdText(const uint8* keyId)
{
	char text[17];
	for (int i = 0; i < 8; i++)
		snprintf(text + 2 * i, 3, "%02X", keyId[7 - i]);
	return std::string(text, 16);
}

const InstallerSignature* RunningInstallerSignature()
{
	return sRunning;
}

void SetRunningInstallerSignature(const InstallerSignature* signature)
{
	sRunning = signature;
}

std::string RunningSignatureSummary(const char* company)
{
	return sRunning != nullptr ? sRunning->Summary(company) : std::string();
}
