#include "PayloadNames.h"

#include <sys/stat.h>

#include <set>
#include <string_view>

#include "LibPathParts.h"
#include "PayloadExtractor.h"

namespace {

// The hosts whose external attributes carry a Unix mode.
const uint8 kSystemUnix = 3;
const uint8 kSystemBeOS = 16;

} // namespace

std::vector<std::string> split_payload_name(const std::string& name)
{
	return LibSplitAt(name, '/');
}

mode_t payload_entry_mode(const ZipEntry& entry)
{
	if (entry.system != kSystemUnix && entry.system != kSystemBeOS)
		return 0;
	return entry.external >> 16;
}

// Checks every name before anything is written, so that a hostile name
// leaves no trace at all.
status_t PayloadExtractor::_CheckNames(const ZipArchive& archive, const char* top)
{
	const std::vector<ZipEntry>& entries = archive.Entries();
	int64 count = entries.size();
	if (count <= 0)
		return _Fail(B_BAD_DATA, "the archive is empty");
	if (count > fMaxEntries)
		return _Fail(B_BAD_DATA, "the archive holds too many entries");
	std::set<std::string, std::less<>> links;
	for (int64 i = 0; i < count; i++) {
		const std::string& name = entries[i].name;
		status_t status = _CheckName(name, top);
		if (status != B_OK)
			return status;
		if (name.back() != '/' && S_ISLNK(payload_entry_mode(entries[i])))
			links.insert(name);
	}
	if (links.empty())
		return B_OK;
	for (const ZipEntry& entry : entries) {
		std::string_view name = entry.name;
		if (name.back() == '/')
			name.remove_suffix(1);
		for (size_t slash = name.find('/'); slash != std::string::npos;
		     slash = name.find('/', slash + 1)) {
			if (links.find(name.substr(0, slash)) != links.end())
				return _Fail(B_NOT_ALLOWED,
				             "the entry " + std::string(name) + " lies behind a link");
		}
	}
	return B_OK;
}

status_t PayloadExtractor::_CheckName(const std::string& name, const char* top) const
{
	PayloadExtractor* self = const_cast<PayloadExtractor*>(this);
	if (name.empty() || name.size() > fMaxNameLength)
		return self->_Fail(B_NAME_TOO_LONG, "an entry's name is empty or too long");
	if (name[0] == '/')
		return self->_Fail(B_NOT_ALLOWED, "the entry " + name + " has an absolute path");
	std::string path = name.back() == '/' ? name.substr(0, name.size() - 1) : name;
	std::vector<std::string> parts = split_payload_name(path);
	for (const std::string& part : parts) {
		if (part.empty() || part == "." || part == "..")
			return self->_Fail(B_NOT_ALLOWED, "the entry " + name + " leaves its folder");
		if (part.size() > kMaxLeafLength)
			return self->_Fail(B_NAME_TOO_LONG, "the entry " + name + " has too long a name");
	}
	if (parts[0] != top)
		return self->_Fail(B_NOT_ALLOWED,
		                   "the entry " + name + " does not lie under " + std::string(top));
	return B_OK;
}
