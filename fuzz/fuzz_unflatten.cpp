// links: vantry_app
// Unflattens arbitrary bytes; whatever reads must flatten and read back to
// the same size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Message.h"
#include "MessagePrinter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BMessage msg;
	if (msg.Unflatten(reinterpret_cast<const char*>(data), ssize_t(size)) != B_OK)
		return 0;
	std::string flat;
	if (msg.Flatten(&flat) != B_OK)
		std::abort();
	BMessage again;
	if (again.Unflatten(flat.data(), ssize_t(flat.size())) != B_OK)
		std::abort();
	if (again.FlattenedSize() != msg.FlattenedSize())
		std::abort();
	FILE* sink = std::fopen("/dev/null", "w");
	if (sink != nullptr) {
		print_message(msg, sink, 0);
		std::fclose(sink);
	}
	return 0;
}
