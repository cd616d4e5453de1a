// Chunked parallel deflate: every chunk of a file ends on a byte boundary
// without a final block, but the last, so the chunks join into one valid raw
// deflate stream. libdeflate, about twice as fast as zlib, deflates a file of
// one chunk whole and each chunk of a larger file on its own; zlib, primed
// with the 32 KB before the chunk, takes over where that fails. Zstandard
// chunks are pieces of their run's stream: a file's last chunk ends on a
// flush, so that its entry holds exactly what the file adds to the stream.
#include "DeflatePool.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ItemScan.h"
#include "LibPathParts.h"
#include "MimeType.h"
#include "ZipEntryReader.h"

namespace {

const uint64 kDictionarySize = 32768;
// Input bytes the workers may hold ahead of the writer: enough to keep both
// cores busy, little enough to keep packing under 64 MB.
const uint64 kInFlightLimit = 8 << 20;
// Pieces of a chunk whose deflating is tried before the chunk is deflated.
const size_t kProbeSize = 32768;
// Deflate's stored blocks hold at most this many bytes each.
const size_t kStoredBlockSize = 65535;

static_assert(DeflatePool::kZstdWindowLog <= ZipEntryReader::kZstdSolidWindowLogMax);

} // namespace

DeflatePool::DeflatePool(int32 level, int32 threads, bool zstd)
    : fLevel(level), fThreadCount(std::max<int32>(1, threads)), fZstd(zstd),
      fChunkSize(zstd ? kZstdChunkSize : kChunkSize),
      // Each worker may compress a run while the writer takes another's.
      fInFlightLimit(zstd ? kZstdRunSize * (uint64)fThreadCount : kInFlightLimit), fNextJob(0),
      fNextRun(0), fPlanProbe(zstd && level > 0 ? libdeflate_alloc_compressor(1) : nullptr),
      fNextTaken(0), fInFlight(0), fClosed(false), fCancelled(false)
{
}

DeflatePool::~DeflatePool()
{
	Cancel();
	for (std::thread& thread : fThreads)
		thread.join();
	if (fPlanProbe != nullptr)
		libdeflate_free_compressor(fPlanProbe);
}

size_t DeflatePool::AddFile(const std::string& path, uint64 size, mode_t mode, size_t* count)
{
	// Told before the run is planned: a stream pledges its size at its start.
	// Data that does not shrink alone may still be found in a reference.
	const bool stored = fZstd && (size == 0 || fLevel == 0 ||
	                              (fReference == nullptr && IncompressibleFile(path, size)));
	std::lock_guard<std::mutex> lock(fLock);
	size_t first = fJobs.size();
	uint64 offset = 0;
	do {
		const uint64 length = std::min(fChunkSize, size - offset);
		Job job;
		job.path = path;
		job.offset = offset;
		job.length = length;
		job.mode = mode;
		job.last = offset + length >= size;
		job.stored = stored;
		fJobs.push_back(std::move(job));
		offset += length;
	} while (offset < size);
	*count = fJobs.size() - first;
	if (fZstd)
		PlanRun(first, stored ? 0 : size);
	fChanged.notify_all();
	return first;
}

// Adds the jobs from `first` on, one file's, to the open run; a run full
// enough is sealed, and a worker may start it.
void DeflatePool::PlanRun(size_t first, uint64 streamBytes)
{
	if (fRuns.empty() || fRuns.back().sealed) {
		fRuns.emplace_back();
		fRuns.back().first = first;
	}
	Run& run = fRuns.back();
	run.end = fJobs.size();
	if (fJobs[first].stored)
		return;
	if (run.streamStart == SIZE_MAX)
		run.streamStart = first;
	run.lastCompressed = run.end - 1;
	run.bytes += streamBytes;
	if (run.bytes >= kZstdRunSize)
		Seal(run);
}

void DeflatePool::Seal(Run& run)
{
	run.sealed = true;
	if (run.streamStart == SIZE_MAX)
		return;
	fJobs[run.streamStart].startsStream = true;
	fJobs[run.streamStart].streamSize = run.bytes;
	fJobs[run.lastCompressed].endsStream = true;
}

void DeflatePool::Close()
{
	std::lock_guard<std::mutex> lock(fLock);
	if (!fRuns.empty() && !fRuns.back().sealed)
		Seal(fRuns.back());
	fClosed = true;
	fChanged.notify_all();
}

