// links: vantry_storage
// Fuzzes the resource reader: containers, index, info table, then every
// resource read whole, by name and in part.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "Resources.h"

namespace {

// One in-memory file reused across inputs, opened through /proc by path.
int input_file()
{
	static int fd = memfd_create("fuzz-resources", 0);
	return fd;
}

void read_everything(BResources& resources)
{
	type_code type;
	int32 id;
	const char* name;
	size_t size;
	for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); i++) {
		void* copy = resources.FindResource(type, id, &size);
		free(copy);
		resources.LoadResource(type, name, &size);
		char part[16];
		resources.ReadResource(type, id, part, 1, sizeof(part));
		off_t offset;
		resources.GetResourceRange(type, id, &offset, &size);
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	int fd = input_file();
	if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != (ssize_t)size)
		return 0;
	std::string path = "/proc/self/fd/" + std::to_string(fd);
	BResources resources(path.c_str(), false);
	if (resources.InitCheck() == B_OK)
		read_everything(resources);
	return 0;
}
