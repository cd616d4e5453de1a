// Packing an install item: entries in archive order, each file read, typed
// and compressed ahead by the deflate pool, and written out as its chunks
// come, so that the archive never waits for a separate pass over the files.
#include "PayloadWriter.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <thread>

#include "DeflatePool.h"
#include "HostFileReader.h"
#include "ItemScan.h"
#include "PayloadFields.h"
#include "Sha256.h"
#include "ZipFormat.h"
#include "ZipStreamWriter.h"

namespace {

const uint32 kDosReadOnly = 0x01;
const uint32 kDosFolder = 0x10;
// Everything in a header's extra area shares 64 KB, 4 bytes per field header.
const size_t kLargestAttributeBlock = 65000;

void append_field(std::string* extra, uint16 id, const std::string& data)
{
	const uint16 length = (uint16)data.size();
	const char header[4] = {(char)(id & 0xff), (char)(id >> 8), (char)(length & 0xff),
	                        (char)(length >> 8)};
	extra->append(header, sizeof(header));
	extra->append(data);
}

// One archive being written: the stream, the pool and the first error.
class EntryWriter {
public:
	EntryWriter(ZipStreamWriter& zip, DeflatePool& pool, int32 level, bool zstd,
	            const std::string& reference, std::string& error)
	    : fZip(zip), fPool(pool), fLevel(level), fZstd(zstd), fReference(reference), fError(error),
	      fAttributeBytes(0)
	{
	}

	status_t Add(const ItemEntry& entry, size_t firstChunk, size_t chunks);
	// The bytes of the attributes the entries had, the types added left out.
	int64 AttributeBytes() const { return fAttributeBytes; }

private:
	status_t AddFolder(const ItemEntry& entry);
	status_t AddLink(const ItemEntry& entry);
	status_t AddFile(const ItemEntry& entry, size_t firstChunk, size_t chunks);
	status_t Describe(const ItemEntry& entry, const std::vector<PayloadAttribute>& attributes,
	                  ZipStreamEntry* zipEntry);
	status_t Written(status_t status);
	status_t Fail(status_t status, const std::string& text);

