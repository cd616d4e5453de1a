// links: vantry_storage
// Resource store figures on a 1 GB executable with a large appended resource:
// bytes touched by a listing, and memory and time of reading a 100 MB resource
// against dd reading the same bytes.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "HostFileReader.h"
#include "ResourceFile.h"
#include "Resources.h"

extern char** environ;

namespace {

const uint64 kBigSize = 1000ull * 1024 * 1024;
const uint64 kMediumSize = 100ull * 1024 * 1024;

double seconds_since(std::chrono::steady_clock::time_point start)
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The bytes this process has read through read-like calls.
uint64 process_read_bytes()
{
	FILE* io = fopen("/proc/self/io", "r");
	if (io == nullptr)
		return 0;
	char line[128];
	unsigned long long value = 0;
	while (fgets(line, sizeof(line), io) != nullptr) {
		if (sscanf(line, "rchar: %llu", &value) == 1)
			break;
	}
	fclose(io);
	return value;
}

long peak_rss_kb()
{
	struct rusage usage;
	getrusage(RUSAGE_SELF, &usage);
	return usage.ru_maxrss;
}

// Writes an executable (a copy of /bin/true) with a 1 GB sparse resource, a
// 100 MB resource with data and a small one, laid out by the store's writer.
bool make_executable(const std::string& path, off_t* mediumOffset)
{
	std::filesystem::copy_file("/bin/true", path,
	                           std::filesystem::copy_options::overwrite_existing);
	int fd = open(path.c_str(), O_RDWR);
	off_t elfEnd = lseek(fd, 0, SEEK_END);
	off_t block = (elfEnd + 7) / 8 * 8;
	std::vector<ResourceLayoutEntry> entries = {{'CSTR', 1, "config", 16},
	                                            {'RAWT', 2000, "medium", kMediumSize},
	                                            {'RAWT', 2001, "payload", kBigSize}};
	ResourceLayout layout;
	if (make_resource_layout(entries, &layout) != B_OK)
		return false;
	pwrite(fd, layout.admin.data(), layout.admin.size(), block);
	pwrite(fd, "configuration..", 16, block + (off_t)layout.dataOffsets[0]);
	*mediumOffset = block + (off_t)layout.dataOffsets[1];
	std::vector<char> chunk(1 << 20, 'm');
	for (uint64 done = 0; done < kMediumSize; done += chunk.size())
		pwrite(fd, chunk.data(), chunk.size(), *mediumOffset + (off_t)done);
	pwrite(fd, layout.infoTable.data(), layout.infoTable.size(), block + (off_t)layout.infoOffset);
	fsync(fd);
	close(fd);
	return true;
}

int bench_listing(const std::string& path)
{
	struct stat st;
	stat(path.c_str(), &st);
	uint64 before = process_read_bytes();
	auto start = std::chrono::steady_clock::now();
	BResources resources(path.c_str(), false);
	int32 count = resources.CountResources();
	double elapsed = seconds_since(start);
	uint64 read = process_read_bytes() - before;
	if (resources.InitCheck() != B_OK || count != 3) {
		fprintf(stderr, "listing failed: %s\n", resources.ErrorText());
		return 1;
	}
	printf("listing: file %.1f MB, %d resources, %llu bytes read by the parser, %llu by the "
	       "process (%.6f%% of the file), %.3f ms\n",
	       st.st_size / 1048576.0, count, (unsigned long long)resources.BytesRead(),
	       (unsigned long long)read, 100.0 * (double)read / (double)st.st_size, elapsed * 1000);
	return 0;
}

double run_dd(const std::string& path, off_t offset, uint64 size)
{
	std::string in = "if=" + path;
	std::string skip = "skip=" + std::to_string(offset);
	std::string count = "count=" + std::to_string(size);
	const char* argv[] = {
	        "dd",         in.c_str(),    "of=/dev/null", "bs=1M", "iflag=skip_bytes,count_bytes",
	        skip.c_str(), count.c_str(), "status=none",  nullptr};
	auto start = std::chrono::steady_clock::now();
	pid_t pid;
	if (posix_spawnp(&pid, "dd", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
		return -1;
	int status;
	waitpid(pid, &status, 0);
	return seconds_since(start);
}

int bench_find(const std::string& path, off_t mediumOffset)
{
	BResources resources(path.c_str(), false);
	long rssBefore = peak_rss_kb();
	auto start = std::chrono::steady_clock::now();
	size_t size = 0;
	void* data = resources.FindResource('RAWT', 2000, &size);
	double elapsed = seconds_since(start);
	long grown = peak_rss_kb() - rssBefore;
	if (data == nullptr || size != kMediumSize) {
		fprintf(stderr, "FindResource failed\n");
		return 1;
	}
	free(data);
	double reference = run_dd(path, mediumOffset, kMediumSize);
	printf("FindResource of %.0f MB: peak memory grew %.1f MB (%.2fx the resource: one "
	       "allocation), %.3f s; dd of the same bytes %.3f s; ratio %.2f\n",
	       kMediumSize / 1048576.0, grown / 1024.0, grown * 1024.0 / (double)kMediumSize, elapsed,
	       reference, reference > 0 ? elapsed / reference : 0.0);
	return 0;
}

} // namespace

int main(int argc, char** argv)
{
	std::string dir = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
	std::string path = dir + "/bench-resources-app";
	off_t mediumOffset = 0;
	if (!make_executable(path, &mediumOffset)) {
		fprintf(stderr, "cannot build the test executable\n");
		return 1;
	}
	int status = bench_listing(path) | bench_find(path, mediumOffset);
	std::filesystem::remove(path);
	return status;
}
