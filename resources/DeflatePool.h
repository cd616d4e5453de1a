// DeflatePool: reads, types and compresses the files of an archive ahead of
// the writer on worker threads, in chunks, so that packing uses every core
// while the archive is written in order and in bounded memory. Deflated
// chunks join into one stream. With Zstandard the files are cut into runs
// of about kZstdRunSize bytes, each one stream with a flush at every file's
// end, compressed by one worker: files share what repeats across them,
// and runs are compressed side by side.
#pragma once

#include <sys/types.h>

#include <stdint.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PayloadFields.h"
#include "SupportDefs.h"

struct libdeflate_compressor;
typedef struct ZSTD_CCtx_s ZSTD_CCtx;

class DeflatePool {
public:
	// One compressed piece of a file. Pieces of one file concatenate into
	// one raw deflate stream.
	struct Chunk {
		std::string data;
		uint32 crc = 0;  // of the chunk's input
		uint64 size = 0; // input bytes
		status_t status = B_OK;
		std::string error;
		// On a file's first chunk: the file's attributes, its type added
		// when it had none, sniffed from the bytes read for compressing.
		std::vector<PayloadAttribute> attributes;
		uint64 attributeBytes = 0; // of the attributes the file had
		// Zstandard: the file is stored as it is (empty, or data that does
		// not shrink) instead of joining its run's stream; or its data
		// starts the stream, the files after it continuing it.
		bool stored = false;
		bool startsStream = false;
	};

	// `level` 1 to 9 deflates, 0 stores the data as it is; with `zstd`,
	// `level` is Zstandard's (1 to 22).
	DeflatePool(int32 level, int32 threads, bool zstd = false);
	~DeflatePool();

	// With `zstd`: every frame is encoded against `bytes` as its prefix, so
	// that what they share costs almost nothing. Set before Start; the bytes
	// stay the caller's and must outlive the pool.
	void SetReference(const std::string* bytes) { fReference = bytes; }
	// Starts the workers; files may be added while they run.
	void Start();
	// Plans a regular file of `size` bytes and permissions `mode`; returns
	// its first chunk's number and sets `count` (one chunk for an empty
	// file). A file found to hold more than `size` bytes fails its last
	// chunk.
	size_t AddFile(const std::string& path, uint64 size, mode_t mode, size_t* count);
	// No more files will be added: idle workers may end.
	void Close();
	// Waits for chunk `index` and hands it over; chunks are taken in order.
	Chunk Take(size_t index);
	// Stops the workers early (the writer gave up).
	void Cancel();

	static constexpr uint64 kChunkSize = 1 << 20;
	static constexpr uint64 kZstdChunkSize = 16 << 20;
	static constexpr uint64 kZstdRunSize = 64 << 20;
	static constexpr int kZstdWindowLog = 24;

private:
	struct Job {
		std::string path;
		uint64 offset = 0;
		uint64 length = 0;
		mode_t mode = 0;
		bool last = false;
		bool done = false;
		// Zstandard: the stored file's, or where the run's stream starts
		// (with the bytes it pledges) or ends.
		bool stored = false;
		bool startsStream = false;
		bool endsStream = false;
		uint64 streamSize = 0;
		Chunk chunk;
	};
	// Consecutive jobs whose files, but the stored ones, are one stream.
	struct Run {
		size_t first = 0;
		size_t end = 0;
		size_t streamStart = SIZE_MAX;
		size_t lastCompressed = SIZE_MAX;
		uint64 bytes = 0; // of the files in the stream
		bool sealed = false;
	};

	void Work();
	void WorkRuns();
	void PlanRun(size_t first, uint64 streamBytes);
	void Seal(Run& run);
	bool WaitForRoom(std::unique_lock<std::mutex>& lock, size_t index);
	void Compress(Job& job, libdeflate_compressor* whole, libdeflate_compressor* probe,
	              ZSTD_CCtx* zstd) const;
	bool StreamZstd(const Job& job, const std::string& input, ZSTD_CCtx* context,
	                std::string* output) const;
	bool CompressAgainstReference(const char* data, size_t length, ZSTD_CCtx* context,
	                              std::string* output) const;
	bool IncompressibleFile(const std::string& path, uint64 size) const;
	static bool Incompressible(const char* data, size_t length, libdeflate_compressor* probe);
	static bool ShrinksLittle(const char* piece, libdeflate_compressor* probe);
	static void StoreBlocks(const char* data, size_t length, bool last, std::string* output);
	static bool Describe(const Job& job, const std::string& data, int fd, Chunk* chunk);
	static bool CompressWhole(const std::string& input, libdeflate_compressor* compressor,
	                          std::string* output);
	static bool CompressChunk(const char* data, size_t length, bool last,
	                          libdeflate_compressor* compressor, std::string* output);
	bool CompressPart(const Job& job, const std::string& input, size_t dictionary,
	                  std::string* output) const;
	bool ReadInput(const Job& job, int fd, std::string* input, size_t* dictionary,
	               std::string* error) const;

	int32 fLevel;
	int32 fThreadCount;
	bool fZstd;
	const std::string* fReference = nullptr;
	uint64 fChunkSize;
	uint64 fInFlightLimit;
	std::deque<Job> fJobs; // grows while workers hold references into it
	std::deque<Run> fRuns;
	std::vector<std::thread> fThreads;
	std::mutex fLock;
	std::condition_variable fChanged;
	size_t fNextJob;                   // the next job a worker takes
	size_t fNextRun;                   // the next run a worker takes
	libdeflate_compressor* fPlanProbe; // tells stored files while runs are planned
	size_t fNextTaken;                 // the next job the writer takes
	uint64 fInFlight; // input bytes of jobs taken by workers, not yet by the writer
	bool fClosed;
	bool fCancelled;
};