	ZipStreamWriter& fZip;
	DeflatePool& fPool;
	int32 fLevel;
	bool fZstd;
	const std::string& fReference; // the reference block, empty without one
	std::string& fError;
	int64 fAttributeBytes;
};

status_t EntryWriter::Fail(status_t status, const std::string& text)
{
	if (fError.empty())
		fError = text;
	return status;
}

status_t EntryWriter::Written(status_t status)
{
	return status == B_OK ? B_OK : Fail(status, fZip.ErrorText());
}

// The fields every entry has: time, mode and the extra fields.
status_t EntryWriter::Describe(const ItemEntry& entry,
                               const std::vector<PayloadAttribute>& attributes,
                               ZipStreamEntry* zipEntry)
{
	const mode_t mode = entry.info.st_mode;
	zipEntry->name = entry.name;
	zipEntry->dosTime = zip_dos_time(entry.info.st_mtime);
	zipEntry->external = (uint32)mode << 16;
	if ((mode & S_IWUSR) == 0)
		zipEntry->external |= kDosReadOnly;
	if (S_ISDIR(mode))
		zipEntry->external |= kDosFolder;
	std::string local;
	std::string central;
	encode_payload_times(entry.info.st_mtime, entry.info.st_atime, &local, &central);
	append_field(&zipEntry->localExtra, kPayloadTimeField, local);
	append_field(&zipEntry->centralExtra, kPayloadTimeField, central);
	append_field(&zipEntry->localExtra, kPayloadOwnerField,
	             encode_payload_owner(entry.info.st_uid, entry.info.st_gid));
	append_field(&zipEntry->centralExtra, kPayloadOwnerField, "");
	if (attributes.empty())
		return B_OK;
	// The attributes are deflated whatever the files are compressed with.
	encode_payload_attributes(attributes, std::clamp<int32>(fLevel, 1, 9), &local, &central);
	if (local.size() > kLargestAttributeBlock) {
		return Fail(B_BAD_VALUE, "the attributes of " + entry.name +
		                                 " do not fit an archive entry (" +
		                                 std::to_string(local.size()) + " bytes, even compressed)");
	}
	append_field(&zipEntry->localExtra, kPayloadAttrField, local);
	append_field(&zipEntry->centralExtra, kPayloadAttrField, central);
	return B_OK;
}

status_t EntryWriter::AddFolder(const ItemEntry& entry)
{
	std::vector<PayloadAttribute> attributes;
	std::string error;
	status_t status = read_entry_attributes(entry.path, entry.kind, &attributes, &error);
	if (status != B_OK)
		return Fail(status, error);
	for (const PayloadAttribute& attribute : attributes)
		fAttributeBytes += (int64)attribute.data.size();
	ZipStreamEntry zipEntry;
	status = Describe(entry, attributes, &zipEntry);
	if (status != B_OK)
		return status;
	status = fZip.BeginEntry(zipEntry, true);
	return Written(status == B_OK ? fZip.FinishEntry(0, 0, 0) : status);
}

status_t EntryWriter::AddLink(const ItemEntry& entry)
{
	std::string target(PATH_MAX, '\0');
	const ssize_t length = readlink(entry.path.c_str(), target.data(), target.size());
	if (length < 0)
		return Fail(B_IO_ERROR, "cannot read the link " + entry.path + ": " + strerror(errno));
	target.resize((size_t)length);
	ZipStreamEntry zipEntry;
	status_t status = Describe(entry, {}, &zipEntry);
	if (status != B_OK)
		return status;
	zipEntry.method = kZipMethodStored;
	zipEntry.crc = (uint32)crc32(0, (const Bytef*)target.data(), (uInt)target.size());
	zipEntry.size = zipEntry.compressedSize = target.size();
	status = fZip.BeginEntry(zipEntry, true);
	if (status == B_OK)
		status = fZip.WriteData(target.data(), target.size());
	if (status == B_OK)
		status = fZip.FinishEntry(zipEntry.crc, zipEntry.compressedSize, zipEntry.size);
	return Written(status);
}

// A file's chunks, in order; its sizes go into the header at once when it
// is one chunk, after its data otherwise.
status_t EntryWriter::AddFile(const ItemEntry& entry, size_t firstChunk, size_t chunks)
{
	DeflatePool::Chunk chunk = fPool.Take(firstChunk);
	if (chunk.status != B_OK)
		return Fail(chunk.status, chunk.error);
	fAttributeBytes += (int64)chunk.attributeBytes;
	ZipStreamEntry zipEntry;
	status_t status = Describe(entry, chunk.attributes, &zipEntry);
	if (status != B_OK)
		return status;
	zipEntry.method = fLevel == 0 || entry.info.st_size == 0 || chunk.stored ? kZipMethodStored
	                  : fZstd                                                ? kZipMethodZstd
	                                                                         : kZipMethodDeflated;
	if (zipEntry.method == kZipMethodZstd && !fReference.empty()) {
		append_field(&zipEntry.localExtra, kPayloadReferenceField, fReference);
		append_field(&zipEntry.centralExtra, kPayloadReferenceField, fReference);
	} else if (zipEntry.method == kZipMethodZstd) {
		// Only the directory marks an entry of a shared stream: readers go by it.
		append_field(
		        &zipEntry.centralExtra, kZipSolidField,
		        std::string(1, char(chunk.startsStream ? kZipStreamStarts : kZipStreamContinues)));
	}
	const bool whole = chunks == 1;
	zipEntry.crc = chunk.crc;
	zipEntry.size = whole ? chunk.size : (uint64)entry.info.st_size;
	zipEntry.compressedSize = chunk.data.size();
	status = fZip.BeginEntry(zipEntry, whole);
	uint32 crc = chunk.crc;
	uint64 size = chunk.size;
	uint64 compressed = chunk.data.size();
	if (status == B_OK)
		status = fZip.WriteData(chunk.data.data(), chunk.data.size());
	for (size_t i = 1; status == B_OK && i < chunks; i++) {
		chunk = fPool.Take(firstChunk + i);
		if (chunk.status != B_OK)
			return Fail(chunk.status, chunk.error);
		crc = (uint32)crc32_combine(crc, chunk.crc, (z_off_t)chunk.size);
		size += chunk.size;
		compressed += chunk.data.size();
		status = fZip.WriteData(chunk.data.data(), chunk.data.size());
	}
	if (status == B_OK)
		status = fZip.FinishEntry(crc, compressed, size);
	return Written(status);
}

status_t EntryWriter::Add(const ItemEntry& entry, size_t firstChunk, size_t chunks)
{
	switch (entry.kind) {
		case EntryKind::kFolder: return AddFolder(entry);
		case EntryKind::kLink: return AddLink(entry);
		default: return AddFile(entry, firstChunk, chunks);
	}
}

} // namespace