void DeflatePool::Start()
{
	for (int32 i = 0; i < fThreadCount; i++)
		fThreads.emplace_back(fZstd ? &DeflatePool::WorkRuns : &DeflatePool::Work, this);
}

void DeflatePool::Cancel()
{
	std::lock_guard<std::mutex> lock(fLock);
	fCancelled = true;
	fChanged.notify_all();
}

DeflatePool::Chunk DeflatePool::Take(size_t index)
{
	std::unique_lock<std::mutex> lock(fLock);
	if (index >= fJobs.size() || index != fNextTaken) {
		Chunk wrong;
		wrong.status = B_BAD_VALUE;
		wrong.error = "chunks taken out of order";
		return wrong;
	}
	fChanged.wait(lock, [&] { return fJobs[index].done || fCancelled; });
	Job& job = fJobs[index];
	if (!job.done) {
		Chunk cancelled;
		cancelled.status = B_CANCELED;
		cancelled.error = "packing was stopped";
		return cancelled;
	}
	Chunk chunk = std::move(job.chunk);
	std::string().swap(job.path);
	fNextTaken++;
	fInFlight -= job.length;
	fChanged.notify_all();
	return chunk;
}

void DeflatePool::Work()
{
	libdeflate_compressor* whole =
	        fLevel > 0 && !fZstd ? libdeflate_alloc_compressor(fLevel) : nullptr;
	libdeflate_compressor* probe = fLevel > 0 ? libdeflate_alloc_compressor(1) : nullptr;
	std::unique_lock<std::mutex> lock(fLock);
	while (true) {
		// A job is taken while the bytes ahead of the writer allow it; the
		// writer's next job is always allowed, so the writer never starves.
		fChanged.wait(lock, [&] {
			if (fCancelled)
				return true;
			if (fNextJob >= fJobs.size())
				return fClosed;
			return fNextJob == fNextTaken || fInFlight + fJobs[fNextJob].length <= fInFlightLimit;
		});
		if (fCancelled || fNextJob >= fJobs.size())
			break;
		Job& job = fJobs[fNextJob++];
		fInFlight += job.length;
		lock.unlock();
		Compress(job, whole, probe, nullptr);
		lock.lock();
		job.done = true;
		fChanged.notify_all();
	}
	lock.unlock();
	if (whole != nullptr)
		libdeflate_free_compressor(whole);
	if (probe != nullptr)
		libdeflate_free_compressor(probe);
}

// Zstandard: takes sealed runs in order and compresses each run's jobs in
// order through one context, as one stream.
void DeflatePool::WorkRuns()
{
	ZSTD_CCtx* zstd = ZSTD_createCCtx();
	std::unique_lock<std::mutex> lock(fLock);
	while (!fCancelled) {
		fChanged.wait(lock, [&] {
			return fCancelled || (fNextRun < fRuns.size() && fRuns[fNextRun].sealed) ||
			       (fClosed && fNextRun >= fRuns.size());
		});
		if (fCancelled || fNextRun >= fRuns.size())
			break;
		const Run& run = fRuns[fNextRun++];
		for (size_t index = run.first; index < run.end && WaitForRoom(lock, index); index++) {
			Job& job = fJobs[index];
			fInFlight += job.length;
			lock.unlock();
			Compress(job, nullptr, nullptr, zstd);
			lock.lock();
			job.done = true;
			fChanged.notify_all();
		}
	}
	lock.unlock();
	ZSTD_freeCCtx(zstd);
}

// Waits until job `index` may be compressed without holding more bytes
// ahead of the writer than allowed; the writer's next job always may, so
// that the writer never starves. False once cancelled.
bool DeflatePool::WaitForRoom(std::unique_lock<std::mutex>& lock, size_t index)
{
	fChanged.wait(lock, [&] {
		return fCancelled || index == fNextTaken ||
		       fInFlight + fJobs[index].length <= fInFlightLimit;
	});
	return !fCancelled;
}

