// Packing an install item with libzip: entries in archive order, file data
// compressed ahead by the deflate pool and handed to libzip as finished
// deflate streams.
#include "PayloadWriter.h"

#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "DeflatePool.h"
#include "ItemScan.h"
#include "MimeType.h"
#include "PayloadFields.h"

namespace {

const zip_uint32_t kDosReadOnly = 0x01;
const zip_uint32_t kDosFolder = 0x10;

// The data of one file entry: the pool's chunks of that file, in order.
struct ChunkSource {
	DeflatePool* pool = nullptr;
	size_t begin = 0;
	size_t next = 0;
	size_t end = 0;
	uint64 size = 0;
	DeflatePool::Chunk current;
	size_t position = 0;
	uint32 crc = 0;
	uint64 compressed = 0;
	bool finished = false;
	zip_error_t error;
	std::string* failure = nullptr; // the writer's first error text
};

// Frees the chunk in hand. libzip keeps every source until the archive is
// closed, so a kept chunk per file would make memory grow with the item;
// assigning an empty string would keep the buffer.
void release_chunk(ChunkSource& source)
{
	std::string().swap(source.current.data);
	source.position = 0;
}

zip_int64_t chunk_read(ChunkSource& source, uint8* out, zip_uint64_t length)
{
	zip_uint64_t done = 0;
	while (done < length) {
		if (source.position == source.current.data.size()) {
			if (source.next == source.end) {
				release_chunk(source);
				source.finished = true;
				break;
			}
			bool first = source.next == source.begin;
			source.current = source.pool->Take(source.next++);
			source.position = 0;
			if (source.current.status != B_OK) {
				if (source.failure->empty())
					*source.failure = source.current.error;
				zip_error_set(&source.error, ZIP_ER_READ, EIO);
				return -1;
			}
			source.crc = first ? source.current.crc
			                   : (uint32)crc32_combine(source.crc, source.current.crc,
			                                           (z_off_t)source.current.size);
			continue;
		}
		size_t count =
		        std::min<size_t>(length - done, source.current.data.size() - source.position);
		memcpy(out + done, source.current.data.data() + source.position, count);
		source.position += count;
		source.compressed += count;
		done += count;
	}
	return (zip_int64_t)done;
}

zip_int64_t chunk_stat(const ChunkSource& source, zip_stat_t* stat)
{
	zip_stat_init(stat);
	stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD;
	stat->size = source.size;
	stat->comp_method = ZIP_CM_DEFLATE;
	if (source.finished) {
		stat->valid |= ZIP_STAT_CRC | ZIP_STAT_COMP_SIZE;
		stat->crc = source.crc;
		stat->comp_size = source.compressed;
	}
	return sizeof(zip_stat_t);
}

zip_int64_t chunk_callback(void* userdata, void* data, zip_uint64_t length,
                           zip_source_cmd_t command)
{
	auto* source = static_cast<ChunkSource*>(userdata);
	switch (command) {
		case ZIP_SOURCE_OPEN: return 0;
		case ZIP_SOURCE_CLOSE: release_chunk(*source); return 0;
		case ZIP_SOURCE_READ: return chunk_read(*source, static_cast<uint8*>(data), length);
		case ZIP_SOURCE_STAT:
			if (length < sizeof(zip_stat_t))
				return -1;
			return chunk_stat(*source, static_cast<zip_stat_t*>(data));
		case ZIP_SOURCE_ERROR: return zip_error_to_data(&source->error, data, length);
		case ZIP_SOURCE_FREE:
			zip_error_fini(&source->error);
			delete source;
			return 0;
		case ZIP_SOURCE_SUPPORTS:
			return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
			                                      ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
			                                      ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
		default: zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0); return -1;
	}
}

// One archive being written: libzip's handle, the pool and the first error.
class ArchiveBuilder {
public:
	ArchiveBuilder(zip_t* archive, DeflatePool& pool, int32 level, std::string& error)
	    : fArchive(archive), fPool(pool), fLevel(level), fError(error)
	{
	}

	status_t Add(const ItemEntry& entry, const std::vector<PayloadAttribute>& attributes,
	             size_t firstChunk, size_t chunks);

private:
	zip_int64_t AddData(const ItemEntry& entry, size_t firstChunk, size_t chunks);
	zip_source_t* LinkSource(const ItemEntry& entry);
	status_t SetMetadata(zip_uint64_t index, const ItemEntry& entry,
	                     const std::vector<PayloadAttribute>& attributes);
	status_t SetExtraFields(zip_uint64_t index, const ItemEntry& entry,
	                        const std::vector<PayloadAttribute>& attributes);
	status_t SetExtraField(zip_uint64_t index, uint16 id, const std::string& local,
	                       const std::string& central);
	status_t Fail(const std::string& text);

