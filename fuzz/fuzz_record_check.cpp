// links: vantry_resources
// Unflattens arbitrary bytes as a configuration record and checks it: the
// check never crashes, and a record it accepts names its installation folder
// with one plain leaf.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Message.h"
#include "RecordCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BMessage record;
	if (record.Unflatten(reinterpret_cast<const char*>(data), ssize_t(size)) != B_OK)
		return 0;
	const std::vector<std::string> faults = CheckConfigRecord(record);
	const char* folder = record.FindString("opt_created_folder");
	if (faults.empty() && (folder == nullptr || !IsPlainLeaf(folder)))
		std::abort();
	const char* name = record.FindString("app_name");
	if (!IsPlainLeaf(SafeFileName(name)))
		std::abort();
	return 0;
}