// The job's bytes, with the 32 KB before them. The last chunk asks for one
// byte more: a file holding more than stat said (a file of /proc reports 0
// bytes) would otherwise be packed short.
bool DeflatePool::ReadInput(const Job& job, int fd, std::string* input, size_t* dictionary,
                            std::string* error) const
{
	*dictionary = fZstd ? 0 : (size_t)std::min(job.offset, kDictionarySize);
	uint64 start = job.offset - *dictionary;
	const size_t wanted = *dictionary + job.length;
	input->resize(wanted + (job.last ? 1 : 0));
	size_t done = 0;
	// At least one read, so that an empty last chunk still asks for its extra byte.
	while (true) {
		ssize_t got = pread(fd, input->data() + done, input->size() - done, (off_t)(start + done));
		if (got < 0 && errno == EINTR)
			continue;
		if (got == 0 && done == wanted)
			break;
		if (got <= 0) {
			*error = "cannot read " + job.path + ": " +
			         (got < 0 ? strerror(errno) : "the file shrank while it was packed");
			return false;
		}
		done += (size_t)got;
		if (done >= wanted)
			break;
	}
	if (done > wanted) {
		*error = "cannot pack " + job.path + ": it holds more than the " +
		         std::to_string(job.offset + job.length) +
		         " bytes its size says (a file of /proc, or one still being written); copy it "
		         "to an ordinary file first";
		return false;
	}
	input->resize(wanted);
	return true;
}

// The attributes of the file and, when they hold no type, the type its
// first bytes and name tell.
bool DeflatePool::Describe(const Job& job, const std::string& data, int fd, Chunk* chunk)
{
	if (read_entry_attributes(job.path, EntryKind::kFile, &chunk->attributes, &chunk->error, fd) !=
	    B_OK)
		return false;
	for (const PayloadAttribute& attribute : chunk->attributes)
		chunk->attributeBytes += attribute.data.size();
	if (!payload_has_type(chunk->attributes)) {
		const std::string leaf = LibLastComponent(job.path);
		payload_add_type(&chunk->attributes,
		                 sniff_mime_type_data(data.data(), std::min(data.size(), kMimeSniffBytes),
		                                      job.mode, leaf.c_str()));
	}
	return true;
}

// Whether pieces from the start, middle and end of the data deflate by less
// than 2 %: random or already compressed data is then stored, as zip stores
// such files, instead of being searched for matches it does not have.
bool DeflatePool::Incompressible(const char* data, size_t length, libdeflate_compressor* probe)
{
	if (probe == nullptr || length < 4 * kProbeSize)
		return false;
	for (size_t at : {size_t(0), length / 2, length - kProbeSize}) {
		if (!ShrinksLittle(data + at, probe))
			return false;
	}
	return true;
}

// The same test on the file at `path`, reading only the pieces it needs.
bool DeflatePool::IncompressibleFile(const std::string& path, uint64 size) const
{
	if (fPlanProbe == nullptr || size < 4 * kProbeSize)
		return false;
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return false;
	std::string piece(kProbeSize, '\0');
	bool incompressible = true;
	for (uint64 at : {uint64(0), size / 2, size - kProbeSize}) {
		incompressible = pread(fd, piece.data(), kProbeSize, (off_t)at) == (ssize_t)kProbeSize &&
		                 ShrinksLittle(piece.data(), fPlanProbe);
		if (!incompressible)
			break;
	}
	close(fd);
	return incompressible;
}

// Whether kProbeSize bytes at `piece` deflate by less than 2 %.
bool DeflatePool::ShrinksLittle(const char* piece, libdeflate_compressor* probe)
{
	thread_local std::string output(kProbeSize * 98 / 100, '\0');
	// No room for the result means it did not shrink enough.
	return libdeflate_deflate_compress(probe, piece, kProbeSize, output.data(), output.size()) == 0;
}

// The data as deflate's stored blocks, which end on a byte boundary as the
// chunks of a file must.
void DeflatePool::StoreBlocks(const char* data, size_t length, bool last, std::string* output)
{
	output->clear();
	output->reserve(length + (length / kStoredBlockSize + 1) * 5);
	size_t at = 0;
	do {
		const size_t count = std::min(kStoredBlockSize, length - at);
		const bool final = last && at + count == length;
		const char header[5] = {(char)(final ? 1 : 0), (char)(count & 0xff), (char)(count >> 8),
		                        (char)(~count & 0xff), (char)((~count >> 8) & 0xff)};
		output->append(header, sizeof(header));
		output->append(data + at, count);
		at += count;
	} while (at < length);
}