PayloadWriter::PayloadWriter(int32 level, int32 threads, PayloadCompression compression)
    : fLevel(level), fCompression(compression),
      fThreads(threads > 0 ? threads : (int32)std::max(1u, std::thread::hardware_concurrency())),
      fFileBytes(0), fListedSize(0), fAccessTime(-1)
{
}

status_t PayloadWriter::Write(const std::string& source, const std::string& leaf,
                              const std::string& archivePath)
{
	fError.clear();
	fFileBytes = 0;
	fListedSize = 0;
	const bool zstd = fCompression == PayloadCompression::kZstd;
	if (leaf.empty() || leaf.find('/') != std::string::npos || fLevel < 0 ||
	    fLevel > (zstd ? ZSTD_maxCLevel() : 9))
		return B_BAD_VALUE;
	// Files are read and compressed while the rest of the item is listed.
	DeflatePool pool(fLevel, fThreads, zstd);
	if (!fReferenceBytes.empty())
		pool.SetReference(&fReferenceBytes);
	pool.Start();
	std::deque<ItemEntry> entries; // grows without copying what it holds
	std::vector<std::pair<size_t, size_t>> chunks;
	status_t status = scan_item(source, leaf, &entries, &fError, [&](const ItemEntry& entry) {
		std::pair<size_t, size_t> planned(0, 0);
		if (entry.kind == EntryKind::kFile)
			planned.first = pool.AddFile(entry.path, (uint64)entry.info.st_size, entry.info.st_mode,
			                             &planned.second);
		chunks.push_back(planned);
	});
	pool.Close();
	if (status != B_OK)
		return status;
	for (ItemEntry& entry : entries) {
		if (fAccessTime >= 0)
			entry.info.st_atime = time_t(fAccessTime);
	}
	ZipStreamWriter zip;
	status = zip.Open(archivePath);
	if (status != B_OK) {
		fError = zip.ErrorText();
		return status;
	}
	const std::string reference =
	        fReferenceBytes.empty() ? std::string() : encode_payload_reference(fReference);
	EntryWriter writer(zip, pool, fLevel, zstd, reference, fError);
	for (size_t i = 0; status == B_OK && i < entries.size(); i++)
		status = writer.Add(entries[i], chunks[i].first, chunks[i].second);
	if (status == B_OK)
		status = zip.Close();
	if (status == B_OK) {
		fListedSize = writer.AttributeBytes();
		for (const ItemEntry& entry : entries) {
			if (entry.kind == EntryKind::kFile)
				fFileBytes += (int64)entry.info.st_size;
			fListedSize += (int64)entry.info.st_size;
		}
		return B_OK;
	}
	pool.Cancel();
	zip.Discard();
	if (fError.empty())
		fError = zip.ErrorText().empty() ? "cannot write " + archivePath : zip.ErrorText();
	return status;
}

status_t PayloadWriter::SetReference(const std::string& path, uint64 size)
{
	fError.clear();
	fReferenceBytes.clear();
	if (size == 0 || size > kMaxReferenceBytes) {
		fError = "cannot encode against " + path + ": " + std::to_string(size) +
		         " bytes, at most " + std::to_string(kMaxReferenceBytes) + " are allowed";
		return B_BAD_VALUE;
	}
	std::string bytes(size, '\0');
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	const status_t status = fd < 0 ? B_IO_ERROR : read_fully_at(fd, 0, bytes.data(), bytes.size());
	const int error = errno;
	if (fd >= 0)
		close(fd);
	if (status != B_OK) {
		fError = "cannot read the first " + std::to_string(size) + " bytes of " + path + ": " +
		         (fd < 0 ? strerror(error) : "the file is shorter");
		return B_BAD_VALUE;
	}
	Sha256 digest;
	digest.Update((const uint8*)bytes.data(), bytes.size());
	fReference.size = size;
	fReference.digest.assign(Sha256::kSize, '\0');
	digest.Final((uint8*)fReference.digest.data());
	fReferenceBytes = std::move(bytes);
	fCompression = PayloadCompression::kZstd;
	return B_OK;
}