	zip_t* fArchive;
	DeflatePool& fPool;
	int32 fLevel;
	std::string& fError;
};

status_t ArchiveBuilder::Fail(const std::string& text)
{
	if (fError.empty())
		fError = text;
	return B_ERROR;
}

zip_source_t* ArchiveBuilder::LinkSource(const ItemEntry& entry)
{
	std::string target(PATH_MAX, '\0');
	ssize_t length = readlink(entry.path.c_str(), target.data(), target.size());
	if (length < 0) {
		Fail("cannot read the link " + entry.path + ": " + strerror(errno));
		return nullptr;
	}
	void* copy = malloc((size_t)length + 1);
	if (copy == nullptr)
		return nullptr;
	memcpy(copy, target.data(), (size_t)length);
	zip_source_t* source = zip_source_buffer(fArchive, copy, (zip_uint64_t)length, 1);
	if (source == nullptr)
		free(copy);
	return source;
}

zip_int64_t ArchiveBuilder::AddData(const ItemEntry& entry, size_t firstChunk, size_t chunks)
{
	zip_source_t* source = nullptr;
	if (entry.kind == EntryKind::kLink) {
		source = LinkSource(entry);
	} else if (chunks == 0) {
		source = zip_source_buffer(fArchive, nullptr, 0, 0);
	} else {
		auto* chunked = new ChunkSource;
		chunked->pool = &fPool;
		chunked->begin = firstChunk;
		chunked->next = firstChunk;
		chunked->end = firstChunk + chunks;
		chunked->size = (uint64)entry.info.st_size;
		chunked->failure = &fError;
		zip_error_init(&chunked->error);
		source = zip_source_function(fArchive, chunk_callback, chunked);
		if (source == nullptr) {
			zip_error_fini(&chunked->error);
			delete chunked;
		}
	}
	if (source == nullptr)
		return -1;
	zip_int64_t index = zip_file_add(fArchive, entry.name.c_str(), source, ZIP_FL_ENC_GUESS);
	if (index < 0)
		zip_source_free(source);
	return index;
}

status_t ArchiveBuilder::Add(const ItemEntry& entry,
                             const std::vector<PayloadAttribute>& attributes, size_t firstChunk,
                             size_t chunks)
{
	zip_int64_t index = entry.kind == EntryKind::kFolder
	                            ? zip_dir_add(fArchive, entry.name.c_str(), ZIP_FL_ENC_GUESS)
	                            : AddData(entry, firstChunk, chunks);
	if (index < 0) {
		return Fail("cannot add " + entry.path + " to the archive: " + zip_strerror(fArchive));
	}
	bool deflated = entry.kind == EntryKind::kFile && chunks > 0;
	if (zip_set_file_compression(fArchive, (zip_uint64_t)index,
	                             deflated ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
	                             deflated ? (zip_uint32_t)fLevel : 0) != 0) {
		return Fail("cannot set the compression of " + entry.name);
	}
	return SetMetadata((zip_uint64_t)index, entry, attributes);
}

status_t ArchiveBuilder::SetMetadata(zip_uint64_t index, const ItemEntry& entry,
                                     const std::vector<PayloadAttribute>& attributes)
{
	mode_t mode = entry.info.st_mode;
	zip_uint32_t external = (zip_uint32_t)mode << 16;
	if ((mode & S_IWUSR) == 0)
		external |= kDosReadOnly;
	if (S_ISDIR(mode))
		external |= kDosFolder;
	if (zip_file_set_external_attributes(fArchive, index, 0, ZIP_OPSYS_BEOS, external) != 0 ||
	    zip_file_set_mtime(fArchive, index, entry.info.st_mtime, 0) != 0) {
		return Fail("cannot set the attributes of " + entry.name);
	}
	return SetExtraFields(index, entry, attributes);
}

status_t ArchiveBuilder::SetExtraFields(zip_uint64_t index, const ItemEntry& entry,
                                        const std::vector<PayloadAttribute>& attributes)
{
	std::string local;
	std::string central;
	encode_payload_times(entry.info.st_mtime, entry.info.st_atime, &local, &central);
	status_t status = SetExtraField(index, kPayloadTimeField, local, central);
	if (status == B_OK) {
		local = encode_payload_owner(entry.info.st_uid, entry.info.st_gid);
		status = SetExtraField(index, kPayloadOwnerField, local, "");
	}
	if (status != B_OK || attributes.empty())
		return status;
	encode_payload_attributes(attributes, fLevel, &local, &central);
	return SetExtraField(index, kPayloadAttrField, local, central);
}

