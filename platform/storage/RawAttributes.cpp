// Extended attributes read and copied as raw bytes.
#include "RawAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

namespace {

ssize_t read_once(int fd, const std::string& path, const std::string& name, void* data, size_t size)
{
	if (name.empty())
		return fd >= 0 ? flistxattr(fd, static_cast<char*>(data), size)
		               : llistxattr(path.c_str(), static_cast<char*>(data), size);
	return fd >= 0 ? fgetxattr(fd, name.c_str(), data, size)
	               : lgetxattr(path.c_str(), name.c_str(), data, size);
}

} // namespace

int host_read_xattr(int fd, const std::string& path, const std::string& name, std::string* value)
{
	for (int attempt = 0; attempt < 8; attempt++) {
		const ssize_t size = read_once(fd, path, name, nullptr, 0);
		if (size < 0)
			return errno;
		value->resize(size_t(size));
		if (size == 0)
			return 0;
		const ssize_t got = read_once(fd, path, name, value->data(), value->size());
		if (got >= 0) {
			value->resize(size_t(got));
			return 0;
		}
		// The value grew between the two calls: ask again.
		if (errno != ERANGE)
			return errno;
	}
	return EBUSY;
}

bool host_copy_raw_attrs(int from, int to)
{
	std::string names;
	if (host_read_xattr(from, std::string(), std::string(), &names) != 0)
		return false;
	bool copied = true;
	for (size_t at = 0; at < names.size(); at += strlen(&names[at]) + 1) {
		const std::string name(&names[at]);
		std::string value;
		copied = host_read_xattr(from, std::string(), name, &value) == 0 &&
		         fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0 && copied;
	}
	return copied;
}