void DeflatePool::Compress(Job& job, libdeflate_compressor* whole, libdeflate_compressor* probe,
                           ZSTD_CCtx* zstd) const
{
	Chunk& chunk = job.chunk;
	std::string input;
	size_t dictionary = 0;
	const int fd = open(job.path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0) {
		chunk.error = "cannot read " + job.path + ": " + strerror(errno);
		chunk.status = B_IO_ERROR;
		return;
	}
	const bool read = ReadInput(job, fd, &input, &dictionary, &chunk.error) &&
	                  (job.offset != 0 || Describe(job, input, fd, &chunk));
	close(fd);
	if (!read) {
		chunk.status = B_IO_ERROR;
		return;
	}
	bool complete = true;
	if (fZstd && job.stored)
		chunk.data = std::move(input);
	else if (fZstd && fReference != nullptr)
		// Encoded against a reference: frames of their own, each with it.
		complete = job.length == 0 ||
		           CompressAgainstReference(input.data(), job.length, zstd, &chunk.data);
	else if (fZstd)
		complete = StreamZstd(job, input, zstd, &chunk.data);
	else if (fLevel == 0 || job.length == 0)
		chunk.data.assign(input, dictionary, std::string::npos);
	else if (Incompressible(input.data() + dictionary, job.length, probe))
		StoreBlocks(input.data() + dictionary, job.length, job.last, &chunk.data);
	else if (whole != nullptr && job.offset == 0 && job.last)
		complete = CompressWhole(input, whole, &chunk.data);
	else if (whole == nullptr ||
	         !CompressChunk(input.data() + dictionary, job.length, job.last, whole, &chunk.data))
		complete = CompressPart(job, input, dictionary, &chunk.data);
	if (!complete) {
		chunk.status = B_ERROR;
		chunk.error = "cannot compress " + job.path;
		return;
	}
	chunk.crc =
	        libdeflate_crc32(0, (job.stored ? chunk.data : input).data() + dictionary, job.length);
	chunk.size = job.length;
	chunk.stored = job.stored;
	chunk.startsStream = job.startsStream;
}

// One frame stating its size, encoded against the reference. Long-distance
// matching finds what repeats across the whole chunk and the reference; the
// window stays within what a reader accepts.
bool DeflatePool::CompressAgainstReference(const char* data, size_t length, ZSTD_CCtx* context,
                                           std::string* output) const
{
	if (context == nullptr || fReference == nullptr)
		return false;
	ZSTD_CCtx_reset(context, ZSTD_reset_session_and_parameters);
	ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, fLevel);
	ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, kZstdWindowLog);
	ZSTD_CCtx_setParameter(context, ZSTD_c_enableLongDistanceMatching, 1);
	ZSTD_CCtx_setParameter(context, ZSTD_c_contentSizeFlag, 1);
	if (ZSTD_isError(ZSTD_CCtx_refPrefix(context, fReference->data(), fReference->size())))
		return false;
	output->resize(ZSTD_compressBound(length));
	const size_t size = ZSTD_compress2(context, output->data(), output->size(), data, length);
	if (ZSTD_isError(size))
		return false;
	output->resize(size);
	output->shrink_to_fit();
	return true;
}

// The job's piece of its run's stream. The stream is one frame pledging
// the size of its files; a file's last piece ends on a flush, the run's
// last one ends the frame. Long-distance matching finds what repeats
// across the whole window, which stays within what a reader accepts.
bool DeflatePool::StreamZstd(const Job& job, const std::string& input, ZSTD_CCtx* context,
                             std::string* output) const
{
	if (context == nullptr)
		return false;
	if (job.startsStream) {
		ZSTD_CCtx_reset(context, ZSTD_reset_session_and_parameters);
		ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, fLevel);
		ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, kZstdWindowLog);
		ZSTD_CCtx_setParameter(context, ZSTD_c_enableLongDistanceMatching, 1);
		ZSTD_CCtx_setParameter(context, ZSTD_c_contentSizeFlag, 1);
		ZSTD_CCtx_setPledgedSrcSize(context, job.streamSize);
	}
	const ZSTD_EndDirective mode = job.endsStream ? ZSTD_e_end
	                               : job.last     ? ZSTD_e_flush
	                                              : ZSTD_e_continue;
	ZSTD_inBuffer in = {input.data(), input.size(), 0};
	output->resize(ZSTD_compressBound(input.size()) + ZSTD_CStreamOutSize());
	ZSTD_outBuffer out = {output->data(), output->size(), 0};
	while (true) {
		const size_t left = ZSTD_compressStream2(context, &out, &in, mode);
		if (ZSTD_isError(left))
			return false;
		if (mode == ZSTD_e_continue ? in.pos == in.size : left == 0)
			break;
		if (out.pos == out.size) {
			output->resize(output->size() * 2);
			out.dst = output->data();
			out.size = output->size();
		}
	}
	output->resize(out.pos);
	output->shrink_to_fit();
	return true;
}