status_t ArchiveBuilder::SetExtraField(zip_uint64_t index, uint16 id, const std::string& local,
                                       const std::string& central)
{
	// Everything in a header's extra area shares 64 KB, 4 bytes per field header.
	if (local.size() > 65000) {
		return Fail("the attributes of " + std::string(zip_get_name(fArchive, index, 0)) +
		            " do not fit an archive entry (" + std::to_string(local.size()) +
		            " bytes, even compressed)");
	}
	auto* localData = reinterpret_cast<const zip_uint8_t*>(local.data());
	auto* centralData = reinterpret_cast<const zip_uint8_t*>(central.data());
	if (zip_file_extra_field_set(fArchive, index, id, ZIP_EXTRA_FIELD_NEW, localData,
	                             (zip_uint16_t)local.size(), ZIP_FL_LOCAL) != 0 ||
	    zip_file_extra_field_set(fArchive, index, id, ZIP_EXTRA_FIELD_NEW, centralData,
	                             (zip_uint16_t)central.size(), ZIP_FL_CENTRAL) != 0) {
		return Fail("cannot add the extra fields of " +
		            std::string(zip_get_name(fArchive, index, 0)) + ": " + zip_strerror(fArchive));
	}
	return B_OK;
}

// The attributes of every entry, and the type of each file that has none,
// sniffed now so that the installer need not: on `threads` threads, since
// sniffing costs about as much as compressing.
status_t describe_entries(const std::vector<ItemEntry>& entries, int32 threads,
                          std::vector<std::vector<PayloadAttribute>>* attributes,
                          std::string* error)
{
	attributes->assign(entries.size(), {});
	std::vector<status_t> results(entries.size(), B_OK);
	std::vector<std::string> errors(entries.size());
	std::atomic<size_t> next(0);
	auto work = [&] {
		for (size_t i = next++; i < entries.size(); i = next++) {
			const ItemEntry& entry = entries[i];
			results[i] =
			        read_entry_attributes(entry.path, entry.kind, &(*attributes)[i], &errors[i]);
			std::string type;
			if (results[i] == B_OK && entry.kind == EntryKind::kFile &&
			    !payload_has_type((*attributes)[i]) && sniff_mime_type(entry.path, &type) == B_OK)
				payload_add_type(&(*attributes)[i], type);
		}
	};
	std::vector<std::thread> workers;
	for (int32 i = 1; i < threads && (size_t)i < entries.size(); i++)
		workers.emplace_back(work);
	work();
	for (std::thread& worker : workers)
		worker.join();
	for (size_t i = 0; i < entries.size(); i++) {
		if (results[i] != B_OK) {
			*error = errors[i];
			return results[i];
		}
	}
	return B_OK;
}

} // namespace

PayloadWriter::PayloadWriter(int32 level, int32 threads)
    : fLevel(level),
      fThreads(threads > 0 ? threads : (int32)std::max(1u, std::thread::hardware_concurrency()))
{
}

status_t PayloadWriter::Write(const std::string& source, const std::string& leaf,
                              const std::string& archivePath)
{
	fError.clear();
	if (leaf.empty() || leaf.find('/') != std::string::npos || fLevel < 1 || fLevel > 9)
		return B_BAD_VALUE;
	std::vector<ItemEntry> entries;
	status_t status = scan_item(source, leaf, &entries, &fError);
	if (status != B_OK)
		return status;

	DeflatePool pool(fLevel, fThreads);
	std::vector<std::pair<size_t, size_t>> chunks(entries.size());
	for (size_t i = 0; i < entries.size(); i++) {
		if (entries[i].kind == EntryKind::kFile && entries[i].info.st_size > 0)
			chunks[i].first = pool.AddFile(entries[i].path, (uint64)entries[i].info.st_size,
			                               &chunks[i].second);
	}

	int error = 0;
	zip_t* archive = zip_open(archivePath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
	if (archive == nullptr) {
		fError = "cannot create " + archivePath;
		return B_IO_ERROR;
	}
	pool.Start();
	std::vector<std::vector<PayloadAttribute>> attributes;
	status = describe_entries(entries, fThreads, &attributes, &fError);
	ArchiveBuilder builder(archive, pool, fLevel, fError);
	for (size_t i = 0; status == B_OK && i < entries.size(); i++)
		status = builder.Add(entries[i], attributes[i], chunks[i].first, chunks[i].second);
	if (status == B_OK && zip_close(archive) == 0)
		return B_OK;
	pool.Cancel();
	if (fError.empty())
		fError = "cannot write " + archivePath + ": " + zip_strerror(archive);
	zip_discard(archive);
	unlink(archivePath.c_str());
	return status == B_OK ? B_IO_ERROR : status;
}
