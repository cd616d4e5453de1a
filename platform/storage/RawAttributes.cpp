// Extended attributes copied byte for byte between open files.
#include "RawAttributes.h"

#include <sys/xattr.h>

#include <cstring>
#include <vector>

bool host_copy_raw_attrs(int from, int to)
{
	ssize_t size = flistxattr(from, nullptr, 0);
	if (size <= 0)
		return size == 0;
	std::vector<char> names(static_cast<size_t>(size));
	size = flistxattr(from, names.data(), names.size());
	if (size < 0)
		return false;
	bool copied = true;
	for (ssize_t at = 0; at < size; at += ssize_t(strlen(&names[size_t(at)])) + 1) {
		const char* name = &names[size_t(at)];
		ssize_t length = fgetxattr(from, name, nullptr, 0);
		std::vector<char> value(size_t(length > 0 ? length : 0) + 1);
		length = length < 0 ? length : fgetxattr(from, name, value.data(), value.size());
		copied = length >= 0 && fsetxattr(to, name, value.data(), size_t(length), 0) == 0 && copied;
	}
	return copied;
}