bool DeflatePool::CompressWhole(const std::string& input, libdeflate_compressor* compressor,
                                std::string* output)
{
	output->resize(libdeflate_deflate_compress_bound(compressor, input.size()));
	const size_t size = libdeflate_deflate_compress(compressor, input.data(), input.size(),
	                                                output->data(), output->size());
	output->resize(size);
	output->shrink_to_fit();
	return size > 0;
}

// A chunk deflated by libdeflate as a stream of its own; unless it is the
// file's last, the header of its final block loses the final bit, found by
// inflating block by block, and an empty stored block brings the end to a
// byte boundary, as zlib's sync flush does.
bool DeflatePool::CompressChunk(const char* data, size_t length, bool last,
                                libdeflate_compressor* compressor, std::string* output)
{
	output->resize(libdeflate_deflate_compress_bound(compressor, length) + 5);
	const size_t size =
	        libdeflate_deflate_compress(compressor, data, length, output->data(), output->size());
	if (size == 0)
		return false;
	output->resize(size);
	if (!last) {
		z_stream stream = {};
		if (inflateInit2(&stream, -15) != Z_OK)
			return false;
		stream.next_in = (Bytef*)output->data();
		stream.avail_in = (uInt)size;
		thread_local std::string scratch(65536, '\0');
		uint64 finalHeader = 0; // the bit where the final block starts
		uint64 end = 0;         // the bit after its end-of-block code
		int result = Z_OK;
		while (result == Z_OK) {
			stream.next_out = (Bytef*)scratch.data();
			stream.avail_out = (uInt)scratch.size();
			result = inflate(&stream, Z_BLOCK);
			// At a block boundary (128) the low six bits count the bits
			// inflate holds but has not used; 64 marks the final block's end.
			if (result != Z_OK || (stream.data_type & 128) == 0)
				continue;
			const uint64 at = stream.total_in * 8 - (uint64)(stream.data_type & 63);
			if ((stream.data_type & 64) == 0)
				finalHeader = at;
			else
				end = at;
		}
		const bool whole = result == Z_STREAM_END && stream.total_out == length && end > 0 &&
		                   (end + 7) / 8 == size;
		inflateEnd(&stream);
		if (!whole)
			return false;
		const int unusedBits = (int)((8 - end % 8) % 8);
		(*output)[finalHeader / 8] &= (char)~(1 << (finalHeader % 8));
		// The padding after the last block must read as zeros: the stored
		// block's header starts in it when it has room for its three bits.
		(*output)[size - 1] &= (char)((1 << (8 - unusedBits)) - 1);
		if (unusedBits < 3)
			output->push_back('\0');
		output->append("\x00\x00\xff\xff", 4);
	}
	output->shrink_to_fit();
	return true;
}

bool DeflatePool::CompressPart(const Job& job, const std::string& input, size_t dictionary,
                               std::string* output) const
{
	z_stream stream = {};
	if (deflateInit2(&stream, fLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
		return false;
	if (dictionary > 0)
		deflateSetDictionary(&stream, (const Bytef*)input.data(), (uInt)dictionary);
	output->resize(deflateBound(&stream, job.length) + 16);
	stream.next_in = (Bytef*)input.data() + dictionary;
	stream.avail_in = (uInt)job.length;
	stream.next_out = (Bytef*)output->data();
	stream.avail_out = (uInt)output->size();
	int result = deflate(&stream, job.last ? Z_FINISH : Z_SYNC_FLUSH);
	bool complete = job.last ? result == Z_STREAM_END
	                         : result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
	output->resize(stream.total_out);
	// Hand back the worst-case room deflateBound asked for.
	output->shrink_to_fit();
	deflateEnd(&stream);
	return complete;
}
